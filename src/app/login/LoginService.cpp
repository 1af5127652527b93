#include "LoginService.h"

#include <QDir>
#include <QSqlQuery>

#include "DbError.h"
#include "Frm_Data.h"
#include "LoginState.h"
#include "PasswordHash.h"

namespace qv {

namespace {
const QString kSection = QStringLiteral("login");
const QString kKey = QStringLiteral("username");

struct Operator {
    bool found = false;
    QString password;
    int permit = 0;
};

Operator readOperator(Database& db, const QString& name) {
    Operator op;
    QSqlQuery q =
        db.exec(QStringLiteral("select * from admin where UserName = :n"), {{QStringLiteral("n"), name}});
    if (q.next()) {
        op.found = true;
        op.password = q.value(QStringLiteral("Password")).toString();
        op.permit = q.value(QStringLiteral("Permit")).toInt();
    }
    return op;
}
}  // namespace

QStringList LoginService::operators() const {
    QStringList names;
    // The list shows the second column of admin, the operator's name.
    QSqlQuery q = data_.db().exec(QStringLiteral("select * from admin where IsUser = 1 order by UserID"));
    while (q.next()) names << q.value(1).toString();
    return names;
}

int LoginService::storedPosition() const { return data_.ini().readInt(kSection, kKey, -1); }

QString LoginService::listFailureText(const Database& db, const DbError& error) {
    bool initialised = true;
    try {
        initialised = db.hasTable(QStringLiteral("admin"));
    } catch (const DbError&) {
        // The catalogue cannot be read either: the database's own text says more than a guess.
    }
    if (initialised) return error.text();
    const ConnectionSettings& s = db.settings();
    const QString name =
        s.driver == Driver::Postgres
            ? (s.server.isEmpty()
                   ? QStringLiteral("PostgreSQL 数据库“%1”").arg(s.database)
                   : QStringLiteral("PostgreSQL 数据库“%1”（服务器 %2）").arg(s.database, s.server))
            : QStringLiteral("SQLite 数据库文件“%1”")
                  .arg(QDir::toNativeSeparators(QDir(s.baseDir).absoluteFilePath(s.database)));
    return QStringLiteral(
               "%1尚未初始化：其中没有操作员表 admin，程序无法运行。\n"
               "请先用管理工具建立数据库的表和初始数据：quorvan-admin init")
        .arg(name);
}

LoginService::Outcome LoginService::attempt(int position, const QString& name, const QString& password) {
    // The chosen position is remembered whatever the outcome, so the next start offers the same name.
    struct StorePosition {
        Frm_Data& data;
        int position;
        ~StorePosition() { data.ini().writeInt(kSection, kKey, position); }
    } store{data_, position};

    Outcome out;
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        out.message = QStringLiteral("请选择一个用户名！");
        return out;
    }
    Database& db = data_.db();
    const Operator op = readOperator(db, name);
    if (!op.found) {
        // Deleted on another workstation while this list was open: no login without his row.
        out.message = QStringLiteral("请选择一个用户名！");
        out.reloadList = true;
        return out;
    }
    if (!password::matches(op.password, password)) {
        if (password.isEmpty()) {
            out.message = QStringLiteral("请输入密码！");
            out.focusPassword = true;
        } else if (op.password.trimmed().isEmpty()) {
            out.message = QStringLiteral("%1密码为空，您可以直接点击确定按钮登录！").arg(name);
            out.clearPassword = true;
        } else {
            out.message = QStringLiteral("密码错误，请重新输入密码！");
            out.clearPassword = true;
        }
        return out;
    }
    // A plain password written by another tool is replaced by its hash now that it is known.
    if (!op.password.isEmpty() && !password::isHash(op.password)) {
        db.exec(QStringLiteral("update admin set Password = :p where UserName = :n"),
                {{QStringLiteral("p"), password::hash(password)}, {QStringLiteral("n"), name}});
    }

    const QString user = trimmed.left(LoginState::kMaxUserLength);
    const LoginState::Rights rights = readRights(user);
    // The customer list is read before the state changes, so a failure leaves the previous login intact.
    openCustomers(user, rights[91 - 1]);
    state_.set(user, op.permit, rights);
    out.ok = true;
    return out;
}

LoginState::Rights LoginService::readRights(const QString& user) const {
    // Right k is the k-th of the operator's rows in code order.
    LoginState::Rights rights{};
    QSqlQuery q =
        data_.db().exec(QStringLiteral("select * from T_UserAuthority where UserName = :u order by Code"),
                        {{QStringLiteral("u"), user}});
    for (int k = 0; k < LoginState::kMaxRights && q.next(); ++k)
        rights[k] = q.value(QStringLiteral("Authority")).toInt() != 0;
    return rights;
}

void LoginService::openCustomers(const QString& user, bool all) {
    Params p;
    QString sql = QStringLiteral("Select * from Custom");
    if (!all) {
        sql += QStringLiteral(" where F_User = :u");
        p.insert(QStringLiteral("u"), user);
    }
    data_.OpenQuery(*data_.Qry_Cust, data_.db().dialect().top(300, sql), p);
}

LoginService::Change LoginService::changePassword(const QString& current, const QString& fresh,
                                                  const QString& repeat) {
    Change out;
    Database& db = data_.db();
    const Operator op = readOperator(db, state_.currentUser());
    if (!password::matches(op.password, current)) {
        out.message = QStringLiteral("当前密码错误!");
        out.caption = QStringLiteral("密码错误");
        out.focus = Change::Focus::Current;
        return out;
    }
    if (repeat != fresh) {
        out.message = QStringLiteral("在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码.");
        out.caption = QStringLiteral("验证密码");
        out.focus = Change::Focus::Repeat;
        return out;
    }
    db.exec(QStringLiteral("update admin set Password = :p where UserName = :n"),
            {{QStringLiteral("p"), password::hash(fresh)}, {QStringLiteral("n"), state_.currentUser()}});
    out.ok = true;
    out.message = QStringLiteral("修改密码成功!");
    out.caption = QStringLiteral("成功");
    return out;
}

}  // namespace qv
