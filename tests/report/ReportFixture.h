#pragma once
// Small templates and customer rows shared by the report tests.
#include <QString>

#include "Database.h"
#include "ReportTemplate.h"

namespace qv::test {

// Customers "客户1" … "客户n" with Chinese addresses, in code order; category "A" for odd numbers, "B" else.
void addCustomers(Database& db, int n);

ReportObject textObject(const QString& name, const QRectF& rect, const QString& text);
ReportBand band(ReportBand::Kind kind, double height, const QString& source = {});

// A list of customers: title, column header, one master line per customer over fr_Cust, page footer
// with the page number, summary with the count.
ReportTemplate customerList();

}  // namespace qv::test
