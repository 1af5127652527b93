#pragma once
#include <QDateTime>
#include <QMap>
#include <QString>
#include <functional>

namespace qv {
class Database;
}

namespace qv::admin {

struct DemoOptions {
    int customers = 0;
    quint64 seed = 1;
    // Only the customers with what they need (categories, operators); no contacts, activities or sales.
    bool customersOnly = false;
    // Rows per insert statement; 0 chooses what suits the server.
    int rowsPerStatement = 0;
    // "Now" of the generated data: schedule entries for today, reminders due, bills of the past two years.
    QDateTime now = QDateTime::currentDateTime();
    // Called now and then with a short progress note.
    std::function<void(const QString&)> progress;
};

// Rows added per table, by table name.
using DemoCounts = QMap<QString, qint64>;

// Adds demo data to an existing database that holds the schema: customers with codes following the
// highest existing "KH" code, their contacts, schedule entries, follow-up records and sales bills, plus
// the categories, operators (with rights copied from their role), products, salesmen and commission
// rates they refer to (existing ones of the same code or name are kept). Everything runs in one
// transaction. Throws DbError.
DemoCounts generateDemo(Database& db, const DemoOptions& options);

}  // namespace qv::admin
