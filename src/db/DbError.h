#pragma once
#include <QString>
#include <exception>

class QSqlError;

namespace qv {

// The one error type of the data layer: the statement that failed, the driver's text and the
// database's text. Windows catch it at the command boundary and show text() in the standard error box.
class DbError : public std::exception {
public:
    explicit DbError(QString message, QString statement = {});
    DbError(const QSqlError& err, QString statement);

    QString text() const;  // what the user is shown
    const QString& statement() const { return statement_; }
    const QString& driverText() const { return driverText_; }
    const QString& databaseText() const { return databaseText_; }
    const QString& nativeCode() const { return nativeCode_; }
    // A unique index refused the row (SQLite 2067/1555, PostgreSQL 23505).
    bool isUniqueViolation() const;
    const char* what() const noexcept override { return what_.constData(); }

private:
    QString message_, statement_, driverText_, databaseText_, nativeCode_;
    QByteArray what_;
};

}  // namespace qv
