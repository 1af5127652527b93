#include "CustomerCodes.h"

#include <QRegularExpression>

namespace qv::customercodes {

QString mailTarget(const QString& address, const QString& subject) {
    QString target = QStringLiteral("mailto:") + address;
    if (!subject.isEmpty()) target += QStringLiteral("?subject=") + subject;
    return target;
}

QString webTarget(const QString& text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (text.isEmpty() || scheme.match(text).hasMatch()) return text;
    return QStringLiteral("http://") + text;
}

}  // namespace qv::customercodes
