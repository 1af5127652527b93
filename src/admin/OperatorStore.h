#pragma once
#include <QList>
#include <QString>
#include <optional>

namespace qv {

class Database;

// Operators (admin), roles (T_Part) and their copies of the rights catalogue (T_UserAuthority,
// T_PartAuthority), without widgets: what the operator management windows read and write.
namespace admin {

inline const QString kSuperRole = QStringLiteral("超级管理员");
inline const QString kOrdinaryRole = QStringLiteral("普通用户");
// The operator with this number is the system's super administrator: never changed nor deleted here.
constexpr int kSystemOperator = 1;
// The login keeps only this many characters of a name; a longer name could never own his rows.
constexpr int kMaxNameLength = 20;

struct OperatorRow {
    int id = 0;
    QString name, password, role, remark;
    bool isUser = true;
};

struct RoleRow {
    int id = 0;
    QString name, remark;
};

// One node of the rights tree as the operator left it: its code and its Tag (1 unchecked, 2 checked,
// 3 partly checked).
struct NodeState {
    QString code;
    int tag = 1;
};

// What the editor typed for an operator.
struct OperatorEntry {
    QString name;
    QString password;  // as typed; stored as a hash (an empty password stays empty)
    QString role;
    QString remark;
};

// A refused entry: the message (shown under "警告") and the control that gets the focus.
struct Refusal {
    enum class Field { Name, Role };
    QString message;
    Field field = Field::Name;
};

class OperatorStore {
public:
    explicit OperatorStore(Database& db) : db_(db) {}

    // Every operator / role in the order of their numbers.
    QList<OperatorRow> operators() const;
    QList<RoleRow> roles() const;
    std::optional<OperatorRow> findOperator(int id) const;
    std::optional<RoleRow> findRole(int id) const;

    // 1 for an operator of the ordinary role (he may change and delete only his own rows), else 0.
    static int permitFor(const QString& role);
    static bool isProtected(int operatorId) { return operatorId == kSystemOperator; }

    // Checks a new operator's entries in the order the editor reports them: name given, name short
    // enough, role chosen, name free. Reads the database for the last check.
    std::optional<Refusal> checkNew(const OperatorEntry& entry) const;
    // Adds the operator and a copy of his role's stored rights in one transaction; the rights shown
    // in any tree play no part. Returns a refusal when a check fails (also when the unique index on
    // the name refuses the row); throws DbError on any other failure, with nothing added.
    std::optional<Refusal> addOperator(const OperatorEntry& entry);

    // Changes the operator's role, description and (when one was typed) password, and his rights
    // from the tree, in one transaction. A role must be chosen. The system operator's role and rights
    // are never changed: he is refused here, whichever window asks.
    std::optional<Refusal> changeOperator(int id, const OperatorEntry& entry, const QList<NodeState>& tree);
    // Stores the tree into the role's rights; its name and description stay.
    void saveRole(int id, const QList<NodeState>& tree);

    // Removes the operator and his rights rows in one transaction; rows he owns elsewhere stay. The
    // system operator is never removed; an operator another workstation removed meanwhile is reported.
    enum class Removal { Removed, Protected, Missing };
    Removal deleteOperator(int id);

    // The rights tree's states written onto one owner's rights rows: the k-th row in Code order takes
    // the k-th node's state when both carry the same code. Authority follows the state, except that a
    // partly checked node leaves it as stored. Runs inside the caller's transaction.
    void applyTree(const QString& table, const QString& owner, const QList<NodeState>& tree);

private:
    Database& db_;
};

}  // namespace admin
}  // namespace qv
