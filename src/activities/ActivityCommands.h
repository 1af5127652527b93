#pragma once

namespace qv {

struct Context;
class Frm_Main;

// Hands the main window the handlers of the schedule and follow-up commands and windows.
void installActivityCommands(Context& ctx, Frm_Main& main);

}  // namespace qv
