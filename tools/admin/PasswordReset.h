#pragma once
#include <QString>
#include <functional>
#include <optional>

namespace qv {
class Database;
}

namespace qv::admin {

// Reads one line that must not be shown (a password) after writing `prompt`; nullopt at the end of
// the input.
using SecretReader = std::function<std::optional<QString>(const QString& prompt)>;

// Reads from the terminal with its echo switched off; from a pipe or a file the line is read as it is.
std::optional<QString> readTerminalSecret(const QString& prompt);

// Stores `plain` as the password of the operator `name` (the name compares as the login compares it),
// hashed as the program stores it; an empty `plain` removes the password. Throws AdminError when no
// operator has that name, DbError when the database fails.
void setOperatorPassword(Database& db, const QString& name, const QString& plain);

}  // namespace qv::admin
