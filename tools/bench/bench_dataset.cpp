// Opening the customer list on a large database: builds a database with a million customers (SQLite and,
// when a server is given, PostgreSQL), then measures in a fresh process how long the shared dataset takes
// to show its first rows and to count all rows, and the process's peak memory.
//
//   bench_dataset [--customers N] [--pg "host=H port=P user=U password=W"] [--no-sqlite] [--keep]
//
// Without --pg the server comes from QUORVAN_TEST_PG when it is set. --keep leaves the databases behind.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>
#include <cstdio>

#include "Database.h"
#include "DatabaseInit.h"
#include "Dataset.h"
#include "DemoData.h"
#include "Schema.h"

using namespace qv;

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

constexpr int kFirstRows = 300;
const char* kPasswordVar = "QV_BENCH_PASSWORD";

// Peak resident memory of this process in KiB.
qint64 peakMemoryKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

ConnectionSettings pgSettings(const QString& keywords, const QString& database) {
    return ConnectionSettings::fromKeywords(keywords, database);
}

// The measuring half, run in a process of its own so that nothing of the generation counts.
int measure(const ConnectionSettings& s) {
    QElapsedTimer t;
    t.start();
    Database db(QStringLiteral("qv_bench"));
    QString error;
    if (!db.open(s, &error)) {
        out() << "cannot open: " << error << Qt::endl;
        return 1;
    }
    schema::describeTo(db);
    const double connectS = t.nsecsElapsed() / 1e9;
    const qint64 baseKiB = peakMemoryKiB();

    Dataset ds(db, QStringLiteral("Qry_Cust"));
    ds.setSql(QStringLiteral("select * from custom"));
    t.restart();
    ds.open();
    // Touch every value of the first rows, as a grid showing them would.
    qint64 chars = 0;
    for (int r = 0; r < std::min(kFirstRows, ds.loadedRows()); ++r)
        for (int c = 0; c < ds.fieldCount(); ++c) chars += ds.value(r, c).toString().size();
    const double firstS = t.nsecsElapsed() / 1e9;
    const int loaded = ds.loadedRows();

    t.restart();
    const int total = ds.recordCount();
    const double countS = t.nsecsElapsed() / 1e9;
    const qint64 peakKiB = peakMemoryKiB();

    out() << QStringLiteral("  connect           %1 s\n").arg(connectS, 0, 'f', 3)
          << QStringLiteral("  first %1 rows    %2 s   (%3 rows read, %4 characters)   target < 0.3 s  %5\n")
                 .arg(kFirstRows)
                 .arg(firstS, 0, 'f', 3)
                 .arg(loaded)
                 .arg(chars)
                 .arg(firstS < 0.3 && loaded >= kFirstRows ? QStringLiteral("ok") : QStringLiteral("MISSED"))
          << QStringLiteral("  count             %1 s   (%2 rows)   target < 0.5 s  %3\n")
                 .arg(countS, 0, 'f', 3)
                 .arg(total)
                 .arg(countS < 0.5 ? QStringLiteral("ok") : QStringLiteral("MISSED"))
          << QStringLiteral("  peak memory       %1 MB   (%2 MB after connecting)   target < 300 MB  %3\n")
                 .arg(peakKiB / 1024.0, 0, 'f', 1)
                 .arg(baseKiB / 1024.0, 0, 'f', 1)
                 .arg(peakKiB < 300 * 1024 ? QStringLiteral("ok") : QStringLiteral("MISSED"));
    out().flush();
    return 0;
}

// Builds the database of `s` with `customers` demo customers; false when that fails.
bool build(const ConnectionSettings& s, int customers) {
    QElapsedTimer t;
    t.start();
    try {
        admin::initDatabase(s, true);
        Database db(QStringLiteral("qv_bench_build"));
        QString error;
        if (!db.open(s, &error)) {
            out() << "cannot open: " << error << Qt::endl;
            return false;
        }
        admin::DemoOptions o;
        o.customers = customers;
        o.customersOnly = true;
        admin::generateDemo(db, o);
        if (db.isSqlite()) db.exec(QStringLiteral("pragma wal_checkpoint(truncate)"));
        else db.exec(QStringLiteral("analyze"));
    } catch (const admin::AdminError& e) {
        out() << "  building failed: " << e.message() << Qt::endl;
        return false;
    } catch (const DbError& e) {
        out() << "  building failed: " << e.text() << Qt::endl;
        return false;
    }
    out() << QStringLiteral("  built %1 customers in %2 s\n").arg(customers).arg(t.elapsed() / 1000.0, 0, 'f', 1);
    out().flush();
    return true;
}

// Runs the measuring half in a new process of this program.
bool measureInChild(const ConnectionSettings& s) {
    QProcess p;
    QStringList args = {QStringLiteral("--measure"),
                        s.driver == Driver::Postgres ? QStringLiteral("postgres") : QStringLiteral("sqlite"), s.server,
                        s.database, s.user};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kPasswordVar), s.password);  // kept off the command line
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(-1)) return false;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void dropPg(const ConnectionSettings& s) {
    Database maint(QStringLiteral("qv_bench_maint"));
    ConnectionSettings ms = s;
    ms.database = QStringLiteral("postgres");
    if (!maint.open(ms)) return;
    try {
        maint.exec(QStringLiteral("drop database if exists %1").arg(maint.dialect().quoteIdentifier(s.database)));
    } catch (const DbError&) {
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();

    if (args.value(0) == QLatin1String("--measure") && args.size() == 5) {
        ConnectionSettings s;
        s.driver = ConnectionSettings::driverFromName(args[1]);
        s.server = args[2];
        s.database = args[3];
        s.user = args[4];
        s.password = qEnvironmentVariable(kPasswordVar);
        return measure(s);
    }

    int customers = 1000000;
    QString pg = qEnvironmentVariable("QUORVAN_TEST_PG");
    bool sqlite = true, keep = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--customers") && i + 1 < args.size()) {
            customers = args[++i].toInt();
        } else if (a == QLatin1String("--pg") && i + 1 < args.size()) {
            pg = args[++i];
        } else if (a == QLatin1String("--no-sqlite")) {
            sqlite = false;
        } else if (a == QLatin1String("--keep")) {
            keep = true;
        } else {
            fprintf(stderr,
                    "usage: bench_dataset [--customers N] [--pg \"host=H port=P user=U\"] [--no-sqlite] [--keep]\n");
            return 2;
        }
    }
    if (customers < kFirstRows) {
        fprintf(stderr, "bench_dataset: --customers needs at least %d\n", kFirstRows);
        return 2;
    }

    bool ok = true;
    if (sqlite) {
        QTemporaryDir dir;
        dir.setAutoRemove(!keep);
        ConnectionSettings s;
        s.database = QDir(dir.path()).filePath(QStringLiteral("bench.db"));
        out() << "SQLite, " << s.database << Qt::endl;
        ok = build(s, customers) && measureInChild(s) && ok;
    }
    if (!pg.isEmpty()) {
        const ConnectionSettings s =
            pgSettings(pg, QStringLiteral("qv_bench_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(8)));
        out() << "PostgreSQL, database " << s.database << " on " << s.server << Qt::endl;
        ok = build(s, customers) && measureInChild(s) && ok;
        if (!keep) dropPg(s);
    }
    return ok ? 0 : 1;
}
