#include "ListEditorButton.h"

#include <QAction>
#include <QPointer>
#include <QToolButton>

#include "Context.h"
#include "Frm_Main.h"

namespace qv {

QToolButton* listEditorButton(Context& ctx, QWidget* parent, const QString& name, const QString& menuEntry) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(QStringLiteral("..."));
    b->setFocusPolicy(Qt::NoFocus);  // not one of the entries: Tab skips it
    QPointer<QAction> entry = ctx.main ? ctx.main->action(menuEntry) : nullptr;
    if (!entry) {
        b->setEnabled(false);
        return b;
    }
    b->setToolTip(entry->text().remove(QLatin1Char('&')));
    b->setEnabled(entry->isEnabled());
    QObject::connect(entry, &QAction::changed, b, [b, entry] {
        if (entry) b->setEnabled(entry->isEnabled());
    });
    QObject::connect(b, &QToolButton::clicked, b, [entry] {
        if (entry && entry->isEnabled()) entry->trigger();
    });
    return b;
}

}  // namespace qv
