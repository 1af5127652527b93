#pragma once
#include <QStringList>

#include "Database.h"

namespace qv {

// The items of the editors' drop-downs.

// Every `name` of the statement's rows, trimmed, in the order returned (the second column when the
// statement has no `name`).
QStringList readNames(const Database& db, const QString& sql, const Params& params = {});

// The second column, trimmed, of every row of a reference table in id order: the lists an editor
// fills once when it shows.
QStringList readReferenceList(const Database& db, const QString& table);

}  // namespace qv
