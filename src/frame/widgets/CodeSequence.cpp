#include "CodeSequence.h"

namespace qv::codeseq {

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

}  // namespace qv::codeseq
