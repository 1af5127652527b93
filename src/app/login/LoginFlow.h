#pragma once

namespace qv {

struct Context;

// How the login dialog ended.
enum class LoginResult {
    LoggedIn,   // the login state was replaced (and announced)
    Cancelled,  // the operator closed the dialog; nothing changed
    Failed,     // the operator list could not be read; the reason was shown in the standard error box
};

// Shows the login dialog modally through the context. A database whose operator list cannot be read
// (never initialised, or any other read error) shows the standard error box instead of the dialog.
LoginResult openLoginDialog(Context& ctx);

// The same for the main window's re-login: true after a successful login.
bool runLoginDialog(Context& ctx);

// Shows the password dialog of the logged-in operator modally.
void runPasswordDialog(Context& ctx);

}  // namespace qv
