#include "ConnectionSequence.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "IniFile.h"
#include "Prompter.h"
#include "Shell.h"

namespace qv {

namespace {
const QString kDbConn = QStringLiteral("DBConn");
const QString kConfig = QStringLiteral("config");
}  // namespace

QString ConnectionSequence::connectingText() { return QStringLiteral("正在连接数据库,请等待..."); }
QString ConnectionSequence::retryText() {
    return QStringLiteral("连接失败,正在从网络上读取新IP进行连接,请稍候...");
}
QString ConnectionSequence::failedStatusText() { return QStringLiteral("连接数据库失败..."); }
QString ConnectionSequence::questionText() { return QStringLiteral("连接数据库失败,是否要重新配置数据库?"); }
QString ConnectionSequence::questionCaption() { return QStringLiteral("失败"); }

ConnectionSequence::ConnectionSequence(IniFile& ini, Prompter& prompter, Shell& shell, QString home)
    : ini_(ini), prompter_(prompter), shell_(shell), home_(std::move(home)) {}

bool ConnectionSequence::readSettings(const IniFile& ini, const QString& home, ConnectionSettings* out,
                                      QString* error) {
    ConnectionSettings s;
    const QString driver = ini.readString(kDbConn, QStringLiteral("Driver")).trimmed().toLower();
    bool ok = true;
    if (driver.isEmpty() || driver == QLatin1String("sqlite") || driver == QLatin1String("sqlite3")) {
        s.driver = Driver::Sqlite;
    } else if (driver == QLatin1String("postgres") || driver == QLatin1String("postgresql") ||
               driver == QLatin1String("pg")) {
        s.driver = Driver::Postgres;
    } else {
        ok = false;
        if (error) *error = QStringLiteral("未知的数据库驱动: %1").arg(driver);
    }
    s.server = ini.readString(kDbConn, QStringLiteral("Server"));
    s.database = ini.readString(kDbConn, QStringLiteral("Database"));
    s.user = ini.readString(kDbConn, QStringLiteral("User"));
    s.password = ini.readString(kDbConn, QStringLiteral("Password"));
    s.baseDir = home;
    s.connectTimeoutSeconds = 5;
    *out = s;
    return ok;
}

void ConnectionSequence::linkerCommand(const QString& home, QString* program, QStringList* args) {
    const QString name = QStringLiteral("DBLinker");
    const QString inHome = QDir(home).filePath(name);
    args->clear();
    if (QFileInfo(inHome).isExecutable()) {
        *program = inHome;
        return;
    }
    const QString appDir = QCoreApplication::applicationDirPath();
    *program = QDir(appDir.isEmpty() ? home : appDir).filePath(name);
    if (QFileInfo(*program).absolutePath() != QFileInfo(inHome).absolutePath())
        *args = QStringList{QStringLiteral("--home"), QDir(home).absolutePath()};
}

void ConnectionSequence::say(const QString& text) const {
    if (status_) status_(text);
}

bool ConnectionSequence::attempt() {
    ++attempts_;
    if (!settingsOk_) return false;
    if (!connect_) {
        lastError_ = QStringLiteral("no connection function");
        return false;
    }
    QString error;
    const bool ok = connect_(settings_, &error);
    if (!ok) lastError_ = error;
    return ok;
}

void ConnectionSequence::offerLinker(bool statusBeforeQuestion) {
    if (statusBeforeQuestion) say(failedStatusText());
    const auto answer = prompter_.message(questionText(), questionCaption(), QMessageBox::Information,
                                          QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    if (!statusBeforeQuestion) say(failedStatusText());
    QString program;
    QStringList args;
    linkerCommand(home_, &program, &args);
    if (!shell_.start(program, args)) qWarning("DBLinker could not be started: %s", qPrintable(program));
}

bool ConnectionSequence::run() {
    attempts_ = 0;
    lastError_.clear();
    settingsOk_ = readSettings(ini_, home_, &settings_, &lastError_);
    isInternet_ = ini_.readInt(kConfig, QStringLiteral("IsInternet"), -1);
    ipUrl_ = ini_.readString(kConfig, QStringLiteral("IpUrl"));

    say(connectingText());
    if (attempt()) return true;

    if (isInternet_ == 1) {
        // Reached over the internet: the first attempt may fail on a slow line, so try once more
        // with the same settings and keep the server that worked.
        say(retryText());
        if (attempt()) {
            ini_.writeString(kDbConn, QStringLiteral("Server"), settings_.server);
            return true;
        }
        offerLinker(false);
        return false;
    }
    offerLinker(true);
    return false;
}

}  // namespace qv
