#include "OperatorStore.h"

#include <QSqlQuery>

#include "Database.h"
#include "DbError.h"
#include "PasswordHash.h"
#include "Transaction.h"

namespace qv::admin {

namespace {

const QString kEmptyName = QStringLiteral("用户名不得为空!");
const QString kNameTooLong = QStringLiteral("操作员名称不能超过20个字符！");
const QString kNoRole = QStringLiteral("请给用户指定权限!");
const QString kDuplicate = QStringLiteral("用户名重复,请换一个用户名!");
const QString kProtected = QStringLiteral("系统超级管理员，不允许修改！");

OperatorRow operatorFrom(const QSqlQuery& q) {
    OperatorRow r;
    r.id = q.value(QStringLiteral("UserID")).toInt();
    r.name = q.value(QStringLiteral("UserName")).toString();
    r.password = q.value(QStringLiteral("Password")).toString();
    r.role = q.value(QStringLiteral("PartName")).toString();
    r.remark = q.value(QStringLiteral("Remark")).toString();
    r.isUser = q.value(QStringLiteral("IsUser")).toInt() == 1;
    return r;
}

RoleRow roleFrom(const QSqlQuery& q) {
    RoleRow r;
    r.id = q.value(QStringLiteral("PartID")).toInt();
    r.name = q.value(QStringLiteral("PartName")).toString();
    r.remark = q.value(QStringLiteral("Remark")).toString();
    return r;
}

// The column that names the owner of a rights table's rows.
QString ownerColumn(const QString& table) {
    if (table == QLatin1String("T_UserAuthority")) return QStringLiteral("UserName");
    if (table == QLatin1String("T_PartAuthority")) return QStringLiteral("PartName");
    throw DbError(QStringLiteral("不是权限表: %1").arg(table));
}

}  // namespace

QList<OperatorRow> OperatorStore::operators() const {
    QList<OperatorRow> out;
    QSqlQuery q = db_.exec(QStringLiteral("select * from Admin order by UserID"));
    while (q.next()) out << operatorFrom(q);
    return out;
}

QList<RoleRow> OperatorStore::roles() const {
    QList<RoleRow> out;
    QSqlQuery q = db_.exec(QStringLiteral("select * from T_Part order by PartID"));
    while (q.next()) out << roleFrom(q);
    return out;
}

std::optional<OperatorRow> OperatorStore::findOperator(int id) const {
    QSqlQuery q =
        db_.exec(QStringLiteral("select * from Admin where UserID = :id"), {{QStringLiteral("id"), id}});
    if (!q.next()) return std::nullopt;
    return operatorFrom(q);
}

std::optional<RoleRow> OperatorStore::findRole(int id) const {
    QSqlQuery q =
        db_.exec(QStringLiteral("select * from T_Part where PartID = :id"), {{QStringLiteral("id"), id}});
    if (!q.next()) return std::nullopt;
    return roleFrom(q);
}

int OperatorStore::permitFor(const QString& role) { return role == kOrdinaryRole ? 1 : 0; }

std::optional<Refusal> OperatorStore::checkNew(const OperatorEntry& entry) const {
    // The name is stored without surrounding blanks, and his rights rows and every later look-up
    // use that same name; so the checks look at it too.
    const QString name = entry.name.trimmed();
    if (name.isEmpty()) return Refusal{kEmptyName, Refusal::Field::Name};
    if (name.size() > kMaxNameLength) return Refusal{kNameTooLong, Refusal::Field::Name};
    if (entry.role.isEmpty()) return Refusal{kNoRole, Refusal::Field::Role};
    if (db_.exec(QStringLiteral("select * from Admin where UserName = :n"), {{QStringLiteral("n"), name}})
            .next())
        return Refusal{kDuplicate, Refusal::Field::Name};
    return std::nullopt;
}

std::optional<Refusal> OperatorStore::addOperator(const OperatorEntry& entry) {
    if (auto refused = checkNew(entry)) return refused;
    const QString name = entry.name.trimmed();
    try {
        Transaction tx(db_);
        db_.exec(QStringLiteral("insert into admin (UserName, Password, Permit, PartName, Remark) "
                                "values (:name, :password, :permit, :role, :remark)"),
                 {{QStringLiteral("name"), name},
                  {QStringLiteral("password"), password::hash(entry.password)},
                  {QStringLiteral("permit"), permitFor(entry.role)},
                  {QStringLiteral("role"), entry.role},
                  {QStringLiteral("remark"), entry.remark}});
        // The role's stored values, not whatever the tree showed. Read in full first: the connection
        // runs the inserts while no other result is open on it.
        QList<Params> copies;
        QSqlQuery rows =
            db_.exec(QStringLiteral("select * from T_PartAuthority where PartName = :role order by Code"),
                     {{QStringLiteral("role"), entry.role}});
        while (rows.next()) {
            copies << Params{{QStringLiteral("name"), name},
                             {QStringLiteral("fn"), rows.value(QStringLiteral("FunctionName"))},
                             {QStringLiteral("auth"), rows.value(QStringLiteral("Authority"))},
                             {QStringLiteral("tag"), rows.value(QStringLiteral("Tag"))},
                             {QStringLiteral("code"), rows.value(QStringLiteral("Code"))}};
        }
        rows.finish();
        for (const Params& p : copies) {
            db_.exec(
                QStringLiteral("insert into T_UserAuthority (UserName, FunctionName, Authority, Tag, Code) "
                               "values (:name, :fn, :auth, :tag, :code)"),
                p);
        }
        tx.commit();
    } catch (const DbError& e) {
        // Another workstation took the name between the check and the insert.
        if (e.isUniqueViolation()) return Refusal{kDuplicate, Refusal::Field::Name};
        throw;
    }
    return std::nullopt;
}

std::optional<Refusal> OperatorStore::changeOperator(int id, const OperatorEntry& entry,
                                                     const QList<NodeState>& tree) {
    if (isProtected(id)) return Refusal{kProtected, Refusal::Field::Role};
    // Without a role the operator would be stored unrestricted (Permit 0) by accident.
    if (entry.role.isEmpty()) return Refusal{kNoRole, Refusal::Field::Role};
    Transaction tx(db_);
    const std::optional<OperatorRow> op = findOperator(id);
    if (!op) throw DbError(QStringLiteral("操作员已不存在"));
    Params p{{QStringLiteral("id"), id},
             {QStringLiteral("role"), entry.role},
             {QStringLiteral("remark"), entry.remark},
             {QStringLiteral("permit"), permitFor(entry.role)}};
    QString sql = QStringLiteral("update admin set PartName = :role, Remark = :remark, Permit = :permit");
    // The password box starts empty: the stored password changes only when one is typed.
    if (!entry.password.isEmpty()) {
        sql += QStringLiteral(", Password = :password");
        p.insert(QStringLiteral("password"), password::hash(entry.password));
    }
    db_.exec(sql + QStringLiteral(" where UserID = :id"), p);
    applyTree(QStringLiteral("T_UserAuthority"), op->name, tree);
    tx.commit();
    return std::nullopt;
}

void OperatorStore::saveRole(int id, const QList<NodeState>& tree) {
    Transaction tx(db_);
    const std::optional<RoleRow> role = findRole(id);
    if (!role) throw DbError(QStringLiteral("角色已不存在"));
    applyTree(QStringLiteral("T_PartAuthority"), role->name, tree);
    tx.commit();
}

OperatorStore::Removal OperatorStore::deleteOperator(int id) {
    if (isProtected(id)) return Removal::Protected;
    Transaction tx(db_);
    const std::optional<OperatorRow> op = findOperator(id);
    if (!op) return Removal::Missing;
    // Another workstation may remove him between the look-up and the delete: only a delete that
    // removed his row counts.
    if (db_.execute(QStringLiteral("delete from Admin where UserID = :id"), {{QStringLiteral("id"), id}}) ==
        0)
        return Removal::Missing;
    db_.exec(QStringLiteral("delete from T_UserAuthority where UserName = :name"),
             {{QStringLiteral("name"), op->name}});
    tx.commit();
    return Removal::Removed;
}

void OperatorStore::applyTree(const QString& table, const QString& owner, const QList<NodeState>& tree) {
    const QString column = ownerColumn(table);
    struct Row {
        QVariant id;
        QString code;
    };
    QList<Row> rows;
    {
        QSqlQuery q = db_.exec(
            QStringLiteral("select ID, Code from %1 where %2 = :owner order by Code").arg(table, column),
            {{QStringLiteral("owner"), owner}});
        while (q.next()) rows << Row{q.value(0), q.value(1).toString().trimmed()};
    }
    const QString setTag = QStringLiteral("update %1 set Tag = :tag where ID = :id").arg(table);
    const QString setBoth =
        QStringLiteral("update %1 set Tag = :tag, Authority = :auth where ID = :id").arg(table);
    for (int k = 0; k < rows.size() && k < tree.size(); ++k) {
        const NodeState& node = tree.at(k);
        if (rows.at(k).code != node.code) continue;
        Params p{{QStringLiteral("tag"), node.tag}, {QStringLiteral("id"), rows.at(k).id}};
        if (node.tag == 3) {
            db_.exec(setTag, p);  // partly checked: the right keeps its stored value
        } else {
            p.insert(QStringLiteral("auth"), node.tag == 2);
            db_.exec(setBoth, p);
        }
    }
}

}  // namespace qv::admin
