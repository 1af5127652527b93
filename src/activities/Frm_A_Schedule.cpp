#include "Frm_A_Schedule.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Clock.h"
#include "CommandGuard.h"
#include "Context.h"
#include "Frm_Data.h"
#include "ListStrip.h"
#include "LoginState.h"
#include "RefillComboBox.h"
#include "ScheduleGrid.h"
#include "WidgetStep.h"

namespace qv {

namespace {

constexpr int kPrintRight = 26;
constexpr int kQueryRight = 27;
constexpr int kExcelRight = 28;
constexpr int kAllSchedulesRight = 92;
constexpr int kPeriodRole = Qt::UserRole;

QStringList subjects(const Database& db) {
    QSqlQuery q = db.exec(QStringLiteral("select * from t_subject "));
    const int col = q.record().indexOf(QStringLiteral("name"));
    QStringList out;
    while (q.next()) out << q.value(col < 0 ? 1 : col).toString().trimmed();
    return out;
}

}  // namespace

Frm_A_Schedule::Frm_A_Schedule(Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setAttribute(Qt::WA_DeleteOnClose);
    buildWidgets();
}

Frm_A_Schedule::~Frm_A_Schedule() = default;

void Frm_A_Schedule::buildWidgets() {
    setObjectName(QStringLiteral("Frm_A_Schedule"));
    setWindowTitle(QStringLiteral("工作日程管理"));
    auto* layout = new QVBoxLayout(this);

    auto* strip = new QHBoxLayout;
    strip->addWidget(new QLabel(QStringLiteral("事务主题模糊查询"), this));
    Combo_Subject = new RefillComboBox(this);
    Combo_Subject->setObjectName(QStringLiteral("Combo_Subject"));
    Combo_Subject->setEditable(true);
    Combo_Subject->setMinimumWidth(140);
    Combo_Subject->setPrompter(&ctx_.prompter);
    const Database& db = ctx_.data.db();
    Combo_Subject->setSource([&db] { return subjects(db); });
    strip->addWidget(Combo_Subject);
    strip->addWidget(new QLabel(QStringLiteral("日    期"), this));
    liststrip::addDateRange(this, strip, Date_From, Date_To);
    Btn_Query = liststrip::addButton(this, strip, "Btn_Query", QStringLiteral("查询&F"));
    Btn_Print = liststrip::addButton(this, strip, "Btn_Print", QStringLiteral("打印&P"));
    Btn_Close = liststrip::addButton(this, strip, "Btn_Close", QStringLiteral("退出&Q"));
    Btn_Excel = liststrip::addButton(this, strip, "Btn_Excel", QStringLiteral("Excel"));
    strip->addStretch(1);
    layout->addLayout(strip);

    auto* split = new QSplitter(this);
    TreeView1 = new QTreeWidget(split);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setToolTip(QStringLiteral("双击即可查询事务"));
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* root = new QTreeWidgetItem(TreeView1, {QStringLiteral("所有事务")});
    root->setData(0, kPeriodRole, int(schedule::Period::All));
    const std::pair<const char*, schedule::Period> nodes[] = {{"今日事务", schedule::Period::Today},
                                                              {"明日事务", schedule::Period::Tomorrow},
                                                              {"本周事务", schedule::Period::Week},
                                                              {"历史事务", schedule::Period::History}};
    for (auto [caption, period] : nodes) {
        auto* node = new QTreeWidgetItem(root, {QString::fromUtf8(caption)});
        node->setData(0, kPeriodRole, int(period));
    }
    Grid = new ScheduleGrid(ctx_, QStringLiteral("Grid_Schedule"), split);
    split->setStretchFactor(1, 1);
    split->setSizes({160, 640});
    layout->addWidget(split, 1);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    layout->addWidget(StatusBar1);

    const LoginState* login = ctx_.login;
    Btn_Print->setEnabled(login && login->right(kPrintRight));
    Btn_Query->setEnabled(login && login->right(kQueryRight));
    Btn_Excel->setEnabled(login && login->right(kExcelRight));

    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        runPeriod(schedule::Period(item->data(0, kPeriodRole).toInt()));
    });
    connect(Btn_Query, &QPushButton::clicked, this, [this] { guarded([this] { search(); }); });
    connect(Btn_Print, &QPushButton::clicked, this, [this] { guarded([this] { Grid->print(true); }); });
    connect(Btn_Excel, &QPushButton::clicked, this, [this] { guarded([this] { Grid->exportToExcel(); }); });
    connect(Btn_Close, &QPushButton::clicked, this, [this] {
        // Inside the main window the sub-window holds this window: closing it destroys both.
        if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
            parentWidget()->close();
        else
            close();
    });
}

void Frm_A_Schedule::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    prepare();
}

void Frm_A_Schedule::prepare() {
    if (shown_) return;
    shown_ = true;
    guarded([this] { firstShow(); });
}

schedule::Viewer Frm_A_Schedule::viewer() const {
    const LoginState* login = ctx_.login;
    return {login && login->right(kAllSchedulesRight), login ? login->currentUser() : QString()};
}

void Frm_A_Schedule::firstShow() {
    const QDate today = ctx_.clock.today();
    Date_From->setDate(QDate(today.year(), today.month(), 1));
    Date_To->setDate(today);
    TreeView1->expandAll();
    Grid->run(schedule::periodStatement(schedule::Period::All, viewer(), today));
    Grid->applyLayout();
}

void Frm_A_Schedule::runPeriod(schedule::Period period) {
    guarded([this, period] {
        const QDate today = ctx_.clock.today();
        const schedule::PickerDates dates = schedule::periodPickers(period, today);
        if (dates.from.isValid()) Date_From->setDate(dates.from);
        if (dates.to.isValid()) Date_To->setDate(dates.to);
        Grid->run(schedule::periodStatement(period, viewer(), today));
        StatusBar1->showMessage(QStringLiteral("当前共有 %1 条工作日程记录").arg(Grid->rowsInAll()));
        Grid->applyLayout();
    });
}

void Frm_A_Schedule::search() {
    Grid->run(schedule::searchStatement(Combo_Subject->currentText(), Date_From->date(), Date_To->date(),
                                        viewer()));
}

void Frm_A_Schedule::guarded(const std::function<void()>& step) { runGuarded(ctx_.prompter, this, step); }

}  // namespace qv
