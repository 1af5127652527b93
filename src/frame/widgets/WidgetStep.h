#pragma once
#include <QApplication>
#include <functional>

class QWidget;

namespace qv {

class Prompter;

// Runs a step the operator started in one of the shared widgets (a navigator move, a list refill).
// Such steps run from the event loop, where no command boundary catches for them: an error ends the
// step and is shown in the standard error box of `prompter` (the program's real boxes when null).
// Returns true when the step finished without an error.
bool runWidgetStep(Prompter* prompter, QWidget* parent, const std::function<void()>& step);

// The hourglass while the database is read; restored however the reading ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace qv
