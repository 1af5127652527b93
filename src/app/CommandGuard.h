#pragma once
#include <functional>

class QWidget;

namespace qv {

class Prompter;

// The error boundary of every command: runs `command`; a DbError or any other exception ends the
// command and is shown in the standard error box with its text. The program keeps running and the
// window keeps its state. Returns true when the command finished without an error.
bool runGuarded(Prompter& prompter, QWidget* parent, const std::function<void()>& command);

}  // namespace qv
