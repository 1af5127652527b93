// DBLinker: edits the database connection (section DBConn of Config.ini) of the program folder.
#include <QApplication>
#include <QDir>

#include "DbLinkerDialog.h"
#include "IniFile.h"
#include "ProgramFolder.h"
#include "Prompter.h"
#include "QtTexts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qv::installQtTexts();
    const QString home =
        qv::programFolder(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
    qv::IniFile ini(QDir(home).filePath(QStringLiteral("Config.ini")));
    qv::WidgetPrompter prompter;
    qv::DbLinkerDialog dialog(ini, prompter, home);
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
