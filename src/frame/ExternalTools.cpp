#include "ExternalTools.h"

#include <QStandardPaths>

#include "Shell.h"

namespace qv::ExternalTools {

const QStringList& calculators() {
    static const QStringList list{
        QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
        QStringLiteral("mate-calc"),        QStringLiteral("xcalc"), QStringLiteral("qalculate-gtk")};
    return list;
}

const QStringList& textEditors() {
    static const QStringList list{
        QStringLiteral("gedit"),    QStringLiteral("kate"),       QStringLiteral("kwrite"),
        QStringLiteral("mousepad"), QStringLiteral("pluma"),      QStringLiteral("xed"),
        QStringLiteral("leafpad"),  QStringLiteral("featherpad"), QStringLiteral("xedit")};
    return list;
}

bool startFirstFound(Shell& shell, const QStringList& programs) {
    for (const QString& name : programs) {
        const QString path = QStandardPaths::findExecutable(name);
        if (path.isEmpty()) continue;
        if (shell.start(path, {})) return true;
    }
    return false;
}

}  // namespace qv::ExternalTools
