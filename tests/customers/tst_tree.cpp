#include <QAction>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "CategoryCodes.h"
#include "Frm_Tree.h"
#include "GridServices.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using test::child;
namespace cc = qv::categorycodes;

Q_DECLARE_METATYPE(cc::AddKind)
Q_DECLARE_METATYPE(cc::Refusal)
Q_DECLARE_METATYPE(qv::CategoryCaller)

namespace {

const QString kNotice = QStringLiteral("提醒");
const QString kHasChildren = QStringLiteral("不能删除有子目录的目录，请先删除子目录！");
const QString kAskDelete = QStringLiteral("你真的要删除所选择的目录吗？");

QTreeWidget* treeOf(QDialog& d) { return child<QTreeWidget>(d, "TreeView1"); }
QString codeBox(QDialog& d) { return child<QLineEdit>(d, "Edit_Code")->text(); }
QString nameBox(QDialog& d) { return child<QLineEdit>(d, "Edit_Name")->text(); }

// Clicks a tool-bar button; a disabled button is a failure of the caller's expectation.
bool press(QDialog& d, const char* button) {
    auto* b = child<QToolButton>(d, button);
    if (!b->isEnabled()) return false;
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
    return true;
}

void trigger(QDialog& d, const char* action) { child<QAction>(d, action)->trigger(); }

// Replaces the text of a box as the operator would: keys for plain characters, the input method's
// insertion for Chinese text.
void type(QDialog& d, const char* box, const QString& text) {
    auto* e = child<QLineEdit>(d, box);
    e->selectAll();
    e->del();
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    if (plain)
        QTest::keyClicks(e, text);
    else
        e->insert(text);
}

QTreeWidgetItem* nodeOf(QDialog& d, const QString& code) {
    QTreeWidget* tree = treeOf(d);
    if (code.isEmpty()) return tree->topLevelItem(0);
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->parent() && (*it)->data(0, kCodeRole).toString() == code) return *it;
    return nullptr;
}

// Selects the node of a code (the root for an empty code) with the mouse.
bool select(QDialog& d, const QString& code) {
    QTreeWidget* tree = treeOf(d);
    tree->expandAll();
    QTreeWidgetItem* item = nodeOf(d, code);
    if (!item) return false;
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    return tree->currentItem() == item;
}

// The tree as nested text: "root(child(grandchild),child)".
QString outline(const QTreeWidgetItem* item) {
    QString s = item->text(0);
    if (item->childCount() == 0) return s;
    QStringList kids;
    for (int i = 0; i < item->childCount(); ++i) kids << outline(item->child(i));
    return s + QLatin1Char('(') + kids.join(QLatin1Char(',')) + QLatin1Char(')');
}
QString outline(QDialog& d) { return outline(treeOf(d)->topLevelItem(0)); }

}  // namespace

class TestTree : public test::WindowTest {
    Q_OBJECT

    // Stores "code-name" rows, through this workstation or through `other` (another operator's).
    void addRows(const QString& table, const QStringList& codeNames, test::Workstation* other = nullptr) {
        Database& db = other ? other->db() : ws->db();
        for (const QString& cn : codeNames) {
            const int dash = int(cn.indexOf(QLatin1Char('-')));
            db.execute(QStringLiteral("insert into %1 (Code, Name) values (:c, :n)").arg(table),
                       {{"c", cn.left(dash)}, {"n", cn.mid(dash + 1)}});
        }
    }
    QStringList rows(const QString& table = QStringLiteral("Dict_Cust_Category")) {
        QSqlQuery q = ws->db().exec(QStringLiteral("select Code, Name from %1 order by Code").arg(table));
        QStringList out;
        while (q.next()) out << q.value(0).toString() + QLatin1Char('-') + q.value(1).toString();
        return out;
    }
    void checkDriven() { QVERIFY_WORKSTATION(*ws); }
    // The code rules are checked without a database.
    bool needsWorkstation(const char* function) const override {
        return !QByteArrayList{"plusOne", "proposals", "refusals"}.contains(function);
    }

private slots:
    // --- code rules, without a window ----------------------------------------------------------

    void plusOne_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("next");
        QTest::newRow("two levels") << "0102"
                                    << "0103";
        QTest::newRow("carry keeps the length") << "0109"
                                                << "0110";
        QTest::newRow("first level, odd result gets a zero") << "09"
                                                             << "10";
        QTest::newRow("99th child runs into the next parent") << "0199"
                                                              << "0200";
        QTest::newRow("99th first level becomes a child of 01") << "99"
                                                                << "0100";
        QTest::newRow("leading zeros come back") << "010209"
                                                 << "010210";
        QTest::newRow("not a number") << "0A"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void plusOne() {
        QFETCH(QString, code);
        QFETCH(QString, next);
        QCOMPARE(cc::plusOne(code), next);
    }

    void proposals_data() {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("base");  // the selected category, empty for the root
        QTest::addColumn<cc::AddKind>("kind");
        QTest::addColumn<QString>("proposal");
        const auto C = cc::AddKind::Child, S = cc::AddKind::Sibling;
        const QStringList three{"01", "02", "03"};
        QTest::newRow("empty table, child") << QStringList{} << "" << C << "01";
        QTest::newRow("empty table, sibling") << QStringList{} << "" << S << "01";
        QTest::newRow("after 01..03, below the root") << three << "" << C << "04";
        QTest::newRow("after 01..03, sibling of 02") << three << "02" << S << "04";
        QTest::newRow("first child of 0102") << QStringList{"01", "0101", "0102"} << "0102" << C << "010201";
        QTest::newRow("sibling of 010201 when 010203 is last")
            << QStringList{"01", "0102", "010201", "010202", "010203", "0103", "010301"} << "010201" << S
            << "010204";
        QTest::newRow("next child follows the last, not a gap")
            << QStringList{"01", "0101", "0103", "010301"} << "01" << C << "0104";
        QTest::newRow("sibling stays in its own branch")
            << QStringList{"01", "0101", "02", "0201", "0202", "0203"} << "0101" << S << "0102";
        QTest::newRow("only one at its level") << QStringList{"01", "0101"} << "0101" << S << "0102";
        QTest::newRow("sibling after the 99th child")
            << QStringList{"01", "0198", "0199"} << "0198" << S << "0200";
        QTest::newRow("child after the 99th child") << QStringList{"01", "0199", "02"} << "01" << C << "0200";
        QTest::newRow("after 99 first-level categories") << QStringList{"98", "99"} << "" << C << "0100";
        QTest::newRow("odd-length rows are no level") << QStringList{"01", "02", "123"} << "" << C << "03";
        QTest::newRow("selected category gone: base stays") << QStringList{"01"} << "05" << C << "05";
        QTest::newRow("fifth level") << QStringList{"01", "0101", "010101", "01010101"} << "01010101" << C
                                     << "0101010101";
    }
    void proposals() {
        QFETCH(QStringList, codes);
        QFETCH(QString, base);
        QFETCH(cc::AddKind, kind);
        QFETCH(QString, proposal);
        QCOMPARE(cc::propose(CategoryList(codes), base, kind), proposal);
    }

    void refusals_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<cc::Refusal>("refusal");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusCode");
        using R = cc::Refusal;
        // The table holds 01, 0101, 02.
        QTest::newRow("first level") << "04" << R::None << "" << false;
        QTest::newRow("blanks around are trimmed") << " 03 " << R::None << "" << false;
        QTest::newRow("child of an existing parent") << "0102" << R::None << "" << false;
        QTest::newRow("100th child lands under 02") << "0200" << R::None << "" << false;
        QTest::newRow("fifth level in 10 digits")
            << "0101010101" << R::NoParent << "编码错误,父节点不存在!" << true;
        QTest::newRow("empty") << "" << R::NotNumber << "编码必须是数字!" << true;
        QTest::newRow("letter") << "0A" << R::NotNumber << "编码必须是数字!" << true;
        QTest::newRow("sign") << "-1" << R::NotNumber << "编码必须是数字!" << true;
        QTest::newRow("decimal point") << "1.50" << R::NotNumber << "编码必须是数字!" << true;
        QTest::newRow("inner blank") << "01 2" << R::NotNumber << "编码必须是数字!" << true;
        QTest::newRow("odd length") << "123" << R::BreaksRule << "编码规则出错!" << true;
        QTest::newRow("11 characters") << "01010101010" << R::BreaksRule << "编码规则出错!" << true;
        QTest::newRow("beyond the box") << "010101010101" << R::BreaksRule << "编码规则出错!" << true;
        QTest::newRow("duplicate") << "0101" << R::Duplicate << "编码重复!,不能保存!" << false;
        QTest::newRow("duplicate before missing parent")
            << "02" << R::Duplicate << "编码重复!,不能保存!" << false;
        QTest::newRow("parent missing") << "0301" << R::NoParent << "编码错误,父节点不存在!" << true;
        QTest::newRow("grandparent only") << "030101" << R::NoParent << "编码错误,父节点不存在!" << true;
    }
    void refusals() {
        QFETCH(QString, typed);
        QFETCH(cc::Refusal, refusal);
        QFETCH(QString, message);
        QFETCH(bool, focusCode);
        const CategoryList table({"01", "0101", "02"});
        QCOMPARE(cc::check(table, typed), refusal);
        QCOMPARE(cc::message(refusal), message);
        QCOMPARE(cc::focusesCode(refusal), focusCode);
    }

    // The statements behind the rules give the same answers on the database.
    void sqlTableAnswersLikeTheList() {
        addRows(QStringLiteral("Dict_Product_Category"),
                {"01-a", "0101-b", "0102-c", "010201-d", "02-e", "123-odd"});
        const SqlCategoryTable table(ws->db(), QStringLiteral("Dict_Product_Category"));
        QVERIFY(!table.isEmpty());
        QCOMPARE(table.codes(0, QString()), (QStringList{"01", "0101", "0102", "010201", "02", "123"}));
        QCOMPARE(table.codes(4, QString()), (QStringList{"0101", "0102"}));
        QCOMPARE(table.codes(0, QStringLiteral("0102")), (QStringList{"0102", "010201"}));
        QCOMPARE(table.codes(6, QStringLiteral("01")), QStringList{"010201"});
        QVERIFY(table.contains(QStringLiteral("0102")));
        QVERIFY(!table.contains(QStringLiteral("0103")));
        QVERIFY(SqlCategoryTable(ws->db(), QStringLiteral("Dict_Cust_Category")).isEmpty());
        QCOMPARE(cc::propose(table, QStringLiteral("0102"), cc::AddKind::Child), QStringLiteral("010202"));
    }

    // --- the window ----------------------------------------------------------------------------

    void addFirstLevelThenChildThenSibling() {
        ws->onModal([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("客户分类"));
            QCOMPARE(outline(d), QStringLiteral("客户分类"));
            // The root is selected: no code, the root caption, no sibling to add, nothing to save.
            QCOMPARE(codeBox(d), QString());
            QCOMPARE(nameBox(d), QStringLiteral("客户分类"));
            QVERIFY(!child<QAction>(d, "AddSibling")->isEnabled());
            QVERIFY(!child<QToolButton>(d, "TB_Save")->isEnabled());
            QVERIFY(!child<QLineEdit>(d, "Edit_Code")->isEnabled());

            QVERIFY(press(d, "TB_Add"));
            QCOMPARE(codeBox(d), QStringLiteral("01"));
            QVERIFY(child<QLineEdit>(d, "Edit_Code")->isEnabled());
            QVERIFY(!child<QToolButton>(d, "TB_Add")->isEnabled());
            QVERIFY(!child<QToolButton>(d, "TB_Del")->isEnabled());
            type(d, "Edit_Name", QStringLiteral(" 华东 "));
            QVERIFY(press(d, "TB_Save"));
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东)"));
            QVERIFY(child<QToolButton>(d, "TB_Add")->isEnabled());
            QVERIFY(!child<QLineEdit>(d, "Edit_Code")->isEnabled());

            // The new category is selected: "新增&A" adds below it.
            QVERIFY(press(d, "TB_Add"));
            QCOMPARE(codeBox(d), QStringLiteral("0101"));
            QCOMPARE(nameBox(d), QString());
            type(d, "Edit_Name", QStringLiteral("上海"));
            QVERIFY(press(d, "TB_Save"));

            QVERIFY(select(d, QStringLiteral("01")));
            QVERIFY(child<QAction>(d, "AddSibling")->isEnabled());
            trigger(d, "AddSibling");
            QCOMPARE(codeBox(d), QStringLiteral("02"));
            type(d, "Edit_Name", QStringLiteral("华北"));
            QVERIFY(press(d, "TB_Save"));

            QVERIFY(select(d, QStringLiteral("01")));
            trigger(d, "AddChild");
            QCOMPARE(codeBox(d), QStringLiteral("0102"));
            type(d, "Edit_Name", QStringLiteral("江苏"));
            QVERIFY(press(d, "TB_Save"));
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东(0101-上海,0102-江苏),02-华北)"));
            QVERIFY(press(d, "TB_Quit"));
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
        QCOMPARE(rows(), (QStringList{"01-华东", "0101-上海", "0102-江苏", "02-华北"}));
        QVERIFY(rows(QStringLiteral("Dict_Product_Category")).isEmpty());
    }

    void refusedCodes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusCode");
        QTest::newRow("duplicate") << "0101"
                                   << "编码重复!,不能保存!" << false;
        QTest::newRow("not a number") << "0A"
                                      << "编码必须是数字!" << true;
        QTest::newRow("odd length") << "123"
                                    << "编码规则出错!" << true;
        QTest::newRow("parent missing") << "0301"
                                        << "编码错误,父节点不存在!" << true;
    }
    void refusedCodes() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(bool, focusCode);
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东", "0101-上海"});
        ws->prompter.expect(message, QMessageBox::Ok, kNotice);
        ws->onModal([&](QDialog& d) {
            QVERIFY(select(d, QStringLiteral("01")));
            QVERIFY(press(d, "TB_Add"));
            QCOMPARE(codeBox(d), QStringLiteral("0102"));
            type(d, "Edit_Name", QStringLiteral("江苏"));
            type(d, "Edit_Code", typed);
            child<QLineEdit>(d, "Edit_Name")->setFocus();
            QVERIFY(press(d, "TB_Save"));
            // Still adding, with what was typed.
            QVERIFY(child<QToolButton>(d, "TB_Save")->isEnabled());
            QCOMPARE(codeBox(d), typed);
            QCOMPARE(d.focusWidget() == child<QLineEdit>(d, "Edit_Code"), focusCode);
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东(0101-上海))"));
            QVERIFY(press(d, "TB_Cancel"));
            QVERIFY(child<QToolButton>(d, "TB_Add")->isEnabled());
            QCOMPARE(codeBox(d), typed);  // cancel keeps the boxes
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
        QCOMPARE(ws->prompter.shown().first().icon, QMessageBox::Information);
        QCOMPARE(rows(), (QStringList{"01-华东", "0101-上海"}));
    }

    void codeBoxTakesElevenCharacters() {
        ws->onModal([&](QDialog& d) {
            QVERIFY(press(d, "TB_Add"));
            type(d, "Edit_Code", QStringLiteral("0102030405067"));
            QCOMPARE(codeBox(d), QStringLiteral("01020304050"));
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
    }

    // The 100th child of 01 gets 0200: it is stored under 02 and shown there at once.
    void hundredthChildLandsUnderNextParent() {
        addRows(QStringLiteral("Dict_Product_Category"), {"01-电脑", "0199-显示器", "02-办公"});
        ws->onModal([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("商品分类"));
            QVERIFY(select(d, QStringLiteral("0199")));
            trigger(d, "AddSibling");
            QCOMPARE(codeBox(d), QStringLiteral("0200"));
            type(d, "Edit_Name", QStringLiteral("键盘"));
            QVERIFY(press(d, "TB_Save"));
            QCOMPARE(outline(d), QStringLiteral("商品分类(01-电脑(0199-显示器),02-办公(0200-键盘))"));
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Product);
        checkDriven();
        QCOMPARE(rows(QStringLiteral("Dict_Product_Category")),
                 (QStringList{"01-电脑", "0199-显示器", "02-办公", "0200-键盘"}));
    }

    void editRenamesOnly() {
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东", "0101-上海"});
        ws->prompter.expect(QStringLiteral("请点击取消按钮再重新选择一个节点进行编辑!"), QMessageBox::Ok,
                            kNotice);
        ws->onModal([&](QDialog& d) {
            // The root is no category to rename.
            QVERIFY(press(d, "TB_Edit"));
            QVERIFY(press(d, "TB_Save"));
            QVERIFY(press(d, "TB_Cancel"));

            // A cancelled add leaves its proposal in the boxes; editing renames the selected node.
            QVERIFY(select(d, QStringLiteral("0101")));
            trigger(d, "AddSibling");
            QVERIFY(press(d, "TB_Cancel"));
            QCOMPARE(codeBox(d), QStringLiteral("0102"));
            QVERIFY(press(d, "TB_Edit"));
            QCOMPARE(codeBox(d), QStringLiteral("0101"));
            QVERIFY(!child<QLineEdit>(d, "Edit_Code")->isEnabled());
            QVERIFY(child<QLineEdit>(d, "Edit_Name")->isEnabled());
            type(d, "Edit_Name", QStringLiteral("上海市 "));
            QVERIFY(press(d, "TB_Save"));
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东(0101-上海市))"));
            QVERIFY(!child<QLineEdit>(d, "Edit_Name")->isEnabled());
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
        QCOMPARE(rows(), (QStringList{"01-华东", "0101-上海市"}));
    }

    void editOfRowDeletedElsewhere() {
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东"});
        ws->prompter.expect(QStringLiteral("您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!"),
                            QMessageBox::Ok, kNotice);
        const auto other = ws->another();
        ws->onModal([&](QDialog& d) {
            QVERIFY(select(d, QStringLiteral("01")));
            QVERIFY(press(d, "TB_Edit"));
            other->db().execute(QStringLiteral("delete from Dict_Cust_Category"));
            type(d, "Edit_Name", QStringLiteral("华南"));
            QVERIFY(press(d, "TB_Save"));
            QVERIFY(child<QToolButton>(d, "TB_Save")->isEnabled());  // still editing
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
        QVERIFY(rows().isEmpty());
    }

    void deleteRefusedWithChildren() {
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东", "0101-上海"});
        ws->prompter.expect(kHasChildren, QMessageBox::Ok, kNotice);
        ws->prompter.expect(kHasChildren, QMessageBox::Ok, kNotice);
        ws->onModal([&](QDialog& d) {
            QVERIFY(select(d, QStringLiteral("01")));
            QVERIFY(press(d, "TB_Del"));
            QVERIFY(select(d, QString()));  // the root, with its categories
            QVERIFY(press(d, "TB_Del"));
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东(0101-上海))"));
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
        QCOMPARE(rows(), (QStringList{"01-华东", "0101-上海"}));
    }

    // Another workstation added a sub-category after this tree was read: the delete is still refused.
    void deleteRefusedForChildAddedElsewhere() {
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东"});
        ws->prompter.expect(kAskDelete, QMessageBox::Ok);
        ws->prompter.expect(kHasChildren, QMessageBox::Ok, kNotice);
        const auto other = ws->another();
        ws->onModal([&](QDialog& d) {
            QVERIFY(select(d, QStringLiteral("01")));
            addRows(QStringLiteral("Dict_Cust_Category"), {"0101-上海"}, other.get());
            QVERIFY(press(d, "TB_Del"));
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东(0101-上海))"));
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
        QCOMPARE(rows(), (QStringList{"01-华东", "0101-上海"}));
    }

    void deleteLeafAfterQuestion() {
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东", "0101-上海", "0102-江苏", "02-华北"});
        ws->prompter.expect(kAskDelete, QMessageBox::Cancel, QStringLiteral("询问"));
        ws->prompter.expect(kAskDelete, QMessageBox::Ok, QStringLiteral("询问"));
        ws->onModal([&](QDialog& d) {
            QVERIFY(select(d, QStringLiteral("0101")));
            QVERIFY(press(d, "TB_Del"));  // answered Cancel
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东(0101-上海,0102-江苏),02-华北)"));
            // A code left in the box by a cancelled add does not choose what is deleted.
            trigger(d, "AddSibling");
            type(d, "Edit_Code", QStringLiteral("02"));
            QVERIFY(press(d, "TB_Cancel"));
            QVERIFY(press(d, "TB_Del"));  // answered OK
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东(0102-江苏),02-华北)"));
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
        QCOMPARE(ws->prompter.shown().first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(rows(), (QStringList{"01-华东", "0102-江苏", "02-华北"}));
    }

    void refreshShowsRowsOfOtherWorkstations() {
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东"});
        const auto other = ws->another();
        ws->onModal([&](QDialog& d) {
            addRows(QStringLiteral("Dict_Cust_Category"), {"0101-上海", "011-坏"}, other.get());
            QVERIFY(select(d, QStringLiteral("01")));
            QVERIFY(press(d, "TB_Refresh"));
            QCOMPARE(outline(d), QStringLiteral("客户分类(01-华东(0101-上海))"));
            QCOMPARE(treeOf(d)->currentItem(), treeOf(d)->topLevelItem(0));
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
    }

    void choose_data() {
        QTest::addColumn<CategoryCaller>("caller");
        QTest::addColumn<QString>("node");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("customer editor") << CategoryCaller::CustomerEditor << "0102" << false << "0102"
                                         << "江苏";
        QTest::newRow("customer search, double-click")
            << CategoryCaller::CustomerSearch << "0102" << true << "0102"
            << "江苏";
        QTest::newRow("batch edit, first level") << CategoryCaller::BatchEdit << "01" << false << "01"
                                                 << "华东-沿海";
        QTest::newRow("the root") << CategoryCaller::CustomerEditor << "" << false << ""
                                  << "客户分类";
    }
    void choose() {
        QFETCH(CategoryCaller, caller);
        QFETCH(QString, node);
        QFETCH(bool, doubleClick);
        QFETCH(QString, code);
        QFETCH(QString, name);
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东-沿海", "0101-上海", "0102-江苏"});
        ws->onModal([&](QDialog& d) {
            QVERIFY(select(d, node));
            if (doubleClick) {
                QTreeWidget* tree = treeOf(d);
                QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {},
                                   tree->visualItemRect(nodeOf(d, node)).center());
            } else {
                QVERIFY(press(d, "TB_Select"));
            }
            QCOMPARE(d.result(), int(QDialog::Accepted));
        });
        const std::optional<CategoryChoice> choice = pickCategory(*ws->ctx, CategoryKind::Customer, caller);
        checkDriven();
        QVERIFY(choice.has_value());
        QCOMPARE(choice->code, code);
        QCOMPARE(choice->name, name);
        QCOMPARE(ws->data->ini().readString("login", "Catecode"), code);
        QCOMPARE(ws->data->ini().readString("login", "Category"), name);
    }

    void chooseInProductPicker() {
        addRows(QStringLiteral("Dict_Product_Category"), {"01-电脑", "0101-笔记本"});
        ws->onModal([&](QDialog& d) {
            QVERIFY(select(d, QStringLiteral("0101")));
            QVERIFY(press(d, "TB_Select"));
        });
        const auto choice = pickCategory(*ws->ctx, CategoryKind::Product, CategoryCaller::ProductEditor);
        checkDriven();
        QVERIFY(choice.has_value());
        QCOMPARE(choice->code, QStringLiteral("0101"));
        QCOMPARE(choice->name, QStringLiteral("笔记本"));
    }

    // Opened for management, choosing reports nothing and leaves the dialog open.
    void chooseWithoutCallerDoesNothing() {
        addRows(QStringLiteral("Dict_Cust_Category"), {"01-华东"});
        ws->onModal([&](QDialog& d) {
            QVERIFY(select(d, QStringLiteral("01")));
            QVERIFY(press(d, "TB_Select"));
            QTreeWidget* tree = treeOf(d);
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {},
                               tree->visualItemRect(nodeOf(d, "01")).center());
            QVERIFY(d.isVisible());
            QCOMPARE(d.result(), int(QDialog::Rejected));
        });
        openCategoryEditor(*ws->ctx, CategoryKind::Customer);
        checkDriven();
        QVERIFY(!ws->data->ini().hasKey("login", "Catecode"));
    }

    // A missing table is reported with the standard error box; the dialog still opens.
    void databaseErrorIsShown() {
        ws->db().execute(QStringLiteral("drop table Dict_Product_Category"));
        ws->prompter.expectCaption(QStringLiteral("错误"));
        bool opened = false;
        ws->onModal([&](QDialog& d) { opened = d.isVisible(); });
        openCategoryEditor(*ws->ctx, CategoryKind::Product);
        QVERIFY(opened);
        QCOMPARE(ws->prompter.shown().size(), 1);
        QCOMPARE(ws->prompter.shown().first().icon, QMessageBox::Critical);
    }
};

QTEST_MAIN(TestTree)
#include "tst_tree.moc"
