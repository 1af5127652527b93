#include "DbError.h"

#include <QSqlError>

namespace qv {

DbError::DbError(QString message, QString statement)
    : message_(std::move(message)), statement_(std::move(statement)) {
    what_ = text().toUtf8();
}

DbError::DbError(const QSqlError& err, QString statement)
    : statement_(std::move(statement)),
      driverText_(err.driverText()),
      databaseText_(err.databaseText()),
      nativeCode_(err.nativeErrorCode()) {
    message_ = databaseText_.isEmpty() ? driverText_ : databaseText_;
    what_ = (text() + QStringLiteral("\n") + statement_).toUtf8();
}

QString DbError::text() const {
    if (!message_.isEmpty()) return message_;
    return driverText_;
}

bool DbError::isUniqueViolation() const {
    return nativeCode_ == QLatin1String("23505") || nativeCode_ == QLatin1String("2067") ||
           nativeCode_ == QLatin1String("1555");
}

}  // namespace qv
