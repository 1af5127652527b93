#pragma once

namespace qv {

struct Context;
class Frm_Main;

// Connects the main window's commands to the windows of every subsystem.
void installCommands(Context& ctx, Frm_Main& main);

}  // namespace qv
