#pragma once
#include <QDialog>

#include "LoginService.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace qv {

struct Context;

// The login dialog: pick an operator, type the password. Accepted only after a successful login,
// which has replaced the context's login state. The constructor reads the operator list and throws
// DbError when it cannot.
class Frm_Login : public QDialog {
    Q_OBJECT
public:
    explicit Frm_Login(Context& ctx, QWidget* parent = nullptr);

private:
    void tryLogin();
    // Fills the list from the database; `position` is preselected when it is a valid position.
    void readOperators(int position);

    Context& ctx_;
    LoginService service_;
    QComboBox* Combo_User;
    QLineEdit* Edit_Pass;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
};

// The password dialog "修改我的登录密码" of the logged-in operator.
class Frm_Password : public QDialog {
    Q_OBJECT
public:
    explicit Frm_Password(Context& ctx, QWidget* parent = nullptr);

private:
    void save();

    Context& ctx_;
    LoginService service_;
    QLineEdit* Edit_User;
    QLineEdit* Edit_OldPass;
    QLineEdit* Edit_NewPass;
    QLineEdit* Edit_Verify;
};

}  // namespace qv
