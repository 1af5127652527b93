#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>
#include <deque>

#include "ConnectionSequence.h"
#include "FakeShell.h"
#include "Frm_Data.h"
#include "IniFile.h"
#include "ScriptedPrompter.h"
#include "TestDb.h"

using namespace qv;
using qv::test::ScriptedPrompter;
using qv::test::TestDb;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Section DBConn for the given settings, and section config with IsInternet when it is not null.
QByteArray configText(const ConnectionSettings& s, const QString& isInternet) {
    QString t =
        QStringLiteral("; 测试用的配置\n[DBConn]\nDriver=%1\nServer=%2\nDatabase=%3\nUser=%4\nPassword=%5\n")
            .arg(s.driver == Driver::Postgres ? QStringLiteral("postgres") : QStringLiteral("sqlite"),
                 s.server, s.database, s.user, s.password);
    t += QStringLiteral("\n[config]\nIpUrl=http://ip.example/\n");
    if (!isInternet.isNull()) t += QStringLiteral("IsInternet=%1\n").arg(isInternet);
    return t.toUtf8();
}

}  // namespace

class TstConnection : public QObject {
    Q_OBJECT

private slots:
    void scriptedPaths_data();
    void scriptedPaths();
    void connectsFromConfig();
    void failures_data();
    void failures();
    void postgresPasswords();
};

void TstConnection::scriptedPaths_data() {
    QTest::addColumn<QString>("isInternet");  // null: no such key
    QTest::addColumn<QList<bool>>("outcomes");
    QTest::addColumn<int>("answer");  // 0: no question expected
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<bool>("serverWritten");

    const QString c = ConnectionSequence::connectingText();
    const QString r = ConnectionSequence::retryText();
    const QString f = ConnectionSequence::failedStatusText();
    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    QTest::newRow("at once, over the internet")
        << "1" << QList<bool>{true} << 0 << true << QStringList{c} << false;
    QTest::newRow("at once, local") << QString() << QList<bool>{true} << 0 << true << QStringList{c} << false;
    QTest::newRow("second attempt works")
        << "1" << QList<bool>{false, true} << 0 << true << QStringList{c, r} << true;
    QTest::newRow("both fail, reconfigure")
        << "1" << QList<bool>{false, false} << yes << false << QStringList{c, r, f} << false;
    QTest::newRow("both fail, give up")
        << "1" << QList<bool>{false, false} << no << false << QStringList{c, r} << false;
    QTest::newRow("no IsInternet: no retry, reconfigure")
        << QString() << QList<bool>{false} << yes << false << QStringList{c, f} << false;
    QTest::newRow("IsInternet=0: no retry, give up")
        << "0" << QList<bool>{false} << no << false << QStringList{c, f} << false;
    QTest::newRow("IsInternet=2: no retry")
        << "2" << QList<bool>{false} << no << false << QStringList{c, f} << false;
}

void TstConnection::scriptedPaths() {
    QFETCH(QString, isInternet);
    QFETCH(QList<bool>, outcomes);
    QFETCH(int, answer);
    QFETCH(bool, connected);
    QFETCH(QStringList, statuses);
    QFETCH(bool, serverWritten);

    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("Config.ini"));
    ConnectionSettings s;
    s.server = QStringLiteral("srv1");
    s.database = QStringLiteral("crm.db");
    s.user = QStringLiteral("sa");
    s.password = QStringLiteral("p;w");
    const QByteArray original = configText(s, isInternet);
    writeFile(path, original);
    // An old time stamp shows whether the sequence wrote the file.
    const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
    }

    IniFile ini(path);
    ScriptedPrompter prompter;
    if (answer)
        prompter.expect(ConnectionSequence::questionText(), QMessageBox::StandardButton(answer),
                        ConnectionSequence::questionCaption());
    FakeShell shell;
    ConnectionSequence seq(ini, prompter, shell, home.path());
    QStringList shown;
    seq.setStatus([&](const QString& t) { shown << t; });
    std::deque<bool> left(outcomes.begin(), outcomes.end());
    QList<ConnectionSettings> tried;
    seq.setConnect([&](const ConnectionSettings& cs, QString* error) {
        tried << cs;
        if (left.empty()) return false;
        const bool ok = left.front();
        left.pop_front();
        if (!ok) *error = QStringLiteral("refused");
        return ok;
    });

    QCOMPARE(seq.run(), connected);
    QCOMPARE(shown, statuses);
    QCOMPARE(tried.size(), outcomes.size());
    for (const ConnectionSettings& cs : tried) {
        // Every value reaches the driver as it is, each on its own.
        QCOMPARE(cs.driver, Driver::Sqlite);
        QCOMPARE(cs.server, QStringLiteral("srv1"));
        QCOMPARE(cs.database, QStringLiteral("crm.db"));
        QCOMPARE(cs.user, QStringLiteral("sa"));
        QCOMPARE(cs.password, QStringLiteral("p;w"));
        QCOMPARE(cs.baseDir, home.path());
    }
    QCOMPARE(seq.isInternet(), isInternet.isNull() ? -1 : isInternet.toInt());
    QCOMPARE(seq.ipUrl(), QStringLiteral("http://ip.example/"));

    QVERIFY_PROMPTS(prompter);
    QCOMPARE(prompter.shown().size(), answer ? 1 : 0);
    if (answer) {
        QCOMPARE(prompter.shown().front().icon, QMessageBox::Information);
        QCOMPARE(prompter.shown().front().buttons, QMessageBox::Yes | QMessageBox::No);
    }
    QCOMPARE(shell.started.size(), answer == QMessageBox::Yes ? 1 : 0);
    if (!shell.started.isEmpty()) {
        QCOMPARE(QFileInfo(shell.started.front().program).fileName(), QStringLiteral("DBLinker"));
        // The tool is told which program folder to edit when it lives elsewhere.
        if (QFileInfo(shell.started.front().program).absolutePath() != home.path())
            QCOMPARE(shell.started.front().args, (QStringList{QStringLiteral("--home"), home.path()}));
    }

    // After a successful retry the server is written back, and nothing else in the file changes.
    QCOMPARE(readFile(path), original);
    const bool written = QFileInfo(path).lastModified() > old.addSecs(60);
    QCOMPARE(written, serverWritten);
}

void TstConnection::connectsFromConfig() {
    QTemporaryDir home;
    ConnectionSettings s = TestDb::fresh();
    if (!TestDb::usingPostgres()) {
        // The SQLite file is named relative to the program folder.
        QVERIFY(QFile::copy(s.database, home.filePath(QStringLiteral("crm.db"))));
        s.database = QStringLiteral("crm.db");
    }
    writeFile(home.filePath(QStringLiteral("Config.ini")), configText(s, QStringLiteral("0")));

    ScriptedPrompter prompter;
    FakeShell shell;
    Frm_Data data(home.path());
    QStringList shown;
    QVERIFY(!data.connected());
    QVERIFY(data.connectDatabase(prompter, shell, [&](const QString& t) { shown << t; }));
    QVERIFY(data.connected());
    QCOMPARE(shown, QStringList{ConnectionSequence::connectingText()});
    QVERIFY_PROMPTS(prompter);
    QVERIFY(shell.started.isEmpty());
    QCOMPARE(data.isInternet(), 0);
    QCOMPARE(data.ipUrl(), QStringLiteral("http://ip.example/"));
    QVERIFY(data.db().scalar(QStringLiteral("select count(*) from admin")).toInt() >= 1);
}

void TstConnection::failures_data() {
    QTest::addColumn<QByteArray>("config");  // null: no Config.ini at all
    QTest::addColumn<bool>("configIsFolder");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("statuses");

    const QString c = ConnectionSequence::connectingText();
    const QString r = ConnectionSequence::retryText();
    const QString f = ConnectionSequence::failedStatusText();
    const int yes = QMessageBox::Yes, no = QMessageBox::No;
    QTest::newRow("no Config.ini") << QByteArray() << false << no << QStringList{c, f};
    QTest::newRow("Config.ini cannot be read") << QByteArray() << true << yes << QStringList{c, f};
    QTest::newRow("SQLite file missing")
        << QByteArray("[DBConn]\nDatabase=missing.db\n") << false << yes << QStringList{c, f};
    QTest::newRow("SQLite file missing, over the internet")
        << QByteArray("[DBConn]\nDatabase=missing.db\n[config]\nIsInternet=1\n") << false << no
        << QStringList{c, r};
    QTest::newRow("not a database") << QByteArray("[DBConn]\nDriver=sqlite\nDatabase=Config.ini\n") << false
                                    << no << QStringList{c, f};
    QTest::newRow("unknown driver") << QByteArray("[DBConn]\nDriver=oracle\nDatabase=crm\n") << false << no
                                    << QStringList{c, f};
    QTest::newRow("PostgreSQL server unreachable")
        << QByteArray("[DBConn]\nDriver=postgres\nServer=127.0.0.1:1\nDatabase=crm\nUser=u\nPassword=p\n")
        << false << no << QStringList{c, f};
}

void TstConnection::failures() {
    QFETCH(QByteArray, config);
    QFETCH(bool, configIsFolder);
    QFETCH(int, answer);
    QFETCH(QStringList, statuses);

    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("Config.ini"));
    if (configIsFolder)
        QVERIFY(QDir().mkpath(path));
    else if (!config.isNull())
        writeFile(path, config);

    ScriptedPrompter prompter;
    prompter.expect(ConnectionSequence::questionText(), QMessageBox::StandardButton(answer),
                    ConnectionSequence::questionCaption());
    FakeShell shell;
    Frm_Data data(home.path());
    QStringList shown;
    QVERIFY(!data.connectDatabase(prompter, shell, [&](const QString& t) { shown << t; }));
    QVERIFY(!data.connected());
    QCOMPARE(shown, statuses);
    QVERIFY_PROMPTS(prompter);
    QCOMPARE(shell.started.size(), answer == QMessageBox::Yes ? 1 : 0);
    // A failed start never leaves an empty database behind.
    QVERIFY(!QFile::exists(home.filePath(QStringLiteral("missing.db"))));
    if (!config.isNull()) QCOMPARE(readFile(path), config);
}

void TstConnection::postgresPasswords() {
    if (!TestDb::usingPostgres()) QSKIP("needs a PostgreSQL server (QUORVAN_TEST_PG)");
    const ConnectionSettings adminSettings = TestDb::fresh();
    Database admin(QStringLiteral("tst_connection_admin"));
    QString error;
    QVERIFY2(admin.open(adminSettings, &error), qPrintable(error));

    // A password with ';', '=', a blank and a quote: every one of them once broke a connection string.
    const QString role = QStringLiteral("qv_pw_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(10));
    const QString password = QStringLiteral("pa;ss word='x;");
    QString literal = password;
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    admin.exec(QStringLiteral("create role %1 login password '%2'").arg(role, literal));
    auto dropRole = qScopeGuard([&] {
        try {
            admin.exec(QStringLiteral("drop role if exists %1").arg(role));
        } catch (const DbError&) {
        }
    });

    auto run = [&](const QString& pw, ScriptedPrompter& prompter, bool* connected) {
        QTemporaryDir home;
        ConnectionSettings s = adminSettings;
        s.user = role;
        s.password = pw;
        writeFile(home.filePath(QStringLiteral("Config.ini")), configText(s, QString()));
        FakeShell shell;
        Frm_Data data(home.path());
        *connected = data.connectDatabase(prompter, shell);
        if (*connected) QCOMPARE(data.db().scalar(QStringLiteral("select current_user")).toString(), role);
    };

    bool connected = false;
    ScriptedPrompter wrong;
    wrong.expect(ConnectionSequence::questionText(), QMessageBox::No, ConnectionSequence::questionCaption());
    run(QStringLiteral("pa;ss word='y;"), wrong, &connected);
    if (connected) QSKIP("the test server does not check passwords over TCP");
    QVERIFY_PROMPTS(wrong);

    ScriptedPrompter right;
    run(password, right, &connected);
    QVERIFY(connected);
    QVERIFY_PROMPTS(right);
}

QTEST_MAIN(TstConnection)
#include "tst_connection.moc"
