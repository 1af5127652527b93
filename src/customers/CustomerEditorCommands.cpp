#include "CustomerEditorCommands.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <memory>

#include "ContactRules.h"
#include "Context.h"
#include "Frm_AddContact.h"
#include "Frm_AddCust.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "LoginState.h"
#include "Prompter.h"
#include "Transaction.h"

namespace qv {

namespace {

const QString kNotice = QStringLiteral("提醒");
const QString kQuestion = QStringLiteral("询问");
const QString kNotYourContact = QStringLiteral("不是你的联系人，你没有权限删除！");
const QString kAskDeleteContact = QStringLiteral("你确定要删除该联系人吗！");

bool hasRows(const Dataset* ds) { return ds && ds->isOpen() && ds->rowCount() > 0 && ds->currentRow() >= 0; }

// The category selected in the workbench's category tree, when the workbench is open and a
// category below the root is selected: the node text is the code, "-" and the name.
bool workbenchCategory(const Frm_Main& main, QString* code, QString* name) {
    if (!main.mdiArea()) return false;
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList()) {
        QWidget* w = sub->widget();
        if (!w || w->objectName() != QLatin1String("Frm_Custom")) continue;
        auto* tree = w->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        QTreeWidgetItem* node = tree ? tree->currentItem() : nullptr;
        if (!node || !node->parent()) return false;
        const QString text = node->text(0);
        const qsizetype dash = text.indexOf(QLatin1Char('-'));
        if (dash < 0) return false;
        *code = text.left(dash);
        *name = text.mid(dash + 1);
        return true;
    }
    return false;
}

void deleteContact(Context& ctx, Frm_Main& main) {
    Frm_Data& data = ctx.data;
    Dataset& contacts = *data.Qry_Contact;
    if (!hasRows(&contacts)) return;
    const LoginState* login = ctx.login;
    const QString owner = contacts.text(QStringLiteral("F_User"));
    if (login && login->userPermit() != 0 && owner != login->currentUser()) {
        ctx.prompter.message(kNotYourContact, kNotice, QMessageBox::Information, QMessageBox::Ok, &main);
        return;
    }
    if (!ctx.prompter.askYesNo(kAskDeleteContact, kQuestion, &main)) return;

    const QString custCode = contacts.text(QStringLiteral("CustCode"));
    const QString name = contacts.text(QStringLiteral("Name"));
    const bool wasMain = contacts.value(QStringLiteral("Main")).toInt() != 0;
    Transaction tx(data.db());
    contacts.remove();
    // The customer's main contact must not go on naming a person who is no longer there.
    contactrules::settleMainContactAfterDelete(data.db(), data.Qry_Cust, custCode, name, wasMain);
    tx.commit();
}

}  // namespace

void installCustomerEditorCommands(Context& ctx, Frm_Main& main) {
    auto editorOpen = std::make_shared<bool>(false);
    auto openCustomerEditor = [&ctx, &main, editorOpen](Frm_AddCust::Mode mode) {
        if (*editorOpen) return;
        if (mode == Frm_AddCust::Mode::Edit && !hasRows(ctx.data.Qry_Cust)) return;
        *editorOpen = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{*editorOpen};
        Frm_AddCust editor(ctx, mode, &main);
        QString code, name;
        if (mode == Frm_AddCust::Mode::Add && workbenchCategory(main, &code, &name))
            editor.setCategoryPreset(code, name);
        ctx.runModal(editor);
    };
    main.setHandler(QStringLiteral("AddCust"),
                    [openCustomerEditor] { openCustomerEditor(Frm_AddCust::Mode::Add); });
    main.setHandler(QStringLiteral("EditCust"),
                    [openCustomerEditor] { openCustomerEditor(Frm_AddCust::Mode::Edit); });

    main.setHandler(QStringLiteral("AddContact"), [&ctx, &main] {
        if (!hasRows(ctx.data.Qry_Cust)) return;
        Frm_AddContact editor(ctx, Frm_AddContact::Mode::Add, &main);
        ctx.runModal(editor);
    });
    main.setHandler(QStringLiteral("EditContact"), [&ctx, &main] {
        if (!hasRows(ctx.data.Qry_Contact)) return;
        Frm_AddContact editor(ctx, Frm_AddContact::Mode::Edit, &main);
        ctx.runModal(editor);
    });
    main.setHandler(QStringLiteral("DelContact"), [&ctx, &main] { deleteContact(ctx, main); });
}

}  // namespace qv
