#pragma once
#include <QString>
#include <QStringList>

#include "LoginState.h"

namespace qv {

class Database;
class DbError;
class Frm_Data;

// The login and password-change rules, without widgets: the dialogs show what these return.
class LoginService {
public:
    LoginService(Frm_Data& data, LoginState& state) : data_(data), state_(state) {}

    // Names offered in the login list (operators with IsUser=1, in the order read).
    QStringList operators() const;
    // The list position stored in Config.ini (-1: nothing chosen).
    int storedPosition() const;

    // What the standard error box says when the operator list cannot be read: a database without the
    // operators table has not been initialised (named, with the command that initialises it); any
    // other failure shows the database's own text.
    static QString listFailureText(const Database& db, const DbError& error);

    struct Outcome {
        bool ok = false;
        QString message;             // shown in the box titled "警告" with the error icon
        bool focusPassword = false;  // give the focus to the password field
        bool clearPassword = false;  // empty the password field
        bool reloadList = false;     // the chosen operator no longer exists: read the list again
    };
    // One press of "确定(&Y)": `position` is the list position of the chosen name (stored in every case).
    Outcome attempt(int position, const QString& name, const QString& password);

    struct Change {
        bool ok = false;
        QString message, caption;
        enum class Focus { None, Current, Repeat } focus = Focus::None;
    };
    // The password dialog's "确定(&Y)".
    Change changePassword(const QString& current, const QString& fresh, const QString& repeat);

private:
    LoginState::Rights readRights(const QString& user) const;
    void openCustomers(const QString& user, bool all);

    Frm_Data& data_;
    LoginState& state_;
};

}  // namespace qv
