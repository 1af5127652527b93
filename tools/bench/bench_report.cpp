// Report printing on a large customer list. Builds a database of demo customers (SQLite and, when a
// server is given, PostgreSQL), then measures in a fresh process:
//   - address labels for the first 10 000 customers: prepared and the first page painted,
//   - the customer sheet over every customer, cancelled after a few seconds of preparing
//   (QV_BENCH_CANCEL_MS),
//     with the memory its pages hold and the process's peak memory.
// With --pdf DIR it also writes the customer sheet, envelope and labels of the first three customers
// as PDF files (and as saved reports, .frp) into DIR.
//
//   bench_report [--customers N] [--pg "host=H port=P user=U"] [--no-sqlite] [--pdf DIR]
//
// Without --pg the server comes from QUORVAN_TEST_PG when it is set.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>
#include <cstdio>

#include "Database.h"
#include "DatabaseInit.h"
#include "Dataset.h"
#include "DbError.h"
#include "DemoData.h"
#include "Report.h"
#include "ReportEngine.h"
#include "ReportExport.h"

using namespace qv;

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

const char* kPasswordVar = "QV_BENCH_PASSWORD";

// Peak (VmHWM) or current (VmRSS) resident memory of this process in KiB.
qint64 memoryKiB(const char* key = "VmHWM:") {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

QString ok(bool met) { return met ? QStringLiteral("ok") : QStringLiteral("MISSED"); }

Report customerReport(const QString& path, const QString& source, Dataset& cust, Dataset& info) {
    Report r;
    r.loadTemplate(QCoreApplication::applicationDirPath(), path);
    r.setSource(source, &cust);
    r.setSource(QStringLiteral("info"), &info);
    return r;
}

int measure(const ConnectionSettings& s, const QString& pdfDir) {
    Database db(QStringLiteral("qv_bench"));
    QString error;
    if (!db.open(s, &error)) {
        out() << "cannot open: " << error << Qt::endl;
        return 1;
    }
    Dataset info(db, QStringLiteral("Qry_Custom"));
    info.setSql(QStringLiteral("select * from info"));
    info.open();
    QElapsedTimer t;

    if (!pdfDir.isEmpty()) {
        Dataset few(db, QStringLiteral("Qry_Cust"));
        few.setSql(
            QStringLiteral("select * from custom where CustID in (select CustID from custom order by CustID "
                           "limit 3) order by CustID"));
        few.open();
        const std::pair<const char*, const char*> reports[] = {{"Reports/fr_CustBasic.frf", "fr_Cust"},
                                                               {"Reports/fr_envelop.frf", "fr_Cust"},
                                                               {"Reports/fr_label.frf", "frDB_label"}};
        for (const auto& [path, source] : reports) {
            const QString file = QDir(pdfDir).filePath(
                QFileInfo(QString::fromLatin1(path)).completeBaseName() + QStringLiteral(".pdf"));
            const PreparedReport prepared = prepareReport(
                customerReport(QString::fromLatin1(path), QString::fromLatin1(source), few, info));
            exportReport(prepared, ExportFormat::Pdf, file);
            exportReport(prepared, ExportFormat::Saved,
                         QString(file).replace(QStringLiteral(".pdf"), QStringLiteral(".frp")));
            out() << "  wrote " << file << Qt::endl;
        }
    }

    {  // Labels for 10 000 customers, until the first page is painted.
        Dataset cust(db, QStringLiteral("Qry_Cust"));
        cust.setSql(
            QStringLiteral("select * from custom where CustID in (select CustID from custom order by CustID "
                           "limit 10000) order by CustID"));
        t.start();
        cust.open();
        const Report r =
            customerReport(QStringLiteral("Reports/fr_label.frf"), QStringLiteral("frDB_label"), cust, info);
        const PreparedReport p = prepareReport(r);
        QImage page(int(p.pages[0].width / 25.4 * 96), int(p.pages[0].height / 25.4 * 96),
                    QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(96 / 0.0254));
        page.setDotsPerMeterY(qRound(96 / 0.0254));
        page.fill(Qt::white);
        QPainter painter(&page);
        paintPage(painter, p.pages[0]);
        painter.end();
        const double s1 = t.nsecsElapsed() / 1e9;
        out() << QStringLiteral(
                     "  labels, %1 customers: %2 pages, first page shown after %3 s   target <= 3 s  %4\n")
                     .arg(cust.rowCount())
                     .arg(p.pages.size())
                     .arg(s1, 0, 'f', 2)
                     .arg(ok(s1 <= 3));
    }
    {  // The customer sheet over every customer, cancelled after five seconds.
        Dataset cust(db, QStringLiteral("Qry_Cust"));
        cust.setSql(QStringLiteral("select * from custom"));
        cust.open();
        const Report r =
            customerReport(QStringLiteral("Reports/fr_CustBasic.frf"), QStringLiteral("fr_Cust"), cust, info);
        // QV_BENCH_CANCEL_MS sets when preparing is cancelled (default five seconds).
        const int cancelMs = qEnvironmentVariableIsSet("QV_BENCH_CANCEL_MS")
                                 ? qEnvironmentVariableIntValue("QV_BENCH_CANCEL_MS")
                                 : 5000;
        PrepareOptions o;
        int reached = 0, total = 0;
        QElapsedTimer cancelAt;
        cancelAt.start();
        o.progress = [&](int done, int all) {
            reached = done, total = all;
            return cancelAt.elapsed() < cancelMs;
        };
        const qint64 before = memoryKiB("VmRSS:");
        if (qEnvironmentVariableIsSet(
                "QV_BENCH_READ_ONLY")) {  // the dataset's share: every row read by index
            for (int row = 0;; ++row) {
                if (row >= cust.rowCount() &&
                    (!cust.canFetchMore() || (cust.fetchMore(), row >= cust.rowCount())))
                    break;
                cust.value(row, 1);
            }
            out() << QStringLiteral("  reading every row holds %1 MB\n")
                         .arg((memoryKiB("VmRSS:") - before) / 1024.0, 0, 'f', 1);
        }
        t.start();
        const PreparedReport p = prepareReport(r, o);
        const qint64 held = memoryKiB("VmRSS:") - before;
        qint64 packedBytes = 0;
        for (const PreparedPage& pg : p.pages) packedBytes += pg.packed.size();
        out() << QStringLiteral("  packed pages: %1 MB\n").arg(packedBytes / 1048576.0, 0, 'f', 1);
        const qint64 after = cancelAt.elapsed();
        out() << QStringLiteral(
                     "  customer sheet over %1 customers: %2 rows in %3 pages when %4 after %5 s\n")
                     .arg(total)
                     .arg(reached)
                     .arg(p.pages.size())
                     .arg(p.cancelled ? QStringLiteral("cancelled") : QStringLiteral("finished"))
                     .arg(after / 1000.0, 0, 'f', 2);
        out() << QStringLiteral("  memory held by the prepared pages: %1 MB (%2 KB a row)\n")
                     .arg(held / 1024.0, 0, 'f', 1)
                     .arg(reached ? double(held) / reached : 0, 0, 'f', 2);
        const qint64 peak = memoryKiB();
        out() << QStringLiteral("  peak memory %1 MB   target < 500 MB  %2\n")
                     .arg(peak / 1024.0, 0, 'f', 1)
                     .arg(ok(peak < 500 * 1024));
    }
    out().flush();
    return 0;
}

bool build(const ConnectionSettings& s, int customers) {
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
        db.execute(QStringLiteral("update info set Company = :c, Address = :a, Postcode = :p"),
                   {{QStringLiteral("c"), QStringLiteral(u"星河贸易有限公司")},
                    {QStringLiteral("a"), QStringLiteral(u"上海市浦东新区世纪大道88号")},
                    {QStringLiteral("p"), QStringLiteral("200120")}});
    } catch (const admin::AdminError& e) {
        out() << "  building failed: " << e.message() << Qt::endl;
        return false;
    } catch (const DbError& e) {
        out() << "  building failed: " << e.text() << Qt::endl;
        return false;
    }
    return true;
}

bool measureInChild(const ConnectionSettings& s, const QString& pdfDir) {
    QProcess p;
    const QStringList args = {
        QStringLiteral("--measure"),
        s.driver == Driver::Postgres ? QStringLiteral("postgres") : QStringLiteral("sqlite"),
        s.server,
        s.database,
        s.user,
        pdfDir};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kPasswordVar), s.password);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QCoreApplication::applicationFilePath(), args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void dropPg(const ConnectionSettings& s) {
    Database maint(QStringLiteral("qv_bench_maint"));
    ConnectionSettings ms = s;
    ms.database = QStringLiteral("postgres");
    if (!maint.open(ms)) return;
    try {
        maint.exec(
            QStringLiteral("drop database if exists %1").arg(maint.dialect().quoteIdentifier(s.database)));
    } catch (const DbError&) {
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.value(0) == QLatin1String("--measure") && args.size() == 6) {
        ConnectionSettings s;
        s.driver = ConnectionSettings::driverFromName(args[1]);
        s.server = args[2];
        s.database = args[3];
        s.user = args[4];
        s.password = qEnvironmentVariable(kPasswordVar);
        try {
            return measure(s, args[5]);
        } catch (const DbError& e) {
            out() << "  failed: " << e.text() << Qt::endl;
            return 1;
        }
    }
    int customers = 200000;
    QString pg = qEnvironmentVariable("QUORVAN_TEST_PG"), pdfDir;
    bool sqlite = true;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--customers") && i + 1 < args.size()) {
            customers = args[++i].toInt();
        } else if (a == QLatin1String("--pg") && i + 1 < args.size()) {
            pg = args[++i];
        } else if (a == QLatin1String("--pdf") && i + 1 < args.size()) {
            pdfDir = QDir(args[++i]).absolutePath();
        } else if (a == QLatin1String("--no-sqlite")) {
            sqlite = false;
        } else {
            fprintf(stderr,
                    "usage: bench_report [--customers N] [--pg \"host=H port=P user=U\"] [--no-sqlite] "
                    "[--pdf DIR]\n");
            return 2;
        }
    }
    bool good = true;
    if (sqlite) {
        QTemporaryDir dir;
        ConnectionSettings s;
        s.database = QDir(dir.path()).filePath(QStringLiteral("bench.db"));
        out() << "SQLite, " << customers << " customers" << Qt::endl;
        good = build(s, customers) && measureInChild(s, pdfDir) && good;
    }
    if (!pg.isEmpty()) {
        const ConnectionSettings s = ConnectionSettings::fromKeywords(
            pg, QStringLiteral("qv_bench_report_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(8)));
        out() << "PostgreSQL, " << customers << " customers" << Qt::endl;
        good = build(s, customers) && measureInChild(s, pdfDir) && good;
        dropPg(s);
    }
    return good ? 0 : 1;
}
