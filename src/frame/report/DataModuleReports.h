#pragma once
#include "Report.h"

namespace qv {

// The report objects of the data module: loaded once after connecting and reached through the
// context. The customer reports print the customer list, the bill reports the lines of a bill.
struct DataModuleReports {
    Report fr_CustBasic{QStringLiteral("fr_CustBasic")};
    Report fr_envelop{QStringLiteral("fr_envelop")};
    Report fr_label{QStringLiteral("fr_label")};
    Report fr_bills{QStringLiteral("fr_bills")};
    Report frReport1{QStringLiteral("frReport1")};
};

}  // namespace qv
