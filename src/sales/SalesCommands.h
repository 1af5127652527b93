#pragma once
#include "ProductPicker.h"

namespace qv {

struct Context;
class Frm_Main;

// Registers the product catalogue's commands with the main window: the tool-bar button "商品管理"
// (the product window), AddProducts and EditProducts (the product editor). `pickCategory` is the
// category chooser of the product editor.
void installSalesCommands(Context& ctx, Frm_Main& main, ProductCategoryPicker pickCategory);

}  // namespace qv
