#pragma once
#include <QString>

namespace qv {

class Database;

// A customer's code and company name are repeated in the rows that belong to it. When the customer
// editor changes them, these functions carry the change into those rows. They run inside the
// editor's transaction; a failing statement throws DbError.
namespace customercarry {

// Every row that carries the old code gets the new one: contacts, schedule entries, quotations,
// bills, bill lines, visits, feedback, follow-ups and contracts. Returns the rows changed.
int carryCode(const Database& db, const QString& oldCode, const QString& newCode);

// The customer's own contacts, schedule entries and bills that carry the old company name get the
// new one. Rows are matched by the old name and the customer's code, so that another customer with
// the same name keeps its rows as they are. Returns the rows changed.
int carryCompany(const Database& db, const QString& custCode, const QString& oldName, const QString& newName);

}  // namespace customercarry
}  // namespace qv
