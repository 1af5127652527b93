#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "DBGrid.h"
#include "Dataset.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "ListCommands.h"
#include "ListEditor.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using qv::test::child;
using qv::test::Workstation;

namespace {

const QString kAskDelete = QStringLiteral("您确定要删除这条记录吗？");

void press(QDialog& d, const char* button) {
    QToolButton* b = child<QToolButton>(d, button);
    QVERIFY(b);
    QVERIFY2(b->isEnabled(), button);
    QTest::mouseClick(b, Qt::LeftButton);
}

void type(QDialog& d, const QString& text) {
    QLineEdit* e = child<QLineEdit>(d, "Edit_Name");
    QVERIFY(e);
    e->clear();
    // Key by key, as typed (Chinese characters arrive as the text of a key event).
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Press, e, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, e, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QCOMPARE(e->text(), text);
}

QString boxText(QDialog& d) { return child<QLineEdit>(d, "Edit_Name")->text(); }

DBGrid& grid(QDialog& d) { return *child<DBGrid>(d, "Grid_Other"); }

// The rect of a grid cell of the name column, in the view's viewport.
QPoint cellCentre(QDialog& d, int row) {
    QTableView* v = grid(d).view();
    const int col = grid(d).columnOf(QStringLiteral("name"));
    v->scrollTo(v->model()->index(row, col));
    return v->visualRect(v->model()->index(row, col)).center();
}

void clickRow(QDialog& d, int row) {
    QTableView* v = grid(d).view();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cellCentre(d, row));
}

// Which of add, edit, delete, save, cancel are enabled, as "AEDsc" letters ('-' when disabled).
QString buttonStates(QDialog& d) {
    QString s;
    for (auto [name, letter] :
         {std::pair{"TB_Add", 'A'}, {"TB_Edit", 'E'}, {"TB_Del", 'D'}, {"TB_Save", 's'}, {"TB_Cancel", 'c'}})
        s += child<QToolButton>(d, name)->isEnabled() ? QLatin1Char(letter) : QLatin1Char('-');
    return s;
}
const QString kIdle = QStringLiteral("AED--");
const QString kEntering = QStringLiteral("---sc");

}  // namespace

class TestLists : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    QStringList names(const QString& table) {
        QStringList out;
        QSqlQuery q = ws->db().exec(QStringLiteral("select name from %1 order by id").arg(table));
        while (q.next()) out << q.value(0).toString();
        return out;
    }
    int count(const QString& table) {
        return ws->db().scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
    }
    void clearTable(const QString& table) { ws->db().execute(QStringLiteral("delete from %1").arg(table)); }
    void addName(const QString& table, const QString& name) {
        ws->db().execute(QStringLiteral("insert into %1 (name) values (:n)").arg(table), {{"n", name}});
    }
    int rowOf(QDialog& d, const QString& name) {
        Dataset& ds = *grid(d).dataset();
        ds.fetchAll();
        for (int r = 0; r < ds.loadedRows(); ++r)
            if (ds.value(r, QStringLiteral("name")).toString() == name) return r;
        return -1;
    }
    // Opens the editor through its menu entry and hands it to `driver`.
    void open(const QString& menuEntry, Workstation::Driver driver) {
        ws->onModal(std::move(driver));
        QAction* a = mw->action(menuEntry);
        QVERIFY2(a, qPrintable(menuEntry));
        QVERIFY2(a->isEnabled(), qPrintable(menuEntry));
        a->trigger();
        QVERIFY2(ws->allDriversUsed(), "the editor did not open");
    }
    int fieldShowWidth() {
        return ws->db()
            .scalar(QStringLiteral("select Width from T_FieldShow where TableName='Other' and Field='name'"))
            .toInt();
    }

    static void windowColumns() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("emptyMessage");
        QTest::addColumn<QString>("duplicateMessage");
        QTest::addColumn<bool>("copyOnClick");
        QTest::addColumn<bool>("saveOnClose");
        auto row = [](const char* menu, const char* window, const char* caption, const char* table,
                      const char* label, const char* empty, const char* dup, bool copy, bool save) {
            QTest::newRow(window) << QString::fromLatin1(menu) << QString::fromLatin1(window)
                                  << QString::fromUtf8(caption) << QString::fromLatin1(table)
                                  << QString::fromUtf8(label) << QString::fromUtf8(empty)
                                  << QString::fromUtf8(dup) << copy << save;
        };
        row("Menu_Position", "Frm_Post", "职位管理", "Dict_zw", "职位", "职位名称内容不能为空！",
            "职位名称重复，请换一个职位名称", true, true);
        row("Menu_Department", "Frm_Depart", "部门管理", "Dict_Department", "部门", "部门名称内容不能为空！",
            "部门名称重复，请换一个部门名称", false, true);
        row("Menu_Staff", "Frm_People", "员工管理", "Dict_people", "员工", "人员名称内容不能为空！",
            "人员名称重复，请换一个人员名称", true, false);
        row("Menu_CustPhase", "Frm_clientphase", "客户阶段管理", "T_custphase", "客户阶段",
            "客户阶段名称内容不能为空！", "客户阶段名称重复，请换一个客户阶段名称", true, false);
        row("Menu_CustState", "Frm_Clientstate", "客户状态管理", "T_custstate", "客户状态",
            "客户状态名称内容不能为空！", "客户状态名称重复，请换一个客户状态名称", true, false);
        row("Menu_CustType", "Frm_Clienttype", "客户类型管理", "Dict_Type", "客户类型",
            "客户类型名称不能为空！", "客户类型名称重复，请换一个客户类型名称", true, true);
        row("Menu_Country", "Frm_Country", "国家管理", "Dict_country", "国家", "国家名称内容不能为空！",
            "国家名称重复，请换一个国家名称", true, true);
        row("Menu_CustFrom", "Frm_Clientsource", "客户来源管理", "Dict_CustFrom", "客户来源",
            "客户来源名称内容不能为空！", "客户来源名称重复，请换一个客户来源名称", false, true);
        row("Menu_CustLevel", "Frm_custlevel", "客户级别管理", "Dict_custlevel", "客户级别",
            "客户级别名称不能为空！", "客户级别名称重复，请换一个客户级别名称", true, false);
        row("Menu_Unit", "Frm_Measure", "计量单位管理", "Dict_unit", "计量单位", "计量单位名称内容不能为空！",
            "计量单位名称重复，请换一个计量单位名称", true, false);
        row("Menu_Subject", "Frm_Subject", "事务主题管理", "T_subject", "事务主题",
            "活动主题名称内容不能为空！", "活动主题名称重复，请换一个活动主题名称", true, true);
        row("Menu_ActivityType", "Frm_Type", "事务类型管理", "Dict_activity", "事务类型",
            "活动类型名称内容不能为空！", "活动类型名称重复，请换一个活动类型名称", false, true);
    }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installListCommands(*ws->ctx, *mw);
        ws->loginAsAdmin();
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // Each menu entry opens its own window over its own table: name, caption, label, the list in the
    // grid, the idle tool bar; then a new name is stored in that table and nowhere else.
    void windowShowsItsList_data() { windowColumns(); }
    void windowShowsItsList() {
        QFETCH(QString, menu);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QString, table);
        QFETCH(QString, label);
        addName(table, QStringLiteral("样本名称"));
        const QStringList before = names(table);
        const int otherSubjects = count(table == QLatin1String("T_subject") ? "Dict_zw" : "T_subject");
        open(menu, [&](QDialog& d) {
            QCOMPARE(d.objectName(), window);
            QCOMPARE(QString::fromLatin1(d.metaObject()->className()), QStringLiteral("qv::") + window);
            QCOMPARE(d.windowTitle(), caption);
            QCOMPARE(child<QLabel>(d, "Label1")->text(), label);
            QCOMPARE(buttonStates(d), kIdle);
            QStringList texts;
            for (const char* b : {"TB_Add", "TB_Edit", "TB_Del", "TB_Save", "TB_Cancel", "TB_Quit"})
                texts << child<QToolButton>(d, b)->text();
            QCOMPARE(texts.join('|'), QStringLiteral("添加&A|编辑&E|删除&D|保存&S|取消&C|退出&Q"));
            // One column: the names, under the caption configured for every list.
            QCOMPARE(grid(d).columnCount(), 1);
            QCOMPARE(grid(d).columnField(0), QStringLiteral("name"));
            QCOMPARE(grid(d).columnTitle(0), QStringLiteral("名称"));
            QStringList shown;
            for (int r = 0; r < grid(d).view()->model()->rowCount(); ++r) shown << grid(d).cellText(r, 0);
            QCOMPARE(shown, before);

            press(d, "TB_Add");
            QCOMPARE(buttonStates(d), kEntering);
            type(d, QStringLiteral("新名称"));
            press(d, "TB_Save");
            QCOMPARE(buttonStates(d), kIdle);
            QCOMPARE(boxText(d), QStringLiteral("新名称"));
            QCOMPARE(grid(d).cellText(grid(d).currentRow(), 0), QStringLiteral("新名称"));
            press(d, "TB_Quit");
        });
        QCOMPARE(names(table), before + QStringList{QStringLiteral("新名称")});
        QCOMPARE(count(table == QLatin1String("T_subject") ? "Dict_zw" : "T_subject"), otherSubjects);
    }

    // The empty and duplicate refusals with each window's own texts; both keep the window entering.
    void refusals_data() { windowColumns(); }
    void refusals() {
        QFETCH(QString, menu);
        QFETCH(QString, table);
        QFETCH(QString, emptyMessage);
        QFETCH(QString, duplicateMessage);
        addName(table, QStringLiteral("已有名称"));
        const QStringList before = names(table);
        open(menu, [&](QDialog& d) {
            press(d, "TB_Add");
            ws->prompter.expect(emptyMessage, QMessageBox::Ok, QStringLiteral("警告"));
            press(d, "TB_Save");
            QCOMPARE(ws->prompter.shown().last().icon, QMessageBox::Critical);
            QCOMPARE(buttonStates(d), kEntering);
            QCOMPARE(d.focusWidget(), child<QLineEdit>(d, "Edit_Name"));

            type(d, QStringLiteral(" 已有名称 "));
            ws->prompter.expect(duplicateMessage, QMessageBox::Ok);
            press(d, "TB_Save");
            QCOMPARE(ws->prompter.shown().last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(buttonStates(d), kEntering);
            QCOMPARE(boxText(d), QStringLiteral(" 已有名称 "));
            press(d, "TB_Quit");
        });
        QCOMPARE(names(table), before);
    }

    // A click on a grid row copies its name into the box in some windows only; closing stores the
    // grid's column layout in others only (without a message).
    void clickAndClose_data() { windowColumns(); }
    void clickAndClose() {
        QFETCH(QString, menu);
        QFETCH(QString, table);
        QFETCH(bool, copyOnClick);
        QFETCH(bool, saveOnClose);
        clearTable(table);
        addName(table, QStringLiteral("甲"));
        addName(table, QStringLiteral("乙"));
        const int width = fieldShowWidth();
        open(menu, [&](QDialog& d) {
            press(d, "TB_Add");
            type(d, QStringLiteral("正在输入"));
            clickRow(d, 1);
            QCOMPARE(grid(d).currentRow(), 1);
            QCOMPARE(boxText(d), copyOnClick ? QStringLiteral("乙") : QStringLiteral("正在输入"));
            QCOMPARE(buttonStates(d), kEntering);  // the click does not change the mode
            press(d, "TB_Cancel");
            grid(d).setColumnWidth(0, width + 37);
            press(d, "TB_Quit");
            QCOMPARE(d.result(), int(QDialog::Rejected));
        });
        QCOMPARE(fieldShowWidth(), saveOnClose ? width + 37 : width);
        QCOMPARE(names(table), (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
    }

    // What counts as a duplicate when adding: the typed name trimmed, compared without letter case with
    // the stored names (their own blanks ignored too); a new name is stored exactly as typed.
    void duplicateCheck_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::newRow("same") << "Alpha" << true;
        QTest::newRow("leading blanks") << "  Alpha" << true;
        QTest::newRow("trailing blank") << "Alpha " << true;
        QTest::newRow("other case") << "ALPHA" << true;
        QTest::newRow("stored with trailing blank") << "Beta" << true;
        QTest::newRow("stored with leading blank") << "gamma " << true;
        QTest::newRow("new with trailing blank") << "Delta " << false;
        QTest::newRow("new with leading blank") << " Delta" << false;
        QTest::newRow("prefix of a stored name") << "Alph" << false;
        QTest::newRow("quote") << "O'Neil" << false;
        QTest::newRow("wildcards are plain text") << "Al%" << false;
    }
    void duplicateCheck() {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        const QString table = QStringLiteral("Dict_Type");
        clearTable(table);
        for (const char* n : {"Alpha", "Beta ", " Gamma"}) addName(table, QString::fromLatin1(n));
        const QStringList before = names(table);
        if (refused) ws->prompter.expect(QStringLiteral("客户类型名称重复，请换一个客户类型名称"));
        open(QStringLiteral("Menu_CustType"), [&](QDialog& d) {
            press(d, "TB_Add");
            type(d, typed);
            press(d, "TB_Save");
            QCOMPARE(buttonStates(d), refused ? kEntering : kIdle);
        });
        QCOMPARE(names(table), refused ? before : before + QStringList{typed});
    }

    // Renaming through "编辑" takes the current row's name and stores the new text; on an empty list the
    // same steps add the name. A name the list already holds (compared without case and surrounding
    // blanks) is refused by the list's unique index with the list's own duplicate message.
    void editRenames() {
        const QString table = QStringLiteral("Dict_Department");
        clearTable(table);
        addName(table, QStringLiteral("销售部"));
        addName(table, QStringLiteral("技术部"));
        open(QStringLiteral("Menu_Department"), [&](QDialog& d) {
            clickRow(d, 1);
            QCOMPARE(boxText(d), QString());  // this window does not copy on click
            press(d, "TB_Edit");
            QCOMPARE(buttonStates(d), kEntering);
            QCOMPARE(boxText(d), QStringLiteral("技术部"));
            type(d, QStringLiteral(" 销售部"));
            ws->prompter.expect(QStringLiteral("部门名称重复，请换一个部门名称"), QMessageBox::Ok);
            press(d, "TB_Save");
            QCOMPARE(buttonStates(d), kEntering);
            QCOMPARE(grid(d).dataset()->value(1, QStringLiteral("name")).toString(),
                     QStringLiteral("技术部"));
            type(d, QStringLiteral("研发部"));
            press(d, "TB_Save");
            QCOMPARE(buttonStates(d), kIdle);
            QCOMPARE(boxText(d), QStringLiteral("研发部"));
            press(d, "TB_Quit");
        });
        QCOMPARE(names(table), (QStringList{QStringLiteral("销售部"), QStringLiteral("研发部")}));
    }

    // Two workstations adding the same name at once: whichever comes second is refused by the list's
    // unique index, whatever the letter case and surrounding blanks, in every list.
    void sameNameFromTwoWorkstations_data() { windowColumns(); }
    void sameNameFromTwoWorkstations() {
        QFETCH(QString, table);
        const std::unique_ptr<Workstation> second = ws->another();
        Workstation& other = *second;
        clearTable(table);
        addName(table, QStringLiteral(" Alpha"));
        for (const QString& again :
             {QStringLiteral("Alpha"), QStringLiteral("ALPHA  "), QStringLiteral(" alpha ")}) {
            try {
                other.db().execute(QStringLiteral("insert into %1 (name) values (:n)").arg(table),
                                   {{"n", again}});
                QFAIL(qPrintable(again + QLatin1String(" was stored twice")));
            } catch (const DbError& e) {
                QVERIFY2(e.isUniqueViolation(), qPrintable(e.text()));
            }
        }
        other.db().execute(QStringLiteral("insert into %1 (name) values (:n)").arg(table),
                           {{"n", "Alphabet"}});
        QCOMPARE(names(table), (QStringList{QStringLiteral(" Alpha"), QStringLiteral("Alphabet")}));
        QVERIFY_WORKSTATION(other);
    }

    void editOnEmptyListAdds() {
        const QString table = QStringLiteral("T_custphase");
        clearTable(table);
        open(QStringLiteral("Menu_CustPhase"), [&](QDialog& d) {
            press(d, "TB_Edit");
            QCOMPARE(boxText(d), QString());
            type(d, QStringLiteral("初步接触 "));
            press(d, "TB_Save");
            QCOMPARE(buttonStates(d), kIdle);
            QCOMPARE(grid(d).view()->model()->rowCount(), 1);
            press(d, "TB_Quit");
        });
        QCOMPARE(names(table), QStringList{QStringLiteral("初步接触 ")});
    }

    // Cancel writes nothing and keeps the typed text; a blank-only name is refused like an empty one.
    void cancelAndBlankName() {
        const QString table = QStringLiteral("Dict_unit");
        const QStringList before = names(table);
        open(QStringLiteral("Menu_Unit"), [&](QDialog& d) {
            press(d, "TB_Add");
            type(d, QStringLiteral("   "));
            ws->prompter.expect(QStringLiteral("计量单位名称内容不能为空！"), QMessageBox::Ok,
                                QStringLiteral("警告"));
            press(d, "TB_Save");
            type(d, QStringLiteral("箱"));
            press(d, "TB_Cancel");
            QCOMPARE(buttonStates(d), kIdle);
            QCOMPARE(boxText(d), QStringLiteral("箱"));
            press(d, "TB_Quit");
        });
        QCOMPARE(names(table), before);
    }

    // Deleting a list entry asks first and removes only the list's row: customers that carry the
    // name keep it. The box is emptied whatever the answer.
    void deleteLeavesCustomers_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void deleteLeavesCustomers() {
        QFETCH(bool, yes);
        const QString table = QStringLiteral("Dict_Type");
        addName(table, QStringLiteral("重要伙伴"));
        ws->db().execute(
            QStringLiteral("insert into custom (CustCode, Company, CustType) values ('C0001', '甲公司', "
                           ":t)"),
            {{"t", QStringLiteral("重要伙伴")}});
        const int before = count(table);
        open(QStringLiteral("Menu_CustType"), [&](QDialog& d) {
            clickRow(d, rowOf(d, QStringLiteral("重要伙伴")));
            QCOMPARE(boxText(d), QStringLiteral("重要伙伴"));
            ws->prompter.expect(kAskDelete, yes ? QMessageBox::Yes : QMessageBox::No,
                                QStringLiteral("删除记录"));
            press(d, "TB_Del");
            QCOMPARE(ws->prompter.shown().last().icon, QMessageBox::Information);
            QCOMPARE(boxText(d), QString());
            QCOMPARE(buttonStates(d), kIdle);
            QCOMPARE(rowOf(d, QStringLiteral("重要伙伴")) >= 0, !yes);
            press(d, "TB_Quit");
        });
        QCOMPARE(count(table), yes ? before - 1 : before);
        QCOMPARE(
            ws->db().scalar(QStringLiteral("select CustType from custom where CustCode='C0001'")).toString(),
            QStringLiteral("重要伙伴"));
    }

    // The grid edits names in place (stored when the row is left or the window closes) and deletes the
    // current row after its own question. A name the list holds already is dropped with the list's
    // duplicate message when the window closes.
    void gridEditsInPlace() {
        const QString table = QStringLiteral("T_subject");
        clearTable(table);
        for (const char* n : {"拜访", "电话", "邮件"}) addName(table, QString::fromUtf8(n));
        open(QStringLiteral("Menu_Subject"), [&](QDialog& d) {
            QAbstractItemModel* m = grid(d).view()->model();
            QVERIFY(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
            QVERIFY(m->setData(m->index(0, 0), QStringLiteral("会议")));
            clickRow(d, 2);
            QCOMPARE(names(table),
                     (QStringList{QStringLiteral("会议"), QStringLiteral("电话"), QStringLiteral("邮件")}));

            ws->prompter.expect(QStringLiteral("删除记录吗？"), QMessageBox::Ok);
            QTest::keyClick(grid(d).view(), Qt::Key_Delete, Qt::ControlModifier);
            QCOMPARE(names(table), (QStringList{QStringLiteral("会议"), QStringLiteral("电话")}));

            QVERIFY(
                m->setData(m->index(0, 0), QStringLiteral("   ")));  // left pending until the window closes
            press(d, "TB_Quit");
        });
        QCOMPARE(names(table), (QStringList{QStringLiteral("   "), QStringLiteral("电话")}));

        open(QStringLiteral("Menu_Subject"), [&](QDialog& d) {
            QAbstractItemModel* m = grid(d).view()->model();
            QVERIFY(m->setData(m->index(0, 0), QStringLiteral("电话 ")));
            ws->prompter.expect(QStringLiteral("活动主题名称重复，请换一个活动主题名称"), QMessageBox::Ok);
            press(d, "TB_Quit");
        });
        QCOMPARE(names(table), (QStringList{QStringLiteral("   "), QStringLiteral("电话")}));
    }

    // A name the database refuses (longer than its column) shows the database's error: nothing is
    // stored, no half-made row stays in the grid and the window stays entering.
    void databaseRefusal() {
        const QString table = QStringLiteral("Dict_people");
        const QStringList before = names(table);
        open(QStringLiteral("Menu_Staff"), [&](QDialog& d) {
            const int rows = grid(d).view()->model()->rowCount();
            press(d, "TB_Add");
            type(d, QString(51, QLatin1Char('x')));
            ws->prompter.expectCaption(QStringLiteral("错误"));  // the server's own words
            press(d, "TB_Save");
            QVERIFY_WORKSTATION(*ws);
            QCOMPARE(buttonStates(d), kEntering);
            QCOMPARE(grid(d).view()->model()->rowCount(), rows);
            type(d, QString(50, QLatin1Char('x')));
            press(d, "TB_Save");
            QCOMPARE(buttonStates(d), kIdle);
            press(d, "TB_Quit");
        });
        QCOMPARE(names(table), before + QStringList{QString(50, QLatin1Char('x'))});
    }
};

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
