#pragma once

namespace qv {

struct Context;

// How the start after the connection ended.
enum class StartupOutcome {
    Run,     // logged in: the main window runs the application's message loop
    Quit,    // the login was cancelled or closed: the program ends normally
    Failed,  // the database could not serve the login (the reason was shown): the program ends with 1
};

// What the program does once the database is connected: the login and the main window's set-up.
StartupOutcome runAfterConnect(Context& context);

}  // namespace qv
