#pragma once
#include <QString>

namespace qv::sql {

// What the row order of a select statement rests on, read from its text at the outermost level
// (text inside brackets, quotes and string literals is skipped).
struct SelectShape {
    QString table;          // the driving table: the first one after `from`; empty for a derived table
    QString qualifier;      // its alias, or the table's own name
    int orderBy = -1;       // position of `order by`, -1 when the statement has none
    int orderEnd = -1;      // where the order clause (or, without one, the statement body) ends
    QString lastOrderTerm;  // the last item of the order clause, without asc/desc
    // False for statements whose rows are not rows of the driving table: grouped, distinct,
    // aggregated or compound (union ...) selects.
    bool rowsOfTable = false;
};

SelectShape selectShape(const QString& statement);

// The statement with `key` of its driving table as the last item of its order, so that its rows come
// in one order on every server and a limit takes the same rows: appended to an order clause that does
// not already end in the key, or added as the whole order. Unchanged when the key is empty or the
// statement's rows are not rows of one driving table.
QString withKeyOrder(const QString& statement, const SelectShape& shape, const QString& key);

}  // namespace qv::sql
