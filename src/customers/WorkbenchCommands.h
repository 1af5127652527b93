#pragma once

namespace qv {

struct Context;
class Frm_Main;

// Connects the main window to the customer workbench: its tool button "客户管理" (the workbench in
// front, contacts and schedule entries following the customer list, the whole list the operator may
// see, its columns) and the workbench opened when the main window is first shown.
void installWorkbenchCommands(Context& ctx, Frm_Main& main);

}  // namespace qv
