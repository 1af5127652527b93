#pragma once

namespace qv {

struct Context;

// Shows the login dialog modally through the context; true after a successful login, which has
// already replaced the login state (and announced it). A cancelled dialog changes nothing.
bool runLoginDialog(Context& ctx);

// Shows the password dialog of the logged-in operator modally.
void runPasswordDialog(Context& ctx);

}  // namespace qv
