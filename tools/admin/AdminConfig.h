#pragma once
#include <QString>

#include "Database.h"

namespace qv::admin {

// Reads the connection of section DBConn from DIR/Config.ini. Section and key names are matched without
// regard to case; values are taken as written after the first '=' with surrounding blanks removed
// (a ';' inside a value is part of it, so passwords may hold one). Lines starting with ';' or '#' are
// comments. Returns false with *error filled when the file cannot be read.
bool readConnection(const QString& homeDir, ConnectionSettings* out, QString* error);

// The same from the text of an ini file (for callers that already hold it).
ConnectionSettings parseConnection(const QString& iniText, const QString& homeDir);

}  // namespace qv::admin
