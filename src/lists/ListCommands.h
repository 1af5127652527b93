#pragma once

namespace qv {

struct Context;
class Frm_Main;

// Connects the main window's twelve reference-list menu entries (Menu_Country ... Menu_Unit) to their
// editors, each opened modally. The small buttons beside the drop-downs of other editors trigger the
// same entries.
void installListCommands(Context& ctx, Frm_Main& main);

}  // namespace qv
