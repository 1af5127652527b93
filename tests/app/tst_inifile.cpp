#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "IniFile.h"

using qv::IniFile;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
}  // namespace

class TstIniFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("Config.ini")); }

private slots:
    void init() { QFile::remove(path()); }

    void read_data();
    void read();
    void write_data();
    void write();
    void missingAndUnreadableFile();
    void twoHandlesKeepEachOthersChanges();
};

void TstIniFile::read_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");

    QTest::newRow("exact") << QByteArray("[DBConn]\nServer=db1\n") << "DBConn"
                           << "Server"
                           << "db1" << -1;
    QTest::newRow("section without case") << QByteArray("[config]\nIsInternet=1\n") << "Config"
                                          << "IsInternet"
                                          << "1" << 1;
    QTest::newRow("key without case") << QByteArray("[Other]\nawoke=0\n") << "other"
                                      << "AWOKE"
                                      << "0" << 0;
    QTest::newRow("missing key") << QByteArray("[Other]\nDay=3\n") << "Other"
                                 << "awoke"
                                 << "" << -1;
    QTest::newRow("missing section") << QByteArray("[Other]\nDay=3\n") << "login"
                                     << "Day"
                                     << "" << -1;
    QTest::newRow("key of another section") << QByteArray("[A]\nk=1\n[B]\nj=2\n") << "B"
                                            << "k"
                                            << "" << -1;
    QTest::newRow("blanks around names and value")
        << QByteArray("[ DBConn ]\n  Server  =  host1  \n") << "dbconn"
        << "server"
        << "host1" << -1;
    QTest::newRow("semicolon inside a value") << QByteArray("[DBConn]\nPassword=a;b=c\n") << "DBConn"
                                              << "Password"
                                              << "a;b=c" << -1;
    QTest::newRow("commented-out key") << QByteArray("[DBConn]\n;Server=x\n#User=y\n") << "DBConn"
                                       << "Server"
                                       << "" << -1;
    QTest::newRow("key before any section") << QByteArray("Day=1\n[Other]\n") << "Other"
                                            << "Day"
                                            << "" << -1;
    QTest::newRow("text where a number is read") << QByteArray("[Other]\nDay=abc\n") << "Other"
                                                 << "Day"
                                                 << "abc" << -1;
    QTest::newRow("empty value") << QByteArray("[Other]\nDay=\n") << "Other"
                                 << "Day"
                                 << "" << -1;
    QTest::newRow("negative number") << QByteArray("[Other]\nDay= -5 \n") << "Other"
                                     << "Day"
                                     << "-5" << -5;
    QTest::newRow("first of two keys counts") << QByteArray("[A]\nk=1\nk=2\n") << "A"
                                              << "k"
                                              << "1" << 1;
    QTest::newRow("section given twice") << QByteArray("[A]\nx=1\n[B]\n[a]\nk=7\n") << "A"
                                         << "K"
                                         << "7" << 7;
    QTest::newRow("quoted value") << QByteArray("[A]\nk=\" x \"\n") << "A"
                                  << "k"
                                  << " x " << -1;
    QTest::newRow("BOM and CRLF") << QByteArray("\xEF\xBB\xBF[A]\r\nk=v\r\n") << "a"
                                  << "k"
                                  << "v" << -1;
    QTest::newRow("Chinese value") << QByteArray("[login]\nCategory=华东区\n") << "login"
                                   << "Category" << QStringLiteral("华东区") << -1;
    QTest::newRow("no final newline") << QByteArray("[A]\nk=12") << "A"
                                      << "k"
                                      << "12" << 12;
}

void TstIniFile::read() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(int, number);
    writeAll(path(), content);
    IniFile ini(path());
    QCOMPARE(ini.readString(section, key), text);
    QVERIFY(!ini.readString(section, key).isNull());
    QCOMPARE(ini.readInt(section, key), number);
    QCOMPARE(ini.readInt(section, key, 42), number == -1 && text != QLatin1String("-1") ? 42 : number);
}

void TstIniFile::write_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray typical("; 数据库连接\n[DBConn]\nServer=old\nDatabase=crm\n\n[config]\nIsInternet=1\n");
    QTest::newRow("replace keeps comments, order and blank lines")
        << typical << "dbconn"
        << "SERVER"
        << "new"
        << QByteArray("; 数据库连接\n[DBConn]\nServer=new\nDatabase=crm\n\n[config]\nIsInternet=1\n");
    QTest::newRow("new key goes to the end of its section")
        << typical << "DBConn"
        << "User"
        << "sa"
        << QByteArray(
               "; 数据库连接\n[DBConn]\nServer=old\nDatabase=crm\nUser=sa\n\n[config]\nIsInternet=1\n");
    QTest::newRow("new section at the end") << typical << "Other"
                                            << "awoke"
                                            << "0"
                                            << QByteArray(
                                                   "; "
                                                   "数据库连接\n[DBConn]\nServer=old\nDatabase=crm\n\n["
                                                   "config]\nIsInternet=1\n\n[Other]\nawoke=0\n");
    QTest::newRow("empty file") << QByteArray() << "A"
                                << "x"
                                << "1" << QByteArray("[A]\nx=1\n");
    QTest::newRow("BOM and CRLF kept") << QByteArray("\xEF\xBB\xBF[A]\r\nx=1\r\ny=2\r\n") << "A"
                                       << "x"
                                       << "3" << QByteArray("\xEF\xBB\xBF[A]\r\nx=3\r\ny=2\r\n");
    QTest::newRow("value with semicolon") << QByteArray("[DBConn]\nPassword=\n") << "DBConn"
                                          << "Password"
                                          << "p;w=1" << QByteArray("[DBConn]\nPassword=p;w=1\n");
    QTest::newRow("leading blank survives the round trip") << QByteArray("[A]\n") << "A"
                                                           << "p"
                                                           << " pw " << QByteArray("[A]\np=\" pw \"\n");
    QTest::newRow("Chinese value") << QByteArray("[login]\nCategory=\n") << "login"
                                   << "Category" << QStringLiteral("华东区")
                                   << QByteArray("[login]\nCategory=华东区\n");
    QTest::newRow("section given twice: first one") << QByteArray("[A]\nx=1\n[B]\n[A]\n") << "a"
                                                    << "y"
                                                    << "2" << QByteArray("[A]\nx=1\ny=2\n[B]\n[A]\n");
}

void TstIniFile::write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    writeAll(path(), before);
    IniFile ini(path());
    QVERIFY(ini.writeString(section, key, value));
    // Saved at once, nothing else changed.
    QCOMPARE(readAll(path()), after);
    QCOMPARE(ini.readString(section, key), value);
    QCOMPARE(IniFile(path()).readString(section, key), value);
}

void TstIniFile::missingAndUnreadableFile() {
    {
        IniFile ini(path());  // no file yet
        QCOMPARE(ini.readString(QStringLiteral("DBConn"), QStringLiteral("Server")), QString());
        QCOMPARE(ini.readInt(QStringLiteral("config"), QStringLiteral("IsInternet")), -1);
        QVERIFY(ini.writeInt(QStringLiteral("Other"), QStringLiteral("Day"), 7));
        QCOMPARE(readAll(path()), QByteArray("[Other]\nDay=7\n"));
        QCOMPARE(ini.readInt(QStringLiteral("other"), QStringLiteral("day")), 7);
    }
    // A folder in the file's place cannot be read: it reads as empty, and writing refuses rather
    // than pretending to have saved.
    const QString blocked = dir_.filePath(QStringLiteral("blocked.ini"));
    QVERIFY(QDir().mkpath(blocked));
    IniFile ini(blocked);
    QCOMPARE(ini.readString(QStringLiteral("DBConn"), QStringLiteral("Server")), QString());
    QCOMPARE(ini.readInt(QStringLiteral("config"), QStringLiteral("IsInternet")), -1);
    QVERIFY(!ini.writeString(QStringLiteral("DBConn"), QStringLiteral("Server"), QStringLiteral("x")));
    // A file in a folder that does not exist.
    IniFile nowhere(dir_.filePath(QStringLiteral("no/such/folder/Config.ini")));
    QVERIFY(!nowhere.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v")));
    QCOMPARE(nowhere.readString(QStringLiteral("A"), QStringLiteral("k")), QString());
}

void TstIniFile::twoHandlesKeepEachOthersChanges() {
    // The program's handle stays open while another tool (DBLinker, a second program) edits the file.
    writeAll(path(), "[DBConn]\nServer=a\n");
    IniFile mine(path());
    IniFile theirs(path());
    QCOMPARE(mine.readString(QStringLiteral("DBConn"), QStringLiteral("Server")), QStringLiteral("a"));
    QVERIFY(theirs.writeString(QStringLiteral("DBConn"), QStringLiteral("Server"), QStringLiteral("b")));
    QVERIFY(mine.writeString(QStringLiteral("Other"), QStringLiteral("awoke"), QStringLiteral("1")));
    QCOMPARE(readAll(path()), QByteArray("[DBConn]\nServer=b\n\n[Other]\nawoke=1\n"));
    QCOMPARE(theirs.readString(QStringLiteral("other"), QStringLiteral("AWOKE")), QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_inifile.moc"
