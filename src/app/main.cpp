// The program entry: splash, data module and connection, then the login and the main window.
#include <QApplication>
#include <QDialog>
#include <memory>

#include "Clock.h"
#include "Context.h"
#include "Frm_Data.h"
#include "Frm_Splash.h"
#include "ProgramFolder.h"
#include "Prompter.h"
#include "QtTexts.h"
#include "Shell.h"
#include "Startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString home =
        qv::programFolder(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());

    // The splash shows while the connection is made; it is painted before anything else happens.
    auto splash = std::make_unique<qv::Frm_Splash>(home);
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QApplication::setApplicationName(QStringLiteral("Quorvan"));
    qv::installQtTexts();

    qv::WidgetPrompter prompter;
    qv::DesktopShell shell;
    qv::Clock clock;
    qv::Frm_Data data(home);
    const bool connected = data.connectDatabase(prompter, shell, [&splash](const QString& text) {
        if (splash) splash->SetStatus(text);
    });
    splash.reset();

    // Without a connection the program ends; the operator was offered the connection tool.
    if (!connected) return 1;

    qv::Context context(data, prompter, shell, clock, home, [](QDialog& dialog) { return dialog.exec(); });
    if (!qv::runAfterConnect(context)) return 0;
    return app.exec();
}
