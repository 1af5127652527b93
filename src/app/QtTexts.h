#pragma once

namespace qv {

// Loads Qt's own Chinese texts (buttons of message boxes, file dialogs) where they are installed
// (Debian package qt6-translations-l10n); without them Qt's English texts remain.
void installQtTexts();

}  // namespace qv
