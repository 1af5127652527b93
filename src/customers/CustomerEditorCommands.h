#pragma once

namespace qv {

struct Context;
class Frm_Main;

// Connects the main window's customer and contact record commands to their windows:
// AddCust / EditCust open the customer editor (one at a time; editing needs a current customer),
// AddContact / EditContact open the contact editor, DelContact deletes the current contact after
// the ownership check and the question.
void installCustomerEditorCommands(Context& ctx, Frm_Main& main);

}  // namespace qv
