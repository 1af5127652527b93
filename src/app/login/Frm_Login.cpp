#include "Frm_Login.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "Context.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "LoginFlow.h"
#include "Prompter.h"

namespace qv {

namespace {

const QString kWarning = QStringLiteral("警告");

QLineEdit* passwordEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // masked with '*'
    return e;
}

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

}  // namespace

Frm_Login::Frm_Login(Context& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), service_(ctx.data, *ctx.login) {
    setObjectName(QStringLiteral("Frm_Login"));
    setWindowTitle(QStringLiteral("登录"));

    // The header picture with the two lines of text over it; a missing picture leaves it blank.
    auto* header = new QLabel(this);
    header->setObjectName(QStringLiteral("Image_Login"));
    header->setFixedSize(400, 110);
    header->setScaledContents(true);
    const QPixmap picture(ctx.path(QStringLiteral("IMG/Login.jpg")));
    if (!picture.isNull()) header->setPixmap(picture);
    auto* line1 = new QLabel(QStringLiteral("请选择操作员姓名并输入相应密码"), header);
    auto* line2 = new QLabel(QStringLiteral("初始用户为：“Admin” 密码为空"), header);
    line1->setObjectName(QStringLiteral("Label_Hint1"));
    line2->setObjectName(QStringLiteral("Label_Hint2"));
    // Light text on the picture; without it the palette's own text colour on the blank header.
    for (QLabel* l : {line1, line2}) {
        l->setStyleSheet(picture.isNull() ? QStringLiteral("background: transparent;")
                                          : QStringLiteral("color: white; background: transparent;"));
    }
    line1->move(20, 62);
    line2->move(20, 84);

    Combo_User = new QComboBox(this);
    Combo_User->setObjectName(QStringLiteral("Combo_User"));
    Combo_User->setEditable(false);
    Edit_Pass = passwordEdit(this, "Edit_Pass");
    Btn_OK = button(QStringLiteral("确定(&Y)"), "Btn_OK", this);
    Btn_Cancel = button(QStringLiteral("取消(&C)"), "Btn_Cancel", this);
    Btn_OK->setDefault(true);

    auto* form = new QFormLayout;
    form->setContentsMargins(40, 12, 40, 4);
    form->addRow(QStringLiteral("用户名称："), Combo_User);
    form->addRow(QStringLiteral("用户密码："), Edit_Pass);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Cancel);
    buttons->addStretch();
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 12);
    main->addWidget(header);
    main->addLayout(form);
    main->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(Btn_OK, &QPushButton::clicked, this, &Frm_Login::tryLogin);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Combo_User, &QComboBox::activated, this, [this] { Edit_Pass->setFocus(); });

    readOperators(service_.storedPosition());
    setTabOrder(Combo_User, Edit_Pass);
    setTabOrder(Edit_Pass, Btn_OK);
    setTabOrder(Btn_OK, Btn_Cancel);
    Edit_Pass->setFocus();
}

void Frm_Login::readOperators(int position) {
    const QStringList names = service_.operators();
    Combo_User->clear();
    Combo_User->addItems(names);
    Combo_User->setCurrentIndex(position >= 0 && position < Combo_User->count() ? position : -1);
}

void Frm_Login::tryLogin() {
    LoginService::Outcome out;
    try {
        out = service_.attempt(Combo_User->currentIndex(), Combo_User->currentText(), Edit_Pass->text());
    } catch (const DbError& e) {
        ctx_.prompter.error(e.text(), this);  // the dialog stays open
        return;
    }
    if (out.ok) {
        accept();
        return;
    }
    ctx_.prompter.message(out.message, kWarning, QMessageBox::Critical, QMessageBox::Ok, this);
    if (out.reloadList) {
        try {
            readOperators(-1);  // the vanished name is gone from the list; nothing is chosen
        } catch (const DbError& e) {
            ctx_.prompter.error(e.text(), this);
        }
    }
    if (out.clearPassword) Edit_Pass->clear();
    if (out.focusPassword) Edit_Pass->setFocus();
}

Frm_Password::Frm_Password(Context& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), service_(ctx.data, *ctx.login) {
    setObjectName(QStringLiteral("Frm_Password"));
    setWindowTitle(QStringLiteral("修改我的登录密码"));
    Edit_User = new QLineEdit(ctx.login->currentUser(), this);
    Edit_User->setObjectName(QStringLiteral("Edit_User"));
    Edit_User->setReadOnly(true);
    Edit_OldPass = passwordEdit(this, "Edit_OldPass");
    Edit_NewPass = passwordEdit(this, "Edit_NewPass");
    Edit_Verify = passwordEdit(this, "Edit_Verify");
    auto* ok = button(QStringLiteral("确定(&Y)"), "Btn_OK", this);
    auto* cancel = button(QStringLiteral("取消(&Q)"), "Btn_Cancel", this);
    ok->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("当前用户"), Edit_User);
    form->addRow(QStringLiteral("当前密码"), Edit_OldPass);
    form->addRow(QStringLiteral("新密码"), Edit_NewPass);
    form->addRow(QStringLiteral("新密码验证"), Edit_Verify);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &Frm_Password::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    Edit_OldPass->setFocus();
}

void Frm_Password::save() {
    LoginService::Change out;
    try {
        out = service_.changePassword(Edit_OldPass->text(), Edit_NewPass->text(), Edit_Verify->text());
    } catch (const DbError& e) {
        ctx_.prompter.error(e.text(), this);
        return;
    }
    ctx_.prompter.message(out.message, out.caption, out.ok ? QMessageBox::Information : QMessageBox::Warning,
                          QMessageBox::Ok, this);
    if (out.ok) {
        accept();
        return;
    }
    if (out.focus == LoginService::Change::Focus::Current) Edit_OldPass->setFocus();
    if (out.focus == LoginService::Change::Focus::Repeat) Edit_Verify->setFocus();
}

LoginResult openLoginDialog(Context& ctx) {
    std::unique_ptr<Frm_Login> dialog;
    try {
        dialog = std::make_unique<Frm_Login>(ctx);
    } catch (const DbError& e) {
        ctx.prompter.error(LoginService::listFailureText(ctx.data.db(), e));
        return LoginResult::Failed;
    }
    return ctx.runModal(*dialog) == QDialog::Accepted ? LoginResult::LoggedIn : LoginResult::Cancelled;
}

bool runLoginDialog(Context& ctx) { return openLoginDialog(ctx) == LoginResult::LoggedIn; }

void runPasswordDialog(Context& ctx) {
    Frm_Password dialog(ctx);
    ctx.runModal(dialog);
}

}  // namespace qv
