#pragma once
#include <QString>
#include <QStringList>

namespace qv {

// The program folder (Config.ini, IMG/, Reports/, ...): `--home DIR` (or `--home=DIR`) on the
// command line, else the environment variable QUORVAN_HOME, else the executable's folder.
// Returned as an absolute path.
QString programFolder(const QStringList& arguments, const QString& executableFolder);

}  // namespace qv
