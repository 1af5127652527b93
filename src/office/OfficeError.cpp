#include "OfficeError.h"

#include <QDir>

namespace qv {

namespace {
QString withDetail(QString text, const QString& detail) {
    if (!detail.isEmpty()) text += QStringLiteral(" (%1)").arg(detail);
    return text;
}
QString shown(const QString& path) { return QDir::toNativeSeparators(path); }
}  // namespace

OfficeError::OfficeError(Kind kind, QString text)
    : kind_(kind), text_(std::move(text)), what_(text_.toUtf8()) {}

OfficeError OfficeError::fileNotFound(const QString& path) {
    return {Kind::FileNotFound, QStringLiteral("文件%1不存在!").arg(shown(path))};
}

OfficeError OfficeError::cannotRead(const QString& path, const QString& detail) {
    return {Kind::CannotRead, withDetail(QStringLiteral("无法读取文件%1!").arg(shown(path)), detail)};
}

OfficeError OfficeError::notAWorkbook(const QString& path, const QString& detail) {
    return {Kind::NotAWorkbook,
            withDetail(QStringLiteral("文件%1不是可以读取的Excel工作簿或CSV文件!").arg(shown(path)), detail)};
}

OfficeError OfficeError::encrypted(const QString& path) {
    return {Kind::Encrypted, QStringLiteral("文件%1设有密码保护,无法读取!").arg(shown(path))};
}

OfficeError OfficeError::cannotWrite(const QString& path, const QString& detail) {
    return {Kind::CannotWrite, withDetail(QStringLiteral("无法写入文件%1!").arg(shown(path)), detail)};
}

}  // namespace qv
