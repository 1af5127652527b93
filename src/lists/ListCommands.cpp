#include "ListCommands.h"

#include "Context.h"
#include "Frm_Main.h"
#include "ListKinds.h"
#include "ListWindows.h"

namespace qv {

void installListCommands(Context& ctx, Frm_Main& main) {
    for (const ListKind& kind : listKinds()) {
        const QString window = kind.window;
        // The frame runs each handler inside its error boundary.
        main.setHandler(kind.menuEntry, [&ctx, &main, window] {
            std::unique_ptr<ListEditor> editor = createListEditor(ctx, window, &main);
            if (editor) ctx.runModal(*editor);
        });
    }
}

}  // namespace qv
