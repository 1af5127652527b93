#pragma once
#include <QString>

namespace qv {

class Database;
class Dataset;

// The rules that tie contacts to their customer, without a window.
namespace contactrules {

// The code of the customer a contact with this company name belongs to: the current customer when
// its company is that name, otherwise the first customer of that name; empty when there is none.
// Two customers may share a company name, so the current one is preferred: the contact editor always
// works for the current customer.
QString customerCodeFor(const Database& db, const QString& company, const QString& currentCode);

// Main-contact rule: the customer's MainContact becomes the name. When `customers` (the shared
// customer list) stands on that customer, the change goes through it so that the list shows it.
void setMainContact(const Database& db, Dataset* customers, const QString& custCode, const QString& name);

// After a contact was deleted: when it was a main contact and the customer's MainContact still names
// it, MainContact names the most recently added remaining main contact of the customer, or nothing.
// Returns true when MainContact was changed.
bool settleMainContactAfterDelete(const Database& db, Dataset* customers, const QString& custCode,
                                  const QString& deletedName, bool deletedWasMain);

}  // namespace contactrules
}  // namespace qv
