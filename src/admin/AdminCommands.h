#pragma once

namespace qv {

struct Context;
class Frm_Main;

// Connects the main window's command M_UserList ("操作员管理") to the operator management window,
// opened modally.
void installAdminCommands(Context& ctx, Frm_Main& main);

}  // namespace qv
