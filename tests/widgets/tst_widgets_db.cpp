#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "CheckTree.h"
#include "DBNavigator.h"
#include "Dataset.h"
#include "DbError.h"
#include "RefillComboBox.h"
#include "TestDb.h"
#include "WindowTest.h"

using namespace qv;
using test::TestDb;
using test::Workstation;

namespace {

using B = DBNavigator::Button;

// Enabled buttons as four characters, first / prior / next / last: "1" enabled, "0" disabled.
QString enabledPattern(const DBNavigator& nav) {
    QString s;
    for (B b : {B::First, B::Prior, B::Next, B::Last}) s += nav.button(b)->isEnabled() ? u'1' : u'0';
    return s;
}

B buttonNamed(const QString& name) {
    static const QHash<QString, B> names{
        {"First", B::First}, {"Prior", B::Prior}, {"Next", B::Next}, {"Last", B::Last}};
    return names.value(name);
}

QStringList itemsOf(const QComboBox& combo) {
    QStringList out;
    for (int i = 0; i < combo.count(); ++i) out << combo.itemText(i);
    return out;
}

}  // namespace

class TstWidgetsDb : public test::WindowTest {
    Q_OBJECT

    std::unique_ptr<Dataset> ds_;

    // A dataset over the first `rows` customer types, in id order, at its first row.
    Dataset& types(int rows) {
        ds_ = std::make_unique<Dataset>(ws->db(), QStringLiteral("Qry_Types"));
        ds_->setSql(QStringLiteral("select * from Dict_Type where id <= :n order by id"));
        ds_->setParam(QStringLiteral("n"), rows);
        ds_->open();
        return *ds_;
    }

    void tearDown() override { ds_.reset(); }

private slots:
    void navigatorWithoutRows();
    void navigatorMoves_data();
    void navigatorMoves();
    void navigatorFollowsTheDataset();
    void navigatorReadsOnThroughALargeResult();
    void navigatorReportsAFailedMove();

    void refillShowsOtherWorkstationsRows();
    void refillKeepsTheShownText();
    void refillShowsTheHourglass();
    void refillFailureIsReported();

    void storedRoleTagsAreConsistent();
};

// --- navigator ---------------------------------------------------------------------------------

void TstWidgetsDb::navigatorWithoutRows() {
    DBNavigator nav;
    QCOMPARE(nav.button(B::First)->objectName(), QStringLiteral("Nav_First"));
    QCOMPARE(nav.button(B::Prior)->toolTip(), QStringLiteral("上一条"));
    QCOMPARE(nav.button(B::Next)->toolTip(), QStringLiteral("下一条"));
    QCOMPARE(nav.button(B::Last)->objectName(), QStringLiteral("Nav_Last"));
    QCOMPARE(nav.button(B::First)->toolTip(), QStringLiteral("第一条"));
    QCOMPARE(nav.button(B::Last)->toolTip(), QStringLiteral("最后一条"));
    QCOMPARE(enabledPattern(nav), QStringLiteral("0000"));  // no dataset

    Dataset& none = types(0);
    nav.setDataset(&none);
    QCOMPARE(enabledPattern(nav), QStringLiteral("0000"));  // open, no rows
    QVERIFY(!nav.move(B::Next));

    Dataset& one = types(1);
    nav.setDataset(&one);
    QCOMPARE(enabledPattern(nav), QStringLiteral("0000"));  // the one row is first and last

    Dataset& three = types(3);
    nav.setDataset(&three);
    QCOMPARE(enabledPattern(nav), QStringLiteral("0011"));
    three.close();
    QCOMPARE(enabledPattern(nav), QStringLiteral("0000"));
    three.open();
    QCOMPARE(enabledPattern(nav), QStringLiteral("0011"));
    ds_.reset();  // the dataset goes before the navigator
    QCOMPARE(enabledPattern(nav), QStringLiteral("0000"));
    QVERIFY(!nav.move(B::Last));
}

void TstWidgetsDb::navigatorMoves_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("row");          // current row afterwards
    QTest::addColumn<QString>("enabled");  // first / prior / next / last afterwards
    QTest::addColumn<bool>("moved");
    QTest::newRow("next from the first") << 0 << "Next" << 1 << "1111" << true;
    QTest::newRow("prior back to the first") << 1 << "Prior" << 0 << "0011" << true;
    QTest::newRow("last") << 0 << "Last" << 2 << "1100" << true;
    QTest::newRow("next onto the last") << 1 << "Next" << 2 << "1100" << true;
    QTest::newRow("first from the last") << 2 << "First" << 0 << "0011" << true;
    QTest::newRow("disabled next at the last") << 2 << "Next" << 2 << "1100" << false;
    QTest::newRow("disabled prior at the first") << 0 << "Prior" << 0 << "0011" << false;
}

void TstWidgetsDb::navigatorMoves() {
    QFETCH(int, start);
    QFETCH(QString, button);
    QFETCH(int, row);
    QFETCH(QString, enabled);
    QFETCH(bool, moved);
    Dataset& ds = types(3);
    DBNavigator nav;
    nav.setDataset(&ds);
    ds.setCurrentRow(start);
    QSignalSpy spy(&nav, &DBNavigator::moved);
    nav.button(buttonNamed(button))->click();
    QCOMPARE(ds.currentRow(), row);
    QCOMPARE(enabledPattern(nav), enabled);
    QCOMPARE(spy.count(), moved ? 1 : 0);
    if (moved) QCOMPARE(spy.at(0).at(0).value<DBNavigator::Button>(), buttonNamed(button));
    QCOMPARE(ds.value(QStringLiteral("id")).toInt(), row + 1);
}

void TstWidgetsDb::navigatorFollowsTheDataset() {
    // Moves made elsewhere (a grid, a locate) re-enable the buttons without a signal of the navigator.
    Dataset& ds = types(3);
    DBNavigator nav;
    nav.setDataset(&ds);
    QSignalSpy spy(&nav, &DBNavigator::moved);
    ds.last();
    QCOMPARE(enabledPattern(nav), QStringLiteral("1100"));
    QVERIFY(ds.locate(QStringLiteral("id"), 2));
    QCOMPARE(enabledPattern(nav), QStringLiteral("1111"));
    QCOMPARE(spy.count(), 0);
    nav.setDataset(nullptr);
    QCOMPARE(enabledPattern(nav), QStringLiteral("0000"));
    ds.first();
    QCOMPARE(enabledPattern(nav), QStringLiteral("0000"));
}

void TstWidgetsDb::navigatorReadsOnThroughALargeResult() {
    // More rows than one read brings: at the last row read so far, next and last stay enabled.
    const int total = Dataset::kChunk + 40;
    {
        Database& db = ws->db();
        db.begin();
        for (int i = 0; i < total; ++i)
            db.execute(QStringLiteral("insert into Dict_Unit (name) values (:n)"),
                       {{QStringLiteral("n"), i}});
        db.commit();
    }
    ds_ = std::make_unique<Dataset>(ws->db(), QStringLiteral("Qry_Units"));
    ds_->setSql(QStringLiteral("select * from Dict_Unit order by id"));
    ds_->open();
    const int all = ws->db().scalar(QStringLiteral("select count(*) from Dict_Unit")).toInt();
    QVERIFY(ds_->loadedRows() < all);
    DBNavigator nav;
    nav.setDataset(ds_.get());
    ds_->setCurrentRow(ds_->loadedRows() - 1);
    QCOMPARE(enabledPattern(nav), QStringLiteral("1111"));
    nav.button(B::Next)->click();
    QCOMPARE(ds_->currentRow(), Dataset::kChunk);
    nav.button(B::Last)->click();
    QCOMPARE(ds_->currentRow(), all - 1);
    QCOMPARE(enabledPattern(nav), QStringLiteral("1100"));
}

void TstWidgetsDb::navigatorReportsAFailedMove() {
    Dataset& ds = types(3);
    ds.setUpdateTable(QStringLiteral("Dict_Type"), QStringLiteral("id"));
    DBNavigator nav;
    nav.setDataset(&ds);
    nav.setPrompter(&ws->prompter);
    QSignalSpy spy(&nav, &DBNavigator::moved);
    // A pending change that cannot be written: moving posts it first, and the post fails.
    ds.edit();
    ds.setValue(QStringLiteral("name"), QStringLiteral("改"));
    ws->db().execute(QStringLiteral("drop table Dict_Type"));
    ws->prompter.expectCaption(QStringLiteral("错误"));
    nav.button(B::Next)->click();
    QCOMPARE(ws->prompter.shown().size(), 1);
    QCOMPARE(ws->prompter.shown().at(0).caption, QStringLiteral("错误"));
    QCOMPARE(ds.currentRow(), 0);
    QCOMPARE(spy.count(), 0);
}

// --- drop-down that refills itself -------------------------------------------------------------

void TstWidgetsDb::refillShowsOtherWorkstationsRows() {
    Workstation other(ws->db().settings());
    RefillComboBox byName, byId;
    byName.setTable(*ws->data, QStringLiteral("Dict_Type"));
    byId.setTable(*ws->data, QStringLiteral("Dict_Type"), RefillComboBox::Order::ById);
    const QString scratchSql = ws->data->Qry_Temp->sql();

    byId.showPopup();
    const QStringList before = itemsOf(byId);
    QVERIFY(before.contains(QStringLiteral("正式客户")));
    byId.hidePopup();

    other.db().execute(QStringLiteral("insert into Dict_Type (name) values (:n)"),
                       {{QStringLiteral("n"), QStringLiteral("  新类型  ")}});
    QCOMPARE(itemsOf(byId), before);  // nothing is read until the list opens again
    byId.showPopup();
    QVERIFY(byId.view()->isVisible());
    QCOMPARE(itemsOf(byId), before + QStringList{QStringLiteral("新类型")});
    byId.hidePopup();

    byName.showPopup();
    const QStringList named = itemsOf(byName);
    QCOMPARE(named.size(), before.size() + 1);
    QVERIFY(named.contains(QStringLiteral("新类型")));
    byName.hidePopup();
    // The shared scratch queries of the data module are not used for it.
    QCOMPARE(ws->data->Qry_Temp->sql(), scratchSql);

    // A value another workstation removed disappears at the next opening.
    other.db().execute(QStringLiteral("delete from Dict_Type where name = :n"),
                       {{QStringLiteral("n"), QStringLiteral("正式客户")}});
    byName.showPopup();
    QVERIFY(!itemsOf(byName).contains(QStringLiteral("正式客户")));
    byName.hidePopup();
}

void TstWidgetsDb::refillKeepsTheShownText() {
    Workstation other(ws->db().settings());
    RefillComboBox pick, typed;
    pick.setTable(*ws->data, QStringLiteral("Dict_Type"));
    typed.setTable(*ws->data, QStringLiteral("Dict_Type"));
    typed.setEditable(true);

    // Pick-only: the chosen value stays chosen, wherever it now stands in the list.
    pick.refill();
    pick.setCurrentIndex(pick.findText(QStringLiteral("试用客户")));
    QSignalSpy pickChanged(&pick, &QComboBox::currentTextChanged);
    other.db().execute(QStringLiteral("insert into Dict_Type (name) values (:n)"),
                       {{QStringLiteral("n"), QStringLiteral("甲")}});
    pick.refill();
    QCOMPARE(pick.currentText(), QStringLiteral("试用客户"));
    QCOMPARE(pickChanged.count(), 0);
    // ... and a value that is gone leaves nothing chosen.
    other.db().execute(QStringLiteral("delete from Dict_Type where name = :n"),
                       {{QStringLiteral("n"), QStringLiteral("试用客户")}});
    pick.refill();
    QCOMPARE(pick.currentIndex(), -1);

    // Editable: typed text that is no item survives the refill and never becomes an item.
    typed.refill();
    const int count = typed.count();
    typed.lineEdit()->setText(QStringLiteral("自己输入"));
    QTest::keyClick(typed.lineEdit(), Qt::Key_Return);
    typed.refill();
    QCOMPARE(typed.currentText(), QStringLiteral("自己输入"));
    QCOMPARE(typed.count(), count);
    QCOMPARE(typed.findText(QStringLiteral("自己输入")), -1);
}

void TstWidgetsDb::refillShowsTheHourglass() {
    RefillComboBox combo;
    int calls = 0;
    Qt::CursorShape during = Qt::ArrowCursor;
    combo.setSource([&] {
        ++calls;
        if (QCursor* c = QApplication::overrideCursor()) during = c->shape();
        // A source of its own: another column and statement, values still trimmed.
        QStringList out;
        QSqlQuery q = ws->db().exec(QStringLiteral("select username from admin order by UserID"));
        while (q.next()) out << q.value(0).toString() + QStringLiteral("  ");
        return out;
    });
    combo.showPopup();
    QCOMPARE(calls, 1);
    QCOMPARE(during, Qt::WaitCursor);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(combo.count() >= 1);
    for (const QString& item : itemsOf(combo)) QCOMPARE(item, item.trimmed());
    combo.hidePopup();
    combo.showPopup();
    QCOMPARE(calls, 2);  // every opening reads again
    combo.hidePopup();
}

void TstWidgetsDb::refillFailureIsReported() {
    RefillComboBox combo;
    combo.setPrompter(&ws->prompter);
    combo.addItem(QStringLiteral("正式客户"));
    combo.setSource([]() -> QStringList { throw DbError(QStringLiteral("读取失败")); });
    ws->prompter.expect(QStringLiteral("读取失败"), QMessageBox::Ok, QStringLiteral("错误"));
    combo.showPopup();
    QCOMPARE(ws->prompter.shown().size(), 1);
    QCOMPARE(ws->prompter.shown().at(0).caption, QStringLiteral("错误"));
    QVERIFY(!combo.view()->isVisible());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(combo.count(), 1);  // the items it had stay
    QVERIFY_WORKSTATION(*ws);

    // A name that is no table of ours is refused before any statement runs.
    combo.setTable(*ws->data, QStringLiteral("Dict_Type; drop table admin"));
    ws->prompter.expectCaption(QStringLiteral("错误"));
    combo.showPopup();
    QCOMPARE(ws->prompter.shown().size(), 2);
    QVERIFY(ws->db().hasTable(QStringLiteral("admin")));
}

// --- check tree and the stored rights ----------------------------------------------------------

void TstWidgetsDb::storedRoleTagsAreConsistent() {
    // The tree shows every stored role row with its own Tag: group rows agree with their rights, so
    // the group state the tree derives is the stored one, and Authority follows the state.
    for (const QString& role : {QStringLiteral("超级管理员"), QStringLiteral("普通用户")}) {
        QSqlQuery q =
            ws->db().exec(QStringLiteral("select Code, FunctionName, Authority, Tag from T_PartAuthority "
                                         "where PartName = :role order by Code"),
                          {{QStringLiteral("role"), role}});
        CheckTree tree;
        QTreeWidgetItem* group = nullptr;
        struct Stored {
            QString code;
            bool authority;
            int tag;
        };
        QList<Stored> stored;
        while (q.next()) {
            const QString code = q.value(0).toString().trimmed();
            QVERIFY(code.size() == 2 || code.size() == 4);
            if (code.size() == 2)
                group = tree.addNode(nullptr, q.value(1).toString(), code, q.value(3).toInt());
            else
                tree.addNode(group, q.value(1).toString(), code, q.value(3).toInt());
            stored.append({code, q.value(2).toBool(), q.value(3).toInt()});
        }
        QCOMPARE(stored.size(), 92);
        const QList<QTreeWidgetItem*> nodes = tree.nodes();
        QCOMPARE(nodes.size(), stored.size());
        for (int k = 0; k < nodes.size(); ++k) {
            const QString where = role + QLatin1Char(' ') + stored[k].code;
            QCOMPARE(CheckTree::code(nodes[k]), stored[k].code);
            QVERIFY2(CheckTree::tag(nodes[k]) == stored[k].tag, qPrintable(where));
            const std::optional<bool> a = CheckTree::authority(nodes[k]);
            if (a) QVERIFY2(*a == stored[k].authority, qPrintable(where));
        }
    }
}

QTEST_MAIN(TstWidgetsDb)
#include "tst_widgets_db.moc"
