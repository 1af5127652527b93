#pragma once
#include <QList>
#include <functional>

class QObject;

namespace qv {

struct Context;
class Frm_Main;

// Connects the main window's delete commands to their work on the shared datasets: customers (with
// every row that belongs to them, in one transaction), schedule entries, sales bills (lines first),
// the five kinds of follow-up records, products (with their sales lines), salesmen and commissions.
// Each confirms first; customers and schedule entries of other operators are refused to an ordinary
// operator.
void installRecordCommands(Context& ctx, Frm_Main& main);

// The customers selected in the customer workbench's grid, as rows of Qry_Cust in ascending order.
// The workbench registers its selection while it is open (`owner` is the workbench: when it is gone
// the selection is empty), so that the customer delete acts on it without knowing the window.
using CustomerSelection = std::function<QList<int>()>;
void setCustomerSelection(Frm_Main& main, QObject* owner, CustomerSelection selection);
QList<int> customerSelection(const Frm_Main& main);

}  // namespace qv
