// The command map of the main window: the shared actions, the seven menus, the tool bar and the
// status bar, and the commands the frame carries out itself.
#include <algorithm>
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "Context.h"
#include "ExternalTools.h"
#include "Frm_Main.h"
#include "Shell.h"

namespace qv {

namespace {

const char* const kCommand = "command";

// Tool tips of the tool bar appear without delay.
class ImmediateTipStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

struct ActionSpec {
    const char* name;
    const char* caption;
    const char* hint;
    const char* shortcut;
};

// The shared actions: the same action drives a main-menu entry, a tool-bar or pop-up entry and the
// buttons of other windows, so disabling it disables every control that uses it.
const ActionSpec kActions[] = {
    {"AddCust", "新增&A", "新增", "Ctrl+A"},
    {"EditCust", "编辑&E", "编辑", "Ctrl+E"},
    {"DelCust", "删除&D", "删除", "Ctrl+D"},
    {"SearchCust", "组合查询(&A)", "", ""},
    {"M_Cust_Category", "客户分类管理", "", ""},
    {"M_Products_Category", "商品分类管理", "", ""},
    {"AddProducts", "新增&A", "", ""},
    {"EditProducts", "编辑&E", "", ""},
    {"DelProducts", "删除&D", "", ""},
    {"Addsale", "新增&A", "", ""},
    {"Editsale", "编辑&E", "", ""},
    {"Delsale", "删除&D", "", ""},
    {"AddSchedule", "新增&A", "新增", ""},
    {"EditSchedule", "编辑&E", "编辑", ""},
    {"DelSchedule", "删除&D", "删除", ""},
    {"AddContact", "新增&A", "新增", ""},
    {"EditContact", "编辑&E", "编辑", ""},
    {"DelContact", "删除&D", "删除", ""},
    {"Addprice", "新增&A", "", ""},
    {"Editprice", "编辑&E", "", ""},
    {"Delprice", "删除&D", "", ""},
    {"Addvisit", "新增&A", "", ""},
    {"Editvisit", "编辑&E", "", ""},
    {"Delvisit", "删除&D", "", ""},
    {"Addfeedback", "新增&A", "", ""},
    {"Editfeedback", "编辑&E", "", ""},
    {"Delfeedback", "删除&D", "", ""},
    {"Addtrack", "新增&A", "", ""},
    {"Edittrack", "编辑&E", "", ""},
    {"Deltrack", "删除&D", "", ""},
    {"Addbargain", "新增&A", "", ""},
    {"Editbargain", "编辑&E", "", ""},
    {"Delbargain", "删除&D", "", ""},
    {"AddPeople", "新增&A", "", ""},
    {"EditPeople", "编辑&E", "", ""},
    {"DelPeople", "删除&D", "", ""},
    {"Add_PeopleTC", "新增&A", "", ""},
    {"Edit_PeopleTC", "编辑&E", "", ""},
    {"Del_PeopleTC", "删除&D", "", ""},
    {"M_UserList", "操作员管理", "", ""},
    {"M_Backup", "数据库备份", "", ""},
    {"M_Company", "公司信息", "", ""},
    {"ExportEmail", "导出客户电子信箱", "", ""},
    {"BatchEdit", "批量修改", "", ""},
    {"ShowField_Cust", "设置列显示", "", ""},
};

QString u(const char* s) { return QString::fromUtf8(s); }

}  // namespace

QAction* Frm_Main::makeEntry(const QString& name, const QString& caption, const QString& command) {
    Q_ASSERT(!actions_.contains(name));
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setProperty(kCommand, command.isEmpty() ? name : command);
    connect(a, &QAction::triggered, this, [this, a] { runCommand(a->property(kCommand).toString()); });
    actions_.insert(name, a);
    return a;
}

// An entry with a caption of its own that stands for a shared action: it runs that action and is
// enabled exactly when the action is.
QAction* Frm_Main::mirrorOf(QAction* source, const QString& name, const QString& caption) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setEnabled(source->isEnabled());
    connect(a, &QAction::triggered, source, [source] { source->trigger(); });
    connect(source, &QAction::enabledChanged, a, &QAction::setEnabled);
    actions_.insert(name, a);
    return a;
}

QMenu* Frm_Main::makeSubMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* m = parent->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    actions_.insert(name, m->menuAction());
    return m;
}

void Frm_Main::createActions() {
    for (const ActionSpec& s : kActions) {
        QAction* a = makeEntry(QString::fromLatin1(s.name), u(s.caption));
        const QString hint = u(s.hint);
        if (!hint.isEmpty()) {
            a->setStatusTip(hint);
            a->setToolTip(hint);
        }
        if (*s.shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(s.shortcut)));
    }
    // Short-cuts work whether or not the action sits in a visible menu.
    for (QAction* a : std::as_const(actions_)) addAction(a);
}

void Frm_Main::createMenus() {
    auto entry = [this](QMenu* m, const char* name, const char* caption) {
        QAction* a = makeEntry(QString::fromLatin1(name), u(caption));
        m->addAction(a);
        return a;
    };
    auto shared = [this](QMenu* m, const char* name) { m->addAction(action(QString::fromLatin1(name))); };
    auto top = [this](const char* name, const char* caption) {
        QMenu* m = menuBar()->addMenu(u(caption));
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };

    QMenu* sys = top("Menu_System", "系统设置");
    shared(sys, "M_UserList");
    entry(sys, "Menu_ChangePassword", "修改我的登录密码");
    entry(sys, "Menu_Relogin", "重新登录");
    entry(sys, "Menu_Options", "选项设置");
    entry(sys, "Menu_InitData", "数据初始化");
    QMenu* captions = makeSubMenu(sys, QStringLiteral("Menu_FieldCaptions"), u("自定义选项"));
    entry(captions, "Menu_CustCaptions", "客户自定义选项");
    entry(captions, "Menu_ProductCaptions", "商品自定义选项");
    entry(captions, "Menu_SaleCaptions", "销售自定义选项");
    entry(sys, "Menu_FindDupCust", "查找重复的客户资料");
    entry(sys, "Menu_FindDupContact", "查找重复的联系人资料");
    sys->addSeparator();
    QMenu* import = makeSubMenu(sys, QStringLiteral("Menu_Import"), u("导入数据"));
    entry(import, "Menu_ImportCust", "从Excel导入客户资料");
    entry(import, "Menu_ImportProducts", "从Excel导入商品资料");
    sys->addSeparator();
    shared(sys, "M_Backup");
    sys->addSeparator();
    QMenu* design = makeSubMenu(sys, QStringLiteral("Menu_ReportSetup"), u("报表打印设置"));
    entry(design, "Menu_DesignCustSheet", "客户基础资料设置");
    design->addSeparator();
    entry(design, "Menu_DesignEnvelope", "客户信封套打格式设置");
    entry(design, "Menu_DesignLabel", "客户信封标签打印设置");
    sys->addSeparator();
    entry(sys, "Menu_Exit", "退出程序")->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));

    QMenu* data = top("Menu_Data", "数据操作");
    shared(data, "ExportEmail");
    data->addSeparator();
    shared(data, "M_Cust_Category");
    shared(data, "M_Products_Category");
    QMenu* people = makeSubMenu(data, QStringLiteral("Menu_People"), u("业务员管理"));
    shared(people, "AddPeople");
    shared(people, "EditPeople");
    shared(people, "DelPeople");
    people->addSeparator();
    entry(people, "Menu_PeopleTC", "业务员提成");
    data->addSeparator();
    entry(data, "Menu_Country", "国家管理");
    entry(data, "Menu_Staff", "员工管理");
    entry(data, "Menu_Position", "职位管理");
    entry(data, "Menu_Department", "部门管理");
    entry(data, "Menu_CustLevel", "客户级别管理");
    entry(data, "Menu_CustFrom", "客户来源管理");
    entry(data, "Menu_CustType", "客户类型管理");
    entry(data, "Menu_ActivityType", "事务类型管理");
    entry(data, "Menu_CustState", "客户状态管理");
    entry(data, "Menu_CustPhase", "客户阶段管理");
    entry(data, "Menu_Subject", "事务主题管理");
    entry(data, "Menu_Unit", "计量单位管理");
    data->addSeparator();
    shared(data, "M_Company");
    data->addSeparator();
    entry(data, "Menu_Reminder", "工作日程提醒");

    QMenu* query = top("Menu_Query", "数据查询");
    query->addAction(
        mirrorOf(action(QStringLiteral("SearchCust")), QStringLiteral("Menu_SearchCust"), u("客户查询(&A)")));
    entry(query, "Menu_SaleQuery", "销售记录查询");

    QMenu* stat = top("Menu_Stat", "统计分析");
    entry(stat, "Menu_ContactList", "联系人统计列表");
    entry(stat, "Menu_ScheduleStat", "工作日程统计列表");
    entry(stat, "Menu_PriceStat", "商品报价统计列表");
    entry(stat, "Menu_VisitStat", "售后回访统计列表");
    entry(stat, "Menu_FeedbackStat", "投诉反馈统计列表");
    entry(stat, "Menu_TrackStat", "客户跟进统计列表");
    entry(stat, "Menu_BargainStat", "合同管理统计列表");
    stat->addSeparator();
    entry(stat, "Menu_CustChart", "客户统计分析");
    QMenu* sum = makeSubMenu(stat, QStringLiteral("Menu_SaleSum"), u("销售汇总报表"));
    entry(sum, "Menu_SaleSumProduct", "按商品名称汇总");
    entry(sum, "Menu_SaleSumCust", "按客户名称汇总");
    entry(sum, "Menu_SaleSumPeople", "按业务员名称汇总");
    entry(stat, "Menu_SaleDetail", "销售明细报表");
    stat->addSeparator();
    entry(stat, "Menu_PeopleTCStat", "业务员提成分析");

    QMenu* print = top("Menu_Print", "报表打印");
    entry(print, "Menu_PrintCustSheet", "客户基本资料打印");
    print->addSeparator();
    entry(print, "Menu_PrintEnvelope", "客户信封打印");
    entry(print, "Menu_PrintLabel", "客户信封标签打印");

    QMenu* tools = top("Menu_Tools", "实用工具");
    entry(tools, "Menu_Calculator", "计算器");
    entry(tools, "Menu_Notepad", "记事本");
    entry(tools, "Menu_PostCode", "邮编 区号 查询");
    tools->addSeparator();
    entry(tools, "Menu_ImportTool", "从单机版导入数据工具");

    QMenu* help = top("Menu_HelpFile", "帮助文件");
    entry(help, "Menu_Help", "帮助文件")->setShortcut(QKeySequence(Qt::Key_F1));

    addAction(action(QStringLiteral("Menu_Exit")));
    addAction(action(QStringLiteral("Menu_Help")));
}

QToolButton* Frm_Main::makeToolButton(const QString& name, const QString& caption, const QString& hint,
                                      const QString& picture) {
    auto* b = new QToolButton(toolBar_);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setFixedSize(55, 51);
    b->setIconSize(QSize(24, 24));
    b->setStyle(tipStyle_);
    const QString file = ctx_.path(QStringLiteral("IMG/") + picture);
    if (QFileInfo::exists(file)) b->setIcon(QIcon(file));  // a missing picture just shows no icon
    toolBar_->addWidget(b);
    return b;
}

void Frm_Main::createToolBar() {
    toolBar_ = addToolBar(u("工具栏"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    tipStyle_ = new ImmediateTipStyle;
    tipStyle_->setParent(this);

    // A button that runs a command of its own takes its caption, hint and picture from its action.
    auto withAction = [this](QToolButton* b, QAction* a) {
        a->setToolTip(b->toolTip());
        a->setStatusTip(b->statusTip());
        a->setIcon(b->icon());
        b->setDefaultAction(a);
    };
    auto dropMenu = [this](QToolButton* b, const char* name, QToolButton::ToolButtonPopupMode mode) {
        auto* m = new QMenu(b);
        m->setObjectName(QString::fromLatin1(name));
        b->setMenu(m);
        b->setPopupMode(mode);
        // The drop-down arrow takes room beside the caption: a four-character caption must not be cut.
        b->setFixedWidth(std::max(55, b->sizeHint().width()));
        return m;
    };
    auto twin = [this](QMenu* m, const char* name, const char* caption, const char* menuEntry) {
        m->addAction(makeEntry(QString::fromLatin1(name), u(caption), QString::fromLatin1(menuEntry)));
    };

    QToolButton* cust =
        makeToolButton(QStringLiteral("TB_Cust"), u("客户管理"),
                       u("管理客户资料，用来新增 编辑 删除客户资料"), QStringLiteral("tb_cust.png"));
    withAction(cust, makeEntry(kWorkbench, u("客户管理")));
    QMenu* custMenu = dropMenu(cust, "Drop_Cust", QToolButton::MenuButtonPopup);
    for (const char* n : {"AddCust", "EditCust", "DelCust"})
        custMenu->addAction(action(QString::fromLatin1(n)));

    QToolButton* products =
        makeToolButton(QStringLiteral("TB_Products"), u("商品管理"),
                       u("管理商品资料，用来新增，编辑，删除商品资料"), QStringLiteral("tb_products.png"));
    withAction(products, makeEntry(kProductList, u("商品管理")));

    QToolButton* sale =
        makeToolButton(QStringLiteral("TB_Sale"), u("销售管理"),
                       u("管理销售记录，用来新增，编辑，删除销售记录"), QStringLiteral("tb_sale.png"));
    QMenu* saleMenu = dropMenu(sale, "Drop_Sale", QToolButton::InstantPopup);
    for (const char* n : {"Addsale", "Editsale", "Delsale"})
        saleMenu->addAction(action(QString::fromLatin1(n)));

    toolBar_->addSeparator();

    QToolButton* people =
        makeToolButton(QStringLiteral("TB_People"), u("业务员"), QString(), QStringLiteral("tb_people.png"));
    QMenu* peopleMenu = dropMenu(people, "Drop_People", QToolButton::InstantPopup);
    peopleMenu->addAction(makeEntry(kPeopleList, u("业务员档案")));
    twin(peopleMenu, "Drop_PeopleTC", "业务员提成", "Menu_PeopleTC");

    QToolButton* schedule = makeToolButton(QStringLiteral("TB_Schedule"), u("工作日程"), u("管理工作日程"),
                                           QStringLiteral("tb_schedule.png"));
    withAction(schedule, makeEntry(kScheduleList, u("工作日程")));

    toolBar_->addSeparator();

    QToolButton* stat = makeToolButton(QStringLiteral("TB_Stat"), u("统计分析"),
                                       u("对客户的相关的信息进行统计分析"), QStringLiteral("tb_stat.png"));
    QMenu* statMenu = dropMenu(stat, "Drop_Stat", QToolButton::InstantPopup);
    twin(statMenu, "Drop_ScheduleStat", "工作日程统计列表", "Menu_ScheduleStat");
    twin(statMenu, "Drop_PriceStat", "商品报价统计列表", "Menu_PriceStat");
    twin(statMenu, "Drop_VisitStat", "售后回访统计列表", "Menu_VisitStat");
    twin(statMenu, "Drop_FeedbackStat", "投诉反馈统计列表", "Menu_FeedbackStat");
    twin(statMenu, "Drop_TrackStat", "客户跟进统计列表", "Menu_TrackStat");
    twin(statMenu, "Drop_BargainStat", "合同管理统计列表", "Menu_BargainStat");
    statMenu->addSeparator();
    twin(statMenu, "Drop_CustChart", "客户统计分析", "Menu_CustChart");
    QMenu* sum = makeSubMenu(statMenu, QStringLiteral("Drop_SaleSum"), u("销售汇总报表"));
    twin(sum, "Drop_SaleSumProduct", "按商品名称汇总", "Menu_SaleSumProduct");
    twin(sum, "Drop_SaleSumCust", "按客户名称汇总", "Menu_SaleSumCust");
    twin(sum, "Drop_SaleSumPeople", "按业务员名称汇总", "Menu_SaleSumPeople");
    twin(statMenu, "Drop_SaleDetail", "销售明细报表", "Menu_SaleDetail");
    statMenu->addSeparator();
    twin(statMenu, "Drop_PeopleTCStat", "业务员提成分析", "Menu_PeopleTCStat");

    QToolButton* print = makeToolButton(QStringLiteral("TB_Print"), u("报表打印"),
                                        u("打印预览客户和客户相关的信息"), QStringLiteral("tb_print.png"));
    QMenu* printMenu = dropMenu(print, "Drop_Print", QToolButton::InstantPopup);
    twin(printMenu, "Drop_PrintCustSheet", "客户资料打印", "Menu_PrintCustSheet");
    twin(printMenu, "Drop_PrintEnvelope", "客户信封打印", "Menu_PrintEnvelope");
    twin(printMenu, "Drop_PrintLabel", "客户信封标签打印", "Menu_PrintLabel");

    toolBar_->addSeparator();

    QToolButton* search = makeToolButton(QStringLiteral("TB_Search"), u("客户查询"), u("查询客户详细信息"),
                                         QStringLiteral("tb_search.png"));
    withAction(search, mirrorOf(action(QStringLiteral("SearchCust")), QStringLiteral("TB_SearchCust"),
                                u("客户查询")));

    QToolButton* help = makeToolButton(QStringLiteral("TB_Help"), u("帮助文件"), u("点击查看帮助文件"),
                                       QStringLiteral("tb_help.png"));
    withAction(help, makeEntry(QStringLiteral("Help"), u("帮助文件"), QStringLiteral("Menu_Help")));
}

void Frm_Main::createStatusBar() {
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panels_[i]->setMinimumWidth(i == 2 ? 300 : 200);
        statusBar()->addWidget(panels_[i], i == 2 ? 1 : 0);
    }
}

void Frm_Main::connectBuiltins() {
    setHandler(QStringLiteral("Menu_Exit"), [this] { close(); });
    setHandler(QStringLiteral("Menu_Relogin"), [this] { relogin(); });
    setHandler(QStringLiteral("Menu_ChangePassword"), [this] { changePassword(); });
    setHandler(QStringLiteral("Menu_Calculator"),
               [this] { ExternalTools::startFirstFound(ctx_.shell, ExternalTools::calculators()); });
    setHandler(QStringLiteral("Menu_Notepad"),
               [this] { ExternalTools::startFirstFound(ctx_.shell, ExternalTools::textEditors()); });
    // Programs of the program folder are started without checking that they exist.
    setHandler(QStringLiteral("Menu_PostCode"),
               [this] { ctx_.shell.start(ctx_.path(QStringLiteral("search")), {}); });
    setHandler(QStringLiteral("Menu_ImportTool"),
               [this] { ctx_.shell.start(ctx_.path(QStringLiteral("Access")), {}); });
    setHandler(QStringLiteral("Menu_Help"), [this] { openHelp(); });
}

void Frm_Main::openHelp() { ctx_.shell.open(ctx_.path(QStringLiteral("Help/index.html"))); }

}  // namespace qv
