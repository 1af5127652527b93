#include "Frm_Tree.h"

#include <QAction>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "Context.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "GridServices.h"
#include "Prompter.h"
#include "Transaction.h"

namespace qv {

namespace cc = categorycodes;

namespace {

const QString kNotice = QStringLiteral("提醒");
const QString kQuestion = QStringLiteral("询问");
const QString kHasChildren = QStringLiteral("不能删除有子目录的目录，请先删除子目录！");
const QString kAskDelete = QStringLiteral("你真的要删除所选择的目录吗？");
const QString kEditNothing = QStringLiteral("请点击取消按钮再重新选择一个节点进行编辑!");
const QString kEditGone = QStringLiteral("您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!");

}  // namespace

QString categoryTable(CategoryKind kind) {
    return kind == CategoryKind::Customer ? QStringLiteral("Dict_Cust_Category")
                                          : QStringLiteral("Dict_Product_Category");
}

QString categoryCaption(CategoryKind kind) {
    return kind == CategoryKind::Customer ? QStringLiteral("客户分类") : QStringLiteral("商品分类");
}

Frm_Tree::Frm_Tree(Context& ctx, CategoryKind kind, CategoryCaller caller, QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      caller_(caller),
      table_(categoryTable(kind)),
      rootCaption_(categoryCaption(kind)) {
    buildWidgets();
    setState(State::Idle);
    guarded([this] { reloadTree(); });
}

void Frm_Tree::buildWidgets() {
    setObjectName(QStringLiteral("Frm_Tree"));
    setWindowTitle(rootCaption_);
    resize(520, 420);

    auto makeAction = [this](const char* name, const QString& text) {
        auto* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    AddNode = makeAction("AddNode", QStringLiteral("新增&A"));
    AddSibling = makeAction("AddSibling", QStringLiteral("新增同级节点"));
    AddSibling->setShortcut(QKeySequence(Qt::Key_F3));
    AddChild = makeAction("AddChild", QStringLiteral("新增下级节点"));
    AddChild->setShortcut(QKeySequence(Qt::Key_F4));
    EditNode = makeAction("EditNode", QStringLiteral("编辑&E"));
    DelNode = makeAction("DelNode", QStringLiteral("删除&D"));
    SaveNode = makeAction("SaveNode", QStringLiteral("保存&S"));
    CancelNode = makeAction("CancelNode", QStringLiteral("取消&C"));
    ChooseNode = makeAction("ChooseNode", QStringLiteral("选择&C"));
    RefreshTree = makeAction("RefreshTree", QStringLiteral("刷新&R"));
    CloseTree = makeAction("CloseTree", QStringLiteral("退出&Q"));
    // The drop-down entries keep their short-cuts while the menu is closed.
    addAction(AddSibling);
    addAction(AddChild);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto addButton = [this](const char* name, QAction* action) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setDefaultAction(action);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        ToolBar1->addWidget(b);
        return b;
    };
    QToolButton* add = addButton("TB_Add", AddNode);
    auto* addMenu = new QMenu(add);
    addMenu->addAction(AddSibling);
    addMenu->addAction(AddChild);
    add->setMenu(addMenu);
    add->setPopupMode(QToolButton::MenuButtonPopup);
    addButton("TB_Edit", EditNode);
    addButton("TB_Del", DelNode);
    addButton("TB_Save", SaveNode);
    addButton("TB_Cancel", CancelNode);
    addButton("TB_Select", ChooseNode);
    addButton("TB_Refresh", RefreshTree);
    addButton("TB_Quit", CloseTree);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setColumnCount(1);
    TreeView1->header()->hide();

    Edit_Code = new QLineEdit(this);
    Edit_Code->setObjectName(QStringLiteral("Edit_Code"));
    Edit_Code->setMaxLength(cc::kMaxCodeLength);
    Edit_Name = new QLineEdit(this);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));

    auto* form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("编码:"), this), Edit_Code);
    form->addRow(new QLabel(QStringLiteral("名称:"), this), Edit_Name);
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(TreeView1, 3);
    body->addLayout(right, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(ToolBar1);
    layout->addLayout(body);

    connect(AddNode, &QAction::triggered, this, [this] { startAdd(cc::AddKind::Child); });
    connect(AddChild, &QAction::triggered, this, [this] { startAdd(cc::AddKind::Child); });
    connect(AddSibling, &QAction::triggered, this, [this] { startAdd(cc::AddKind::Sibling); });
    connect(EditNode, &QAction::triggered, this, &Frm_Tree::startEdit);
    connect(DelNode, &QAction::triggered, this, [this] { guarded([this] { removeNode(); }); });
    connect(SaveNode, &QAction::triggered, this, &Frm_Tree::save);
    connect(CancelNode, &QAction::triggered, this, &Frm_Tree::cancel);
    connect(ChooseNode, &QAction::triggered, this, &Frm_Tree::choose);
    connect(RefreshTree, &QAction::triggered, this, [this] { guarded([this] { reloadTree(); }); });
    connect(CloseTree, &QAction::triggered, this, &QDialog::reject);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { nodeSelected(current); });
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item) TreeView1->setCurrentItem(item);
        choose();
    });
}

void Frm_Tree::guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const DbError& e) {
        ctx_.prompter.error(e.text(), this);
    } catch (const std::exception& e) {
        ctx_.prompter.error(QString::fromLocal8Bit(e.what()), this);
    }
}

void Frm_Tree::notice(const QString& text) {
    ctx_.prompter.message(text, kNotice, QMessageBox::Information, QMessageBox::Ok, this);
}

// --- tree ----------------------------------------------------------------------------------------

QTreeWidgetItem* Frm_Tree::rootItem() const { return TreeView1->topLevelItem(0); }

QString Frm_Tree::codeOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kCodeRole).toString() : QString();
}

QString Frm_Tree::nameOf(const QTreeWidgetItem* item) const {
    if (!item) return {};
    if (!item->parent()) return rootCaption_;
    const QString text = item->text(0);
    const int dash = int(text.indexOf(QLatin1Char('-')));
    return dash < 0 ? QString() : text.mid(dash + 1);
}

QTreeWidgetItem* Frm_Tree::itemOfCode(const QString& code) const {
    if (code.isEmpty()) return rootItem();
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
        if ((*it)->parent() && codeOf(*it) == code) return *it;
    return nullptr;
}

void Frm_Tree::reloadTree() {
    LoadCodeTree(ctx_, *TreeView1, table_, rootCaption_);
    TreeView1->setCurrentItem(rootItem());
}

void Frm_Tree::nodeSelected(QTreeWidgetItem* item) {
    if (!item) return;
    Edit_Code->setText(codeOf(item));
    Edit_Name->setText(nameOf(item));
    setState(state_);  // the sibling command depends on the node
}

void Frm_Tree::placeNewNode(const QString& code, const QString& name) {
    // The node goes where its code says, so a code typed for another branch shows in its true place.
    QTreeWidgetItem* parent = itemOfCode(cc::parentOf(code));
    if (!parent) {
        // The parent was added on another workstation after this tree was read.
        reloadTree();
        if (QTreeWidgetItem* item = itemOfCode(code)) TreeView1->setCurrentItem(item);
        return;
    }
    auto* item = new QTreeWidgetItem(QStringList{code + QLatin1Char('-') + name});
    item->setData(0, kCodeRole, code);
    item->setData(0, kImageIndexRole, 0);
    int at = 0;
    while (at < parent->childCount() && codeOf(parent->child(at)) < code) ++at;
    parent->insertChild(at, item);
    parent->setExpanded(true);
    TreeView1->setCurrentItem(item);
}

// --- states --------------------------------------------------------------------------------------

void Frm_Tree::setState(State state) {
    state_ = state;
    const bool idle = state == State::Idle;
    const QTreeWidgetItem* current = TreeView1->currentItem();
    AddNode->setEnabled(idle);
    AddChild->setEnabled(idle);
    AddSibling->setEnabled(idle && current && current->parent());  // the root has no siblings
    EditNode->setEnabled(idle);
    DelNode->setEnabled(idle);
    SaveNode->setEnabled(!idle);
    CancelNode->setEnabled(!idle);
    Edit_Code->setEnabled(state == State::AddingChild || state == State::AddingSibling);
    Edit_Name->setEnabled(!idle);
}

void Frm_Tree::startAdd(cc::AddKind kind) {
    guarded([&] {
        if (state_ != State::Idle) return;
        const SqlCategoryTable table(ctx_.data.db(), table_);
        const bool empty = table.isEmpty();
        // The proposal starts from the selected category (the root gives a first-level code).
        const QString proposal = cc::propose(table, codeOf(TreeView1->currentItem()), kind);
        setState(kind == cc::AddKind::Child ? State::AddingChild : State::AddingSibling);
        Edit_Code->setText(proposal);
        if (!empty) Edit_Name->clear();
        Edit_Name->setFocus();
    });
}

void Frm_Tree::startEdit() {
    if (state_ != State::Idle) return;
    // Editing renames the selected category: the boxes show it again even after a cancelled add.
    nodeSelected(TreeView1->currentItem());
    setState(State::Editing);
    Edit_Name->setFocus();
}

void Frm_Tree::cancel() { setState(State::Idle); }

void Frm_Tree::save() {
    guarded([this] {
        if (state_ == State::AddingChild || state_ == State::AddingSibling)
            saveNew();
        else if (state_ == State::Editing)
            saveName();
    });
}

void Frm_Tree::saveNew() {
    Database& db = ctx_.data.db();
    const QString code = Edit_Code->text().trimmed();
    const QString name = Edit_Name->text().trimmed();
    cc::Refusal refusal = cc::Refusal::None;
    try {
        // The checks and the insert in one transaction; the unique index settles a race between
        // two workstations that both passed the check.
        Transaction tx(db);
        const SqlCategoryTable table(db, table_);
        refusal = cc::check(table, Edit_Code->text());
        if (refusal == cc::Refusal::None) {
            db.execute(QStringLiteral("insert into %1 (Code, Name) values (:code, :name)").arg(table_),
                       {{QStringLiteral("code"), code}, {QStringLiteral("name"), name}});
            tx.commit();
        }
    } catch (const DbError& e) {
        if (!e.isUniqueViolation()) throw;
        refusal = cc::Refusal::Duplicate;
    }
    if (refusal != cc::Refusal::None) {
        notice(cc::message(refusal));
        if (cc::focusesCode(refusal)) Edit_Code->setFocus();
        return;
    }
    setState(State::Idle);
    placeNewNode(code, name);
}

void Frm_Tree::saveName() {
    const QString code = Edit_Code->text().trimmed();
    if (code.isEmpty()) {
        notice(kEditNothing);
        return;
    }
    const QString name = Edit_Name->text().trimmed();
    const int changed =
        ctx_.data.db().execute(QStringLiteral("update %1 set Name = :name where Code = :code").arg(table_),
                               {{QStringLiteral("name"), name}, {QStringLiteral("code"), code}});
    if (changed == 0) {
        notice(kEditGone);
        return;
    }
    if (QTreeWidgetItem* item = itemOfCode(code)) item->setText(0, code + QLatin1Char('-') + name);
    Edit_Name->setText(name);
    setState(State::Idle);
}

void Frm_Tree::removeNode() {
    QTreeWidgetItem* item = TreeView1->currentItem();
    if (!item) return;
    if (item->childCount() > 0) {
        notice(kHasChildren);
        return;
    }
    if (!item->parent()) return;  // the root is no category: there is nothing to delete
    if (ctx_.prompter.message(kAskDelete, kQuestion, QMessageBox::Question,
                              QMessageBox::Ok | QMessageBox::Cancel, this) != QMessageBox::Ok)
        return;
    // The selected category is deleted, whatever a cancelled add left in the code box.
    const QString code = codeOf(item);
    Database& db = ctx_.data.db();
    Transaction tx(db);
    if (SqlCategoryTable(db, table_).codes(0, code).size() > 1) {
        // Another workstation gave it a sub-category since this tree was read: show it and refuse.
        tx.commit();
        reloadTree();
        if (QTreeWidgetItem* again = itemOfCode(code)) TreeView1->setCurrentItem(again);
        notice(kHasChildren);
        return;
    }
    db.execute(QStringLiteral("delete from %1 where Code = :code").arg(table_),
               {{QStringLiteral("code"), code}});
    tx.commit();
    delete item;
}

void Frm_Tree::choose() {
    if (caller_ == CategoryCaller::None) return;  // management only: the dialog stays open
    // The chosen category is the selected node (the root: no code and the root caption).
    const QTreeWidgetItem* item = TreeView1->currentItem();
    CategoryChoice c;
    c.code = codeOf(item).trimmed();
    c.name = item ? nameOf(item) : rootCaption_;
    ctx_.data.ini().writeString(QStringLiteral("login"), QStringLiteral("Category"), c.name);
    ctx_.data.ini().writeString(QStringLiteral("login"), QStringLiteral("Catecode"), c.code);
    choice_ = c;
    accept();
}

// --- commands ------------------------------------------------------------------------------------

void openCategoryEditor(Context& ctx, CategoryKind kind, QWidget* parent) {
    Frm_Tree dialog(ctx, kind, CategoryCaller::None, parent);
    ctx.runModal(dialog);
}

std::optional<CategoryChoice> pickCategory(Context& ctx, CategoryKind kind, CategoryCaller caller,
                                           QWidget* parent) {
    Frm_Tree dialog(ctx, kind, caller, parent);
    if (ctx.runModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

}  // namespace qv
