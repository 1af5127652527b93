#pragma once
#include <QString>

#include "Database.h"

namespace qv::test {

// Fresh databases for tests. Without QUORVAN_TEST_PG every database is a SQLite file copied from a
// template that the schema installer built once per test process; with QUORVAN_TEST_PG (libpq keywords,
// e.g. "host=127.0.0.1 port=55433 user=postgres") it is a PostgreSQL database cloned from a template
// database. The databases of a test case are removed when the case ends (endCase(), which the window
// test fixture calls; otherwise when the next case asks for one, or when the process ends); databases
// left behind by a test process that no longer runs are removed when the next one starts.
class TestDb {
public:
    static bool usingPostgres();
    // Settings of a new database holding the schema and its initial content.
    static ConnectionSettings fresh();
    // Settings of a new database that holds nothing at all (for the installer's own tests).
    static ConnectionSettings empty();
    // Opens `db` on a fresh database; fails the calling test (QVERIFY-style) by returning false.
    static bool openFresh(Database& db);
    // Settings for a PostgreSQL server that nothing listens on / a SQLite file that does not exist.
    static ConnectionSettings unreachable();
    // Removes the databases made since the last call (their connections are ended).
    static void endCase();
    // A temporary folder that lives as long as the test process.
    static QString tempDir();
};

}  // namespace qv::test
