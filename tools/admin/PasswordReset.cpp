#include "PasswordReset.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "Database.h"
#include "DatabaseInit.h"
#include "PasswordHash.h"

namespace qv::admin {

namespace {

// Switches the terminal's echo off for its lifetime; a no-op when the input is not a terminal.
class EchoOff {
public:
    EchoOff() {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
        termios quiet = saved_;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (!active_) return;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
        std::fputs("\n", stderr);  // the Enter typed was not echoed either
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

}  // namespace

std::optional<QString> readTerminalSecret(const QString& prompt) {
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    EchoOff echoOff;
    std::string line;
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(stdin)) != EOF) {
        any = true;
        if (c == '\n') break;
        line.push_back(char(c));
    }
    if (!any) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return QString::fromLocal8Bit(line.data(), qsizetype(line.size()));
}

void setOperatorPassword(Database& db, const QString& name, const QString& plain) {
    const int changed =
        db.execute(QStringLiteral("update admin set Password = :p where UserName = :n"),
                   {{QStringLiteral("p"), password::hash(plain)}, {QStringLiteral("n"), name}});
    if (changed == 0) throw AdminError(QStringLiteral("there is no operator named \"%1\"").arg(name));
}

}  // namespace qv::admin
