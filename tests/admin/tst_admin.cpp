#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "AdminConfig.h"
#include "Database.h"
#include "Money.h"
#include "PasswordHash.h"
#include "TestDb.h"

using namespace qv;

namespace {

struct Result {
    int code = -1;
    QString out, err;
};

QString adminProgram() {
    return QDir(qEnvironmentVariable("QUORVAN_BUILD_DIR")).filePath(QStringLiteral("quorvan-admin"));
}

// Runs the tool; `input` is what it reads on its standard input (a pipe, not a terminal).
Result runAdmin(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QUORVAN_HOME"));
    p.setProcessEnvironment(env);
    p.start(adminProgram(), args);
    p.write(input);
    p.closeWriteChannel();
    Result r;
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void writeFile(const QString& path, const QString& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

// A Config.ini whose DBConn section names the database of `s`.
QString iniFor(const ConnectionSettings& s) {
    return QStringLiteral("[DBConn]\nDriver=%1\nServer=%2\nDatabase=%3\nUser=%4\nPassword=%5\n")
        .arg(s.driver == Driver::Postgres ? QStringLiteral("postgres") : QStringLiteral("sqlite"), s.server,
             s.database, s.user, s.password);
}

qint64 count(const Database& db, const QString& sql) { return db.scalar(sql).toLongLong(); }

double rateOf(const QString& goodsTc) {
    const int pc = goodsTc.indexOf(QLatin1Char('%'));
    return pc <= 0 ? 0.0 : goodsTc.left(pc).toDouble();
}

}  // namespace

class TestAdmin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void readsConnectionFromIni_data();
    void readsConnectionFromIni();

    void commandLineErrors_data();
    void commandLineErrors();
    void helpExitsCleanly();

    void initSqliteRefusesExistingFileUnlessForced();
    void initPostgresCreatesRefusesAndRecreates();

    void demoDataIsConsistent();

    void passwd_data();
    void passwd();

private:
    void checkDemoData(const Database& db, qint64 customers, const QDate& today);
    QTemporaryDir home_;
};

void TestAdmin::initTestCase() {
    QVERIFY2(QFile::exists(adminProgram()), qPrintable(adminProgram()));
    QVERIFY(home_.isValid());
}

void TestAdmin::readsConnectionFromIni_data() {
    QTest::addColumn<QString>("ini");
    QTest::addColumn<bool>("postgres");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");

    QTest::newRow("sqlite by default") << "[DBConn]\nDatabase=Quorvan.db\n"
                                       << false << ""
                                       << "Quorvan.db"
                                       << ""
                                       << "";
    QTest::newRow("names in any case, blanks around values")
        << "; comment\n[other]\nDatabase=wrong.db\n[dbconn]\r\n DRIVER = Postgres "
           "\r\nserver=db.example:5433\r\n"
           "DataBase = crm\r\nuser=sa\r\n"
        << true << "db.example:5433"
        << "crm"
        << "sa"
        << "";
    QTest::newRow("password keeps ; and =") << "[DBConn]\nDriver=postgres\nPassword=a;b=c\n# note\n"
                                            << true << ""
                                            << ""
                                            << ""
                                            << "a;b=c";
    QTest::newRow("first of a repeated key wins, other sections ignored")
        << "[DBConn]\nDatabase=one.db\nDatabase=two.db\n[config]\nDriver=postgres\n"
        << false << ""
        << "one.db"
        << ""
        << "";
}

void TestAdmin::readsConnectionFromIni() {
    QFETCH(QString, ini);
    const QString dir = home_.filePath(QStringLiteral("ini"));
    QDir().mkpath(dir);
    writeFile(dir + QStringLiteral("/Config.ini"), ini);
    ConnectionSettings s;
    QString error;
    QVERIFY2(admin::readConnection(dir, &s, &error), qPrintable(error));
    QTEST(s.driver == Driver::Postgres, "postgres");
    QTEST(s.server, "server");
    QTEST(s.database, "database");
    QTEST(s.user, "user");
    QTEST(s.password, "password");
    QCOMPARE(s.baseDir, dir);
}

void TestAdmin::commandLineErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("ini");  // empty: no Config.ini in the folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString sqlite = QStringLiteral("[DBConn]\nDatabase=missing.db\n");
    QTest::newRow("no command") << QStringList() << sqlite << 2 << "no command";
    QTest::newRow("unknown command") << QStringList{"backupx"} << sqlite << 2 << "unknown command";
    QTest::newRow("unknown option") << QStringList{"init", "--fast"} << sqlite << 2 << "unknown option";
    QTest::newRow("demo without count") << QStringList{"demo"} << sqlite << 2 << "--customers";
    QTest::newRow("count not a number")
        << QStringList{"demo", "--customers", "many"} << sqlite << 2 << "many";
    QTest::newRow("count zero") << QStringList{"demo", "--customers", "0"} << sqlite << 2 << "--customers";
    QTest::newRow("count missing") << QStringList{"demo", "--customers"} << sqlite << 2 << "--customers";
    QTest::newRow("force with demo") << QStringList{"demo", "--customers", "5", "--force"} << sqlite << 2
                                     << "--force";
    QTest::newRow("two commands") << QStringList{"init", "demo"} << sqlite << 2 << "unexpected";
    QTest::newRow("now not a date") << QStringList{"demo", "--customers", "5", "--now", "2026-02-30 10:00:00"}
                                    << sqlite << 2 << "2026-02-30 10:00:00";
    QTest::newRow("now without time")
        << QStringList{"demo", "--customers", "5", "--now", "2026-03-01"} << sqlite << 2 << "--now";
    QTest::newRow("now with init") << QStringList{"init", "--now", "2026-03-01 10:00:00"} << sqlite << 2
                                   << "--now";
    QTest::newRow("passwd without name") << QStringList{"passwd"} << sqlite << 2 << "NAME";
    QTest::newRow("passwd with two names") << QStringList{"passwd", "a", "b"} << sqlite << 2 << "unexpected";
    QTest::newRow("empty with demo") << QStringList{"demo", "--customers", "5", "--empty"} << sqlite << 2
                                     << "--empty";
    QTest::newRow("passwd on a missing file")
        << QStringList{"passwd", "Admin", "--empty"} << sqlite << 1 << "missing.db";
    QTest::newRow("no Config.ini") << QStringList{"init"} << QString() << 1 << "Config.ini";
    QTest::newRow("no database named") << QStringList{"init"} << "[DBConn]\nDriver=sqlite\n"
                                       << 1 << "Database";
    QTest::newRow("demo on a missing file")
        << QStringList{"demo", "--customers", "5"} << sqlite << 1 << "missing.db";
    QTest::newRow("server unreachable")
        << QStringList{"init"} << "[DBConn]\nDriver=postgres\nServer=127.0.0.1:1\nDatabase=x\nUser=u\n"
        << 1 << "cannot connect";
}

void TestAdmin::commandLineErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, ini);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    if (!ini.isEmpty()) writeFile(dir.filePath(QStringLiteral("Config.ini")), ini);
    const Result r = runAdmin(QStringList{QStringLiteral("--home"), dir.path()} + args);
    QCOMPARE(r.code, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    // A refused command creates nothing.
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing.db"))));
}

void TestAdmin::helpExitsCleanly() {
    const Result r = runAdmin({QStringLiteral("--help")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains(QStringLiteral("init [--force]")));
    QVERIFY(r.out.contains(QStringLiteral("demo --customers N")));
}

void TestAdmin::initSqliteRefusesExistingFileUnlessForced() {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Config.ini")), QStringLiteral("[dbconn]\ndatabase=data/crm.db\n"));
    const QString file = dir.filePath(QStringLiteral("data/crm.db"));

    Result r = runAdmin({QStringLiteral("--home"), dir.path(), QStringLiteral("init")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(QFile::exists(file));
    QVERIFY(!QFile::exists(file + QStringLiteral("-wal")));
    {
        Database db(QStringLiteral("check"));
        ConnectionSettings s;
        s.database = file;
        QVERIFY(db.open(s));
        QCOMPARE(count(db, QStringLiteral("select count(*) from admin where UserName = 'Admin'")), 1);
        QVERIFY(count(db, QStringLiteral("select count(*) from T_System")) > 0);
        // A change of our own shows whether a later run replaced the file.
        db.exec(QStringLiteral("insert into Dict_Country (name) values ('马达加斯加')"));
    }
    const auto marked = [&] {
        Database db(QStringLiteral("check"));
        ConnectionSettings s;
        s.database = file;
        if (!db.open(s)) return -1LL;
        return count(db, QStringLiteral("select count(*) from Dict_Country where name = '马达加斯加'"));
    };

    r = runAdmin({QStringLiteral("--home"), dir.path(), QStringLiteral("init")});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("already exists")) && r.err.contains(QStringLiteral("--force")),
             qPrintable(r.err));
    QCOMPARE(marked(), 1LL);

    r = runAdmin({QStringLiteral("--home"), dir.path(), QStringLiteral("init"), QStringLiteral("--force")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(marked(), 0LL);
    // Nothing of the temporary build is left beside the database.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("data"))).entryList(QDir::Files), QStringList{"crm.db"});
}

void TestAdmin::initPostgresCreatesRefusesAndRecreates() {
    if (!test::TestDb::usingPostgres()) QSKIP("needs QUORVAN_TEST_PG");
    // The test server's address and login, with a database name of our own.
    const ConnectionSettings server = test::TestDb::fresh();
    ConnectionSettings s = server;
    s.database = QStringLiteral("qvt_admin_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(10));

    Database maint(QStringLiteral("maint"));
    ConnectionSettings ms = server;
    ms.database = QStringLiteral("postgres");
    QVERIFY(maint.open(ms));
    struct Dropper {
        Database& db;
        QString name;
        ~Dropper() {
            try {
                db.exec(QStringLiteral("drop database if exists \"%1\" with (force)").arg(name));
            } catch (const DbError&) {
            }
        }
    } dropper{maint, s.database};

    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Config.ini")), iniFor(s));
    const QStringList init = {QStringLiteral("--home"), dir.path(), QStringLiteral("init")};

    Result r = runAdmin(init);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    {
        Database db(QStringLiteral("check"));
        QVERIFY(db.open(s));
        QCOMPARE(count(db, QStringLiteral("select count(*) from admin")), 1);
        db.exec(QStringLiteral("insert into Dict_Country (name) values ('马达加斯加')"));
    }
    r = runAdmin(init);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("already exists")), qPrintable(r.err));

    r = runAdmin(init + QStringList{QStringLiteral("--force")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    Database db(QStringLiteral("check"));
    QVERIFY(db.open(s));
    QCOMPARE(count(db, QStringLiteral("select count(*) from Dict_Country where name = '马达加斯加'")), 0);
    QCOMPARE(count(db, QStringLiteral("select count(*) from admin")), 1);
}

void TestAdmin::demoDataIsConsistent() {
    const ConnectionSettings s = test::TestDb::fresh();
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Config.ini")), iniFor(s));
    // Dated around a fixed "now", not the clock: the schedule has entries on that day, no bill after it.
    const QStringList demo = {QStringLiteral("--home"),
                              dir.path(),
                              QStringLiteral("demo"),
                              QStringLiteral("--customers"),
                              QStringLiteral("50"),
                              QStringLiteral("--now"),
                              QStringLiteral("2024-02-29 10:30:00")};
    const QDate today(2024, 2, 29);

    Result r = runAdmin(demo + QStringList{QStringLiteral("--seed"), QStringLiteral("7")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    {
        Database db(QStringLiteral("check"));
        QVERIFY(db.open(s));
        checkDemoData(db, 50, today);
        if (QTest::currentTestFailed()) return;
        QCOMPARE(db.scalar(QStringLiteral("select min(CustCode) from custom")).toString(),
                 QStringLiteral("KH000001"));
        QCOMPARE(db.scalar(QStringLiteral("select max(CustCode) from custom")).toString(),
                 QStringLiteral("KH000050"));
    }
    // A second run continues the codes and numbers and reuses what exists.
    r = runAdmin(demo + QStringList{QStringLiteral("--seed"), QStringLiteral("8")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    Database db(QStringLiteral("check"));
    QVERIFY(db.open(s));
    checkDemoData(db, 100, today);
    QCOMPARE(db.scalar(QStringLiteral("select max(CustCode) from custom")).toString(),
             QStringLiteral("KH000100"));
    QCOMPARE(count(db, QStringLiteral("select count(*) from admin")), 5);
    QCOMPARE(db.scalar(QStringLiteral("select max(SaleDate) from T_sale")).toDateTime().date() <= today,
             true);
    QCOMPARE(db.scalar(QStringLiteral("select min(SaleDate) from T_sale")).toDateTime().date() >=
                 today.addYears(-2),
             true);
}

void TestAdmin::checkDemoData(const Database& db, qint64 customers, const QDate& today) {
    QCOMPARE(count(db, QStringLiteral("select count(*) from custom")), customers);

    // Codes are unique.
    for (const auto& [table, column] : {std::pair{"custom", "CustCode"},
                                        {"T_sale", "BillCode"},
                                        {"T_Products", "Product_Code"},
                                        {"Dict_Cust_Category", "Code"},
                                        {"Dict_Product_Category", "Code"},
                                        {"admin", "UserName"}})
        QVERIFY2(count(db, QStringLiteral("select count(*) - count(distinct %1) from %2")
                               .arg(QLatin1String(column), QLatin1String(table))) == 0,
                 table);

    // Every related row belongs to an existing customer, every line to an existing bill of that customer.
    for (const auto& [table, column] : {std::pair{"contact", "CustCode"},
                                        {"T_Schedule", "CustCode"},
                                        {"T_price", "custcode"},
                                        {"T_visit", "custcode"},
                                        {"T_feedback", "custcode"},
                                        {"T_trackcust", "custcode"},
                                        {"T_bargain", "custcode"},
                                        {"T_sale", "CustCode"},
                                        {"T_SaleDetail", "Custcode"}})
        QVERIFY2(count(db, QStringLiteral("select count(*) from %1 r where not exists "
                                          "(select 1 from custom c where c.CustCode = r.%2)")
                               .arg(QLatin1String(table), QLatin1String(column))) == 0,
                 table);
    QCOMPARE(count(db, QStringLiteral(
                           "select count(*) from T_SaleDetail d where not exists (select 1 from T_sale s "
                           "where s.BillCode = d.BillCode and s.CustCode = d.Custcode)")),
             0);
    QCOMPARE(count(db, QStringLiteral("select count(*) from T_sale s where not exists "
                                      "(select 1 from T_SaleDetail d where d.BillCode = s.BillCode)")),
             0);
    QCOMPARE(count(db, QStringLiteral("select count(*) from T_SaleDetail d where not exists "
                                      "(select 1 from T_Products p where p.Product_Code = d.Product_Code)")),
             0);
    // Owners, categories and places come from their lists.
    QCOMPARE(count(db, QStringLiteral("select count(*) from custom c where not exists "
                                      "(select 1 from admin a where a.UserName = c.F_User)")),
             0);
    QCOMPARE(count(db, QStringLiteral("select count(*) from custom c where not exists "
                                      "(select 1 from Dict_Cust_Category k where k.Code = c.Category)")),
             0);
    QCOMPARE(count(db, QStringLiteral("select count(*) from T_Products p where not exists "
                                      "(select 1 from Dict_Product_Category k where k.Code = p.GoodsType)")),
             0);
    QCOMPARE(
        count(db, QStringLiteral("select count(*) from custom c where not exists "
                                 "(select 1 from citytel t where t.spro = c.Province and t.scity = c.City)")),
        0);

    // Exactly one main contact per customer, named in the customer row; every customer has contacts.
    QHash<QString, QStringList> mains;
    QSqlQuery q = db.exec(QStringLiteral("select CustCode, Name, Main from contact"));
    while (q.next())
        if (q.value(2).toBool()) mains[q.value(0).toString()] << q.value(1).toString();
    q = db.exec(QStringLiteral("select CustCode, MainContact from custom"));
    while (q.next()) {
        const QStringList m = mains.value(q.value(0).toString());
        QVERIFY2(m.size() == 1, qPrintable(q.value(0).toString()));
        QCOMPARE(q.value(1).toString(), m.first());
    }

    // Line amounts and commissions as the bill editor computes them; bill numbers carry the bill's date.
    QHash<QString, double> rates;
    q = db.exec(QStringLiteral("select people, GoodsCode, GoodsTC from T_PeopleTC order by ID"));
    while (q.next()) {
        const QString key = q.value(0).toString() + QLatin1Char('|') + q.value(1).toString();
        if (!rates.contains(key)) rates.insert(key, rateOf(q.value(2).toString()));
    }
    int lines = 0, withCommission = 0;
    q = db.exec(QStringLiteral(
        "select d.SalePrice, d.Number, d.DisCount, d.SaleMoney, d.TCMoney, d.Product_Code, "
        "s.people, s.BillCode, s.SaleDate from T_SaleDetail d join T_sale s on s.BillCode = d.BillCode"));
    static const QRegularExpression billCode(QStringLiteral("^FH\\d{12}$"));
    while (q.next()) {
        ++lines;
        const Money price = Money::fromVariant(q.value(0));
        const double number = q.value(1).toDouble(), discount = q.value(2).toDouble();
        QCOMPARE(Money::fromVariant(q.value(3)), Money::product(price, number, discount));
        const double rate = rates.value(q.value(6).toString() + QLatin1Char('|') + q.value(5).toString());
        QCOMPARE(Money::fromVariant(q.value(4)),
                 rate > 0 ? Money::product(price, number, rate / 100) : Money());
        if (rate > 0) ++withCommission;
        const QString bill = q.value(7).toString();
        QVERIFY2(billCode.match(bill).hasMatch(), qPrintable(bill));
        QCOMPARE(bill.mid(2, 8), q.value(8).toDateTime().toString(QStringLiteral("yyyyMMdd")));
    }
    QVERIFY(lines > 0);
    QVERIFY(withCommission > 0);

    // Operators carry their role's rights in catalogue order and the restriction of their role.
    const qint64 catalogue = count(db, QStringLiteral("select count(*) from T_System"));
    q = db.exec(QStringLiteral("select UserName, PartName, Permit from admin where UserID > 1"));
    int operators = 0;
    while (q.next()) {
        ++operators;
        const QString name = q.value(0).toString(), role = q.value(1).toString();
        QCOMPARE(q.value(2).toInt(), role == QStringLiteral("普通用户") ? 1 : 0);
        QStringList own, roles;
        QSqlQuery r = db.exec(
            QStringLiteral("select Code, Authority from T_UserAuthority where UserName = :n order by Code"),
            {{QStringLiteral("n"), name}});
        while (r.next())
            own << r.value(0).toString() + QLatin1Char('=') + QString::number(r.value(1).toBool());
        r = db.exec(
            QStringLiteral("select Code, Authority from T_PartAuthority where PartName = :r order by Code"),
            {{QStringLiteral("r"), role}});
        while (r.next())
            roles << r.value(0).toString() + QLatin1Char('=') + QString::number(r.value(1).toBool());
        QCOMPARE(own.size(), catalogue);
        QCOMPARE(own, roles);
    }
    QCOMPARE(operators, 4);

    // About five related rows per customer; the schedule holds entries for today and reminders ahead.
    qint64 related = 0;
    for (const char* t : {"contact", "T_Schedule", "T_price", "T_visit", "T_feedback", "T_trackcust",
                          "T_bargain", "T_sale", "T_SaleDetail"})
        related += count(db, QStringLiteral("select count(*) from %1").arg(QLatin1String(t)));
    QVERIFY2(related >= 3 * customers && related <= 8 * customers, qPrintable(QString::number(related)));
    int todays = 0, reminders = 0;
    q = db.exec(QStringLiteral("select StartDate, Awoke, AwokeDate from T_Schedule"));
    while (q.next()) {
        if (q.value(0).toDateTime().date() == today) ++todays;
        if (q.value(1).toBool() && q.value(2).toDateTime().date() >= today) ++reminders;
    }
    QVERIFY(todays > 0);
    QVERIFY(reminders > 0);
}

// passwd NAME: the password typed twice is stored as the program's hash; --empty removes it; a
// mismatch, an empty entry or an unknown name change nothing.
void TestAdmin::passwd_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");   // in stderr (failures) or stdout (success)
    QTest::addColumn<QString>("password");  // what the stored value now matches; null: unchanged

    QTest::newRow("typed twice") << QStringList{"passwd", "Admin"} << QByteArray("s3cret 密码\ns3cret 密码\n")
                                 << 0 << "a new password was set for Admin" << QStringLiteral("s3cret 密码");
    QTest::newRow("name in other case") << QStringList{"passwd", "admin"} << QByteArray("x\nx\n") << 0
                                        << "a new password was set for admin" << QStringLiteral("x");
    QTest::newRow("emptied") << QStringList{"passwd", "Admin", "--empty"} << QByteArray() << 0
                             << "the password of Admin was removed" << QString("");
    QTest::newRow("different twice") << QStringList{"passwd", "Admin"} << QByteArray("one\ntwo\n") << 1
                                     << "do not match" << QString();
    QTest::newRow("second missing") << QStringList{"passwd", "Admin"} << QByteArray("one\n") << 1
                                    << "do not match" << QString();
    QTest::newRow("nothing typed") << QStringList{"passwd", "Admin"} << QByteArray() << 1
                                   << "no password was given" << QString();
    QTest::newRow("empty typed") << QStringList{"passwd", "Admin"} << QByteArray("\n\n") << 1 << "--empty"
                                 << QString();
    QTest::newRow("unknown operator") << QStringList{"passwd", "Nobody"} << QByteArray("x\nx\n") << 1
                                      << "no operator named \"Nobody\"" << QString();
}

void TestAdmin::passwd() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QString, password);
    const ConnectionSettings s = test::TestDb::fresh();
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Config.ini")), iniFor(s));
    const QString before = QStringLiteral("old");
    {
        Database db(QStringLiteral("prepare"));
        QVERIFY(db.open(s));
        db.execute(QStringLiteral("update admin set Password = :p where UserID = 1"),
                   {{QStringLiteral("p"), before}});
    }
    const Result r = runAdmin(QStringList{QStringLiteral("--home"), dir.path()} + args, input);
    QCOMPARE(r.code, exitCode);
    QVERIFY2((exitCode == 0 ? r.out : r.err).contains(message), qPrintable(r.out + r.err));
    Database db(QStringLiteral("check"));
    QVERIFY(db.open(s));
    const QString stored =
        db.scalar(QStringLiteral("select Password from admin where UserID = 1")).toString();
    if (password.isNull()) {
        QCOMPARE(stored, before);
    } else if (password.isEmpty()) {
        QCOMPARE(stored, QString());
    } else {
        QVERIFY2(password::isHash(stored), qPrintable(stored));
        QVERIFY(password::matches(stored, password));
        QVERIFY(!password::matches(stored, before));
    }
    QCOMPARE(count(db, QStringLiteral("select count(*) from admin")), 1);
}

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
