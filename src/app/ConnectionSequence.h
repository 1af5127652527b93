#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "Database.h"

namespace qv {

class IniFile;
class Prompter;
class Shell;

// The start-up connection: reads section DBConn (and IsInternet/IpUrl of section config) from
// Config.ini, connects, retries once when the server is reached over the internet, and on failure
// offers to start the connection tool DBLinker. Free of widgets: the splash status arrives through a
// callback, the question through the Prompter, the tool through the Shell.
class ConnectionSequence {
public:
    using StatusFn = std::function<void(const QString&)>;
    // One connection attempt; false with *error filled when it fails.
    using ConnectFn = std::function<bool(const ConnectionSettings&, QString* error)>;

    ConnectionSequence(IniFile& ini, Prompter& prompter, Shell& shell, QString home);

    void setStatus(StatusFn fn) { status_ = std::move(fn); }
    void setConnect(ConnectFn fn) { connect_ = std::move(fn); }

    // Runs the sequence; true when a connection was made. On false the program is to end.
    bool run();

    // Values read by run().
    const ConnectionSettings& settings() const { return settings_; }
    int isInternet() const { return isInternet_; }
    const QString& ipUrl() const { return ipUrl_; }
    int attempts() const { return attempts_; }
    const QString& lastError() const { return lastError_; }

    // The settings of section DBConn; *error is set (and false returned) for an unknown driver.
    static bool readSettings(const IniFile& ini, const QString& home, ConnectionSettings* out,
                             QString* error);

    // Where DBLinker is started from and with which arguments: the program folder's own copy, else
    // the one beside this executable, told which program folder to edit.
    static void linkerCommand(const QString& home, QString* program, QStringList* args);

    // The texts of the sequence.
    static QString connectingText();
    static QString retryText();
    static QString failedStatusText();
    static QString questionText();
    static QString questionCaption();

private:
    void say(const QString& text) const;
    bool attempt();
    void offerLinker(bool statusBeforeQuestion);

    IniFile& ini_;
    Prompter& prompter_;
    Shell& shell_;
    QString home_;
    StatusFn status_;
    ConnectFn connect_;
    ConnectionSettings settings_;
    bool settingsOk_ = false;
    int isInternet_ = -1;
    QString ipUrl_;
    int attempts_ = 0;
    QString lastError_;
};

}  // namespace qv
