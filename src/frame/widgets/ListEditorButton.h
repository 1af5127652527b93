#pragma once
#include <QString>

class QToolButton;
class QWidget;

namespace qv {

struct Context;

// The small button beside a drop-down that opens its reference list editor: it triggers the main
// window's menu entry of that list, so the list editor opens exactly as from the menu (and only when
// the operator may open it there: the button follows the entry's enabled state). Without a main
// window the button stays disabled.
QToolButton* listEditorButton(Context& ctx, QWidget* parent, const QString& name, const QString& menuEntry);

}  // namespace qv
