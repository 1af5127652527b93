#include "WorkbenchCommands.h"

#include <QMdiSubWindow>

#include "Context.h"
#include "Frm_Custom.h"
#include "Frm_Main.h"

namespace qv {

namespace {

// The workbench in front; a new one opens maximised and loads its lists. `loaded` tells whether
// that happened now.
Frm_Custom* showWorkbench(Context& ctx, Frm_Main& main, bool* loaded = nullptr) {
    bool created = false;
    auto* w = main.showChildForm<Frm_Custom>([&ctx, &created] {
        created = true;
        return new Frm_Custom(ctx);
    });
    if (!w) return nullptr;
    if (created)
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) sub->showMaximized();
    const bool now = w->firstShow();
    if (loaded) *loaded = now;
    return w;
}

}  // namespace

void installWorkbenchCommands(Context& ctx, Frm_Main& main) {
    main.setHandler(Frm_Main::kFirstShowWorkbench, [&ctx, &main] { showWorkbench(ctx, main); });
    main.setHandler(Frm_Main::kWorkbench, [&ctx, &main] {
        bool loaded = false;
        Frm_Custom* w = showWorkbench(ctx, main, &loaded);
        if (!w) return;
        w->attachDetails();
        // A workbench that has just loaded holds this very list already.
        if (loaded)
            w->applyCustomerLayout();
        else
            w->loadAllCustomers();
    });
}

}  // namespace qv
