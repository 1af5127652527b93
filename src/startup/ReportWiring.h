#pragma once

namespace qv {

struct Context;
class Frm_Main;

// Makes the report objects of the data module, gives each its data sources and loads its template
// from the program folder. A template that cannot be read shows the standard error box and leaves its
// report empty; the start goes on.
void loadDataModuleReports(Context& ctx);

// The main window's customer print commands (sheet, envelope, labels: the customers Qry_Cust holds)
// and the designer commands of the same three reports.
void installReportCommands(Context& ctx, Frm_Main& main);

}  // namespace qv
