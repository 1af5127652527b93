#include "Context.h"

#include <QDialog>
#include <QDir>

namespace qv {

int Context::runModal(QDialog& dialog) const {
    if (modal) return modal(dialog);
    return dialog.exec();
}

QString Context::path(const QString& relative) const { return QDir(home).filePath(relative); }

}  // namespace qv
