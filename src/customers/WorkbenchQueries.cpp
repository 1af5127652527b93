#include "WorkbenchQueries.h"

#include <QSqlQuery>

#include "DbError.h"
#include "LoginState.h"

namespace qv::workbench {

namespace {

const QString kUser = QStringLiteral("user");

// Appends the owner condition for an operator who sees only his own rows.
Statement owned(const Viewer& viewer, const QString& sql, Params params = {}) {
    if (viewer.seesAll) return {sql, params};
    params.insert(kUser, viewer.user);
    return {sql + QStringLiteral(" and F_User=:user"), params};
}

}  // namespace

Viewer Viewer::of(const LoginState* login) {
    Viewer v;
    if (login) {
        v.user = login->currentUser();
        v.seesAll = login->right(kSeeAllRight);
    }
    return v;
}

Statement customerList(const Viewer& viewer) {
    if (viewer.seesAll) return {QStringLiteral("Select * from Custom"), {}};
    return {QStringLiteral("Select * from Custom where F_User=:user"), {{kUser, viewer.user}}};
}

Statement contactList(const Viewer& viewer) {
    if (viewer.seesAll) return {QStringLiteral("Select * from contact where CustCode=:CustCode"), {}};
    return owned(viewer, QStringLiteral("Select * from Contact where CustCode=:CustCode"));
}

Statement scheduleList(const Viewer& viewer) {
    if (viewer.seesAll) return {QStringLiteral("Select * From T_Schedule where CustCode=:CustCode"), {}};
    return owned(viewer, QStringLiteral("Select * From T_Schedule where CustCode=:CustCode"));
}

Statement saleList(const QString& custCode) {
    return {QStringLiteral("Select * From T_sale where custcode=:code"),
            {{QStringLiteral("code"), custCode}}};
}

QString followUpSql(const QString& table) {
    return QStringLiteral("Select * From %1 where CustCode=:CustCode").arg(table);
}

QString categoryCodeOf(const QString& nodeText) {
    const qsizetype dash = nodeText.indexOf(QLatin1Char('-'));
    return dash < 0 ? nodeText : nodeText.left(dash);
}

Statement categoryList(const Viewer& viewer, const QString& code) {
    return owned(viewer, QStringLiteral("Select * from custom where category like :code"),
                 {{QStringLiteral("code"), code + QLatin1Char('%')}});
}

// --- quick search ---------------------------------------------------------------------------------

const QStringList& searchEntries() {
    static const QStringList entries{
        QStringLiteral("**客户选项**"), QStringLiteral("客户编号"), QStringLiteral("公司名称"),
        QStringLiteral("通讯地址"),     QStringLiteral("电话"),     QStringLiteral("传真"),
        QStringLiteral("电子信箱"),     QStringLiteral("网址"),     QStringLiteral("*联系人选项*"),
        QStringLiteral("联系人"),       QStringLiteral("办公电话"), QStringLiteral("电子信箱"),
    };
    return entries;
}

int settledEntry(int index) {
    return index == kCustomerHeading || index == kContactHeading ? index + 1 : index;
}

Target targetOf(int index) { return index >= kContactHeading ? Target::Contact : Target::Customer; }

QString searchColumn(Database& db, Target target, const QString& caption) {
    const bool customer = target == Target::Customer;
    const QString key = customer ? QStringLiteral("Custom") : QStringLiteral("Contact");
    const QString table = customer ? QStringLiteral("custom") : QStringLiteral("contact");
    const QVariant field =
        db.scalar(QStringLiteral("select Field from T_FieldShow where tablename=:key and Name=:caption"),
                  {{QStringLiteral("key"), key}, {QStringLiteral("caption"), caption}});
    const QString name = field.toString().trimmed();
    if (!name.isEmpty()) {
        // The name comes from data: only a column of the table may reach the statement.
        for (const QString& column : db.columns(table))
            if (column.compare(name, Qt::CaseInsensitive) == 0) return db.canonicalName(column);
    }
    throw DbError(QStringLiteral("查询字段“%1”没有对应的列").arg(caption));
}

QString containsPattern(const QString& typed) { return QLatin1Char('%') + typed + QLatin1Char('%'); }

Statement quickSearch(Database& db, const Viewer& viewer, Target target, const QString& caption,
                      const QString& typed) {
    const QString column = searchColumn(db, target, caption);
    const QString pattern = containsPattern(typed);
    const QString patternName = QStringLiteral("pattern");
    if (target == Target::Customer)
        return owned(viewer, QStringLiteral("Select * from custom where %1 like :pattern").arg(column),
                     {{patternName, pattern}});

    const QString contacts =
        QStringLiteral("select CustCode from Contact where %1 like :pattern group by CustCode").arg(column);
    QStringList codes;
    bool more = false;
    {
        QSqlQuery q = db.exec(contacts, {{patternName, pattern}});
        while (q.next()) {
            if (codes.size() == kMaxListedCodes) {
                more = true;
                break;
            }
            codes << q.value(0).toString();
        }
    }
    if (codes.isEmpty()) return {QStringLiteral("select * from Custom where CustID>0 and CustID<0"), {}};
    if (more)
        return owned(viewer, QStringLiteral("select * from Custom where CustCode in (%1)").arg(contacts),
                     {{patternName, pattern}});
    QStringList names;
    Params params;
    for (int i = 0; i < codes.size(); ++i) {
        const QString name = QStringLiteral("c%1").arg(i, 3, 10, QLatin1Char('0'));
        names << QLatin1Char(':') + name;
        params.insert(name, codes[i]);
    }
    return owned(
        viewer,
        QStringLiteral("select * from Custom where CustCode in (%1)").arg(names.join(QLatin1Char(','))),
        params);
}

QString countMessage(int n) { return QStringLiteral("当前共有 %1 条客户记录").arg(n); }

}  // namespace qv::workbench
