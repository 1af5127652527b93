#include "ActivityLists.h"

#include <QAction>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "Clock.h"
#include "CommandGuard.h"
#include "CompanyComboBox.h"
#include "Context.h"
#include "DBGrid.h"
#include "Dataset.h"
#include "DbError.h"
#include "Dialect.h"
#include "Frm_Data.h"
#include "Frm_FieldShow.h"
#include "GridExport.h"
#include "GridPrint.h"
#include "GridServices.h"
#include "ListStrip.h"
#include "Prompter.h"
#include "Report.h"
#include "ReportCommands.h"
#include "WidgetStep.h"

namespace qv {

const ActivityListKind& priceListKind() {
    static const ActivityListKind k{
        "Frm_A_price", "商品报价统计列表", "V_Temp_price", "报价日期", "baojiatime",
        "temp_price",  "temp_price",       nullptr,        nullptr,    false};
    return k;
}
const ActivityListKind& visitListKind() {
    static const ActivityListKind k{
        "Frm_A_visit", "售后回访统计列表", "V_Temp_visit",          "回访日期",  "visittime",
        "temp_visit",  "temp_visit",       "reports\\fr_visit.frf", "Qry_visit", false};
    return k;
}
const ActivityListKind& feedbackListKind() {
    static const ActivityListKind k{
        "Frm_A_feedback", "投诉反馈统计列表", "V_Temp_feedback", "投诉日期", "feedbacktime",
        "temp_feedback",  "temp_feedback",    nullptr,           nullptr,    false};
    return k;
}
const ActivityListKind& trackListKind() {
    static const ActivityListKind k{
        "Frm_A_track", "客户跟进统计列表", "V_Temp_track",          "联系日期",  "lasttime",
        "temp_track",  "temp_track",       "reports\\fr_track.frf", "Qry_track", false};
    return k;
}
const ActivityListKind& bargainListKind() {
    static const ActivityListKind k{
        "Frm_A_bargain", "合同管理统计列表", "V_Temp_bargain", "合同日期", "bargaintime",
        "temp_bargain",  "temp_bargain",     nullptr,          nullptr,    true};
    return k;
}
const ActivityListKind& relationListKind() {
    static const ActivityListKind k{"Frm_A_relation", "联系人统计列表", "contact", nullptr, nullptr,
                                    "Contact",        "contact",        nullptr,   nullptr, true};
    return k;
}

schedule::Statement activityListStatement(const ActivityListKind& kind, const QString& text, QDate from,
                                          QDate to) {
    schedule::Statement s;
    QStringList where;
    if (!text.trimmed().isEmpty()) {
        if (!kind.keyword) {
            where << QStringLiteral("company=:text");
            s.params.insert(QStringLiteral("text"), text);
        } else {
            const QStringList columns =
                kind.dateColumn ? QStringList{"company", "bargainname", "people", "filepath", "finish"}
                                : QStringList{"Name", "company"};
            QStringList any;
            for (const QString& c : columns) any << Dialect::likeCondition(c, QStringLiteral("text"));
            where << QLatin1Char('(') + any.join(QStringLiteral(" or ")) + QLatin1Char(')');
            s.params.insert(QStringLiteral("text"), Dialect::likePrefix(text));
        }
    }
    if (kind.dateColumn) {
        // Whole days: from the first day's midnight up to, not including, the midnight after the last.
        const QString col = QLatin1String(kind.dateColumn);
        where << col + QStringLiteral(">=:from and ") + col + QStringLiteral("<:to");
        s.params.insert(QStringLiteral("from"), QDateTime(from, QTime(0, 0)));
        s.params.insert(QStringLiteral("to"), QDateTime(to.addDays(1), QTime(0, 0)));
    }
    s.sql = QStringLiteral("select * from ") + QLatin1String(kind.source);
    if (!where.isEmpty()) s.sql += QStringLiteral(" where ") + where.join(QStringLiteral(" and "));
    return s;
}

namespace {

QString datasetName(const ActivityListKind& kind) {
    return kind.reportSource ? QLatin1String(kind.reportSource)
                             : QStringLiteral("Qry_") + QLatin1String(kind.gridKey);
}

}  // namespace

ActivityList::ActivityList(Context& ctx, const ActivityListKind& kind, QWidget* parent)
    : QWidget(parent), ctx_(ctx), kind_(kind) {
    setAttribute(Qt::WA_DeleteOnClose);
    buildWidgets();
    if (kind_.reportFile) {
        report_ = std::make_unique<Report>(QLatin1String(kind_.reportSource).mid(4));
        report_->setSource(QLatin1String(kind_.reportSource), dataset_);
        try {
            report_->loadTemplate(ctx_.home, QLatin1String(kind_.reportFile));
        } catch (const DbError& e) {
            ctx_.prompter.error(e.text());
        }
    }
}

ActivityList::~ActivityList() = default;

void ActivityList::buildWidgets() {
    setObjectName(QLatin1String(kind_.className));
    setWindowTitle(QString::fromUtf8(kind_.title));
    auto* layout = new QVBoxLayout(this);
    auto* strip = new QHBoxLayout;
    if (kind_.keyword) {
        strip->addWidget(new QLabel(QStringLiteral("模糊查询"), this));
        Edit_Keyword = new QLineEdit(this);
        Edit_Keyword->setObjectName(QStringLiteral("Edit_Keyword"));
        Edit_Keyword->setMinimumWidth(160);
        Edit_Keyword->installEventFilter(this);
        strip->addWidget(Edit_Keyword);
    } else {
        strip->addWidget(new QLabel(QStringLiteral("客户名称"), this));
        Combo_Cust = liststrip::addCompanyBox(this, strip, ctx_.data.db(), ctx_.prompter);
    }
    if (kind_.dateLabel) {
        strip->addWidget(new QLabel(QString::fromUtf8(kind_.dateLabel), this));
        liststrip::addDateRange(this, strip, Date_From, Date_To);
    }
    Btn_Query = liststrip::addButton(this, strip, "Btn_Query", QStringLiteral("查询&F"));
    Btn_Print = liststrip::addButton(this, strip, "Btn_Print", QStringLiteral("打印&P"));
    if (kind_.reportFile)
        Btn_Design = liststrip::addButton(this, strip, "Btn_Design", QStringLiteral("设置&S"));
    Btn_Close = liststrip::addButton(this, strip, "Btn_Close", QStringLiteral("退出&Q"));
    Btn_Excel = liststrip::addButton(this, strip, "Btn_Excel", QStringLiteral("Excel"));
    strip->addStretch(1);
    layout->addLayout(strip);
    if (Edit_Keyword) {
        Label_Note = new QLabel(kind_.dateColumn
                                    ? QStringLiteral("按照客户名称，合同名称，业务员，文件路径，完成情况查询")
                                    : QStringLiteral("按照联系人姓名,客户名称模糊查询"),
                                this);
        Label_Note->setObjectName(QStringLiteral("Label_Note"));
        Label_Note->setStyleSheet(QStringLiteral("color: red;"));
        Label_Note->hide();
        layout->addWidget(Label_Note);
    }

    dataset_ = new Dataset(ctx_.data.db(), datasetName(kind_), this);
    grid_ = new DBGrid(this);
    grid_->setObjectName(QStringLiteral("Grid_List"));
    grid_->setReadOnly(true);
    grid_->setRowSelect(true);
    grid_->setMultiSelect(true);
    grid_->setFooterVisible(true);
    grid_->setDataset(dataset_);
    layout->addWidget(grid_, 1);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("Grid_List_Menu"));
    auto entry = [this](const char* name, const QString& caption, std::function<void()> fn) {
        QAction* a = menu_->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, fn] { guarded(fn); });
    };
    const QString key = QLatin1String(kind_.gridKey);
    entry("Menu_ShowField", QStringLiteral("设置列显示"), [this, key] {
        if (ShowFieldChooser(ctx_, QLatin1String(kind_.menuKey), window()))
            ApplyGridLayout(ctx_, *grid_, *dataset_, key);
    });
    entry("Menu_SaveLayout", QStringLiteral("保存列属性"),
          [this] { SaveGridLayout(ctx_, *grid_, QLatin1String(kind_.menuKey), true); });
    if (kind_.dateColumn)
        entry("Menu_Refresh", QStringLiteral("刷新"),
              [this, key] { ApplyGridLayout(ctx_, *grid_, *dataset_, key); });
    grid_->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_->view(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menu_->popup(grid_->view()->viewport()->mapToGlobal(pos)); });

    connect(Btn_Query, &QPushButton::clicked, this, [this] { query(); });
    connect(Btn_Print, &QPushButton::clicked, this, [this] { guarded([this] { print(); }); });
    if (Btn_Design)
        connect(Btn_Design, &QPushButton::clicked, this, [this] {
            guarded([this] {
                designReport(
                    *report_, ctx_.prompter, this, [this](QDialog& d) { return ctx_.runModal(d); },
                    ctx_.clock.today());
            });
        });
    connect(Btn_Excel, &QPushButton::clicked, this,
            [this] { guarded([this] { ExportGridToExcel(ctx_, *dataset_, *grid_); }); });
    connect(Btn_Close, &QPushButton::clicked, this, [this] {
        // Inside the main window the sub-window holds this window: closing it destroys both.
        if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
            parentWidget()->close();
        else
            close();
    });
}

bool ActivityList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_Keyword && Label_Note) {
        if (event->type() == QEvent::FocusIn) Label_Note->show();
        if (event->type() == QEvent::FocusOut) Label_Note->hide();
    }
    return QWidget::eventFilter(watched, event);
}

void ActivityList::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    prepare();
}

void ActivityList::prepare() {
    if (shown_) return;
    shown_ = true;
    guarded([this] {
        if (Date_From) {
            const QDate today = ctx_.clock.today();
            Date_From->setDate(QDate(today.year(), today.month(), 1));
            Date_To->setDate(today);
        }
        ApplyGridLayout(ctx_, *grid_, *dataset_, QLatin1String(kind_.gridKey));
    });
}

void ActivityList::query() {
    guarded([this] {
        const QString text = Edit_Keyword ? Edit_Keyword->text() : Combo_Cust->currentText();
        const schedule::Statement s = activityListStatement(
            kind_, text, Date_From ? Date_From->date() : QDate(), Date_To ? Date_To->date() : QDate());
        // The statement runs into a fresh dataset; the grid changes over only when it succeeded, so a
        // failing statement leaves the rows shown before.
        auto* fresh = new Dataset(ctx_.data.db(), datasetName(kind_), this);
        try {
            const WaitCursor wait;
            ctx_.data.OpenQuery(*fresh, s.sql, s.params);
        } catch (...) {
            delete fresh;
            throw;
        }
        Dataset* old = dataset_;
        dataset_ = fresh;
        grid_->setDataset(dataset_);
        if (report_) report_->setSource(QLatin1String(kind_.reportSource), dataset_);
        delete old;
        ApplyGridLayout(ctx_, *grid_, *dataset_, QLatin1String(kind_.gridKey));
    });
}

void ActivityList::print() {
    if (report_) {
        showReport(
            *report_, ctx_.prompter, this, [this](QDialog& d) { return ctx_.runModal(d); },
            ctx_.clock.today());
        return;
    }
    GridPrintOptions options;
    options.title = QStringLiteral("销售分析");
    options.optimalWidths = true;
    PreviewGrid(ctx_, *grid_, options, window());
}

void ActivityList::guarded(const std::function<void()>& step) { runGuarded(ctx_.prompter, this, step); }

}  // namespace qv
