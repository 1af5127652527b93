#include "Frm_UserList.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AdminUi.h"
#include "CommandGuard.h"
#include "Context.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "Frm_Userright.h"
#include "Prompter.h"

namespace qv {

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kNotice = QStringLiteral("提醒");

QTreeWidget* listView(QWidget* parent, const char* name, const QStringList& titles) {
    auto* v = new QTreeWidget(parent);
    v->setObjectName(QLatin1String(name));
    v->setColumnCount(titles.size());
    v->setHeaderLabels(titles);
    v->setRootIsDecorated(false);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setAllColumnsShowFocus(true);
    v->header()->setStretchLastSection(true);
    v->setColumnWidth(0, 70);
    v->setColumnWidth(1, 140);
    return v;
}

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

Frm_UserList::Frm_UserList(Context& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), store_(ctx.data.db()) {
    setObjectName(QStringLiteral("Frm_UserList"));
    setWindowTitle(QStringLiteral("操作员管理"));
    buildWidgets();
    refreshUsers();
    pageChanged();
}

void Frm_UserList::buildWidgets() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    List_User = listView(PageControl1, "List_User",
                         {QStringLiteral("编号"), QStringLiteral("用户姓名"), QStringLiteral("用户描述")});
    List_Part = listView(PageControl1, "List_Part",
                         {QStringLiteral("编号"), QStringLiteral("角色名称"), QStringLiteral("角色描述")});
    PageControl1->addTab(List_User, QStringLiteral("用户列表"));
    PageControl1->addTab(List_Part, QStringLiteral("角色列表"));

    // The user list's pop-up menu.
    N_Refresh = new QAction(QStringLiteral("刷新"), List_User);
    N_Refresh->setObjectName(QStringLiteral("N_Refresh"));
    List_User->setContextMenuPolicy(Qt::ActionsContextMenu);
    List_User->addAction(N_Refresh);

    Btn_Add = button(QStringLiteral("新建&A"), "Btn_Add", this);
    Btn_Edit = button(QStringLiteral("修改&E"), "Btn_Edit", this);
    Btn_Del = button(QStringLiteral("删除&D"), "Btn_Del", this);
    Btn_Quit = button(QStringLiteral("退出&E"), "Btn_Quit", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Btn_Add, Btn_Edit, Btn_Del, Btn_Quit}) buttons->addWidget(b);

    auto* main = new QVBoxLayout(this);
    main->addWidget(PageControl1);
    main->addLayout(buttons);
    setFixedSize(520, 360);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { guarded([this] { pageChanged(); }); });
    connect(N_Refresh, &QAction::triggered, this, [this] { guarded([this] { refreshUsers(); }); });
    connect(Btn_Add, &QPushButton::clicked, this, [this] { guarded([this] { addOperator(); }); });
    connect(Btn_Edit, &QPushButton::clicked, this, [this] { guarded([this] { editSelected(); }); });
    connect(Btn_Del, &QPushButton::clicked, this, [this] { guarded([this] { deleteSelected(); }); });
    connect(Btn_Quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(List_User, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { guarded([this, item] { editOperator(idOf(item)); }); });
    connect(List_Part, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { guarded([this, item] { editRole(idOf(item)); }); });
}

bool Frm_UserList::guarded(const std::function<void()>& fn) { return runGuarded(ctx_.prompter, this, fn); }

void Frm_UserList::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    admin::centreOnScreen(*this);
}

int Frm_UserList::idOf(const QTreeWidgetItem* item) { return item ? item->data(0, Qt::UserRole).toInt() : 0; }

bool Frm_UserList::onUserPage() const { return PageControl1->currentWidget() == List_User; }

void Frm_UserList::refreshUsers() {
    List_User->clear();
    for (const admin::OperatorRow& op : store_.operators()) {
        auto* item = new QTreeWidgetItem(List_User, {QString::number(op.id), op.name, op.remark});
        item->setData(0, Qt::UserRole, op.id);
        item->setIcon(0, admin::operatorIcon(op.isUser));
    }
}

void Frm_UserList::refreshRoles() {
    List_Part->clear();
    for (const admin::RoleRow& role : store_.roles()) {
        auto* item = new QTreeWidgetItem(List_Part, {QString::number(role.id), role.name, QString()});
        item->setData(0, Qt::UserRole, role.id);
        item->setIcon(0, admin::roleIcon());
    }
}

void Frm_UserList::pageChanged() {
    const bool users = onUserPage();
    // New and delete concern operators only.
    Btn_Add->setVisible(users);
    Btn_Del->setVisible(users);
    if (!users) refreshRoles();
}

void Frm_UserList::openEditor(Frm_Userright::Purpose purpose, int id) {
    Frm_Userright editor(ctx_, purpose, id, this);
    connect(&editor, &Frm_Userright::saved, this, [this] { guarded([this] { refreshUsers(); }); });
    ctx_.runModal(editor);
}

void Frm_UserList::addOperator() { openEditor(Frm_Userright::Purpose::NewOperator, 0); }

void Frm_UserList::editSelected() {
    if (onUserPage()) {
        if (QTreeWidgetItem* item = List_User->currentItem()) editOperator(idOf(item));
    } else if (QTreeWidgetItem* item = List_Part->currentItem()) {
        editRole(idOf(item));
    }
}

void Frm_UserList::editOperator(int id) {
    if (admin::OperatorStore::isProtected(id)) {
        ctx_.prompter.message(QStringLiteral("系统超级管理员，不允许修改！"), kNotice,
                              QMessageBox::Information, QMessageBox::Ok, this);
        return;
    }
    openEditor(Frm_Userright::Purpose::ChangeOperator, id);
}

void Frm_UserList::editRole(int id) { openEditor(Frm_Userright::Purpose::ChangeRole, id); }

void Frm_UserList::deleteSelected() {
    if (!onUserPage()) return;
    QTreeWidgetItem* item = List_User->currentItem();
    if (!item) return;
    const int id = idOf(item);
    if (ctx_.prompter.message(QStringLiteral("您确认要删除该用户吗？"), kWarning, QMessageBox::Information,
                              QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return;
    if (admin::OperatorStore::isProtected(id)) {
        ctx_.prompter.message(QStringLiteral("这是系统管理员帐号，不能删除"), kWarning,
                              QMessageBox::Information, QMessageBox::Ok, this);
        return;
    }
    admin::OperatorStore::Removal removal;
    try {
        removal = store_.deleteOperator(id);
    } catch (const DbError&) {
        // Nothing was removed: the transaction rolled back.
        ctx_.prompter.message(QStringLiteral("删除用户失败!"), kWarning, QMessageBox::Warning,
                              QMessageBox::Ok, this);
        refreshUsers();
        return;
    }
    if (removal == admin::OperatorStore::Removal::Missing) {
        ctx_.prompter.message(QStringLiteral("要删除的用户已不存在，可能已被其他操作员删除。"), kWarning,
                              QMessageBox::Warning, QMessageBox::Ok, this);
        refreshUsers();
        return;
    }
    if (removal == admin::OperatorStore::Removal::Protected) return;  // refused above already
    delete item;
    ctx_.prompter.message(QStringLiteral("删除用户成功!"), kNotice, QMessageBox::Information, QMessageBox::Ok,
                          this);
}

}  // namespace qv
