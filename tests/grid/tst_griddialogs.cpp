// The column chooser, the caption editor and the three field-name dialogs, driven as an operator
// would, with the rows they leave in the column configuration.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "DBGrid.h"
#include "Dataset.h"
#include "Frm_FieldCaption.h"
#include "Frm_FieldNames.h"
#include "Frm_FieldShow.h"
#include "GridModel.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using qv::test::child;
using test::Workstation;

namespace {

QStringList items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

QString selected(const QListWidget* list) {
    const auto sel = list->selectedItems();
    return sel.size() == 1 ? sel.first()->text() : QString();
}

}  // namespace

class TestGridDialogs : public test::WindowTest {
    Q_OBJECT

    Database& db() { return ws->db(); }
    Context& ctx() { return *ws->ctx; }

    // Captions in row order with their show flags.
    void addProbeRows() {
        const QList<QPair<QString, int>> rows{{QStringLiteral("编码"), 1},
                                              {QStringLiteral("名称"), 0},
                                              {QStringLiteral("规格"), 1},
                                              {QStringLiteral("单'价"), 0},
                                              {QStringLiteral("数量"), 1}};
        for (int i = 0; i < rows.size(); ++i) {
            const auto& [name, show] = rows[i];
            db().execute(QStringLiteral("insert into T_FieldShow (TableName, Field, Name, Show, ShowID) "
                                        "values ('Probe', :field, :name, :show, :id)"),
                         {{QStringLiteral("field"), QStringLiteral("F%1").arg(i)},
                          {QStringLiteral("name"), name},
                          {QStringLiteral("show"), show},
                          {QStringLiteral("id"), i}});
        }
    }

    QStringList shownInDb() {
        QSqlQuery q = db().exec(
            QStringLiteral("select Name from T_FieldShow where TableName='Probe' and Show=1 order by ID"));
        QStringList out;
        while (q.next()) out << q.value(0).toString();
        return out;
    }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void chooserMovesAndStoresShowFlags() {
        addProbeRows();
        bool driven = false;
        ws->onModal([&](QDialog& d) {
            driven = true;
            QCOMPARE(d.windowTitle(), QStringLiteral("选择显示的字段"));
            auto* hidden = child<QListWidget>(d, "List_Hidden");
            auto* shown = child<QListWidget>(d, "List_Shown");
            auto* add = child<QPushButton>(d, "Btn_Add");
            auto* remove = child<QPushButton>(d, "Btn_Remove");
            auto* addAll = child<QPushButton>(d, "Btn_AddAll");
            auto* removeAll = child<QPushButton>(d, "Btn_RemoveAll");
            QVERIFY(hidden && shown && add && remove && addAll && removeAll);
            QCOMPARE(hidden->toolTip(), QStringLiteral("双击已选择的字段可以移到\"显示的字段\"框内"));
            QCOMPARE(shown->toolTip(), QStringLiteral("双击已选择的字段可以移到\"不显示的字段\"框内"));
            QCOMPARE(items(hidden), (QStringList{"名称", "单'价"}));
            QCOMPARE(items(shown), (QStringList{"编码", "规格", "数量"}));
            QCOMPARE(add->text(), QStringLiteral(">"));
            QCOMPARE(removeAll->text(), QStringLiteral("<<"));

            // Nothing selected: nothing moves.
            add->click();
            QCOMPARE(hidden->count(), 2);
            // The selected entry goes to the end of the other list; the source selects its first entry.
            hidden->setCurrentRow(1);
            add->click();
            QCOMPARE(items(hidden), QStringList{"名称"});
            QCOMPARE(items(shown), (QStringList{"编码", "规格", "数量", "单'价"}));
            QCOMPARE(selected(hidden), QStringLiteral("名称"));
            // Double-click moves the other way.
            shown->setCurrentRow(1);
            emit shown->itemDoubleClicked(shown->item(1));
            QCOMPARE(items(hidden), (QStringList{"名称", "规格"}));
            QCOMPARE(items(shown), (QStringList{"编码", "数量", "单'价"}));
            QCOMPARE(selected(shown), QStringLiteral("编码"));
            // All at once; a button is enabled only while its source list has entries.
            addAll->click();
            QCOMPARE(items(shown), (QStringList{"编码", "数量", "单'价", "名称", "规格"}));
            QVERIFY(!add->isEnabled() && !addAll->isEnabled() && remove->isEnabled() &&
                    removeAll->isEnabled());
            removeAll->click();
            QCOMPARE(items(hidden), (QStringList{"编码", "数量", "单'价", "名称", "规格"}));
            QVERIFY(add->isEnabled() && addAll->isEnabled() && !remove->isEnabled() &&
                    !removeAll->isEnabled());
            hidden->setCurrentRow(2);
            add->click();
            hidden->setCurrentRow(0);
            add->click();
            QCOMPARE(items(shown), (QStringList{"单'价", "编码"}));

            ws->prompter.expect(QStringLiteral("修改完成！"), QMessageBox::Ok, QStringLiteral("提醒"));
            child<QPushButton>(d, "Btn_OK")->click();
            QVERIFY(d.isVisible());  // the dialog stays open
            QCOMPARE(shownInDb(), (QStringList{"编码", "单'价"}));
            child<QPushButton>(d, "Btn_Cancel")->click();
        });
        QVERIFY(ShowFieldChooser(ctx(), QStringLiteral("Probe")));
        QVERIFY(driven);
        // Positions are not changed by the chooser.
        QCOMPARE(db().scalar(QStringLiteral(
                                 "select ShowID from T_FieldShow where Name='数量' and TableName='Probe'"))
                     .toInt(),
                 4);
    }

    void chooserCancelStoresNothing() {
        addProbeRows();
        ws->onModal([&](QDialog& d) {
            child<QPushButton>(d, "Btn_AddAll")->click();
            child<QPushButton>(d, "Btn_Cancel")->click();
        });
        QVERIFY(!ShowFieldChooser(ctx(), QStringLiteral("Probe")));
        QCOMPARE(shownInDb(), (QStringList{"编码", "规格", "数量"}));
    }

    void captionEditorStoresTheCurrentRow() {
        addProbeRows();
        ws->onModal([&](QDialog& chooser) {
            child<QListWidget>(chooser, "List_Hidden")->setCurrentRow(0);  // 名称
            child<QPushButton>(chooser, "Btn_Add")->click();
            child<QPushButton>(chooser, "Btn_Caption")->click();
            // The lists follow the captions edited, keeping the move made before.
            QCOMPARE(items(child<QListWidget>(chooser, "List_Hidden")), QStringList{"单'价"});
            QCOMPARE(items(child<QListWidget>(chooser, "List_Shown")),
                     (QStringList{"编码", "规格", "数量", "品名"}));
            ws->prompter.expect(QStringLiteral("修改完成！"), QMessageBox::Ok, QStringLiteral("提醒"));
            child<QPushButton>(chooser, "Btn_OK")->click();
            chooser.reject();
        });
        ws->onModal([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("设置表头的标签"));
            auto* grid = d.findChild<DBGrid*>(QStringLiteral("Grid_Caption"));
            QVERIFY(grid);
            // Laid out under FieldCaption: the caption column only; the row key is read but not shown.
            QCOMPARE(grid->visualColumns().size(), 1);
            QCOMPARE(grid->columnField(grid->visualColumns().first()), QStringLiteral("name"));
            QCOMPARE(grid->columnTitle(grid->visualColumns().first()), QStringLiteral("字段名称"));
            GridModel* m = grid->gridModel();
            const int col = grid->visualColumns().first();
            QCOMPARE(m->rowCount(), 5);
            QCOMPARE(m->index(1, col).data().toString(), QStringLiteral("名称"));
            QVERIFY(!grid->isReadOnly());
            QVERIFY(m->setData(m->index(1, col), QStringLiteral("品名")));
            child<QPushButton>(d, "Btn_OK")->click();
            // An edit not confirmed is dropped when the dialog closes.
            QVERIFY(m->setData(m->index(2, col), QStringLiteral("不存")));
            d.reject();
        });
        QVERIFY(ShowFieldChooser(ctx(), QStringLiteral("Probe")));
        QCOMPARE(
            db().scalar(QStringLiteral("select Name from T_FieldShow where TableName='Probe' and Field='F1'"))
                .toString(),
            QStringLiteral("品名"));
        QCOMPARE(
            db().scalar(QStringLiteral("select Name from T_FieldShow where TableName='Probe' and Field='F2'"))
                .toString(),
            QStringLiteral("规格"));
        QCOMPARE(shownInDb(), (QStringList{"编码", "品名", "规格", "数量"}));
    }

    void fieldNameDialogs_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("explain");
        QTest::addColumn<QString>("types");
        QTest::addColumn<QStringList>("otherKeys");  // keys that also configure the first field
        QTest::newRow("customers") << int(Frm_FieldNames::Kind::Customer) << "自定义选项"
                                   << "custom"
                                   << "field" << 6 << "字符项1"
                                   << "客户信息中自定义项目,根据您的需要,您可以定义自己的字段名称."
                                   << "字符项1--字符项6为文本型" << QStringList{"Custom", "Probe"};
        QTest::newRow("products") << int(Frm_FieldNames::Kind::Product) << "选择商品"
                                  << "Products"
                                  << "Goods" << 20 << "商品1"
                                  << "商品信息中自定义项目,根据您的需要,您可以定义自己的字段名称."
                                  << "商品1--商品20为文本型" << QStringList{"Products", "TC2", "Probe"};
        QTest::newRow("sales") << int(Frm_FieldNames::Kind::Sale) << "销售自定义选项"
                               << "Sale"
                               << "Bill" << 20 << "字符项1"
                               << "销售信息中自定义项目,根据您的需要,您可以定义自己的字段名称."
                               << "字符项1--字符项20为文本型." << QStringList{"sale", "Probe"};
    }

    void fieldNameDialogs() {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QString, key);
        QFETCH(QString, prefix);
        QFETCH(int, count);
        QFETCH(QString, label);
        QFETCH(QString, explain);
        QFETCH(QString, types);
        QFETCH(QStringList, otherKeys);
        const QString first = prefix + QLatin1Char('1');
        const QString second = prefix + QLatin1Char('2');
        db().execute(QStringLiteral("update T_FieldShow set Name='旧名' where Field=:f and TableName=:k"),
                     {{QStringLiteral("f"), first}, {QStringLiteral("k"), key}});
        db().execute(
            QStringLiteral("insert into T_FieldShow (TableName, Field, Name) values ('Probe', :f, '别的')"),
            {{QStringLiteral("f"), first}});
        const QString secondBefore =
            db().scalar(QStringLiteral("select Name from T_FieldShow where Field=:f and TableName=:k"),
                        {{QStringLiteral("f"), second}, {QStringLiteral("k"), key}})
                .toString();

        ws->onModal([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), title);
            auto* tabs = d.findChild<QTabWidget*>();
            QVERIFY(tabs);
            QCOMPARE(tabs->tabText(0), QStringLiteral("自定义项目"));
            const auto boxes = d.findChildren<QLineEdit*>();
            QCOMPARE(boxes.size(), count);
            QVERIFY(d.findChild<QLineEdit*>(prefix + QString::number(count)));
            QCOMPARE(child<QLabel>(d, qPrintable(QStringLiteral("Lbl_") + first))->text(), label);
            QCOMPARE(child<QLabel>(d, "Lbl_Explain")->text(), explain);
            QCOMPARE(child<QLabel>(d, "Lbl_Types")->text(), types);
            auto* box = d.findChild<QLineEdit*>(first);
            QCOMPARE(box->text(), QStringLiteral("旧名"));
            QCOMPARE(d.findChild<QLineEdit*>(second)->text(), secondBefore);
            QCOMPARE(child<QPushButton>(d, "Btn_OK")->text(), QStringLiteral("确定(&S)"));
            box->setText(QStringLiteral("等级'A"));
            ws->prompter.expect(QStringLiteral("修改成功"), QMessageBox::Ok, QStringLiteral("提醒"));
            child<QPushButton>(d, "Btn_OK")->click();
            QCOMPARE(child<QPushButton>(d, "Btn_Close")->text(), QStringLiteral("关闭(&C)"));
            child<QPushButton>(d, "Btn_Close")->click();
        });
        ShowFieldNames(ctx(), Frm_FieldNames::Kind(kind));

        // Every row of the field gets the caption, whatever its grid key.
        QSqlQuery q =
            db().exec(QStringLiteral("select TableName, Name from T_FieldShow where Field=:f order by ID"),
                      {{QStringLiteral("f"), first}});
        QStringList keys;
        while (q.next()) {
            keys << q.value(0).toString();
            QCOMPARE(q.value(1).toString(), QStringLiteral("等级'A"));
        }
        QCOMPARE(keys, otherKeys);
        QCOMPARE(db().scalar(QStringLiteral("select Name from T_FieldShow where Field=:f and TableName=:k"),
                             {{QStringLiteral("f"), second}, {QStringLiteral("k"), key}})
                     .toString(),
                 secondBefore);
    }

    // The caption editor refuses a caption another column of the same key has (without case and
    // surrounding blanks); the column's own caption and captions of other keys are free.
    void captionEditorRefusesACaptionTaken_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("refused");
        QTest::newRow("another column's") << "规格" << true;
        QTest::newRow("another column's, other case and blanks") << "  qTY " << true;
        QTest::newRow("its own") << "名称" << false;
        QTest::newRow("another key's") << "外键" << false;
        QTest::newRow("new") << "品名" << false;
    }
    void captionEditorRefusesACaptionTaken() {
        QFETCH(QString, caption);
        QFETCH(bool, refused);
        addProbeRows();
        db().execute(QStringLiteral(
            "insert into T_FieldShow (TableName, Field, Name) values ('Other', 'F9', '外键')"));
        db().execute(
            QStringLiteral("update T_FieldShow set Name = 'Qty' where TableName = 'Probe' and Field = 'F4'"));
        if (refused)
            ws->prompter.expect(
                QStringLiteral("表头标签“%1”已被本表格的另一列使用，请换一个标签！").arg(caption.trimmed()),
                QMessageBox::Ok, QStringLiteral("提醒"));
        Frm_FieldCaption d(ctx(), QStringLiteral("Probe"));
        GridModel* m = d.grid()->gridModel();
        const int col = d.grid()->columnOf(QStringLiteral("name"));
        QCOMPARE(m->setData(m->index(1, col), caption), !refused);
        d.dataset()->post();
        QCOMPARE(
            db().scalar(QStringLiteral("select Name from T_FieldShow where TableName='Probe' and Field='F1'"))
                .toString(),
            refused ? QStringLiteral("名称") : caption);
    }

    // The field-name dialog refuses a caption that another column of a key showing the field has, or
    // that two of its boxes share; nothing is stored then.
    void fieldNamesRefuseACaptionTaken_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("refusedCaption");
        QTest::newRow("another column's") << "客户名称X"
                                          << ""
                                          << "客户名称X";
        QTest::newRow("two boxes alike") << "等级"
                                         << " 等级 "
                                         << "等级";
        QTest::newRow("two boxes empty") << ""
                                         << ""
                                         << "";
    }
    void fieldNamesRefuseACaptionTaken() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, refusedCaption);
        // A column of the customer key (not a user-defined field) with a known caption.
        db().execute(
            QStringLiteral("insert into T_FieldShow (TableName, Field, Name) values ('Custom', 'Company', "
                           "'客户名称x')"));
        const auto captions = [this] {
            QStringList out;
            QSqlQuery q =
                db().exec(QStringLiteral("select Name from T_FieldShow where Field in ('field1', 'field2') "
                                         "order by ID"));
            while (q.next()) out << q.value(0).toString();
            return out;
        };
        const QStringList before = captions();
        if (refusedCaption.isEmpty())
            ws->prompter.expect(QStringLiteral("修改成功"), QMessageBox::Ok, QStringLiteral("提醒"));
        else
            ws->prompter.expect(
                QStringLiteral("表头标签“%1”已被本表格的另一列使用，请换一个标签！").arg(refusedCaption),
                QMessageBox::Ok, QStringLiteral("提醒"));
        ws->onModal([&](QDialog& d) {
            d.findChild<QLineEdit*>(QStringLiteral("field1"))->setText(first);
            d.findChild<QLineEdit*>(QStringLiteral("field2"))->setText(second);
            child<QPushButton>(d, "Btn_OK")->click();
            d.reject();
        });
        ShowFieldNames(ctx(), Frm_FieldNames::Kind::Customer);
        if (refusedCaption.isEmpty()) {
            QVERIFY(!captions().isEmpty());
            for (const QString& c : captions()) QCOMPARE(c, QString());
        } else {
            QCOMPARE(captions(), before);
        }
    }
};

QTEST_MAIN(TestGridDialogs)
#include "tst_griddialogs.moc"
