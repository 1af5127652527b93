#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <stdexcept>

#include "DbError.h"
#include "Frm_Main.h"
#include "TestDb.h"
#include "WindowTest.h"

using namespace qv;
using test::Workstation;

namespace {

const QString kQuitQuestion = QStringLiteral("您真的要退出 'Quorvan客户管理软件(SQL 网络版)' 吗？");
const QString kQuitCaption = QStringLiteral("警告 ");

// A child window of the frame for the tests.
class ProbeChild : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// Counts how often it was asked to close.
class CountingChild : public QWidget {
    Q_OBJECT
public:
    explicit CountingChild(int& closes) : closes_(closes) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        ++closes_;
        QWidget::closeEvent(e);
    }

private:
    int& closes_;
};

class OtherChild : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// The entries of a menu as one line: captions, "-" for separators, submenus marked with "▸".
QString describe(const QMenu* menu) {
    QStringList parts;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            parts << QStringLiteral("-");
        else
            parts << a->text() + (a->menu() ? QStringLiteral("▸") : QString());
    }
    return parts.join(QLatin1Char('|'));
}

QMenu* subMenu(QMenu* menu, const QString& caption) {
    for (QAction* a : menu->actions())
        if (a->menu() && a->text() == caption) return a->menu();
    return nullptr;
}

// "Menu_Stat/销售汇总报表/按商品名称汇总": a menu by objectName, then captions. A single name is a
// tool button (its action) or an action of the command map.
QAction* resolve(Frm_Main& mw, const QString& path) {
    const QStringList parts = path.split(QLatin1Char('/'));
    if (parts.size() == 1) {
        if (auto* b = mw.findChild<QToolButton*>(parts[0])) return b->defaultAction();
        return mw.action(parts[0]);
    }
    QMenu* menu = mw.findChild<QMenu*>(parts[0]);
    if (!menu) return nullptr;
    for (int i = 1; i < parts.size(); ++i) {
        QAction* found = nullptr;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->text() == parts[i]) found = a;
        if (!found) return nullptr;
        if (i == parts.size() - 1) return found;
        menu = found->menu();
        if (!menu) return nullptr;
    }
    return nullptr;
}

QSet<QAction*> disabledActions(Frm_Main& mw) {
    QSet<QAction*> out;
    for (QAction* a : mw.findChildren<QAction*>())
        if (!a->isEnabled()) out.insert(a);
    return out;
}

LoginState::Rights allBut(int k) {
    LoginState::Rights r;
    r.fill(true);
    if (k >= 1) r[k - 1] = false;
    return r;
}

}  // namespace

class TestFrmMain : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    void showLoggedIn() {
        ws->loginAsAdmin();
        mw->show();
        QVERIFY(QTest::qWaitForWindowExposed(mw.get()));
    }

    void setUp() override { mw = std::make_unique<Frm_Main>(*ws->ctx); }
    void tearDown() override {
        if (mw) {
            mw->setAttribute(Qt::WA_DeleteOnClose, false);
            mw->hide();
        }
        mw.reset();
    }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // --- menus and tool bar ------------------------------------------------------------------------

    void menuEntries_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("entries");
        QTest::newRow("系统设置")
            << "Menu_System"
            << "操作员管理|修改我的登录密码|重新登录|选项设置|数据初始化|自定义选项▸|查找重复的客户资料|"
               "查找重复的联系人资料|-|导入数据▸|-|数据库备份|-|报表打印设置▸|-|退出程序";
        QTest::newRow("自定义选项") << "Menu_System/自定义选项"
                                    << "客户自定义选项|商品自定义选项|销售自定义选项";
        QTest::newRow("导入数据") << "Menu_System/导入数据"
                                  << "从Excel导入客户资料|从Excel导入商品资料";
        QTest::newRow("报表打印设置") << "Menu_System/报表打印设置"
                                      << "客户基础资料设置|-|客户信封套打格式设置|客户信封标签打印设置";
        QTest::newRow("数据操作")
            << "Menu_Data"
            << "导出客户电子信箱|-|客户分类管理|商品分类管理|业务员管理▸|-|国家管理|员工管理|职位管理|"
               "部门管理|客户级别管理|客户来源管理|客户类型管理|事务类型管理|客户状态管理|"
               "客户阶段管理|事务主题管理|计量单位管理|-|公司信息|-|工作日程提醒";
        QTest::newRow("业务员管理") << "Menu_Data/业务员管理"
                                    << "新增&A|编辑&E|删除&D|-|业务员提成";
        QTest::newRow("数据查询") << "Menu_Query"
                                  << "客户查询(&A)|销售记录查询";
        QTest::newRow("统计分析")
            << "Menu_Stat"
            << "联系人统计列表|工作日程统计列表|商品报价统计列表|售后回访统计列表|投诉反馈统计列表|"
               "客户跟进统计列表|合同管理统计列表|-|客户统计分析|销售汇总报表▸|销售明细报表|-|"
               "业务员提成分析";
        QTest::newRow("销售汇总报表") << "Menu_Stat/销售汇总报表"
                                      << "按商品名称汇总|按客户名称汇总|按业务员名称汇总";
        QTest::newRow("报表打印") << "Menu_Print"
                                  << "客户基本资料打印|-|客户信封打印|客户信封标签打印";
        QTest::newRow("实用工具") << "Menu_Tools"
                                  << "计算器|记事本|邮编 区号 查询|-|从单机版导入数据工具";
        QTest::newRow("帮助文件") << "Menu_HelpFile"
                                  << "帮助文件";
        QTest::newRow("客户管理 drop-down") << "Drop_Cust"
                                            << "新增&A|编辑&E|删除&D";
        QTest::newRow("销售管理 drop-down") << "Drop_Sale"
                                            << "新增&A|编辑&E|删除&D";
        QTest::newRow("业务员 drop-down") << "Drop_People"
                                          << "业务员档案|业务员提成";
        QTest::newRow("统计分析 drop-down") << "Drop_Stat"
                                            << "工作日程统计列表|商品报价统计列表|售后回访统计列表|"
                                               "投诉反馈统计列表|客户跟进统计列表|合同管理统计列表|-|"
                                               "客户统计分析|销售汇总报表▸|销售明细报表|-|业务员提成分析";
        QTest::newRow("统计分析 drop-down 销售汇总报表") << "Drop_Stat/销售汇总报表"
                                                         << "按商品名称汇总|按客户名称汇总|按业务员名称汇总";
        QTest::newRow("报表打印 drop-down") << "Drop_Print"
                                            << "客户资料打印|客户信封打印|客户信封标签打印";
    }
    void menuEntries() {
        QFETCH(QString, menu);
        QFETCH(QString, entries);
        const QStringList path = menu.split(QLatin1Char('/'));
        QMenu* m = mw->findChild<QMenu*>(path[0]);
        QVERIFY2(m, qPrintable(path[0]));
        for (int i = 1; i < path.size() && m; ++i) m = subMenu(m, path[i]);
        QVERIFY(m);
        QCOMPARE(describe(m), entries);
    }

    void menuBarOrder() {
        QStringList titles;
        for (QAction* a : mw->menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, (QStringList{"系统设置", "数据操作", "数据查询", "统计分析", "报表打印", "实用工具",
                                      "帮助文件"}));
    }

    void shortcuts_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("新增 customer") << "Drop_Cust/新增&A"
                                       << "Ctrl+A";
        QTest::newRow("编辑 customer") << "Drop_Cust/编辑&E"
                                       << "Ctrl+E";
        QTest::newRow("删除 customer") << "Drop_Cust/删除&D"
                                       << "Ctrl+D";
        QTest::newRow("退出程序") << "Menu_System/退出程序"
                                  << "Ctrl+Q";
        QTest::newRow("帮助文件") << "Menu_HelpFile/帮助文件"
                                  << "F1";
        QTest::newRow("新增 bill has none") << "Drop_Sale/新增&A"
                                            << "";
        QTest::newRow("操作员管理 has none") << "Menu_System/操作员管理"
                                             << "";
    }
    void shortcuts() {
        QFETCH(QString, entry);
        QFETCH(QString, shortcut);
        QAction* a = resolve(*mw, entry);
        QVERIFY2(a, qPrintable(entry));
        QCOMPARE(a->shortcut().toString(), shortcut);
    }

    void commandMap_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::newRow("AddCust") << "AddCust"
                                 << "新增&A"
                                 << "新增";
        QTest::newRow("DelCust") << "DelCust"
                                 << "删除&D"
                                 << "删除";
        QTest::newRow("SearchCust") << "SearchCust"
                                    << "组合查询(&A)"
                                    << "";
        QTest::newRow("M_Cust_Category") << "M_Cust_Category"
                                         << "客户分类管理"
                                         << "";
        QTest::newRow("M_Products_Category") << "M_Products_Category"
                                             << "商品分类管理"
                                             << "";
        QTest::newRow("EditProducts") << "EditProducts"
                                      << "编辑&E"
                                      << "";
        QTest::newRow("Delsale") << "Delsale"
                                 << "删除&D"
                                 << "";
        QTest::newRow("EditSchedule") << "EditSchedule"
                                      << "编辑&E"
                                      << "编辑";
        QTest::newRow("DelContact") << "DelContact"
                                    << "删除&D"
                                    << "删除";
        QTest::newRow("Addprice") << "Addprice"
                                  << "新增&A"
                                  << "";
        QTest::newRow("Editvisit") << "Editvisit"
                                   << "编辑&E"
                                   << "";
        QTest::newRow("Delfeedback") << "Delfeedback"
                                     << "删除&D"
                                     << "";
        QTest::newRow("Addtrack") << "Addtrack"
                                  << "新增&A"
                                  << "";
        QTest::newRow("Editbargain") << "Editbargain"
                                     << "编辑&E"
                                     << "";
        QTest::newRow("DelPeople") << "DelPeople"
                                   << "删除&D"
                                   << "";
        QTest::newRow("Add_PeopleTC") << "Add_PeopleTC"
                                      << "新增&A"
                                      << "";
        QTest::newRow("Del_PeopleTC") << "Del_PeopleTC"
                                      << "删除&D"
                                      << "";
        QTest::newRow("M_UserList") << "M_UserList"
                                    << "操作员管理"
                                    << "";
        QTest::newRow("M_Backup") << "M_Backup"
                                  << "数据库备份"
                                  << "";
        QTest::newRow("M_Company") << "M_Company"
                                   << "公司信息"
                                   << "";
        QTest::newRow("ExportEmail") << "ExportEmail"
                                     << "导出客户电子信箱"
                                     << "";
        QTest::newRow("BatchEdit") << "BatchEdit"
                                   << "批量修改"
                                   << "";
        QTest::newRow("ShowField_Cust") << "ShowField_Cust"
                                        << "设置列显示"
                                        << "";
    }
    void commandMap() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QAction* a = mw->action(name);
        QVERIFY(a);
        QCOMPARE(a->objectName(), name);
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->statusTip(), hint);
        QVERIFY(a->isEnabled());
    }

    void toolBar_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("mode");  // -1: no drop-down
        QTest::newRow("客户管理") << "TB_Cust"
                                  << "客户管理"
                                  << "管理客户资料，用来新增 编辑 删除客户资料"
                                  << int(QToolButton::MenuButtonPopup);
        QTest::newRow("商品管理") << "TB_Products"
                                  << "商品管理"
                                  << "管理商品资料，用来新增，编辑，删除商品资料" << -1;
        QTest::newRow("销售管理") << "TB_Sale"
                                  << "销售管理"
                                  << "管理销售记录，用来新增，编辑，删除销售记录"
                                  << int(QToolButton::InstantPopup);
        QTest::newRow("业务员") << "TB_People"
                                << "业务员"
                                << "" << int(QToolButton::InstantPopup);
        QTest::newRow("工作日程") << "TB_Schedule"
                                  << "工作日程"
                                  << "管理工作日程" << -1;
        QTest::newRow("统计分析") << "TB_Stat"
                                  << "统计分析"
                                  << "对客户的相关的信息进行统计分析" << int(QToolButton::InstantPopup);
        QTest::newRow("报表打印") << "TB_Print"
                                  << "报表打印"
                                  << "打印预览客户和客户相关的信息" << int(QToolButton::InstantPopup);
        QTest::newRow("客户查询") << "TB_Search"
                                  << "客户查询"
                                  << "查询客户详细信息" << -1;
        QTest::newRow("帮助文件") << "TB_Help"
                                  << "帮助文件"
                                  << "点击查看帮助文件" << -1;
    }
    void toolBar() {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(int, mode);
        // The shipped pictures in the program folder.
        const QDir images(qEnvironmentVariable("QUORVAN_SOURCE_DIR") + QStringLiteral("/resources/IMG"));
        QDir().mkpath(QDir(ws->home).filePath(QStringLiteral("IMG")));
        for (const QString& f : images.entryList({QStringLiteral("tb_*.png")}, QDir::Files))
            QFile::copy(images.filePath(f), QDir(ws->home).filePath(QStringLiteral("IMG/") + f));
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        auto* b = mw->findChild<QToolButton*>(button);
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->toolTip(), hint);
        QCOMPARE(b->statusTip(), hint);
        // 55 × 51, wider only where a drop-down arrow beside the caption needs the room.
        QCOMPARE(b->height(), 51);
        if (b->menu())
            QVERIFY(b->width() >= 55 && b->width() >= b->sizeHint().width());
        else
            QCOMPARE(b->width(), 55);
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(b->autoRaise());
        QCOMPARE(b->menu() != nullptr, mode >= 0);
        if (mode >= 0) QCOMPARE(int(b->popupMode()), mode);
        QCOMPARE(b->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, b), 0);
        QVERIFY2(!b->icon().isNull(), "the picture of the button is shipped in IMG/");
    }

    void toolBarOrder() {
        auto* bar = mw->findChild<QToolBar*>(QStringLiteral("ToolBar"));
        QVERIFY(bar);
        QStringList order;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator())
                order << QStringLiteral("-");
            else if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
                order << b->text();
        }
        QCOMPARE(order, (QStringList{"客户管理", "商品管理", "销售管理", "-", "业务员", "工作日程", "-",
                                     "统计分析", "报表打印", "-", "客户查询", "帮助文件"}));
    }

    void statusPanels() {
        QVERIFY(mw->isMaximized() || mw->windowState().testFlag(Qt::WindowMaximized));
        QCOMPARE(mw->statusPanel(1)->text(), QString());
        ws->loginAs(QStringLiteral("张三"), 1, {2});
        QCOMPARE(mw->statusPanel(1)->text(), QStringLiteral(" 当前操作员: 张三"));
        QCOMPARE(mw->statusPanel(2)->text(), QString());
        ws->loginAs(QStringLiteral("李四"), 0, {});
        QCOMPARE(mw->statusPanel(1)->text(), QStringLiteral(" 当前操作员: 李四"));
    }

    // --- rights gate -------------------------------------------------------------------------------

    void rightsGate_data() {
        QTest::addColumn<int>("right");
        QTest::addColumn<QStringList>("entries");
        auto row = [](int k, QStringList e) { QTest::addRow("right %d", k) << k << e; };
        // the workbench's own buttons use the same AddCust action: see sharedActionOnOtherWidgets
        row(2, {"Drop_Cust/新增&A"});
        row(3, {"Drop_Cust/编辑&E"});
        row(4, {"Drop_Cust/删除&D"});
        row(5, {"SearchCust", "Menu_Query/客户查询(&A)", "TB_Search"});
        row(8, {"Menu_Data/客户分类管理"});
        row(10, {"AddProducts"});
        row(11, {"EditProducts"});
        row(12, {"DelProducts"});
        row(17, {"Drop_Sale/新增&A"});
        row(18, {"Drop_Sale/编辑&E"});
        row(19, {"Drop_Sale/删除&D"});
        row(23, {"AddSchedule"});
        row(24, {"EditSchedule"});
        row(25, {"DelSchedule"});
        row(30, {"AddContact"});
        row(31, {"EditContact"});
        row(32, {"DelContact"});
        row(34, {"Addprice"});
        row(35, {"Editprice"});
        row(36, {"Delprice"});
        row(38, {"Addvisit"});
        row(39, {"Editvisit"});
        row(40, {"Delvisit"});
        row(42, {"Addfeedback"});
        row(43, {"Editfeedback"});
        row(44, {"Delfeedback"});
        row(46, {"Addtrack"});
        row(47, {"Edittrack"});
        row(48, {"Deltrack"});
        row(50, {"Addbargain"});
        row(51, {"Editbargain"});
        row(52, {"Delbargain"});
        row(54, {"Menu_Stat/工作日程统计列表", "Drop_Stat/工作日程统计列表"});
        row(55, {"Menu_Stat/商品报价统计列表", "Drop_Stat/商品报价统计列表"});
        row(56, {"Menu_Stat/投诉反馈统计列表", "Drop_Stat/投诉反馈统计列表"});
        row(57, {"Menu_Stat/售后回访统计列表", "Drop_Stat/售后回访统计列表"});
        row(58, {"Menu_Stat/客户跟进统计列表", "Drop_Stat/客户跟进统计列表"});
        row(59, {"Menu_Stat/合同管理统计列表", "Drop_Stat/合同管理统计列表"});
        row(60, {"Menu_Stat/客户统计分析", "Drop_Stat/客户统计分析"});
        row(61, {"Menu_Stat/销售汇总报表", "Menu_Stat/销售汇总报表/按商品名称汇总",
                 "Menu_Stat/销售汇总报表/按客户名称汇总", "Menu_Stat/销售汇总报表/按业务员名称汇总",
                 "Drop_Stat/销售汇总报表", "Drop_Stat/销售汇总报表/按商品名称汇总",
                 "Drop_Stat/销售汇总报表/按客户名称汇总", "Drop_Stat/销售汇总报表/按业务员名称汇总"});
        row(62, {"Menu_Stat/销售明细报表", "Drop_Stat/销售明细报表"});
        row(64, {"Menu_Print/客户基本资料打印", "Drop_Print/客户资料打印"});
        row(65, {"Menu_Print/客户信封打印", "Drop_Print/客户信封打印"});
        row(66, {"Menu_Print/客户信封标签打印", "Drop_Print/客户信封标签打印"});
        row(68, {"Menu_System/报表打印设置/客户基础资料设置"});
        row(69, {"Menu_System/报表打印设置/客户信封套打格式设置"});
        row(70, {"Menu_System/报表打印设置/客户信封标签打印设置"});
        row(72, {"Menu_System/操作员管理"});
        row(73, {"Menu_System/数据初始化"});
        row(74, {"Menu_System/选项设置"});
        row(75, {"Menu_System/自定义选项", "Menu_System/自定义选项/客户自定义选项",
                 "Menu_System/自定义选项/商品自定义选项", "Menu_System/自定义选项/销售自定义选项"});
        row(76, {"Menu_System/导入数据", "Menu_System/导入数据/从Excel导入客户资料",
                 "Menu_System/导入数据/从Excel导入商品资料"});
        row(77, {"Menu_System/数据库备份"});
        row(79, {"Menu_Data/国家管理"});
        row(80, {"Menu_Data/职位管理"});
        row(81, {"Menu_Data/部门管理"});
        row(82, {"Menu_Data/员工管理"});
        row(83, {"Menu_Data/客户来源管理"});
        row(84, {"Menu_Data/计量单位管理"});
        row(85, {"Menu_Data/客户类型管理"});
        row(86, {"Menu_Data/事务主题管理"});
        row(87, {"Menu_Data/事务类型管理"});
        row(88, {"Menu_Data/客户级别管理"});
        row(89, {"Menu_Data/客户阶段管理"});
        row(90, {"Menu_Data/客户状态管理"});
        // rights that other windows read when they open gate nothing in the main window
        for (int k : {1, 6, 7, 13, 20, 26, 53, 63, 67, 71, 78, 91, 92}) row(k, {});
    }
    void rightsGate() {
        QFETCH(int, right);
        QFETCH(QStringList, entries);
        QSet<QAction*> expected;
        for (const QString& e : entries) {
            QAction* a = resolve(*mw, e);
            QVERIFY2(a, qPrintable(e));
            expected.insert(a);
        }
        ws->login.set(QStringLiteral("张三"), 1, allBut(right));
        // Exactly these entries are disabled, and they stay visible.
        QCOMPARE(disabledActions(*mw), expected);
        for (QAction* a : expected) QVERIFY(a->isVisible());
        // The next login with the right enables them again.
        ws->login.set(QStringLiteral("李四"), 0, allBut(0));
        QCOMPARE(disabledActions(*mw), QSet<QAction*>());
    }

    void sharedActionOnOtherWidgets() {
        // A later window (the workbench's customer tool bar) puts the same action on its own button.
        QWidget bench;
        auto* add = new QToolButton(&bench);
        add->setDefaultAction(mw->action(QStringLiteral("AddCust")));
        auto* search = new QToolButton(&bench);
        search->setDefaultAction(mw->action(QStringLiteral("SearchCust")));
        ws->loginAs(QStringLiteral("张三"), 1, {3, 4});
        QVERIFY(!add->isEnabled());
        QVERIFY(!search->isEnabled());
        QVERIFY(!resolve(*mw, QStringLiteral("Drop_Cust/新增&A"))->isEnabled());
        QVERIFY(!mw->findChild<QToolButton*>(QStringLiteral("TB_Search"))->isEnabled());
        QVERIFY(resolve(*mw, QStringLiteral("Drop_Cust/编辑&E"))->isEnabled());
        ws->loginAs(QStringLiteral("李四"), 0, {2, 5});
        QVERIFY(add->isEnabled());
        QVERIFY(search->isEnabled());
        QVERIFY(mw->findChild<QToolButton*>(QStringLiteral("TB_Search"))->isEnabled());
    }

    void ungatedEntriesKeepTheirState() {
        // A later window may switch off an entry without a right; a login leaves it alone.
        mw->action(QStringLiteral("AddPeople"))->setEnabled(false);
        ws->loginAs(QStringLiteral("张三"), 1, {});
        QVERIFY(!mw->action(QStringLiteral("AddPeople"))->isEnabled());
        QVERIFY(mw->action(QStringLiteral("M_Company"))->isEnabled());
        QVERIFY(resolve(*mw, QStringLiteral("Menu_Stat/联系人统计列表"))->isEnabled());
        QVERIFY(resolve(*mw, QStringLiteral("Menu_System/重新登录"))->isEnabled());
    }

    // --- commands ----------------------------------------------------------------------------------

    void twinsRunTheSameCommand() {
        ws->loginAsAdmin();
        int runs = 0;
        mw->setHandler(QStringLiteral("Menu_ScheduleStat"), [&runs] { ++runs; });
        resolve(*mw, QStringLiteral("Menu_Stat/工作日程统计列表"))->trigger();
        resolve(*mw, QStringLiteral("Drop_Stat/工作日程统计列表"))->trigger();
        QCOMPARE(runs, 2);
        int searches = 0;
        mw->setHandler(QStringLiteral("SearchCust"), [&searches] { ++searches; });
        resolve(*mw, QStringLiteral("Menu_Query/客户查询(&A)"))->trigger();
        mw->findChild<QToolButton*>(QStringLiteral("TB_Search"))->click();
        QCOMPARE(searches, 2);
        // An entry whose window comes later does nothing, and says nothing.
        resolve(*mw, QStringLiteral("Menu_Data/国家管理"))->trigger();
    }

    void errorBoundary_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("database error") << 0 << DbError(QStringLiteral("连接已断开")).text();
        QTest::newRow("other error") << 1 << QStringLiteral("文件不存在");
    }
    void errorBoundary() {
        QFETCH(int, kind);
        QFETCH(QString, text);
        showLoggedIn();
        mw->showChildForm<ProbeChild>([] { return new ProbeChild; });
        mw->setHandler(QStringLiteral("AddCust"), [kind] {
            if (kind == 0) throw DbError(QStringLiteral("连接已断开"));
            throw std::runtime_error("文件不存在");
        });
        ws->prompter.expect(text, QMessageBox::Ok, QStringLiteral("错误"));
        mw->action(QStringLiteral("AddCust"))->trigger();
        QCOMPARE(ws->prompter.shown().size(), 1);
        QCOMPARE(ws->prompter.shown()[0].icon, QMessageBox::Critical);
        QVERIFY(mw->isVisible());
        QCOMPARE(mw->mdiArea()->subWindowList().size(), 1);
        QVERIFY(mw->action(QStringLiteral("AddCust"))->isEnabled());
        // The program goes on: the next command runs normally.
        int runs = 0;
        mw->setHandler(QStringLiteral("AddCust"), [&runs] { ++runs; });
        mw->action(QStringLiteral("AddCust"))->trigger();
        QCOMPARE(runs, 1);
    }

    // --- child windows -----------------------------------------------------------------------------

    void showChildFormOncePerKind() {
        showLoggedIn();
        int made = 0;
        auto make = [&made] {
            ++made;
            return new ProbeChild;
        };
        ProbeChild* first = mw->showChildForm<ProbeChild>(make);
        QVERIFY(first);
        QVERIFY(first->isVisible());
        OtherChild* other = mw->showChildForm<OtherChild>([] { return new OtherChild; });
        QCOMPARE(mw->mdiArea()->activeSubWindow()->widget(), other);

        // Again: the same window, brought to the front with the focus.
        QCOMPARE(mw->showChildForm<ProbeChild>(make), first);
        QCOMPARE(made, 1);
        QCOMPARE(mw->mdiArea()->subWindowList().size(), 2);
        QCOMPARE(mw->mdiArea()->activeSubWindow()->widget(), first);

        // A minimised one is restored, a hidden one shown.
        QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(first->parentWidget());
        QVERIFY(sub);
        sub->showMinimized();
        QVERIFY(sub->isMinimized());
        mw->showChildForm<ProbeChild>(make);
        QVERIFY(!sub->isMinimized());
        QVERIFY(first->isVisible());
        sub->hide();
        mw->showChildForm<ProbeChild>(make);
        QVERIFY(sub->isVisible());
        QCOMPARE(made, 1);

        // A closed one is freed; the next call makes a new one.
        QPointer<ProbeChild> gone = first;
        sub->close();
        QTRY_VERIFY(gone.isNull());
        ProbeChild* second = mw->showChildForm<ProbeChild>(make);
        QCOMPARE(made, 2);
        QVERIFY(second->isVisible());
        QCOMPARE(mw->childForm(QStringLiteral("ProbeChild")), second);

        // A window that closes itself (its own 退出 button) closes its child window too.
        QPointer<QMdiSubWindow> secondSub = qobject_cast<QMdiSubWindow*>(second->parentWidget());
        second->close();
        QTRY_VERIFY(secondSub.isNull());
        QCOMPARE(mw->mdiArea()->subWindowList().size(), 1);
    }

    void childWindowClosesOnce_data() {
        QTest::addColumn<bool>("byContent");
        QTest::newRow("child window closed") << false;
        QTest::newRow("content closes itself") << true;
    }
    void childWindowClosesOnce() {
        QFETCH(bool, byContent);
        showLoggedIn();
        int closes = 0;
        auto* child = mw->showChildForm<CountingChild>([&closes] { return new CountingChild(closes); });
        QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(child->parentWidget());
        QPointer<CountingChild> content = child;
        if (byContent)
            child->close();
        else
            sub->close();
        QTRY_VERIFY(sub.isNull());
        QVERIFY(content.isNull());
        QVERIFY(mw->mdiArea()->subWindowList().isEmpty());
        QCOMPARE(closes, 1);  // the content is asked once
    }

    // --- closing -----------------------------------------------------------------------------------

    void closing_data() {
        QTest::addColumn<int>("how");  // 0 close box, 1 退出程序, 2 Ctrl+Q
        QTest::addColumn<bool>("yes");
        QTest::newRow("close box, No") << 0 << false;
        QTest::newRow("close box, Yes") << 0 << true;
        QTest::newRow("退出程序, No") << 1 << false;
        QTest::newRow("退出程序, Yes") << 1 << true;
        QTest::newRow("Ctrl+Q, No") << 2 << false;
        QTest::newRow("Ctrl+Q, Yes") << 2 << true;
    }
    void closing() {
        QFETCH(int, how);
        QFETCH(bool, yes);
        showLoggedIn();
        mw->showChildForm<ProbeChild>([] { return new ProbeChild; });
        mw->showChildForm<OtherChild>([] { return new OtherChild; });
        ws->prompter.expect(kQuitQuestion, yes ? QMessageBox::Yes : QMessageBox::No, kQuitCaption);
        if (how == 0) {
            mw->close();
        } else if (how == 1) {
            resolve(*mw, QStringLiteral("Menu_System/退出程序"))->trigger();
        } else {
            QApplication::setActiveWindow(mw.get());
            QVERIFY(QTest::qWaitForWindowActive(mw.get()));
            QTest::keyClick(mw.get(), Qt::Key_Q, Qt::ControlModifier);
        }
        QCOMPARE(ws->prompter.shown().size(), 1);
        const auto& box = ws->prompter.shown()[0];
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(mw->isVisible(), !yes);
        QCOMPARE(mw->mdiArea()->subWindowList().size(), yes ? 0 : 2);
    }

    // --- login, relogin, password ------------------------------------------------------------------

    void reloginClosesChildren_data() {
        QTest::addColumn<bool>("succeed");
        QTest::newRow("cancelled") << false;
        QTest::newRow("logged in again") << true;
    }
    void reloginClosesChildren() {
        QFETCH(bool, succeed);
        ws->loginAs(QStringLiteral("张三"), 1, {2});
        mw->show();
        QVERIFY(QTest::qWaitForWindowExposed(mw.get()));
        mw->showChildForm<ProbeChild>([] { return new ProbeChild; });
        int childrenAtDialog = -1;
        ws->onModal([&](QDialog& d) {
            childrenAtDialog = int(mw->mdiArea()->subWindowList().size());
            if (!succeed) return;
            auto* combo = d.findChild<QComboBox*>(QStringLiteral("Combo_User"));
            QVERIFY(combo);
            combo->setCurrentIndex(combo->findText(QStringLiteral("Admin")));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("Btn_OK")), Qt::LeftButton);
        });
        resolve(*mw, QStringLiteral("Menu_System/重新登录"))->trigger();
        QCOMPARE(childrenAtDialog, 0);
        QCOMPARE(mw->mdiArea()->subWindowList().size(), 0);
        if (succeed) {
            QCOMPARE(ws->login.currentUser(), QStringLiteral("Admin"));
            QCOMPARE(mw->statusPanel(1)->text(), QStringLiteral(" 当前操作员: Admin"));
            QVERIFY(mw->action(QStringLiteral("EditCust"))->isEnabled());
        } else {
            QCOMPARE(ws->login.currentUser(), QStringLiteral("张三"));
            QCOMPARE(mw->statusPanel(1)->text(), QStringLiteral(" 当前操作员: 张三"));
            QVERIFY(!mw->action(QStringLiteral("EditCust"))->isEnabled());
        }
    }

    void passwordDialogOpensOnce() {
        ws->loginAsAdmin();
        bool sawDialog = false;
        ws->onModal([&](QDialog&) {
            sawDialog = true;
            // Choosing the entry again while the dialog is open does nothing.
            resolve(*mw, QStringLiteral("Menu_System/修改我的登录密码"))->trigger();
        });
        resolve(*mw, QStringLiteral("Menu_System/修改我的登录密码"))->trigger();
        QVERIFY(sawDialog);
        // Closed: it opens again.
        ws->onModal([](QDialog&) {});
        resolve(*mw, QStringLiteral("Menu_System/修改我的登录密码"))->trigger();
    }

    // --- first show --------------------------------------------------------------------------------

    void firstShow() {
        ws->db().exec(
            QStringLiteral("update T_SoftInfo set SoftName = :n, Version = :v, INI1 = :a, INI2 = :b, "
                           "INI3 = :c, autocoding = :auto"),
            {{"n", QStringLiteral("客户之家")},
             {"v", QStringLiteral(" V2.5")},
             {"a", 3},
             {"b", 0},
             {"c", 11},
             {"auto", 1}});
        int workbench = 0;
        mw->setHandler(Frm_Main::kFirstShowWorkbench, [&workbench] { ++workbench; });
        mw->show();  // before the login: nothing yet
        QVERIFY(QTest::qWaitForWindowExposed(mw.get()));
        QVERIFY(!mw->firstShowDone());
        QCOMPARE(workbench, 0);
        ws->loginAsAdmin();
        QVERIFY(mw->firstShowDone());
        QCOMPARE(mw->windowTitle(), QStringLiteral("客户之家 V2.5"));
        QCOMPARE(mw->softOptions().ini1, 3);
        QCOMPARE(mw->softOptions().ini2, 0);
        QCOMPARE(mw->softOptions().ini3, 11);
        QVERIFY(mw->softOptions().autocoding);
        QCOMPARE(mw->statusPanel(3)->text(),
                 QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        QVERIFY(QFileInfo(QDir(ws->home).filePath(QStringLiteral("Export"))).isDir());
        QVERIFY(QFileInfo(QDir(ws->home).filePath(QStringLiteral("Backup"))).isDir());
        QCOMPARE(workbench, 1);
        // Only once: a later login or show does not repeat it.
        mw->hide();
        ws->loginAsAdmin();
        mw->show();
        QCOMPARE(workbench, 1);
    }

    void firstShowStopsWhenAFolderCannotBeMade() {
        QFile blocker(QDir(ws->home).filePath(QStringLiteral("Backup")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        int workbench = 0;
        mw->setHandler(Frm_Main::kFirstShowWorkbench, [&workbench] { ++workbench; });
        ws->prompter.expect(QStringLiteral("无法创建目录 ") +
                                QDir::toNativeSeparators(QDir(ws->home).filePath(QStringLiteral("Backup"))),
                            QMessageBox::Ok, QStringLiteral("错误"));
        showLoggedIn();
        QCOMPARE(mw->windowTitle(), QString());  // the remaining steps did not run
        QCOMPARE(mw->statusPanel(3)->text(), QString());
        QCOMPARE(workbench, 0);
        QVERIFY(mw->isVisible());
    }

    // --- reminder timer ----------------------------------------------------------------------------

    void reminderTimer_data() {
        QTest::addColumn<QString>("awoke");  // empty: no key
        QTest::addColumn<bool>("due");
        QTest::newRow("0") << "0" << true;
        QTest::newRow("-1") << "-1" << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("missing") << "" << false;
    }
    void reminderTimer() {
        QFETCH(QString, awoke);
        QFETCH(bool, due);
        if (!awoke.isEmpty())
            QVERIFY(ws->data->ini().writeString(QStringLiteral("Other"), QStringLiteral("awoke"), awoke));
        QTimer* timer = mw->reminderTimer();
        // One tick of the timer, as its second elapses.
        auto tick = [timer] { QVERIFY(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection)); };
        QSignalSpy spy(mw.get(), &Frm_Main::reminderDue);
        QVERIFY(!timer->isActive());  // nothing before the first login

        ws->loginAsAdmin();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(!timer->isSingleShot());
        QCOMPARE(spy.count(), 0);  // not before the first second
        tick();
        if (!due) {
            QCOMPARE(spy.count(), 0);
            QVERIFY(timer->isActive());
            return;
        }
        QCOMPARE(spy.count(), 1);
        QVERIFY(!timer->isActive());  // once per login
        ws->loginAsAdmin();           // a new login asks again
        QVERIFY(timer->isActive());
        tick();
        QCOMPARE(spy.count(), 2);
    }

    // --- utilities and help --------------------------------------------------------------------------

    void externalPrograms_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("installed");  // fake programs on PATH
        QTest::addColumn<bool>("firstFails");
        QTest::addColumn<QStringList>("started");  // names in PATH dir, or "home:" for the program folder
        QTest::newRow("calculator: first of the list found")
            << "Menu_Tools/计算器" << QStringList{"xcalc", "galculator"} << false
            << QStringList{"galculator"};
        QTest::newRow("calculator: each found is tried while none starts")
            << "Menu_Tools/计算器" << QStringList{"kcalc", "qalculate-gtk"} << true
            << QStringList{"kcalc", "qalculate-gtk"};
        QTest::newRow("calculator: none installed")
            << "Menu_Tools/计算器" << QStringList{"gedit"} << false << QStringList{};
        QTest::newRow("notepad") << "Menu_Tools/记事本" << QStringList{"mousepad", "xedit"} << false
                                 << QStringList{"mousepad"};
        QTest::newRow("post codes") << "Menu_Tools/邮编 区号 查询" << QStringList{} << false
                                    << QStringList{"home:search"};
        QTest::newRow("importer") << "Menu_Tools/从单机版导入数据工具" << QStringList{} << false
                                  << QStringList{"home:Access"};
    }
    void externalPrograms() {
        QFETCH(QString, entry);
        QFETCH(QStringList, installed);
        QFETCH(bool, firstFails);
        QFETCH(QStringList, started);
        QTemporaryDir bin;
        for (const QString& p : installed) {
            QFile f(bin.filePath(p));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\n");
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        struct Restore {
            QByteArray path;
            ~Restore() { qputenv("PATH", path); }
        } restore{qgetenv("PATH")};
        qputenv("PATH", bin.path().toLocal8Bit());
        ws->shell.startResult = !firstFails;  // a refused start moves on to the next program found
        resolve(*mw, entry)->trigger();
        QStringList expected;
        for (const QString& s : started)
            expected << (s.startsWith(QLatin1String("home:")) ? QDir(ws->home).filePath(s.mid(5))
                                                              : bin.filePath(s));
        QCOMPARE(ws->shell.started, expected);
        QCOMPARE(ws->shell.opened, QStringList());
    }

    void helpFile() {
        const QString help = QDir(ws->home).filePath(QStringLiteral("Help/index.html"));
        resolve(*mw, QStringLiteral("Menu_HelpFile/帮助文件"))->trigger();
        mw->findChild<QToolButton*>(QStringLiteral("TB_Help"))->click();
        QCOMPARE(ws->shell.opened, (QStringList{help, help}));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frm_main.moc"
