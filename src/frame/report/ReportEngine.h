#pragma once
#include <QDate>
#include <functional>

#include "PreparedReport.h"

namespace qv {

class Report;

struct PrepareOptions {
    QDate today;  // what [DATE] prints
    // Called now and then with the rows printed so far and the rows in all; false cancels.
    std::function<bool(int done, int total)> progress;
};

// Prepares the pages of a report from its template and data sources. The master band's rows are read by
// index, fetching more as needed, so the source's current row never moves. Throws DbError naming the
// template file and the object when an expression names an unknown source or field.
PreparedReport prepareReport(const Report& report, const PrepareOptions& options = {});

}  // namespace qv
