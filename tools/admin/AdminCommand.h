#pragma once
#include <QStringList>
#include <QTextStream>

#include "PasswordReset.h"

namespace qv::admin {

// Exit codes of quorvan-admin.
enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// Runs one command line of quorvan-admin (without the program name); messages go to `out` and `err`.
// `defaultHome` is the program folder used when neither --home nor QUORVAN_HOME names one. Passwords
// are read through `readSecret` (the terminal without echo by default).
int runAdmin(const QStringList& args, const QString& defaultHome, QTextStream& out, QTextStream& err,
             const SecretReader& readSecret = readTerminalSecret);

QString usageText();

}  // namespace qv::admin
