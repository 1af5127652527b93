#include "CustomerCarry.h"

#include "Database.h"

namespace qv::customercarry {

int carryCode(const Database& db, const QString& oldCode, const QString& newCode) {
    // The order of the tables is the order in which the rows have always been carried.
    static const char* const kTables[] = {"Contact", "T_Schedule", "T_price",     "T_sale",   "T_saleDETAIL",
                                          "T_Visit", "T_feedback", "T_trackcust", "T_bargain"};
    const Params p{{QStringLiteral("new"), newCode}, {QStringLiteral("old"), oldCode}};
    int changed = 0;
    for (const char* table : kTables)
        changed += db.execute(
            QStringLiteral("Update %1 set CustCode=:new where CustCode=:old").arg(QLatin1String(table)), p);
    return changed;
}

int carryCompany(const Database& db, const QString& custCode, const QString& oldName,
                 const QString& newName) {
    const Params p{{QStringLiteral("new"), newName},
                   {QStringLiteral("old"), oldName},
                   {QStringLiteral("code"), custCode}};
    int changed = 0;
    changed += db.execute(
        QStringLiteral("Update Contact set Company=:new where Company=:old and CustCode=:code"), p);
    changed += db.execute(
        QStringLiteral("Update T_Schedule set Company=:new where Company=:old and CustCode=:code"), p);
    changed += db.execute(
        QStringLiteral("Update T_Sale set Custname=:new where Custname=:old and CustCode=:code"), p);
    return changed;
}

}  // namespace qv::customercarry
