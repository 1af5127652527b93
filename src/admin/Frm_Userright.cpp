#include "Frm_Userright.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "AdminUi.h"
#include "CheckTree.h"
#include "CommandGuard.h"
#include "Context.h"
#include "DbError.h"
#include "EnterMovesFocus.h"
#include "Frm_Data.h"
#include "GridServices.h"
#include "Prompter.h"

namespace qv {

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kNotice = QStringLiteral("提醒");
const QString kUserRights = QStringLiteral("T_UserAuthority");
const QString kRoleRights = QStringLiteral("T_PartAuthority");

template <class W>
W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

}  // namespace

Frm_Userright::Frm_Userright(Context& ctx, Purpose purpose, int id, QWidget* parent)
    : QDialog(parent), ctx_(ctx), purpose_(purpose), id_(id), store_(ctx.data.db()) {
    setObjectName(QStringLiteral("Frm_Userright"));
    buildWidgets();
    load();
}

void Frm_Userright::buildWidgets() {
    GroupBox1 = named(new QGroupBox(QStringLiteral("操作员信息"), this), "GroupBox1");
    Label_Name = named(new QLabel(QStringLiteral("用户名称"), GroupBox1), "Label_Name");
    Label_Pass = named(new QLabel(QStringLiteral("初始密码"), GroupBox1), "Label_Pass");
    Label_Part = named(new QLabel(QStringLiteral("用户权限"), GroupBox1), "Label_Part");
    Label_Remark = named(new QLabel(QStringLiteral("用户描述"), GroupBox1), "Label_Remark");
    Edit_Name = named(new QLineEdit(GroupBox1), "Edit_Name");
    Edit_Pass = named(new QLineEdit(GroupBox1), "Edit_Pass");  // the password shows as typed
    Combo_Part = named(new QComboBox(GroupBox1), "Combo_Part");
    Combo_Part->setEditable(false);
    Memo_Remark = named(new QPlainTextEdit(GroupBox1), "Memo_Remark");
    Memo_Remark->setTabChangesFocus(true);

    auto* info = new QGridLayout(GroupBox1);
    info->addWidget(Label_Name, 0, 0);
    info->addWidget(Edit_Name, 0, 1);
    info->addWidget(Label_Pass, 1, 0);
    info->addWidget(Edit_Pass, 1, 1);
    info->addWidget(Label_Part, 2, 0);
    info->addWidget(Combo_Part, 2, 1);
    info->addWidget(Label_Remark, 3, 0, Qt::AlignTop);
    info->addWidget(Memo_Remark, 3, 1);
    info->setRowStretch(3, 1);

    GroupBox2 = named(new QGroupBox(QStringLiteral("操作权限"), this), "GroupBox2");
    Tree_Right = named(new CheckTree(GroupBox2), "Tree_Right");
    auto* rights = new QVBoxLayout(GroupBox2);
    rights->addWidget(Tree_Right);

    Btn_Save = named(new QPushButton(QStringLiteral("保存(&S)"), this), "Btn_Save");
    Btn_Quit = named(new QPushButton(QStringLiteral("退出(&Q)"), this), "Btn_Quit");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_Save);
    buttons->addWidget(Btn_Quit);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(GroupBox1, 1);
    boxes->addWidget(GroupBox2, 1);
    auto* main = new QVBoxLayout(this);
    main->addLayout(boxes);
    main->addLayout(buttons);
    resize(640, 460);

    EnterMovesFocus::install(this);
    connect(Btn_Save, &QPushButton::clicked, this,
            [this] { runGuarded(ctx_.prompter, this, [this] { save(); }); });
    connect(Btn_Quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(Combo_Part, &QComboBox::currentIndexChanged, this,
            [this] { runGuarded(ctx_.prompter, this, [this] { roleChosen(); }); });
}

void Frm_Userright::load() {
    loading_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{loading_};

    for (const admin::RoleRow& role : store_.roles()) Combo_Part->addItem(role.name.trimmed());
    Combo_Part->setCurrentIndex(-1);

    switch (purpose_) {
        case Purpose::NewOperator:
            // Everything starts empty; the tree waits for the choice of a role.
            setWindowTitle(QStringLiteral("新增操作员"));
            break;
        case Purpose::ChangeOperator: {
            setWindowTitle(QStringLiteral("编辑操作员"));
            const std::optional<admin::OperatorRow> op = store_.findOperator(id_);
            if (!op) throw DbError(QStringLiteral("操作员已不存在"));
            Edit_Name->setText(op->name);
            Edit_Name->setReadOnly(true);
            // The stored password is a hash: the box stays empty and only a typed one replaces it.
            Combo_Part->setCurrentIndex(Combo_Part->findText(op->role.trimmed()));
            Memo_Remark->setPlainText(op->remark);
            fillTree(kUserRights, op->name);
            break;
        }
        case Purpose::ChangeRole: {
            setWindowTitle(QStringLiteral("编辑角色"));
            const std::optional<admin::RoleRow> role = store_.findRole(id_);
            if (!role) throw DbError(QStringLiteral("角色已不存在"));
            Label_Name->setText(QStringLiteral("角色名称"));
            Edit_Name->setText(role->name);
            Edit_Name->setReadOnly(true);
            for (QWidget* w : {static_cast<QWidget*>(Label_Pass), static_cast<QWidget*>(Edit_Pass),
                               static_cast<QWidget*>(Label_Part), static_cast<QWidget*>(Combo_Part)})
                w->hide();
            Label_Remark->setText(QStringLiteral("角色描述"));
            Memo_Remark->setPlainText(role->remark);
            fillTree(kRoleRights, role->name);
            break;
        }
    }
}

void Frm_Userright::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    admin::centreOnScreen(*this);
    if (purpose_ == Purpose::NewOperator) Edit_Name->setFocus();
}

void Frm_Userright::fillTree(const QString& table, const QString& owner) {
    const QString condition =
        table == kUserRights ? QStringLiteral(" UserName = :owner") : QStringLiteral(" PartName = :owner");
    LoadRightsTree(ctx_, *Tree_Right, table, condition, {{QStringLiteral("owner"), owner}});
}

void Frm_Userright::roleChosen() {
    if (loading_ || purpose_ == Purpose::ChangeRole) return;
    const QString role = Combo_Part->currentText();
    if (role.isEmpty()) {
        Tree_Right->clear();
        return;
    }
    // The chosen role's stored values; for a changed operator they replace his own once he is saved.
    fillTree(kRoleRights, role);
}

admin::OperatorEntry Frm_Userright::entry() const {
    return {Edit_Name->text(), Edit_Pass->text(), Combo_Part->currentText(), Memo_Remark->toPlainText()};
}

QList<admin::NodeState> Frm_Userright::treeStates() const {
    QList<admin::NodeState> out;
    for (const QTreeWidgetItem* node : Tree_Right->nodes())
        out << admin::NodeState{CheckTree::code(node), CheckTree::tag(node)};
    return out;
}

void Frm_Userright::refuse(const admin::Refusal& refusal) {
    ctx_.prompter.message(refusal.message, kWarning, QMessageBox::Information, QMessageBox::Ok, this);
    if (refusal.field == admin::Refusal::Field::Role)
        Combo_Part->setFocus();
    else
        Edit_Name->setFocus();
}

void Frm_Userright::save() {
    switch (purpose_) {
        case Purpose::NewOperator:
            saveNew();
            break;
        case Purpose::ChangeOperator:
            saveOperator();
            break;
        case Purpose::ChangeRole:
            saveRole();
            break;
    }
}

void Frm_Userright::saveNew() {
    if (const auto refused = store_.addOperator(entry())) {
        refuse(*refused);  // the editor keeps its entries
        return;
    }
    ctx_.prompter.message(QStringLiteral("添加操作员成功"), kNotice, QMessageBox::Information,
                          QMessageBox::Ok, this);
    emit saved();  // the editor stays open for the next operator
}

void Frm_Userright::saveOperator() {
    if (const auto refused = store_.changeOperator(id_, entry(), treeStates())) {
        refuse(*refused);
        return;
    }
    ctx_.prompter.message(QStringLiteral("保存成功"), kNotice, QMessageBox::Information, QMessageBox::Ok,
                          this);
    emit saved();
    accept();
}

void Frm_Userright::saveRole() {
    store_.saveRole(id_, treeStates());
    ctx_.prompter.message(QStringLiteral("保存成功"), kNotice, QMessageBox::Information, QMessageBox::Ok,
                          this);
    emit saved();
    accept();
}

}  // namespace qv
