#pragma once
#include <QString>
#include <QStringList>

#include "Database.h"

namespace qv {

class LoginState;

// The statements of the customer workbench, apart from its window: which customers, contacts and
// schedule entries an operator sees, the category filter and the quick search. Every value is bound.
namespace workbench {

// A statement with the values of its placeholders.
struct Statement {
    QString sql;
    Params params;
};

// Who looks at the lists: an operator holding right 91 sees every operator's customers, contacts
// and schedule entries; any other operator only the rows whose F_User is his name.
struct Viewer {
    QString user;
    bool seesAll = false;

    static Viewer of(const LoginState* login);
};

// The right that lets an operator see every operator's rows.
constexpr int kSeeAllRight = 91;

// The whole customer list the operator may see.
Statement customerList(const Viewer& viewer);
// The contacts and schedule entries of the current customer (:CustCode comes from the customer list).
Statement contactList(const Viewer& viewer);
Statement scheduleList(const Viewer& viewer);
// The bills of one customer (every operator's).
Statement saleList(const QString& custCode);
// The follow-up records of the current customer (every operator's): table T_price, T_visit,
// T_feedback, T_trackcust or T_bargain.
QString followUpSql(const QString& table);

// The code of a category tree node "code-name": the text before the first "-" (the whole text when
// there is none).
QString categoryCodeOf(const QString& nodeText);
// The customers of a category and of every category below it: category codes are prefixes.
Statement categoryList(const Viewer& viewer, const QString& code);

// --- quick search ---------------------------------------------------------------------------------

enum class Target { Customer, Contact };

// The entries of the search field list, in order; entries 0 and 8 are headings.
const QStringList& searchEntries();
constexpr int kCustomerHeading = 0;
constexpr int kContactHeading = 8;
constexpr int kDefaultEntry = 2;  // "公司名称"
// The entry a choice ends on: a heading moves to the entry after it.
int settledEntry(int index);
// Entries 0 to 7 search customers, entries 8 to 11 contacts.
Target targetOf(int index);

// The column a caption of the search list stands for, read from the column configuration of the
// customer ("Custom") or contact ("Contact") grid and checked against the table's columns. Throws
// DbError when the caption has no configured column.
QString searchColumn(Database& db, Target target, const QString& caption);

// The pattern of a typed text: the text anywhere, "%" and "_" typed by the operator stay wildcards.
QString containsPattern(const QString& typed);

// The customer list of a quick search. For the contact target the matching contacts' customer
// codes are read first: none gives an empty list; a modest number is listed, a larger one is matched
// by the same condition in a sub-select, so that the statement stays of a bounded size.
Statement quickSearch(Database& db, const Viewer& viewer, Target target, const QString& caption,
                      const QString& typed);
// Codes listed one by one in a contact search, at most.
constexpr int kMaxListedCodes = 500;

// The status line after the customer list was loaded.
QString countMessage(int n);

}  // namespace workbench
}  // namespace qv
