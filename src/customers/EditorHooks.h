#pragma once
#include <QString>
#include <functional>

class QToolButton;
class QWidget;

namespace qv {

struct Context;

// Small pieces the customer and contact editors share.
namespace editorhooks {

// Runs `fn` when the operator double-clicks the control.
void onDoubleClick(QWidget* control, std::function<void()> fn);

// Runs `fn` when the operator asks the control for its picker from the keyboard, as a drop-down
// list opens: F4, Alt+Down or the space bar. For boxes that cannot be typed into and whose value
// is chosen in a picker window (the mouse reaches it by the button beside the box).
void onPickerKey(QWidget* control, std::function<void()> fn);

// The small button beside a drop-down that opens its reference list editor: it triggers the main
// window's menu entry of that list, so the list editor opens exactly as from the menu (and only when
// the operator may open it there: the button follows the entry's enabled state). Without a main
// window the button stays disabled.
QToolButton* listEditorButton(Context& ctx, QWidget* parent, const QString& name, const QString& menuEntry);

}  // namespace editorhooks
}  // namespace qv
