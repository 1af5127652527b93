#include "Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace qv {

bool DesktopShell::open(const QString& target) {
    QUrl url = QUrl::fromUserInput(target);
    if (QFileInfo::exists(target)) url = QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::start(const QString& program, const QStringList& args) {
    return QProcess::startDetached(program, args);
}

}  // namespace qv
