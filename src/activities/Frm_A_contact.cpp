#include "Frm_A_contact.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Clock.h"
#include "CommandGuard.h"
#include "CompanyComboBox.h"
#include "Context.h"
#include "Dataset.h"
#include "Frm_Data.h"
#include "ListStrip.h"
#include "ScheduleGrid.h"
#include "ScheduleQueries.h"

namespace qv {

Frm_A_contact::Frm_A_contact(Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setAttribute(Qt::WA_DeleteOnClose);
    buildWidgets();
}

Frm_A_contact::~Frm_A_contact() = default;

void Frm_A_contact::buildWidgets() {
    setObjectName(QStringLiteral("Frm_A_contact"));
    setWindowTitle(QStringLiteral("工作日程统计列表"));
    auto* layout = new QVBoxLayout(this);
    auto* strip = new QHBoxLayout;
    strip->addWidget(new QLabel(QStringLiteral("客户名称"), this));
    Combo_Cust = liststrip::addCompanyBox(this, strip, ctx_.data.db(), ctx_.prompter);
    strip->addWidget(new QLabel(QStringLiteral("联系日期"), this));
    liststrip::addDateRange(this, strip, Date_From, Date_To);
    Btn_Query = liststrip::addButton(this, strip, "Btn_Query", QStringLiteral("查询&F"));
    Btn_Print = liststrip::addButton(this, strip, "Btn_Print", QStringLiteral("打印&P"));
    Btn_Close = liststrip::addButton(this, strip, "Btn_Close", QStringLiteral("退出&Q"));
    Btn_Excel = liststrip::addButton(this, strip, "Btn_Excel", QStringLiteral("Excel"));
    strip->addStretch(1);
    layout->addLayout(strip);
    Grid = new ScheduleGrid(ctx_, QStringLiteral("Grid_ScheduleStat"), this);
    layout->addWidget(Grid, 1);

    connect(Btn_Query, &QPushButton::clicked, this, [this] { guarded([this] { search(); }); });
    connect(Btn_Print, &QPushButton::clicked, this, [this] { guarded([this] { Grid->print(true); }); });
    connect(Btn_Excel, &QPushButton::clicked, this, [this] {
        guarded([this] {
            if (Grid->dataset().isOpen()) Grid->exportToExcel();
        });
    });
    connect(Btn_Close, &QPushButton::clicked, this, [this] {
        if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
            parentWidget()->close();
        else
            close();
    });
}

void Frm_A_contact::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    prepare();
}

void Frm_A_contact::prepare() {
    if (shown_) return;
    shown_ = true;
    const QDate today = ctx_.clock.today();
    Date_From->setDate(QDate(today.year(), today.month(), 1));
    Date_To->setDate(today);
    guarded([this] { Grid->applyLayout(); });
}

void Frm_A_contact::search() {
    Grid->run(schedule::customerStatement(Combo_Cust->currentText(), Date_From->date(), Date_To->date()));
    Grid->applyLayout();
}

void Frm_A_contact::guarded(const std::function<void()>& step) { runGuarded(ctx_.prompter, this, step); }

}  // namespace qv
