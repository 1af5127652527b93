#include "AdminCommands.h"

#include "Context.h"
#include "Frm_Main.h"
#include "Frm_UserList.h"

namespace qv {

void installAdminCommands(Context& ctx, Frm_Main& main) {
    // The frame runs the handler inside its error boundary.
    main.setHandler(QStringLiteral("M_UserList"), [&ctx, &main] {
        Frm_UserList window(ctx, &main);
        ctx.runModal(window);
    });
}

}  // namespace qv
