#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace qv {

// Small pieces the customer and contact editors share.
namespace editorhooks {

// Runs `fn` when the operator double-clicks the control.
void onDoubleClick(QWidget* control, std::function<void()> fn);

// Runs `fn` when the operator asks the control for its picker from the keyboard, as a drop-down
// list opens: F4, Alt+Down or the space bar. For boxes that cannot be typed into and whose value
// is chosen in a picker window (the mouse reaches it by the button beside the box).
void onPickerKey(QWidget* control, std::function<void()> fn);

}  // namespace editorhooks
}  // namespace qv
