#include "ListKinds.h"

#include "Database.h"
#include "Frm_Data.h"

namespace qv {

namespace {

ListKind kind(const char* window, const char* caption, const char* table, const char* label, int right,
              const char* menuEntry, const char* emptyMessage, const char* duplicateMessage, bool copyOnClick,
              bool saveLayoutOnClose, bool centred = true) {
    ListKind k;
    k.window = QString::fromLatin1(window);
    k.caption = QString::fromUtf8(caption);
    k.table = QString::fromLatin1(table);
    k.label = QString::fromUtf8(label);
    k.right = right;
    k.menuEntry = QString::fromLatin1(menuEntry);
    k.emptyMessage = QString::fromUtf8(emptyMessage);
    k.duplicateMessage = QString::fromUtf8(duplicateMessage);
    k.copyOnClick = copyOnClick;
    k.saveLayoutOnClose = saveLayoutOnClose;
    k.centred = centred;
    return k;
}

}  // namespace

const QVector<ListKind>& listKinds() {
    static const QVector<ListKind> kinds = {
        kind("Frm_Country", "国家管理", "Dict_country", "国家", 79, "Menu_Country", "国家名称内容不能为空！",
             "国家名称重复，请换一个国家名称", true, true),
        kind("Frm_People", "员工管理", "Dict_people", "员工", 82, "Menu_Staff", "人员名称内容不能为空！",
             "人员名称重复，请换一个人员名称", true, false),
        kind("Frm_Post", "职位管理", "Dict_zw", "职位", 80, "Menu_Position", "职位名称内容不能为空！",
             "职位名称重复，请换一个职位名称", true, true),
        kind("Frm_Depart", "部门管理", "Dict_Department", "部门", 81, "Menu_Department",
             "部门名称内容不能为空！", "部门名称重复，请换一个部门名称", false, true, false),
        kind("Frm_custlevel", "客户级别管理", "Dict_custlevel", "客户级别", 88, "Menu_CustLevel",
             "客户级别名称不能为空！", "客户级别名称重复，请换一个客户级别名称", true, false),
        kind("Frm_Clientsource", "客户来源管理", "Dict_CustFrom", "客户来源", 83, "Menu_CustFrom",
             "客户来源名称内容不能为空！", "客户来源名称重复，请换一个客户来源名称", false, true),
        kind("Frm_Clienttype", "客户类型管理", "Dict_Type", "客户类型", 85, "Menu_CustType",
             "客户类型名称不能为空！", "客户类型名称重复，请换一个客户类型名称", true, true),
        kind("Frm_Type", "事务类型管理", "Dict_activity", "事务类型", 87, "Menu_ActivityType",
             "活动类型名称内容不能为空！", "活动类型名称重复，请换一个活动类型名称", false, true),
        kind("Frm_Clientstate", "客户状态管理", "T_custstate", "客户状态", 90, "Menu_CustState",
             "客户状态名称内容不能为空！", "客户状态名称重复，请换一个客户状态名称", true, false),
        kind("Frm_clientphase", "客户阶段管理", "T_custphase", "客户阶段", 89, "Menu_CustPhase",
             "客户阶段名称内容不能为空！", "客户阶段名称重复，请换一个客户阶段名称", true, false),
        kind("Frm_Subject", "事务主题管理", "T_subject", "事务主题", 86, "Menu_Subject",
             "活动主题名称内容不能为空！", "活动主题名称重复，请换一个活动主题名称", true, true),
        kind("Frm_Measure", "计量单位管理", "Dict_unit", "计量单位", 84, "Menu_Unit",
             "计量单位名称内容不能为空！", "计量单位名称重复，请换一个计量单位名称", true, false),
    };
    return kinds;
}

const ListKind* listKindOfWindow(const QString& window) {
    for (const ListKind& k : listKinds())
        if (k.window == window) return &k;
    return nullptr;
}

namespace lists {

QString listStatement(const QString& table) {
    return QStringLiteral("select id, name from %1").arg(Frm_Data::checkedTable(table));
}

QString reloadStatement(const QString& table) {
    return QStringLiteral("select * from %1").arg(Frm_Data::checkedTable(table));
}

bool nameTaken(Database& db, const QString& table, const QString& name) {
    // Stored names keep what the operator typed, blanks included; a name that differs from a stored
    // one only by surrounding blanks or by letter case is the same entry in every drop-down.
    QSqlQuery q = db.exec(QStringLiteral("select * from %1 where upper(trim(name))=upper(:name)")
                              .arg(Frm_Data::checkedTable(table)),
                          {{QStringLiteral("name"), name.trimmed()}});
    return q.next();
}

}  // namespace lists
}  // namespace qv
