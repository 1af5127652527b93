// The customer workbench on a large database: 200 000 demo customers with about a million related
// rows (contacts, schedule entries, follow-up records, bills and their lines). Builds the database the
// first time (kept for later runs), then measures in a fresh process, with the window on an offscreen
// screen and every measured step including the repaint it causes:
//   - opening the workbench until its first rows and the count show,
//   - moving to another customer (the eight pages of the current customer are read again),
//   - a quick search by company name,
//   - a click on the largest category of the tree.
//
//   bench_workbench [--customers N] [--sqlite FILE] [--pg "host=H port=P user=U"] [--no-sqlite] [--rebuild]
//   bench_workbench --screenshot PNG --sqlite FILE
//
// Without --pg the server comes from QUORVAN_TEST_PG when it is set; the PostgreSQL database is named
// qv_bench_workbench_N and kept. The SQLite file defaults to quorvan-bench/workbench-N.db in the temp folder.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

#include "Clock.h"
#include "Context.h"
#include "DatabaseInit.h"
#include "DemoData.h"
#include "Frm_Custom.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "GridServices.h"
#include "LoginState.h"
#include "Prompter.h"
#include "RecordCommands.h"
#include "Schema.h"
#include "Shell.h"
#include "WorkbenchCommands.h"

using namespace qv;

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

const char* kPasswordVar = "QV_BENCH_PASSWORD";

// Message boxes would wait for a hand: they are printed instead.
class PrintingPrompter : public Prompter {
public:
    QMessageBox::StandardButton message(const QString& text, const QString& caption, QMessageBox::Icon,
                                        QMessageBox::StandardButtons, QWidget*) override {
        out() << "  message [" << caption << "] " << text << Qt::endl;
        ++count;
        return QMessageBox::Ok;
    }
    QString saveFileName(const QString&, const QString&, const QString&, QWidget*) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&, QWidget*) override { return {}; }
    QString directory(const QString&, const QString&, QWidget*) override { return {}; }
    int count = 0;
};

ConnectionSettings pgSettings(const QString& keywords, const QString& database) {
    return ConnectionSettings::fromKeywords(keywords, database);
}

// Lets the window finish what the step caused: layouts, the repaint of the grids.
void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

QString verdict(double seconds, double target) {
    return seconds < target ? QStringLiteral("ok") : QStringLiteral("MISSED");
}

void line(const QString& what, double seconds, double target, const QString& note) {
    out() << QStringLiteral("  %1 %2 ms   target < %3 ms  %4   %5\n")
                 .arg(what, -34)
                 .arg(seconds * 1000, 8, 'f', 1)
                 .arg(target * 1000, 0, 'f', 0)
                 .arg(verdict(seconds, target), -6)
                 .arg(note);
    out().flush();
}

// --- the measuring half ---------------------------------------------------------------------------

int measure(const ConnectionSettings& s) {
    QTemporaryDir home;
    Frm_Data data(home.path());
    QString error;
    if (!data.connectWith(s, &error)) {
        out() << "cannot open: " << error << Qt::endl;
        return 1;
    }
    PrintingPrompter prompter;
    DesktopShell shell;
    Clock clock;
    Context ctx(data, prompter, shell, clock, home.path(), [](QDialog&) { return 0; });
    LoginState login;
    ctx.login = &login;
    Frm_Main main(ctx);
    main.resize(1280, 900);
    LoginState::Rights all;
    all.fill(true);
    login.set(QStringLiteral("Admin"), 0, all);
    main.show();
    settle();
    installWorkbenchCommands(ctx, main);
    installRecordCommands(ctx, main);

    Dataset& customers = *data.Qry_Cust;
    QLabel* status = main.statusPanel(2);
    QElapsedTimer t;

    // Opening.
    t.start();
    main.action(Frm_Main::kWorkbench)->trigger();
    settle();
    const double openS = t.nsecsElapsed() / 1e9;
    auto* w = main.findChild<Frm_Custom*>();
    if (!w) {
        out() << "  the workbench did not open" << Qt::endl;
        return 1;
    }
    line(QStringLiteral("open the workbench"), openS, 0.5,
         QStringLiteral("%1 rows read, status \"%2\"").arg(customers.loadedRows()).arg(status->text()));

    // Moving to the next customer, and a jump far down the list.
    double total = 0, worst = 0;
    const int moves = 50;
    int detailRows = 0;
    for (int i = 1; i <= moves; ++i) {
        t.restart();
        customers.setCurrentRow(i);
        settle();
        const double e = t.nsecsElapsed() / 1e9;
        total += e;
        worst = std::max(worst, e);
        for (Dataset* ds : {data.Qry_Contact, data.Qry_Schedule, data.Qry_Sale, data.Qry_price,
                            data.Qry_visit, data.Qry_feedback, data.Qry_track, data.Qry_bargain})
            detailRows += ds->rowCount();
    }
    line(QStringLiteral("next customer (mean of %1)").arg(moves), total / moves, 0.03,
         QStringLiteral("worst %1 ms, %2 page rows per customer")
             .arg(worst * 1000, 0, 'f', 1)
             .arg(double(detailRows) / moves, 0, 'f', 1));
    const int far = customers.recordCount() * 3 / 4;
    t.restart();
    customers.setCurrentRow(far);
    settle();
    // Reading the rows in between is the list's work, not the pages': no target of its own.
    out() << QStringLiteral("  %1 %2 ms   (for comparison: rows are read up to there)\n")
                 .arg(QStringLiteral("jump to row %1").arg(far), -34)
                 .arg(t.nsecsElapsed() / 1e6, 8, 'f', 1);
    t.restart();
    customers.setCurrentRow(far + 1);
    settle();
    line(QStringLiteral("next customer after the jump"), t.nsecsElapsed() / 1e9, 0.03,
         QStringLiteral("customer %1").arg(customers.text(QStringLiteral("CustCode"))));

    // Quick search by company name: a piece of a name from the middle of the list.
    const QString company = customers.value(far, QStringLiteral("Company")).toString();
    const QString piece = company.mid(std::max(0, int(company.size()) / 2 - 2), 4);
    auto* combo = w->findChild<QComboBox*>(QStringLiteral("Combo_Type"));
    auto* key = w->findChild<QLineEdit*>(QStringLiteral("Edit_Key"));
    auto* button = w->findChild<QPushButton*>(QStringLiteral("Btn_Search"));
    combo->setCurrentIndex(workbench::kDefaultEntry);
    key->setText(piece);
    t.restart();
    button->click();
    settle();
    line(QStringLiteral("quick search, company"), t.nsecsElapsed() / 1e9, 0.3,
         QStringLiteral("\"%1\": %2").arg(piece, status->text()));

    // A piece that most names hold: the list is nearly the whole table.
    key->setText(QStringLiteral("有限公司"));
    t.restart();
    button->click();
    settle();
    line(QStringLiteral("quick search, company, broad"), t.nsecsElapsed() / 1e9, 0.3,
         QStringLiteral("\"%1\": %2").arg(key->text(), status->text()));

    // Quick search by contact name (no target of its own; for comparison).
    combo->setCurrentIndex(workbench::kContactHeading + 1);
    key->setText(data.db().scalar(QStringLiteral("select Name from contact where ContactId = 7")).toString());
    t.restart();
    button->click();
    settle();
    line(QStringLiteral("quick search, contact (for comparison)"), t.nsecsElapsed() / 1e9, 0.3,
         QStringLiteral("\"%1\": %2").arg(key->text(), status->text()));

    // The largest top-level category.
    auto* tree = w->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QTreeWidgetItem* largest = nullptr;
    int largestCount = -1;
    for (int i = 0; root && i < root->childCount(); ++i) {
        const QString code = root->child(i)->data(0, kCodeRole).toString();
        const int n = data.db()
                          .scalar(QStringLiteral("select count(*) from custom where Category like :c"),
                                  {{QStringLiteral("c"), code + QLatin1Char('%')}})
                          .toInt();
        if (n > largestCount) {
            largestCount = n;
            largest = root->child(i);
        }
    }
    if (largest) {
        t.restart();
        emit tree->itemClicked(largest, 0);
        settle();
        line(QStringLiteral("category click, largest"), t.nsecsElapsed() / 1e9, 0.5,
             QStringLiteral("\"%1\": %2").arg(largest->text(0), status->text()));
    }
    t.restart();
    emit tree->itemClicked(root, 0);
    settle();
    line(QStringLiteral("category click, root (all)"), t.nsecsElapsed() / 1e9, 0.5, status->text());

    // An operator without right 91: his own customers only.
    const QString owner =
        data.db()
            .scalar(QStringLiteral("select F_User from custom where F_User <> 'Admin' group by F_User "
                                   "order by count(*) desc"))
            .toString();
    LoginState::Rights own = all;
    own[workbench::kSeeAllRight - 1] = false;
    login.set(owner, 1, own);
    t.restart();
    w->loadAllCustomers();
    settle();
    line(QStringLiteral("own customers of %1").arg(owner), t.nsecsElapsed() / 1e9, 0.5, status->text());

    if (prompter.count > 0) out() << "  (" << prompter.count << " messages were shown)" << Qt::endl;
    main.hide();
    return prompter.count > 0 ? 1 : 0;
}

// A picture of the main window with the workbench open on an existing database, its second customer
// current (to see how it looks; run under a display or offscreen).
int screenshot(const ConnectionSettings& s, const QString& png) {
    QTemporaryDir home;
    Frm_Data data(home.path());
    QString error;
    if (!data.connectWith(s, &error)) {
        out() << "cannot open: " << error << Qt::endl;
        return 1;
    }
    PrintingPrompter prompter;
    DesktopShell shell;
    Clock clock;
    Context ctx(data, prompter, shell, clock, home.path(), [](QDialog&) { return 0; });
    LoginState login;
    ctx.login = &login;
    Frm_Main main(ctx);
    installWorkbenchCommands(ctx, main);
    installRecordCommands(ctx, main);
    main.resize(1280, 860);
    LoginState::Rights all;
    all.fill(true);
    login.set(QStringLiteral("Admin"), 0, all);
    main.show();  // the first show opens the workbench
    settle();
    data.Qry_Cust->setCurrentRow(1);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 500) settle();
    const bool ok = main.grab().save(png);
    out() << (ok ? "saved " : "could not save ") << png << Qt::endl;
    return ok && prompter.count == 0 ? 0 : 1;
}

// --- building -------------------------------------------------------------------------------------

// Customers already in the database; -1 when it cannot be opened.
int customersIn(const ConnectionSettings& s) {
    if (s.driver == Driver::Sqlite && !QFileInfo::exists(s.database)) return -1;
    Database db(QStringLiteral("qv_bench_probe"));
    if (!db.open(s)) return -1;
    try {
        return db.scalar(QStringLiteral("select count(*) from custom")).toInt();
    } catch (const DbError&) {
        return -1;
    }
}

bool build(const ConnectionSettings& s, int customers) {
    QElapsedTimer t;
    t.start();
    try {
        admin::initDatabase(s, true);
        Database db(QStringLiteral("qv_bench_build"));
        QString error;
        if (!db.open(s, &error)) {
            out() << "  cannot open: " << error << Qt::endl;
            return false;
        }
        admin::DemoOptions o;
        o.customers = customers;
        o.progress = [](const QString& note) { out() << "  " << note << Qt::endl; };
        const admin::DemoCounts counts = admin::generateDemo(db, o);
        qint64 related = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.key().compare(QLatin1String("custom"), Qt::CaseInsensitive) != 0) related += it.value();
        if (db.isSqlite())
            db.exec(QStringLiteral("pragma wal_checkpoint(truncate)"));
        else
            db.exec(QStringLiteral("analyze"));
        out() << QStringLiteral("  built %1 customers with %2 related rows in %3 s\n")
                     .arg(customers)
                     .arg(related)
                     .arg(t.elapsed() / 1000.0, 0, 'f', 1);
    } catch (const admin::AdminError& e) {
        out() << "  building failed: " << e.message() << Qt::endl;
        return false;
    } catch (const DbError& e) {
        out() << "  building failed: " << e.text() << Qt::endl;
        return false;
    }
    out().flush();
    return true;
}

bool measureInChild(const ConnectionSettings& s) {
    QProcess p;
    const QStringList args = {
        QStringLiteral("--measure"),
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

bool run(const ConnectionSettings& s, int customers, bool rebuild) {
    const int have = rebuild ? -1 : customersIn(s);
    if (have < customers && !build(s, customers)) return false;
    if (have >= customers) out() << "  using the existing database (" << have << " customers)" << Qt::endl;
    return measureInChild(s);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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

    const int shot = int(args.indexOf(QLatin1String("--screenshot")));
    const int db = int(args.indexOf(QLatin1String("--sqlite")));
    if (shot >= 0 && shot + 1 < args.size() && db >= 0 && db + 1 < args.size()) {
        ConnectionSettings s;
        s.database = QFileInfo(args[db + 1]).absoluteFilePath();
        return screenshot(s, args[shot + 1]);
    }

    int customers = 200000;
    QString pg = qEnvironmentVariable("QUORVAN_TEST_PG");
    QString file;
    bool sqlite = true, rebuild = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--customers") && i + 1 < args.size()) {
            customers = args[++i].toInt();
        } else if (a == QLatin1String("--sqlite") && i + 1 < args.size()) {
            file = args[++i];
        } else if (a == QLatin1String("--pg") && i + 1 < args.size()) {
            pg = args[++i];
        } else if (a == QLatin1String("--no-sqlite")) {
            sqlite = false;
        } else if (a == QLatin1String("--rebuild")) {
            rebuild = true;
        } else {
            fprintf(stderr,
                    "usage: bench_workbench [--customers N] [--sqlite FILE] [--pg \"host=H port=P user=U\"] "
                    "[--no-sqlite] [--rebuild]\n");
            return 2;
        }
    }
    if (customers < 1000) {
        fprintf(stderr, "bench_workbench: --customers needs at least 1000\n");
        return 2;
    }

    bool ok = true;
    if (sqlite) {
        if (file.isEmpty()) {
            const QDir dir(QDir::temp().filePath(QStringLiteral("quorvan-bench")));
            QDir().mkpath(dir.path());
            file = dir.filePath(QStringLiteral("workbench-%1.db").arg(customers));
        }
        ConnectionSettings s;
        s.database = QFileInfo(file).absoluteFilePath();
        out() << "SQLite, " << s.database << Qt::endl;
        ok = run(s, customers, rebuild) && ok;
    }
    if (!pg.isEmpty()) {
        const ConnectionSettings s = pgSettings(pg, QStringLiteral("qv_bench_workbench_%1").arg(customers));
        out() << "PostgreSQL, database " << s.database << " on " << s.server << Qt::endl;
        ok = run(s, customers, rebuild) && ok;
    }
    return ok ? 0 : 1;
}
