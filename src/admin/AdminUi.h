#pragma once
#include <QIcon>

class QWidget;

namespace qv::admin {

// The operator list's two icons: one for operators offered at login, another for the rest.
QIcon operatorIcon(bool offeredAtLogin);
QIcon roleIcon();

// Moves a top-level window to the middle of its screen.
void centreOnScreen(QWidget& window);

}  // namespace qv::admin
