// The program entry: splash, data module and connection, then the login and the main window.
#include <QDialog>
#include <memory>

#include "Application.h"
#include "Clock.h"
#include "CommandGuard.h"
#include "Context.h"
#include "Frm_Data.h"
#include "Frm_Splash.h"
#include "ProgramFolder.h"
#include "Prompter.h"
#include "QtTexts.h"
#include "Shell.h"
#include "Startup.h"

namespace {

// Everything from the splash to the end of the message loop; the exit code.
int run(qv::Application& app, qv::Prompter& prompter) {
    const QString home =
        qv::programFolder(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());

    // The splash shows while the connection is made; it is painted before anything else happens.
    auto splash = std::make_unique<qv::Frm_Splash>(home);
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QApplication::setApplicationName(QStringLiteral("Quorvan"));
    qv::installQtTexts();

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
    switch (qv::runAfterConnect(context)) {
        case qv::StartupOutcome::Run:
            break;
        case qv::StartupOutcome::Quit:
            return 0;
        case qv::StartupOutcome::Failed:
            return 1;
    }
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    // The Prompter outlives the application object, whose error boundary shows its boxes through it.
    qv::WidgetPrompter prompter;
    qv::Application app(argc, argv);
    app.setPrompter(&prompter);
    // The start-up runs outside the message loop's boundary: a failure there is shown the same way
    // and ends the program with 1 instead of terminating it.
    int code = 1;
    qv::runGuarded(prompter, nullptr, [&] { code = run(app, prompter); });
    return code;
}
