#include "AdminCommand.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include "AdminConfig.h"
#include "Database.h"
#include "DatabaseInit.h"
#include "DemoData.h"

namespace qv::admin {

QString usageText() {
    return QStringLiteral(
        "Usage: quorvan-admin [--home DIR] COMMAND [OPTIONS]\n"
        "\n"
        "The program folder DIR (default: QUORVAN_HOME, else the folder of this program) holds Config.ini;\n"
        "its section DBConn names the database (Driver sqlite|postgres, Server, Database, User, Password).\n"
        "\n"
        "Commands:\n"
        "  init [--force]              create the database with its tables and initial content;\n"
        "                              an existing database is refused unless --force replaces it\n"
        "  demo --customers N [--seed S] [--now \"yyyy-MM-dd HH:mm:ss\"]\n"
        "                              add N demo customers with contacts, schedule entries, follow-up\n"
        "                              records and sales bills (about five related rows per customer),\n"
        "                              dated around --now (default: the clock's date and time)\n"
        "  passwd NAME [--empty]       set the password of operator NAME, typed twice without echo;\n"
        "                              --empty removes it (he then logs in with an empty password)\n"
        "  --help                      show this text\n");
}

namespace {

struct Args {
    QString home;
    QString command;
    bool force = false;
    bool help = false;
    qint64 customers = -1;
    quint64 seed = 1;
    QDateTime now;         // demo: "now" of the generated data; invalid: the clock
    QString operatorName;  // passwd
    bool empty = false;    // passwd --empty
};

const QString kNowFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Fills `a`; returns an error text for a bad command line.
QString parse(const QStringList& args, Args& a) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        auto value = [&](QString* out) -> bool {
            if (i + 1 >= args.size()) return false;
            *out = args.at(++i);
            return true;
        };
        QString v;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            a.help = true;
        } else if (arg == QLatin1String("--home")) {
            if (!value(&v) || v.isEmpty()) return QStringLiteral("--home needs a folder");
            a.home = v;
        } else if (arg.startsWith(QLatin1String("--home="))) {
            a.home = arg.mid(7);
        } else if (arg == QLatin1String("--force")) {
            a.force = true;
        } else if (arg == QLatin1String("--empty")) {
            a.empty = true;
        } else if (arg == QLatin1String("--now")) {
            if (!value(&v)) return QStringLiteral("--now needs a date and time \"%1\"").arg(kNowFormat);
            a.now = QDateTime::fromString(v, kNowFormat);
            if (!a.now.isValid())
                return QStringLiteral("--now needs a date and time \"%1\", not \"%2\"").arg(kNowFormat, v);
        } else if (arg == QLatin1String("--customers") || arg == QLatin1String("--seed")) {
            if (!value(&v)) return QStringLiteral("%1 needs a number").arg(arg);
            bool ok = false;
            if (arg == QLatin1String("--customers")) {
                a.customers = v.toLongLong(&ok);
                if (!ok || a.customers < 1 || a.customers > 100000000)
                    return QStringLiteral("--customers needs a whole number from 1 to 100000000, not \"%1\"")
                        .arg(v);
            } else {
                a.seed = v.toULongLong(&ok);
                if (!ok) return QStringLiteral("--seed needs a whole number, not \"%1\"").arg(v);
            }
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return QStringLiteral("unknown option %1").arg(arg);
        } else if (a.command.isEmpty()) {
            if (arg != QLatin1String("init") && arg != QLatin1String("demo") &&
                arg != QLatin1String("passwd"))
                return QStringLiteral("unknown command %1").arg(arg);
            a.command = arg;
        } else if (a.command == QLatin1String("passwd") && a.operatorName.isNull()) {
            a.operatorName = arg;
        } else {
            return QStringLiteral("unexpected argument %1").arg(arg);
        }
    }
    if (a.help) return {};
    if (a.command.isEmpty()) return QStringLiteral("no command given");
    const bool init = a.command == QLatin1String("init");
    const bool demo = a.command == QLatin1String("demo");
    const bool passwd = a.command == QLatin1String("passwd");
    if (!demo && a.customers >= 0) return QStringLiteral("--customers belongs to the demo command");
    if (!demo && a.now.isValid()) return QStringLiteral("--now belongs to the demo command");
    if (!init && a.force) return QStringLiteral("--force belongs to the init command");
    if (!passwd && a.empty) return QStringLiteral("--empty belongs to the passwd command");
    if (demo && a.customers < 0) return QStringLiteral("demo needs --customers N");
    if (passwd && a.operatorName.trimmed().isEmpty())
        return QStringLiteral("passwd needs the operator's NAME");
    return {};
}

QString describe(const ConnectionSettings& s) {
    if (s.driver == Driver::Postgres)
        return QStringLiteral("PostgreSQL database %1 on %2")
            .arg(s.database, s.server.isEmpty() ? QStringLiteral("the default server") : s.server);
    return QStringLiteral("SQLite database %1").arg(sqliteFilePath(s));
}

int runDemo(const ConnectionSettings& settings, const Args& a, QTextStream& out, QTextStream& err) {
    Database db(QStringLiteral("qv_admin_demo"));
    QString error;
    if (!db.open(settings, &error)) {
        err << "quorvan-admin: cannot open the " << describe(settings) << ": " << error.trimmed() << Qt::endl;
        return ExitFailed;
    }
    if (!db.hasTable(QStringLiteral("custom"))) {
        err << "quorvan-admin: the " << describe(settings) << " holds no tables; run init first" << Qt::endl;
        return ExitFailed;
    }
    DemoOptions o;
    o.customers = int(a.customers);
    o.seed = a.seed;
    if (a.now.isValid()) o.now = a.now;
    o.progress = [&out](const QString& text) { out << "  " << text << Qt::endl; };
    out << "adding " << o.customers << " demo customers to the " << describe(settings) << Qt::endl;
    const DemoCounts counts = generateDemo(db, o);
    qint64 total = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        out << "  " << it.key() << ": " << it.value() << Qt::endl;
        total += it.value();
    }
    out << "  rows in all: " << total << Qt::endl;
    return ExitOk;
}

// Asks for the new password twice; nullopt (after saying why on `err`) when they differ or the input ends.
std::optional<QString> askNewPassword(const SecretReader& readSecret, QTextStream& err) {
    const std::optional<QString> first = readSecret(QStringLiteral("New password: "));
    if (!first) {
        err << "quorvan-admin: no password was given" << Qt::endl;
        return std::nullopt;
    }
    if (first->isEmpty()) {
        err << "quorvan-admin: the password is empty; use --empty to remove the password" << Qt::endl;
        return std::nullopt;
    }
    const std::optional<QString> second = readSecret(QStringLiteral("Retype new password: "));
    if (!second || *second != *first) {
        err << "quorvan-admin: the passwords do not match; nothing was changed" << Qt::endl;
        return std::nullopt;
    }
    return first;
}

int runPasswd(const ConnectionSettings& settings, const Args& a, const SecretReader& readSecret,
              QTextStream& out, QTextStream& err) {
    Database db(QStringLiteral("qv_admin_passwd"));
    QString error;
    if (!db.open(settings, &error)) {
        err << "quorvan-admin: cannot open the " << describe(settings) << ": " << error.trimmed() << Qt::endl;
        return ExitFailed;
    }
    if (!db.hasTable(QStringLiteral("admin"))) {
        err << "quorvan-admin: the " << describe(settings) << " holds no operators; run init first"
            << Qt::endl;
        return ExitFailed;
    }
    // The name is checked before the password is asked for, so a mistyped name costs no typing.
    if (!db.scalar(QStringLiteral("select count(*) from admin where UserName = :n"),
                   {{QStringLiteral("n"), a.operatorName}})
             .toInt()) {
        err << "quorvan-admin: there is no operator named \"" << a.operatorName << "\" in the "
            << describe(settings) << Qt::endl;
        return ExitFailed;
    }
    QString plain;
    if (!a.empty) {
        const std::optional<QString> typed = askNewPassword(readSecret, err);
        if (!typed) return ExitFailed;
        plain = *typed;
    }
    setOperatorPassword(db, a.operatorName, plain);
    out << (a.empty ? "the password of " : "a new password was set for ") << a.operatorName
        << (a.empty ? " was removed" : "") << Qt::endl;
    return ExitOk;
}

}  // namespace

int runAdmin(const QStringList& args, const QString& defaultHome, QTextStream& out, QTextStream& err,
             const SecretReader& readSecret) {
    Args a;
    const QString problem = parse(args, a);
    if (a.help) {
        out << usageText();
        return ExitOk;
    }
    if (!problem.isEmpty()) {
        err << "quorvan-admin: " << problem << "\n\n" << usageText();
        err.flush();
        return ExitUsage;
    }
    QString home = a.home;
    if (home.isEmpty()) home = qEnvironmentVariable("QUORVAN_HOME");
    if (home.isEmpty()) home = defaultHome;
    if (!QFileInfo(home).isDir()) {
        err << "quorvan-admin: the program folder " << home << " does not exist" << Qt::endl;
        return ExitFailed;
    }
    home = QDir(home).absolutePath();

    ConnectionSettings settings;
    QString error;
    if (!readConnection(home, &settings, &error)) {
        err << "quorvan-admin: " << error << Qt::endl;
        return ExitFailed;
    }
    try {
        if (a.command == QLatin1String("init")) {
            QElapsedTimer t;
            t.start();
            const QString done = initDatabase(settings, a.force);
            out << done << " in " << QString::number(double(t.elapsed()) / 1000.0, 'f', 1) << " s"
                << Qt::endl;
            return ExitOk;
        }
        if (a.command == QLatin1String("passwd")) return runPasswd(settings, a, readSecret, out, err);
        return runDemo(settings, a, out, err);
    } catch (const AdminError& e) {
        err << "quorvan-admin: " << e.message() << Qt::endl;
    } catch (const DbError& e) {
        err << "quorvan-admin: " << e.text() << Qt::endl;
    }
    return ExitFailed;
}

}  // namespace qv::admin
