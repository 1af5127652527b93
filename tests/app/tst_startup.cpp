#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "ConnectionSequence.h"
#include "Frm_Splash.h"
#include "IniFile.h"
#include "ProgramFolder.h"
#include "ScriptedPrompter.h"
#include "TestDb.h"
#include "dblinker/DbLinkerDialog.h"

using namespace qv;
using qv::test::ScriptedPrompter;
using qv::test::TestDb;

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
}  // namespace

class TstStartup : public QObject {
    Q_OBJECT

private slots:
    void programFolder_data();
    void programFolder();
    void splash();
    void splashWithoutPicture();
    void linkerLoadsAndSaves();
    void linkerTestsTheConnection();
};

void TstStartup::programFolder_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("env");
    QTest::addColumn<QString>("expected");

    QTest::newRow("executable's folder") << QStringList{"quorvan"} << ""
                                         << "/opt/quorvan";
    QTest::newRow("environment") << QStringList{"quorvan"} << "/srv/crm"
                                 << "/srv/crm";
    QTest::newRow("--home wins") << QStringList{"quorvan", "--home", "/data/a"} << "/srv/crm"
                                 << "/data/a";
    QTest::newRow("--home=") << QStringList{"quorvan", "-x", "--home=/data/b"} << ""
                             << "/data/b";
    QTest::newRow("--home without a folder") << QStringList{"quorvan", "--home"} << ""
                                             << "/opt/quorvan";
    QTest::newRow("relative folder made absolute")
        << QStringList{"quorvan", "--home", "rel"} << "" << QDir::current().absoluteFilePath("rel");
}

void TstStartup::programFolder() {
    QFETCH(QStringList, args);
    QFETCH(QString, env);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("QUORVAN_HOME");
    qputenv("QUORVAN_HOME", env.toUtf8());
    const QString got = qv::programFolder(args, QStringLiteral("/opt/quorvan"));
    qputenv("QUORVAN_HOME", saved);
    QCOMPARE(got, expected);
}

void TstStartup::splash() {
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("IMG")));
    QImage picture(Frm_Splash::kWidth, Frm_Splash::kHeight, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QVERIFY(picture.save(home.filePath(QStringLiteral("IMG/Splash.bmp")), "BMP"));

    Frm_Splash splash(home.path());
    QCOMPARE(splash.size(), QSize(461, 278));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    auto* image = splash.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image);
    QVERIFY(!image->pixmap().isNull());
    QCOMPARE(splash.status(), QStringLiteral("正在读取参数..."));

    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    splash.SetStatus(ConnectionSequence::connectingText());
    QCOMPARE(splash.status(), ConnectionSequence::connectingText());
    auto* status = splash.findChild<QLabel*>(QStringLiteral("Label_Status"));
    QVERIFY(status && status->geometry().bottom() > splash.height() / 2 && status->geometry().left() < 50);

    // A click on the picture closes it.
    QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(!splash.isVisible());
    splash.SetStatus(ConnectionSequence::failedStatusText());  // still safe once closed
}

void TstStartup::splashWithoutPicture() {
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("IMG")));
    writeFile(home.filePath(QStringLiteral("IMG/Splash.bmp")), "not a picture");
    Frm_Splash broken(home.path());
    QVERIFY(broken.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
    Frm_Splash missing(QDir(home.path()).filePath(QStringLiteral("nowhere")));
    QVERIFY(missing.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
    QCOMPARE(missing.status(), QStringLiteral("正在读取参数..."));
}

void TstStartup::linkerLoadsAndSaves() {
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("Config.ini"));
    writeFile(path,
              "; 本机设置\n[dbconn]\ndriver=postgres\nserver=db.local:5433\ndatabase=crm\nuser=sales\n"
              "password=old\n\n[config]\nIsInternet=0\n");
    IniFile ini(path);
    ScriptedPrompter prompter;
    DbLinkerDialog dialog(ini, prompter, home.path());
    auto* driver = dialog.findChild<QComboBox*>(QStringLiteral("Combo_Driver"));
    auto* server = dialog.findChild<QLineEdit*>(QStringLiteral("Edit_Server"));
    auto* database = dialog.findChild<QLineEdit*>(QStringLiteral("Edit_Database"));
    auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("Edit_Password"));
    QVERIFY(driver && server && database && password);
    QCOMPARE(driver->currentText(), QStringLiteral("PostgreSQL"));
    QCOMPARE(server->text(), QStringLiteral("db.local:5433"));
    QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("Edit_User"))->text(), QStringLiteral("sales"));
    QCOMPARE(password->text(), QStringLiteral("old"));
    QVERIFY(server->isEnabled());

    password->setText(QStringLiteral("new;pw= x"));
    server->setText(QStringLiteral("db2"));
    dialog.findChild<QPushButton*>(QStringLiteral("Btn_Save"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY_PROMPTS(prompter);
    QCOMPARE(readFile(path),
             QByteArray("; 本机设置\n[dbconn]\ndriver=postgres\nserver=db2\ndatabase=crm\nuser=sales\n"
                        "password=new;pw= x\n\n[config]\nIsInternet=0\n"));
    ConnectionSettings s;
    QVERIFY(ConnectionSequence::readSettings(IniFile(path), home.path(), &s, nullptr));
    QCOMPARE(s.password, QStringLiteral("new;pw= x"));

    // SQLite: a file of this machine; server, user and password do not apply.
    driver->setCurrentIndex(0);
    QVERIFY(!server->isEnabled() && !password->isEnabled());
    QCOMPARE(dialog.settings().driver, Driver::Sqlite);
}

void TstStartup::linkerTestsTheConnection() {
    QTemporaryDir home;
    IniFile ini(home.filePath(QStringLiteral("Config.ini")));
    ConnectionSettings fresh = TestDb::fresh();
    ConnectionSettings empty = TestDb::empty();
    auto configure = [&](const ConnectionSettings& s) {
        ini.writeString(QStringLiteral("DBConn"), QStringLiteral("Driver"),
                        s.driver == Driver::Postgres ? QStringLiteral("postgres") : QStringLiteral("sqlite"));
        ini.writeString(QStringLiteral("DBConn"), QStringLiteral("Server"), s.server);
        ini.writeString(QStringLiteral("DBConn"), QStringLiteral("Database"), s.database);
        ini.writeString(QStringLiteral("DBConn"), QStringLiteral("User"), s.user);
        ini.writeString(QStringLiteral("DBConn"), QStringLiteral("Password"), s.password);
    };

    configure(fresh);
    {
        ScriptedPrompter prompter;
        prompter.expect(DbLinkerDialog::okText(), QMessageBox::Ok, DbLinkerDialog::caption());
        DbLinkerDialog dialog(ini, prompter, home.path());
        dialog.findChild<QPushButton*>(QStringLiteral("Btn_Test"))->click();
        QVERIFY_PROMPTS(prompter);
    }
    configure(empty);
    {
        ScriptedPrompter prompter;
        prompter.expect(DbLinkerDialog::notInitialisedText(), QMessageBox::Ok, DbLinkerDialog::caption());
        DbLinkerDialog dialog(ini, prompter, home.path());
        QVERIFY(!dialog.testConnection());
        QVERIFY_PROMPTS(prompter);
    }
    configure(TestDb::unreachable());
    {
        ScriptedPrompter prompter;
        prompter.expectCaption(DbLinkerDialog::caption());  // the driver's own words follow the first line
        DbLinkerDialog dialog(ini, prompter, home.path());
        QVERIFY(!dialog.testConnection());
        QCOMPARE(prompter.shown().size(), 1);
        QVERIFY(prompter.shown().front().text.startsWith(QStringLiteral("连接失败:\n")));
        QCOMPARE(prompter.shown().front().icon, QMessageBox::Warning);
    }
    // Testing never creates the SQLite file it was pointed at.
    QVERIFY(!QFile::exists(TestDb::unreachable().database) || TestDb::usingPostgres());
}

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
