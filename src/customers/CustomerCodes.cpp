#include "CustomerCodes.h"

#include <QRegularExpression>

namespace qv::customercodes {

namespace {
constexpr int kTail = 4;

QString tailOf(const QString& code) { return code.size() <= kTail ? code : code.right(kTail); }
}  // namespace

bool tailIsNumber(const QString& code) {
    const QString tail = tailOf(code);
    if (tail.isEmpty()) return false;
    for (QChar c : tail)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

QString nextCode(const QString& code) {
    if (!tailIsNumber(code)) return QString();
    const QString tail = tailOf(code);
    const QString head = code.left(code.size() - tail.size());
    return head + QStringLiteral("%1").arg(tail.toLongLong() + 1, kTail, 10, QLatin1Char('0'));
}

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
