// The activity windows on a large database: a million customers and a million schedule entries.
// Builds the database the first time (kept for later runs), then measures with the windows on an
// offscreen screen, every step including the repaint it causes:
//   - the customer drop-down opening with its first names, and completing a typed prefix,
//   - the schedule list's "所有事务" until its first screen and its count show, for an operator with
//     right 92 and for one who sees only his own entries,
//   - the reminder window's refresh.
//
//   bench_activities [--rows N] [--sqlite FILE] [--pg "host=H port=P user=U"] [--no-sqlite] [--rebuild]
//   bench_activities --screenshots DIR [--rows N] [--sqlite FILE]
//
// Without --pg the server comes from QUORVAN_TEST_PG when it is set; the PostgreSQL database is named
// qv_bench_activities_N and kept. The SQLite file defaults to quorvan-bench/activities-N.db in the temp
// folder.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>
#include <cstdio>

#include "Clock.h"
#include "CompanyComboBox.h"
#include "Context.h"
#include "DatabaseInit.h"
#include "Dataset.h"
#include "DbError.h"
#include "Frm_A_Schedule.h"
#include "Frm_A_contact.h"
#include "Frm_AddSchedule.h"
#include "Frm_Awoke.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "LoginState.h"
#include "Prompter.h"
#include "Shell.h"

using namespace qv;

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

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

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void line(const QString& what, double seconds, double target, const QString& note) {
    out() << QStringLiteral("  %1 %2 ms   target < %3 ms  %4   %5\n")
                 .arg(what, -36)
                 .arg(seconds * 1000, 8, 'f', 1)
                 .arg(target * 1000, 0, 'f', 0)
                 .arg(seconds < target ? QStringLiteral("ok") : QStringLiteral("MISSED"), -6)
                 .arg(note);
    out().flush();
}

// Company names are spread over the alphabet of the index so that a prefix lands mid-table.
bool build(const ConnectionSettings& s, int rows) {
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
        const QString n = QString::number(rows);
        if (db.isSqlite()) {
            db.execute(QStringLiteral("begin"));
            db.execute(
                QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                               "insert into custom (CustCode, Company, F_User) select 'B' || i, "
                               "'公司 ' || printf('%07d', (i * 7919) % %1), 'op' || (i % 20) from n")
                    .arg(n));
            db.execute(QStringLiteral(
                           "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                           "insert into T_Schedule (CustCode, Company, Subject, F_User, StartDate, Awoke, "
                           "AwokeDate) "
                           "select 'B' || (i % %1 + 1), '公司', '主题 ' || (i % 50), 'op' || (i % 20), "
                           "strftime('%Y-%m-%d %H:%M:%S', '2022-01-01', '+' || (i * 97 % 94608000) || ' "
                           "seconds'), i % 2, "
                           "strftime('%Y-%m-%d 00:00:00', '2022-01-01', '+' || (i % 1095) || ' days') from n")
                           .arg(n));
            db.execute(QStringLiteral("commit"));
            db.exec(QStringLiteral("analyze"));
        } else {
            db.execute(
                QStringLiteral("insert into custom (CustCode, Company, F_User) select 'B' || i, "
                               "'公司 ' || lpad(((i::bigint * 7919) % %1)::text, 7, '0'), 'op' || (i % 20) "
                               "from generate_series(1, %1) i")
                    .arg(n));
            db.execute(
                QStringLiteral(
                    "insert into T_Schedule (CustCode, Company, Subject, F_User, StartDate, Awoke, "
                    "AwokeDate) "
                    "select 'B' || (i % %1 + 1), '公司', '主题 ' || (i % 50), 'op' || (i % 20), "
                    "timestamp '2022-01-01' + (i::bigint * 97 % 94608000) * interval '1 second', i % 2, "
                    "timestamp '2022-01-01' + (i % 1095) * interval '1 day' from generate_series(1, %1) i")
                    .arg(n));
            db.exec(QStringLiteral("analyze"));
        }
    } catch (const DbError& e) {
        out() << "  build failed: " << e.text() << Qt::endl;
        return false;
    }
    out() << QStringLiteral("  built %1 customers and %1 schedule entries in %2 s\n")
                 .arg(rows)
                 .arg(t.elapsed() / 1000.0, 0, 'f', 1);
    return true;
}

int rowsIn(const ConnectionSettings& s) {
    if (s.driver == Driver::Sqlite && !QFileInfo::exists(s.database)) return -1;
    Database db(QStringLiteral("qv_bench_probe"));
    if (!db.open(s)) return -1;
    try {
        return db.scalar(QStringLiteral("select count(*) from T_Schedule")).toInt();
    } catch (const DbError&) {
        return -1;
    }
}

void typeInto(QLineEdit* e, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(e, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(e, &release);
    }
}

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
    Context ctx(data, prompter, shell, clock, home.path(), [](QDialog& d) {
        d.show();
        settle();
        return 0;
    });
    LoginState login;
    ctx.login = &login;
    LoginState::Rights all;
    all.fill(true);
    login.set(QStringLiteral("Admin"), 0, all);
    QElapsedTimer t;

    {
        CompanyComboBox box;
        box.setDatabase(&data.db());
        box.setPrompter(&prompter);
        box.resize(300, 30);
        box.show();
        settle();
        t.start();
        box.showPopup();
        settle();
        line(QStringLiteral("company drop-down, first names"), t.nsecsElapsed() / 1e9, 0.3,
             QStringLiteral("%1 names, first \"%2\"").arg(box.count()).arg(box.itemText(0)));
        box.hidePopup();
        box.lineEdit()->setFocus();
        const QString prefix = QStringLiteral("公司 05");
        typeInto(box.lineEdit(), prefix.left(prefix.size() - 1));
        settle();
        t.restart();
        typeInto(box.lineEdit(), prefix.right(1));
        settle();
        line(QStringLiteral("company drop-down, typed prefix"), t.nsecsElapsed() / 1e9, 0.3,
             QStringLiteral("\"%1\": %2 names offered").arg(box.currentText()).arg(box.offered().size()));
        box.lineEdit()->setText(QString());
        typeInto(box.lineEdit(), QStringLiteral("公司 099999"));
        settle();
        t.restart();
        typeInto(box.lineEdit(), QStringLiteral("8"));
        settle();
        line(QStringLiteral("company drop-down, rare prefix"), t.nsecsElapsed() / 1e9, 0.3,
             QStringLiteral("\"%1\": %2 names offered").arg(box.currentText()).arg(box.offered().size()));
    }

    for (bool seesAll : {true, false}) {
        LoginState::Rights rights = all;
        rights[92 - 1] = seesAll;
        login.set(seesAll ? QStringLiteral("Admin") : QStringLiteral("op7"), seesAll ? 0 : 1, rights);
        Frm_A_Schedule w(ctx);
        w.resize(1200, 800);
        w.show();
        settle();
        t.restart();
        w.runPeriod(schedule::Period::All);
        settle();
        auto* status = w.findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
        line(seesAll ? QStringLiteral("所有事务, right 92") : QStringLiteral("所有事务, own entries"),
             t.nsecsElapsed() / 1e9, 0.3, status->currentMessage());
        t.restart();
        w.runPeriod(schedule::Period::Week);
        settle();
        line(QStringLiteral("本周事务 (for comparison)"), t.nsecsElapsed() / 1e9, 0.3,
             status->currentMessage());
    }

    {
        Frm_Awoke awoke(ctx);
        t.restart();
        ctx.runModal(awoke);
        line(QStringLiteral("reminder window shown and filled"), t.nsecsElapsed() / 1e9, 0.3, QString());
    }
    return prompter.count > 0 ? 1 : 0;
}

// Pictures of the activity windows on this database, saved into `dir` (for looking at them).
int screenshots(const ConnectionSettings& s, const QString& dir) {
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
    auto save = [&dir](QWidget& w, const char* name) {
        settle();
        const QString png = QDir(dir).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        out() << (w.grab().save(png) ? "saved " : "could not save ") << png << Qt::endl;
    };
    Context ctx(data, prompter, shell, clock, home.path(), [&save](QDialog& d) {
        d.show();
        save(d, qPrintable(d.objectName()));
        return 0;
    });
    LoginState login;
    ctx.login = &login;
    LoginState::Rights all;
    all.fill(true);
    login.set(QStringLiteral("Admin"), 0, all);
    data.OpenQuery(*data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'B1'"));
    data.OpenQuery(*data.Qry_Schedule, QStringLiteral("select * from T_Schedule where CustCode = 'B1'"));
    {
        Frm_AddSchedule add(ctx, Frm_AddSchedule::Mode::Edit);
        ctx.runModal(add);
    }
    {
        Frm_A_Schedule w(ctx);
        w.resize(1100, 600);
        w.show();
        w.runPeriod(schedule::Period::Week);
        save(w, "Frm_A_Schedule");
    }
    {
        Frm_A_contact w(ctx);
        w.resize(1100, 500);
        w.show();
        save(w, "Frm_A_contact");
    }
    {
        Frm_Awoke w(ctx);
        ctx.runModal(w);
    }
    return prompter.count > 0 ? 1 : 0;
}

bool run(const ConnectionSettings& s, int rows, bool rebuild) {
    if (rebuild || rowsIn(s) != rows) {
        if (!build(s, rows)) return false;
    }
    return measure(s) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rows = 1000000;
    QString file, shots, pg = qEnvironmentVariable("QUORVAN_TEST_PG");
    bool sqlite = true, rebuild = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--rows") && i + 1 < args.size())
            rows = args[++i].toInt();
        else if (a == QLatin1String("--sqlite") && i + 1 < args.size())
            file = args[++i];
        else if (a == QLatin1String("--pg") && i + 1 < args.size())
            pg = args[++i];
        else if (a == QLatin1String("--screenshots") && i + 1 < args.size())
            shots = args[++i];
        else if (a == QLatin1String("--no-sqlite"))
            sqlite = false;
        else if (a == QLatin1String("--rebuild"))
            rebuild = true;
        else {
            fprintf(stderr,
                    "usage: bench_activities [--rows N] [--sqlite FILE] [--pg \"host=H port=P user=U\"] "
                    "[--no-sqlite] [--rebuild]\n");
            return 2;
        }
    }
    bool ok = true;
    if (sqlite) {
        if (file.isEmpty()) {
            const QDir dir(QDir::temp().filePath(QStringLiteral("quorvan-bench")));
            QDir().mkpath(dir.path());
            file = dir.filePath(QStringLiteral("activities-%1.db").arg(rows));
        }
        ConnectionSettings s;
        s.database = QFileInfo(file).absoluteFilePath();
        out() << "SQLite, " << s.database << Qt::endl;
        if (!shots.isEmpty()) {
            if (rowsIn(s) != rows && !build(s, rows)) return 1;
            return screenshots(s, shots);
        }
        ok = run(s, rows, rebuild) && ok;
    }
    if (!pg.isEmpty()) {
        const ConnectionSettings s =
            ConnectionSettings::fromKeywords(pg, QStringLiteral("qv_bench_activities_%1").arg(rows));
        out() << "PostgreSQL, database " << s.database << " on " << s.server << Qt::endl;
        ok = run(s, rows, rebuild) && ok;
    }
    return ok ? 0 : 1;
}
