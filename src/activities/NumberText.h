#pragma once
#include <QString>

namespace qv {

// The one message of the activity windows for a box that does not hold a valid number (shown in the
// standard error box).
inline QString invalidNumberText(const QString& text) {
    return QStringLiteral("“%1”不是有效的数字。").arg(text);
}

}  // namespace qv
