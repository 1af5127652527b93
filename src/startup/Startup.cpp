// After the connection: the operator logs in, then the main window runs with every subsystem's
// commands connected to it.
#include "Startup.h"

#include <QApplication>
#include <QScreen>

#include "CommandWiring.h"
#include "Context.h"
#include "Frm_Main.h"
#include "LoginFlow.h"
#include "LoginState.h"
#include "ReportWiring.h"

namespace qv {

StartupOutcome runAfterConnect(Context& ctx) {
    // Both live for the rest of the run; the application object owns them.
    auto* login = new LoginState;
    login->setParent(qApp);
    ctx.login = login;
    // The report objects of the data module, loaded once the database is connected.
    loadDataModuleReports(ctx);
    auto* main = new Frm_Main(ctx);
    installCommands(ctx, *main);

    const LoginResult result = openLoginDialog(ctx);
    if (result != LoginResult::LoggedIn) {
        delete main;
        ctx.main = nullptr;
        return result == LoginResult::Failed ? StartupOutcome::Failed : StartupOutcome::Quit;
    }
    main->setAttribute(Qt::WA_DeleteOnClose);
    // Sized to the screen first, so that it fills it also where no window manager maximises it.
    if (QScreen* screen = QGuiApplication::primaryScreen()) main->setGeometry(screen->availableGeometry());
    main->showMaximized();
    return StartupOutcome::Run;
}

}  // namespace qv
