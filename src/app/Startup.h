#pragma once

namespace qv {

struct Context;

// What the program does once the database is connected: the login and the main window's set-up.
// True when the main window should run the application's message loop; false ends the program
// (the login was cancelled or closed).
bool runAfterConnect(Context& context);

}  // namespace qv
