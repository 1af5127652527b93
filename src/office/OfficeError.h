#pragma once
#include <QByteArray>
#include <QString>
#include <exception>

namespace qv {

// The one error type of the workbook readers and writers. text() is the Chinese sentence shown to
// the operator; kind() lets a caller treat a missing file differently from a damaged one.
class OfficeError : public std::exception {
public:
    enum class Kind {
        FileNotFound,   // the file to read does not exist
        CannotRead,     // the file exists but cannot be opened or read
        NotAWorkbook,   // not an .xls, .xlsx or .csv file, or damaged beyond reading
        Encrypted,      // the workbook is protected by a password
        CannotWrite,    // the target cannot be created or written
        InvalidUse,     // the writer was called out of order or with unsupported input
    };

    OfficeError(Kind kind, QString text);

    Kind kind() const { return kind_; }
    const QString& text() const { return text_; }
    const char* what() const noexcept override { return what_.constData(); }

    static OfficeError fileNotFound(const QString& path);
    static OfficeError cannotRead(const QString& path, const QString& detail = {});
    static OfficeError notAWorkbook(const QString& path, const QString& detail = {});
    static OfficeError encrypted(const QString& path);
    static OfficeError cannotWrite(const QString& path, const QString& detail = {});

private:
    Kind kind_;
    QString text_;
    QByteArray what_;
};

}  // namespace qv
