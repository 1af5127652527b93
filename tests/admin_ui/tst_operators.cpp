// Operator management driven through the main window: the operator list, the rights editor in its
// three purposes, deleting, and what a new operator meets at his login.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "AdminCommands.h"
#include "AdminUi.h"
#include "CheckTree.h"
#include "Frm_Main.h"
#include "LoginFlow.h"
#include "OperatorStore.h"
#include "PasswordHash.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using qv::test::child;
using qv::test::Workstation;

namespace {

const QString kSuper = QStringLiteral("超级管理员");
const QString kOrdinary = QStringLiteral("普通用户");
const QString kWarning = QStringLiteral("警告");
const QString kNotice = QStringLiteral("提醒");
const QString kAdded = QStringLiteral("添加操作员成功");
const QString kSaved = QStringLiteral("保存成功");
const QString kDuplicate = QStringLiteral("用户名重复,请换一个用户名!");
const QString kAskDelete = QStringLiteral("您确认要删除该用户吗？");

void press(QWidget& d, const char* name) {
    auto* b = child<QPushButton>(d, name);
    QVERIFY2(b, name);
    QVERIFY2(b->isVisible() && b->isEnabled(), name);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Key by key, as typed (characters beyond ASCII arrive as the text of a key event).
void typeKeys(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void typeInto(QLineEdit* e, const QString& text) {
    QVERIFY(e);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    typeKeys(e, text);
    QCOMPARE(e->text(), text);
}

void chooseRole(QWidget& d, const QString& role) {
    auto* combo = child<QComboBox>(d, "Combo_Part");
    QVERIFY(combo);
    const int i = combo->findText(role);
    QVERIFY2(i >= 0, qPrintable(role));
    combo->setCurrentIndex(i);
}

CheckTree& tree(QWidget& d) { return *child<CheckTree>(d, "Tree_Right"); }

QTreeWidgetItem* node(QWidget& d, const QString& text) {
    const QList<QTreeWidgetItem*> found = tree(d).findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// Clicks the check box of a node the way the operator does.
void clickCheck(CheckTree& t, QTreeWidgetItem* item) {
    QVERIFY(item);
    if (item->parent()) item->parent()->setExpanded(true);
    t.scrollToItem(item);
    QStyleOptionViewItem opt;
    opt.initFrom(t.viewport());
    opt.rect = t.visualItemRect(item);
    opt.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    opt.text = item->text(0);
    const QRect box = t.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, &t);
    const Qt::CheckState before = item->checkState(0);
    QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, box.center());
    QVERIFY2(item->checkState(0) != before, "the click did not reach the check box");
}

QTreeWidget& users(QWidget& d) { return *child<QTreeWidget>(d, "List_User"); }

QTreeWidgetItem* userRow(QWidget& d, const QString& name) {
    const QList<QTreeWidgetItem*> found = users(d).findItems(name, Qt::MatchExactly, 1);
    return found.isEmpty() ? nullptr : found.first();
}

void selectUser(QWidget& d, const QString& name) {
    QTreeWidgetItem* item = userRow(d, name);
    QVERIFY2(item, qPrintable(name));
    users(d).setCurrentItem(item);
}

void doubleClickRow(QTreeWidget& list, QTreeWidgetItem* item) {
    QVERIFY(item);
    const QPoint at = list.visualItemRect(item).center();
    // The view acts on a double-click on the row it saw pressed.
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

bool sameIcon(const QIcon& a, const QIcon& b) {
    return a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

}  // namespace

class TestOperators : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }

    // Opens "操作员管理" through the main window's menu command and hands it to `driver`.
    void openList(Workstation::Driver driver) {
        ws->onModal(std::move(driver));
        QAction* a = mw->action(QStringLiteral("M_UserList"));
        QVERIFY(a);
        QVERIFY(a->isEnabled());
        a->trigger();
        QVERIFY2(ws->allDriversUsed(), "the window did not open");
    }
    // Presses a button of the list that opens the rights editor, which `driver` then works.
    void openEditor(QDialog& list, const char* button, Workstation::Driver driver) {
        ws->onModal(std::move(driver));
        press(list, button);
        QVERIFY2(ws->allDriversUsed(), "the editor did not open");
    }

    // An operator stored directly, with a copy of his role's rights.
    int addOperatorRow(const QString& name, const QString& role, const QString& password = QString(),
                       int isUser = 1) {
        db().exec(QStringLiteral("insert into admin (UserName, Password, PartName, Remark, Permit, IsUser) "
                                 "values (:n, :p, :r, :m, :pm, :u)"),
                  {{"n", name},
                   {"p", password},
                   {"r", role},
                   {"m", QStringLiteral("备注")},
                   {"pm", role == kOrdinary ? 1 : 0},
                   {"u", isUser}});
        db().exec(QStringLiteral("insert into T_UserAuthority (UserName, Code, FunctionName, Authority, Tag) "
                                 "select :n, Code, FunctionName, Authority, Tag from T_PartAuthority "
                                 "where PartName = :r"),
                  {{"n", name}, {"r", role}});
        return db()
            .scalar(QStringLiteral("select UserID from admin where UserName = :n"), {{"n", name}})
            .toInt();
    }

    // Rights rows as "code fn authority tag", in Code order.
    QStringList rights(const QString& table, const QString& column, const QString& owner) {
        QStringList out;
        QSqlQuery q =
            db().exec(QStringLiteral("select Code, FunctionName, Authority, Tag from %1 where %2 = :o "
                                     "order by Code")
                          .arg(table, column),
                      {{"o", owner}});
        while (q.next())
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(q.value(0).toString(), q.value(1).toString())
                       .arg(q.value(2).toInt())
                       .arg(q.value(3).toInt());
        return out;
    }
    QStringList userRights(const QString& name) { return rights("T_UserAuthority", "UserName", name); }
    QStringList roleRights(const QString& role) { return rights("T_PartAuthority", "PartName", role); }
    // Right k (from 1) of an operator: "authority tag".
    QString right(const QString& name, int k) {
        const QStringList rows = userRights(name);
        if (k > rows.size()) return QString();
        return rows.at(k - 1).section(QLatin1Char(' '), -2);
    }
    QVariant adminValue(const QString& name, const char* column) {
        return db().scalar(
            QStringLiteral("select %1 from admin where UserName = :n").arg(QLatin1String(column)),
            {{"n", name}});
    }
    int count(const QString& sql, const Params& p = {}) { return db().scalar(sql, p).toInt(); }

    // The operator list as "id name remark" lines.
    static QStringList listed(QWidget& d) {
        QStringList out;
        QTreeWidget& l = users(d);
        for (int i = 0; i < l.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = l.topLevelItem(i);
            out << it->text(0) + QLatin1Char(' ') + it->text(1) + QLatin1Char(' ') + it->text(2);
        }
        return out;
    }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installAdminCommands(*ws->ctx, *mw);
        ws->loginAsAdmin();
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // --- the list window ---------------------------------------------------------------------------

    // Both pages with their columns, icons by IsUser, the buttons of each page, the refresh entry.
    void listWindow() {
        addOperatorRow(QStringLiteral("张三"), kOrdinary);
        addOperatorRow(QStringLiteral("停用者"), kOrdinary, QString(), 0);
        openList([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("操作员管理"));
            QCOMPARE(d.minimumSize(), d.maximumSize());  // fixed size
            auto* pages = child<QTabWidget>(d, "PageControl1");
            QCOMPARE(pages->tabText(0), QStringLiteral("用户列表"));
            QCOMPARE(pages->tabText(1), QStringLiteral("角色列表"));
            QTreeWidget& l = users(d);
            QCOMPARE(l.headerItem()->text(0), QStringLiteral("编号"));
            QCOMPARE(l.headerItem()->text(1), QStringLiteral("用户姓名"));
            QCOMPARE(l.headerItem()->text(2), QStringLiteral("用户描述"));
            QCOMPARE(listed(d),
                     (QStringList{QStringLiteral("1 Admin 系统超级管理员，拥有全部权限"),
                                  QStringLiteral("2 张三 备注"), QStringLiteral("3 停用者 备注")}));
            QVERIFY(sameIcon(l.topLevelItem(0)->icon(0), admin::operatorIcon(true)));
            QVERIFY(sameIcon(l.topLevelItem(1)->icon(0), admin::operatorIcon(true)));
            QVERIFY(sameIcon(l.topLevelItem(2)->icon(0), admin::operatorIcon(false)));
            QVERIFY(!sameIcon(admin::operatorIcon(true), admin::operatorIcon(false)));
            QCOMPARE(l.selectionBehavior(), QAbstractItemView::SelectRows);

            for (const char* b : {"Btn_Add", "Btn_Edit", "Btn_Del", "Btn_Quit"})
                QVERIFY2(child<QPushButton>(d, b)->isVisible(), b);
            QCOMPARE(child<QPushButton>(d, "Btn_Add")->text(), QStringLiteral("新建&A"));
            QCOMPARE(child<QPushButton>(d, "Btn_Edit")->text(), QStringLiteral("修改&E"));
            QCOMPARE(child<QPushButton>(d, "Btn_Del")->text(), QStringLiteral("删除&D"));
            QCOMPARE(child<QPushButton>(d, "Btn_Quit")->text(), QStringLiteral("退出&E"));

            // The pop-up menu reads the list again.
            addOperatorRow(QStringLiteral("李四"), kSuper);
            QCOMPARE(l.topLevelItemCount(), 3);
            QList<QAction*> menu = l.actions();
            QCOMPARE(menu.size(), 1);
            QCOMPARE(menu.first()->text(), QStringLiteral("刷新"));
            menu.first()->trigger();
            QCOMPARE(listed(d).last(), QStringLiteral("4 李四 备注"));

            // The role page is read when it is shown; new and delete are not offered there.
            db().exec(QStringLiteral("update T_Part set Remark = 'x' where PartID = 2"));
            pages->setCurrentIndex(1);
            auto* roles = child<QTreeWidget>(d, "List_Part");
            QCOMPARE(roles->headerItem()->text(1), QStringLiteral("角色名称"));
            QCOMPARE(roles->headerItem()->text(2), QStringLiteral("角色描述"));
            QCOMPARE(roles->topLevelItemCount(), 2);
            QCOMPARE(roles->topLevelItem(0)->text(0) + roles->topLevelItem(0)->text(1),
                     QStringLiteral("1") + kSuper);
            QCOMPARE(roles->topLevelItem(1)->text(0) + roles->topLevelItem(1)->text(1),
                     QStringLiteral("2") + kOrdinary);
            QCOMPARE(roles->topLevelItem(1)->text(2), QString());  // the description column stays empty
            QVERIFY(!child<QPushButton>(d, "Btn_Add")->isVisible());
            QVERIFY(!child<QPushButton>(d, "Btn_Del")->isVisible());
            QVERIFY(child<QPushButton>(d, "Btn_Edit")->isVisible());
            pages->setCurrentIndex(0);
            QVERIFY(child<QPushButton>(d, "Btn_Add")->isVisible());
            QVERIFY(child<QPushButton>(d, "Btn_Del")->isVisible());
            press(d, "Btn_Quit");
            QVERIFY(!d.isVisible());
        });
    }

    // --- new operators -----------------------------------------------------------------------------

    // A new operator gets Permit by his role and exactly his role's stored rights, whatever the tree
    // showed; the name is stored without surrounding blanks and owns his rights under that name.
    void newOperator_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("role");
        QTest::addColumn<bool>("clickTree");
        QTest::addColumn<int>("permit");
        QTest::newRow("ordinary") << "王五"
                                  << "王五" << kOrdinary << false << 1;
        QTest::newRow("ordinary, tree clicked") << "王五"
                                                << "王五" << kOrdinary << true << 1;
        QTest::newRow("super, tree clicked") << "赵六"
                                             << "赵六" << kSuper << true << 0;
        QTest::newRow("blanks around") << "  王五 "
                                       << "王五" << kOrdinary << false << 1;
        QTest::newRow("twenty characters")
            << "一二三四五六七八九十一二三四五六七八九十"
            << "一二三四五六七八九十一二三四五六七八九十" << kOrdinary << false << 1;
    }
    void newOperator() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, role);
        QFETCH(bool, clickTree);
        QFETCH(int, permit);
        ws->prompter.expect(kAdded, QMessageBox::Ok, kNotice);
        openList([&](QDialog& list) {
            openEditor(list, "Btn_Add", [&](QDialog& d) {
                QCOMPARE(d.windowTitle(), QStringLiteral("新增操作员"));
                QCOMPARE(child<QLabel>(d, "Label_Name")->text(), QStringLiteral("用户名称"));
                QCOMPARE(child<QComboBox>(d, "Combo_Part")->currentIndex(), -1);
                QCOMPARE(child<QComboBox>(d, "Combo_Part")->count(), 2);
                QCOMPARE(tree(d).topLevelItemCount(), 0);
                typeInto(child<QLineEdit>(d, "Edit_Name"), typed);
                typeInto(child<QLineEdit>(d, "Edit_Pass"), QString());
                typeKeys(child<QPlainTextEdit>(d, "Memo_Remark"), QStringLiteral("新来的"));
                chooseRole(d, role);
                // The tree now shows the role's values, first group open.
                QCOMPARE(tree(d).nodes().size(), 92);
                QVERIFY(tree(d).topLevelItem(0)->isExpanded());
                QCOMPARE(node(d, QStringLiteral("操作员管理"))->checkState(0),
                         role == kSuper ? Qt::Checked : Qt::Unchecked);
                if (clickTree) {
                    clickCheck(tree(d), node(d, QStringLiteral("客户资料操作")));
                    clickCheck(tree(d), node(d, QStringLiteral("操作员管理")));
                }
                press(d, "Btn_Save");
                QVERIFY(d.isVisible());  // the editor stays open for the next one
                QCOMPARE(child<QLineEdit>(d, "Edit_Name")->text(), typed);
                press(d, "Btn_Quit");
            });
            const int id = adminValue(stored, "UserID").toInt();
            QVERIFY(listed(list).contains(QStringLiteral("%1 %2 新来的").arg(id).arg(stored)));
        });
        QCOMPARE(count(QStringLiteral("select count(*) from admin")), 2);
        QCOMPARE(adminValue(stored, "Permit").toInt(), permit);
        QCOMPARE(adminValue(stored, "PartName").toString(), role);
        QCOMPARE(adminValue(stored, "Remark").toString(), QStringLiteral("新来的"));
        QCOMPARE(adminValue(stored, "IsUser").toInt(), 1);
        QCOMPARE(adminValue(stored, "Password").toString(), QString());  // no password stays none
        QCOMPARE(userRights(stored), roleRights(role));
        QCOMPARE(userRights(stored).size(), 92);
        QCOMPARE(count(QStringLiteral("select count(*) from T_UserAuthority where UserName <> 'Admin'")), 92);
    }

    // Refused entries leave the editor open with what was typed, name the offending control and add
    // nothing.
    void refusedNewOperator_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no name") << "" << kOrdinary << "用户名不得为空!"
                                 << "Edit_Name";
        QTest::newRow("blanks only") << "   " << kOrdinary << "用户名不得为空!"
                                     << "Edit_Name";
        QTest::newRow("21 characters")
            << "一二三四五六七八九十一二三四五六七八九十一" << kOrdinary << "操作员名称不能超过20个字符！"
            << "Edit_Name";
        QTest::newRow("no role") << "王五"
                                 << ""
                                 << "请给用户指定权限!"
                                 << "Combo_Part";
        QTest::newRow("taken") << "Admin" << kSuper << kDuplicate << "Edit_Name";
        QTest::newRow("taken, other case and blanks") << " aDMIN " << kSuper << kDuplicate << "Edit_Name";
    }
    void refusedNewOperator() {
        QFETCH(QString, name);
        QFETCH(QString, role);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const QStringList adminRights = userRights(QStringLiteral("Admin"));
        openList([&](QDialog& list) {
            openEditor(list, "Btn_Add", [&](QDialog& d) {
                typeInto(child<QLineEdit>(d, "Edit_Name"), name);
                typeInto(child<QLineEdit>(d, "Edit_Pass"), QStringLiteral("geheim"));
                if (!role.isEmpty()) chooseRole(d, role);
                ws->prompter.expect(message, QMessageBox::Ok, kWarning);
                press(d, "Btn_Save");
                QWidget* focused = d.focusWidget();
                QVERIFY(focused);
                QCOMPARE(focused->objectName(), focus);
                QCOMPARE(ws->prompter.shown().last().icon, QMessageBox::Information);
                QVERIFY(d.isVisible());
                QCOMPARE(child<QLineEdit>(d, "Edit_Name")->text(), name);
                QCOMPARE(child<QLineEdit>(d, "Edit_Pass")->text(), QStringLiteral("geheim"));
                press(d, "Btn_Quit");
            });
        });
        QCOMPARE(count(QStringLiteral("select count(*) from admin")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from T_UserAuthority")), 92);
        QCOMPARE(userRights(QStringLiteral("Admin")), adminRights);
    }

    // A name taken by another workstation between the check and the insert: the unique index refuses
    // it, the operator sees the duplicate message, and neither the row nor any rights are left.
    void nameTakenMeanwhile() {
        // The "other workstation" is a trigger that stores the same name just before our insert.
        if (db().isSqlite()) {
            db().execScript(QStringLiteral(
                "create trigger other_ws before insert on admin when new.UserName = '王五' "
                "and (select count(*) from admin where UserName = '王五') = 0 "
                "begin insert into admin (UserName, PartName) values ('王五', '普通用户'); end"));
        } else {
            db().execScript(QStringLiteral(
                "create function other_ws() returns trigger language plpgsql as $$ begin "
                "if pg_trigger_depth() = 1 and new.UserName = '王五' then "
                "insert into admin (UserName, PartName) values ('王五', '普通用户'); end if; return new; end "
                "$$;\n"
                "create trigger other_ws before insert on admin for each row execute function other_ws()"));
        }
        ws->prompter.expect(kDuplicate, QMessageBox::Ok, kWarning);
        openList([&](QDialog& list) {
            openEditor(list, "Btn_Add", [&](QDialog& d) {
                typeInto(child<QLineEdit>(d, "Edit_Name"), QStringLiteral("王五"));
                chooseRole(d, kOrdinary);
                press(d, "Btn_Save");
                QCOMPARE(d.focusWidget(), child<QLineEdit>(d, "Edit_Name"));
                press(d, "Btn_Quit");
            });
        });
        QCOMPARE(count(QStringLiteral("select count(*) from admin")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from T_UserAuthority where UserName = '王五'")), 0);
    }

    // --- changing an operator ----------------------------------------------------------------------

    // The editor shows the operator's own entries and rights; choosing another role shows that role's
    // values and saving gives them to him with the Permit of the role. The password box starts empty
    // and changes the password only when something is typed.
    void changeOperator_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("password");  // typed into the empty box
        QTest::addColumn<int>("permit");
        QTest::newRow("ordinary to super") << kOrdinary << kSuper << "" << 0;
        QTest::newRow("super to ordinary, new password") << kSuper << kOrdinary << "Neu;'1" << 1;
        QTest::newRow("same role, new password") << kOrdinary << kOrdinary << "abc" << 1;
    }
    void changeOperator() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, password);
        QFETCH(int, permit);
        const QString oldHash = password::hash(QStringLiteral("alt"));
        addOperatorRow(QStringLiteral("张三"), from, oldHash);
        ws->prompter.expect(kSaved, QMessageBox::Ok, kNotice);
        openList([&](QDialog& list) {
            selectUser(list, QStringLiteral("张三"));
            openEditor(list, "Btn_Edit", [&](QDialog& d) {
                QCOMPARE(d.windowTitle(), QStringLiteral("编辑操作员"));
                auto* name = child<QLineEdit>(d, "Edit_Name");
                QCOMPARE(name->text(), QStringLiteral("张三"));
                QVERIFY(name->isReadOnly());
                QCOMPARE(child<QLineEdit>(d, "Edit_Pass")->text(), QString());
                QCOMPARE(child<QComboBox>(d, "Combo_Part")->currentText(), from);
                QCOMPARE(child<QPlainTextEdit>(d, "Memo_Remark")->toPlainText(), QStringLiteral("备注"));
                QCOMPARE(tree(d).nodes().size(), 92);
                QCOMPARE(node(d, QStringLiteral("操作员管理"))->checkState(0),
                         from == kSuper ? Qt::Checked : Qt::Unchecked);
                chooseRole(d, to);
                QCOMPARE(node(d, QStringLiteral("操作员管理"))->checkState(0),
                         to == kSuper ? Qt::Checked : Qt::Unchecked);
                if (!password.isEmpty()) typeInto(child<QLineEdit>(d, "Edit_Pass"), password);
                press(d, "Btn_Save");
                QVERIFY(!d.isVisible());
                QCOMPARE(d.result(), int(QDialog::Accepted));
            });
        });
        QCOMPARE(adminValue(QStringLiteral("张三"), "Permit").toInt(), permit);
        QCOMPARE(adminValue(QStringLiteral("张三"), "PartName").toString(), to);
        QCOMPARE(userRights(QStringLiteral("张三")), roleRights(to));
        const QString stored = adminValue(QStringLiteral("张三"), "Password").toString();
        if (password.isEmpty()) {
            QCOMPARE(stored, oldHash);
        } else {
            QVERIFY(password::isHash(stored));
            QVERIFY(password::matches(stored, password));
        }
    }

    // Unchecking a group clears all its rights and stores the group's state; unchecking one right of
    // a group leaves the group partly checked with its stored authority. Position and code both
    // decide which row a node writes.
    void changeRights_data() {
        QTest::addColumn<QString>("click");         // node(s) clicked, "group/child" opens the group first
        QTest::addColumn<QStringList>("expected");  // rights 22..28 as "authority tag"
        QTest::newRow("group unchecked")
            << "工作日程操作" << QStringList{"0 1", "0 1", "0 1", "0 1", "0 1", "0 1", "0 1"};
        QTest::newRow("one right unchecked")
            << "工作日程操作/编辑" << QStringList{"1 3", "1 2", "0 1", "1 2", "1 2", "1 2", "1 2"};
    }
    void changeRights() {
        QFETCH(QString, click);
        QFETCH(QStringList, expected);
        addOperatorRow(QStringLiteral("张三"), kOrdinary);
        const QStringList before = userRights(QStringLiteral("张三"));
        ws->prompter.expect(kSaved, QMessageBox::Ok, kNotice);
        openList([&](QDialog& list) {
            // A double-click on his row acts as 修改&E.
            ws->onModal([&](QDialog& d) {
                QTreeWidgetItem* target = node(d, click.section(QLatin1Char('/'), 0, 0));
                if (click.contains(QLatin1Char('/'))) {
                    QTreeWidgetItem* group = target;
                    target = nullptr;
                    for (int i = 0; i < group->childCount(); ++i)
                        if (group->child(i)->text(0) == click.section(QLatin1Char('/'), 1))
                            target = group->child(i);
                }
                clickCheck(tree(d), target);
                press(d, "Btn_Save");
            });
            doubleClickRow(users(list), userRow(list, QStringLiteral("张三")));
            QVERIFY(ws->allDriversUsed());
        });
        QStringList got;
        for (int k = 22; k <= 28; ++k) got << right(QStringLiteral("张三"), k);
        QCOMPARE(got, expected);
        // Nothing else changed.
        const QStringList after = userRights(QStringLiteral("张三"));
        QCOMPARE(after.size(), before.size());
        for (int k = 0; k < after.size(); ++k)
            if (k < 21 || k > 27) QCOMPARE(after.at(k), before.at(k));
    }

    // Rows whose code does not match the node at their position keep their values.
    void rightsWriteOnlyMatchingCodes() {
        addOperatorRow(QStringLiteral("张三"), kOrdinary);
        // An extra row without a tree level sorts before everything: it makes no node, so every later
        // row is one position behind its node and none of them is written.
        db().exec(
            QStringLiteral("insert into T_UserAuthority (UserName, Code, FunctionName, Authority, Tag) "
                           "values ('张三', '000', '多余', 1, 2)"));
        const QStringList before = userRights(QStringLiteral("张三"));
        ws->prompter.expect(kSaved, QMessageBox::Ok, kNotice);
        openList([&](QDialog& list) {
            selectUser(list, QStringLiteral("张三"));
            openEditor(list, "Btn_Edit", [&](QDialog& d) {
                // Every node changes its state.
                for (int i = 0; i < tree(d).topLevelItemCount(); ++i) {
                    QTreeWidgetItem* top = tree(d).topLevelItem(i);
                    tree(d).setState(top, CheckTree::state(top) == CheckTree::Unchecked
                                              ? CheckTree::Checked
                                              : CheckTree::Unchecked);
                }
                press(d, "Btn_Save");
            });
        });
        QCOMPARE(userRights(QStringLiteral("张三")), before);
    }

    // --- roles -------------------------------------------------------------------------------------

    // A role's editor shows its name and description, hides password and role, and stores only its
    // rights; operators added afterwards get them, existing ones keep their own.
    void changeRole() {
        addOperatorRow(QStringLiteral("张三"), kOrdinary);
        const QStringList zhang = userRights(QStringLiteral("张三"));
        ws->prompter.expect(kSaved, QMessageBox::Ok, kNotice);
        openList([&](QDialog& list) {
            child<QTabWidget>(list, "PageControl1")->setCurrentIndex(1);
            auto* roles = child<QTreeWidget>(list, "List_Part");
            ws->onModal([&](QDialog& d) {
                QCOMPARE(d.windowTitle(), QStringLiteral("编辑角色"));
                QCOMPARE(child<QLabel>(d, "Label_Name")->text(), QStringLiteral("角色名称"));
                QCOMPARE(child<QLineEdit>(d, "Edit_Name")->text(), kOrdinary);
                QVERIFY(child<QLineEdit>(d, "Edit_Name")->isReadOnly());
                QVERIFY(!child<QLineEdit>(d, "Edit_Pass")->isVisible());
                QVERIFY(!child<QComboBox>(d, "Combo_Part")->isVisible());
                QCOMPARE(child<QLabel>(d, "Label_Remark")->text(), QStringLiteral("角色描述"));
                QCOMPARE(child<QPlainTextEdit>(d, "Memo_Remark")->toPlainText(),
                         QStringLiteral("日常业务操作，只能删除和修改自己的客户、联系人和工作日程"));
                child<QPlainTextEdit>(d, "Memo_Remark")->setPlainText(QStringLiteral("不保存"));
                clickCheck(tree(d), node(d, QStringLiteral("系统设置")));
                press(d, "Btn_Save");
                QVERIFY(!d.isVisible());
            });
            doubleClickRow(*roles, roles->topLevelItem(1));
            QVERIFY(ws->allDriversUsed());
        });
        const QStringList role = roleRights(kOrdinary);
        QVERIFY2(role.at(70).endsWith(QStringLiteral(" 系统设置 1 2")), qPrintable(role.at(70)));
        QVERIFY2(role.at(71).endsWith(QStringLiteral(" 操作员管理 1 2")), qPrintable(role.at(71)));
        QCOMPARE(db().scalar(QStringLiteral("select Remark from T_Part where PartID = 2")).toString(),
                 QStringLiteral("日常业务操作，只能删除和修改自己的客户、联系人和工作日程"));
        QCOMPARE(userRights(QStringLiteral("张三")), zhang);
        QCOMPARE(roleRights(kSuper).size(), 92);
    }

    // --- the system's own operator -----------------------------------------------------------------

    void systemOperatorProtected_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("change button") << "edit";
        QTest::newRow("double-click") << "double";
        QTest::newRow("delete") << "delete";
        QTest::newRow("delete, not confirmed") << "no";
    }
    void systemOperatorProtected() {
        QFETCH(QString, how);
        const QStringList adminRights = userRights(QStringLiteral("Admin"));
        if (how == QLatin1String("edit") || how == QLatin1String("double"))
            ws->prompter.expect(QStringLiteral("系统超级管理员，不允许修改！"), QMessageBox::Ok);
        if (how == QLatin1String("delete")) {
            ws->prompter.expect(kAskDelete, QMessageBox::Yes, kWarning);
            ws->prompter.expect(QStringLiteral("这是系统管理员帐号，不能删除"), QMessageBox::Ok, kWarning);
        }
        if (how == QLatin1String("no")) ws->prompter.expect(kAskDelete, QMessageBox::No, kWarning);
        openList([&](QDialog& list) {
            selectUser(list, QStringLiteral("Admin"));
            if (how == QLatin1String("edit")) press(list, "Btn_Edit");
            if (how == QLatin1String("double"))
                doubleClickRow(users(list), userRow(list, QStringLiteral("Admin")));
            if (how == QLatin1String("delete") || how == QLatin1String("no")) press(list, "Btn_Del");
            QVERIFY(userRow(list, QStringLiteral("Admin")));
        });
        // No editor opened (an unexpected dialog fails the test in cleanup).
        QCOMPARE(count(QStringLiteral("select count(*) from admin where UserID = 1")), 1);
        QCOMPARE(userRights(QStringLiteral("Admin")), adminRights);
        if (how == QLatin1String("delete")) {
            QCOMPARE(ws->prompter.shown().first().buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(ws->prompter.shown().first().icon, QMessageBox::Information);
        }
    }

    // The store itself refuses to change or remove the system operator, whichever window asks: his
    // role, description, password and rights stay as they are.
    void systemOperatorProtectedInStore() {
        const QStringList adminRights = userRights(QStringLiteral("Admin"));
        const QVariant role = adminValue(QStringLiteral("Admin"), "PartName");
        const QVariant password = adminValue(QStringLiteral("Admin"), "Password");
        QList<admin::NodeState> unchecked;
        for (const QString& row : adminRights)
            unchecked << admin::NodeState{row.section(QLatin1Char(' '), 0, 0), 1};
        admin::OperatorStore store(db());
        const auto refused =
            store.changeOperator(admin::kSystemOperator,
                                 admin::OperatorEntry{QStringLiteral("Admin"), QStringLiteral("pw"),
                                                      kOrdinary, QStringLiteral("改")},
                                 unchecked);
        QVERIFY(refused);
        QCOMPARE(refused->message, QStringLiteral("系统超级管理员，不允许修改！"));
        QCOMPARE(store.deleteOperator(admin::kSystemOperator), admin::OperatorStore::Removal::Protected);
        QCOMPARE(adminValue(QStringLiteral("Admin"), "PartName"), role);
        QCOMPARE(adminValue(QStringLiteral("Admin"), "Password"), password);
        QCOMPARE(adminValue(QStringLiteral("Admin"), "UserID").toInt(), admin::kSystemOperator);
        QCOMPARE(userRights(QStringLiteral("Admin")), adminRights);
        QVERIFY(!db().inTransaction());
    }

    // --- deleting ----------------------------------------------------------------------------------

    // An operator that another workstation removed while the list was open: not reported as removed;
    // the list is read again.
    void deleteOperatorRemovedMeanwhile() {
        const int id = addOperatorRow(QStringLiteral("张三"), kOrdinary);
        ws->prompter.expect(kAskDelete, QMessageBox::Yes, kWarning);
        ws->prompter.expect(QStringLiteral("要删除的用户已不存在，可能已被其他操作员删除。"), QMessageBox::Ok,
                            kWarning);
        openList([&](QDialog& list) {
            selectUser(list, QStringLiteral("张三"));
            db().exec(QStringLiteral("delete from admin where UserID = :id"), {{"id", id}});
            press(list, "Btn_Del");
            QVERIFY(!userRow(list, QStringLiteral("张三")));
            QVERIFY(userRow(list, QStringLiteral("Admin")));
        });
        admin::OperatorStore store(db());
        QCOMPARE(store.deleteOperator(id), admin::OperatorStore::Removal::Missing);
        QVERIFY(!db().inTransaction());
    }

    // Any other operator goes with his rights rows, also the one logged in; rows he owns stay.
    void deleteOperator_data() {
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("another operator") << false;
        QTest::newRow("the operator logged in") << true;
    }
    void deleteOperator() {
        QFETCH(bool, loggedIn);
        addOperatorRow(QStringLiteral("张三"), kOrdinary);
        addOperatorRow(QStringLiteral("李四"), kSuper);
        db().exec(
            QStringLiteral("insert into custom (CustCode, Company, F_User) values ('K1', 'A', '张三')"));
        if (loggedIn) ws->loginAs(QStringLiteral("张三"), 0, {72});
        ws->prompter.expect(kAskDelete, QMessageBox::Yes, kWarning);
        ws->prompter.expect(QStringLiteral("删除用户成功!"), QMessageBox::Ok);
        openList([&](QDialog& list) {
            selectUser(list, QStringLiteral("张三"));
            press(list, "Btn_Del");
            QVERIFY(!userRow(list, QStringLiteral("张三")));
            QVERIFY(userRow(list, QStringLiteral("李四")));
        });
        QCOMPARE(count(QStringLiteral("select count(*) from admin where UserName = '张三'")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from T_UserAuthority where UserName = '张三'")), 0);
        QCOMPARE(userRights(QStringLiteral("李四")).size(), 92);
        QCOMPARE(userRights(QStringLiteral("Admin")).size(), 92);
        QCOMPARE(count(QStringLiteral("select count(*) from Custom where F_User = '张三'")), 1);
    }

    // A failure while removing his rights rolls back the removal of the operator too.
    void deleteFailureRollsBack() {
        addOperatorRow(QStringLiteral("张三"), kOrdinary);
        if (db().isSqlite()) {
            db().execScript(
                QStringLiteral("create trigger no_delete before delete on T_UserAuthority "
                               "begin select raise(abort, 'refused'); end"));
        } else {
            db().execScript(
                QStringLiteral("create function no_delete() returns trigger language plpgsql as $$ begin "
                               "raise exception 'refused'; end $$;\n"
                               "create trigger no_delete before delete on T_UserAuthority for each row "
                               "execute function no_delete()"));
        }
        ws->prompter.expect(kAskDelete, QMessageBox::Yes, kWarning);
        ws->prompter.expect(QStringLiteral("删除用户失败!"), QMessageBox::Ok);
        openList([&](QDialog& list) {
            selectUser(list, QStringLiteral("张三"));
            press(list, "Btn_Del");
            QVERIFY(userRow(list, QStringLiteral("张三")));  // the list was read again
        });
        QCOMPARE(count(QStringLiteral("select count(*) from admin where UserName = '张三'")), 1);
        QCOMPARE(userRights(QStringLiteral("张三")).size(), 92);
        QVERIFY(!db().inTransaction());
    }

    // --- at the login ------------------------------------------------------------------------------

    // Only operators with IsUser 1 are offered at login.
    void notOfferedAtLogin() {
        addOperatorRow(QStringLiteral("张三"), kOrdinary);
        addOperatorRow(QStringLiteral("停用者"), kOrdinary, QString(), 0);
        QStringList offered;
        ws->onModal([&](QDialog& d) {
            auto* combo = child<QComboBox>(d, "Combo_User");
            for (int i = 0; i < combo->count(); ++i) offered << combo->itemText(i);
        });
        QVERIFY(!runLoginDialog(*ws->ctx));
        QCOMPARE(offered, (QStringList{QStringLiteral("Admin"), QStringLiteral("张三")}));
    }

    // An operator added here with a password: stored as a hash, he logs in with it (and not without),
    // gets Permit 1 and his role's rights, and the commands of the rights he lacks are disabled.
    void newOperatorLogsIn() {
        const QString pw = QStringLiteral("Pa ss;'w");
        ws->prompter.expect(kAdded, QMessageBox::Ok, kNotice);
        openList([&](QDialog& list) {
            openEditor(list, "Btn_Add", [&](QDialog& d) {
                typeInto(child<QLineEdit>(d, "Edit_Name"), QStringLiteral("王五"));
                typeInto(child<QLineEdit>(d, "Edit_Pass"), pw);
                chooseRole(d, kOrdinary);
                press(d, "Btn_Save");
                press(d, "Btn_Quit");
            });
        });
        const QString stored = adminValue(QStringLiteral("王五"), "Password").toString();
        QVERIFY(password::isHash(stored));
        QVERIFY(!stored.contains(pw));

        auto loginAs = [&](const QString& typed) {
            ws->onModal([&](QDialog& d) {
                auto* combo = child<QComboBox>(d, "Combo_User");
                combo->setCurrentIndex(combo->findText(QStringLiteral("王五")));
                QTest::keyClicks(child<QLineEdit>(d, "Edit_Pass"), typed);
                QTest::mouseClick(child<QPushButton>(d, "Btn_OK"), Qt::LeftButton);
            });
            mw->relogin();
        };
        ws->prompter.expect(QStringLiteral("密码错误，请重新输入密码！"), QMessageBox::Ok, kWarning);
        loginAs(QStringLiteral("pa ss;'w"));
        QCOMPARE(ws->login.currentUser(), QStringLiteral("Admin"));

        loginAs(pw);
        QCOMPARE(ws->login.currentUser(), QStringLiteral("王五"));
        QCOMPARE(ws->login.userPermit(), 1);
        const QStringList role = roleRights(kOrdinary);
        for (int k = 1; k <= 92; ++k)
            QCOMPARE(ws->login.right(k),
                     role.at(k - 1).section(QLatin1Char(' '), -2, -2) == QLatin1String("1"));
        QVERIFY(!mw->action(QStringLiteral("M_UserList"))->isEnabled());       // right 72
        QVERIFY(!mw->action(QStringLiteral("M_Cust_Category"))->isEnabled());  // right 8
        QVERIFY(mw->action(QStringLiteral("AddCust"))->isEnabled());           // right 2
    }
};

QTEST_MAIN(TestOperators)
#include "tst_operators.moc"
