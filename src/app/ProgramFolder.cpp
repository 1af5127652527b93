#include "ProgramFolder.h"

#include <QDir>

namespace qv {

QString programFolder(const QStringList& arguments, const QString& executableFolder) {
    QString home;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--home") && i + 1 < arguments.size()) {
            home = arguments[i + 1];
            break;
        }
        if (a.startsWith(QLatin1String("--home="))) {
            home = a.mid(7);
            break;
        }
    }
    if (home.isEmpty()) home = qEnvironmentVariable("QUORVAN_HOME");
    if (home.isEmpty()) home = executableFolder;
    return QDir(home).absolutePath();
}

}  // namespace qv
