#include "Frm_Awoke.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

#include "Clock.h"
#include "CommandGuard.h"
#include "Context.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "NumberText.h"
#include "Prompter.h"
#include "ScheduleGrid.h"
#include "ScheduleQueries.h"

namespace qv {

namespace {

const QString kSection = QStringLiteral("other");
const QString kAwokeKey = QStringLiteral("awoke");
const QString kDayKey = QStringLiteral("Day");

[[noreturn]] void failedWrite(const QString& path) {
    throw std::runtime_error(QStringLiteral("无法写入配置文件 %1").arg(path).toStdString());
}

}  // namespace

Frm_Awoke::Frm_Awoke(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) { buildWidgets(); }

Frm_Awoke::~Frm_Awoke() = default;

void Frm_Awoke::buildWidgets() {
    setObjectName(QStringLiteral("Frm_Awoke"));
    setWindowTitle(QStringLiteral("工作日程提醒"));
    auto* layout = new QVBoxLayout(this);
    Grid = new ScheduleGrid(ctx_, QStringLiteral("Grid_Awoke"), this);
    layout->addWidget(Grid, 1);

    auto* panel = new QHBoxLayout;
    Edit_Day = new QLineEdit(this);
    Edit_Day->setObjectName(QStringLiteral("Edit_Day"));
    Edit_Day->setMaximumWidth(60);
    panel->addWidget(Edit_Day);
    panel->addWidget(new QLabel(QStringLiteral("天"), this));
    CB_Awoke = new QCheckBox(QStringLiteral("每次程序启动时弹出提醒窗口"), this);
    CB_Awoke->setObjectName(QStringLiteral("CB_Awoke"));
    panel->addWidget(CB_Awoke);
    panel->addStretch(1);
    auto button = [this, panel](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        panel->addWidget(b);
        return b;
    };
    Btn_Refresh = button("Btn_Refresh", QStringLiteral("刷新(&R)"));
    Btn_Print = button("Btn_Print", QStringLiteral("打印(&P)"));
    Btn_Close = button("Btn_Close", QStringLiteral("退出(&Q)"));
    layout->addLayout(panel);
    resize(760, 420);

    connect(Btn_Refresh, &QPushButton::clicked, this, [this] { guarded([this] { refresh(); }); });
    connect(Btn_Print, &QPushButton::clicked, this, [this] { guarded([this] { Grid->print(false); }); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    // Only the operator's click writes the setting, not the box being set when the window shows.
    connect(CB_Awoke, &QCheckBox::clicked, this,
            [this](bool checked) { guarded([this, checked] { writeAwoke(checked); }); });
}

void Frm_Awoke::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    firstShow();
}

void Frm_Awoke::firstShow() {
    // Shown once: the main window's timer must not open it a second time.
    if (ctx_.main && ctx_.main->reminderTimer()) ctx_.main->reminderTimer()->stop();
    IniFile& ini = ctx_.data.ini();
    CB_Awoke->setChecked(ini.readInt(kSection, kAwokeKey, -1) == 0);
    Edit_Day->setText(ini.readString(kSection, kDayKey));
    if (Edit_Day->text().isEmpty()) Edit_Day->setText(QStringLiteral("0"));
    guarded([this] { refresh(); });
}

std::optional<int> Frm_Awoke::dayOffset() const {
    bool ok = false;
    const int n = Edit_Day->text().trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return n;
}

void Frm_Awoke::refresh() {
    const std::optional<int> n = dayOffset();
    if (!n) throw std::runtime_error(invalidNumberText(Edit_Day->text()).toStdString());
    Grid->run(schedule::reminderStatement(ctx_.clock.now(), *n));
    Grid->applyLayout(QStringLiteral("Schedule"));
}

void Frm_Awoke::writeAwoke(bool checked) {
    IniFile& ini = ctx_.data.ini();
    if (!ini.writeInt(kSection, kAwokeKey, checked ? 0 : 1)) failedWrite(ini.path());
}

void Frm_Awoke::done(int result) {
    // The day offset is kept for the next time; a box without an integer keeps the stored one.
    if (const std::optional<int> n = dayOffset()) {
        guarded([this, n] {
            IniFile& ini = ctx_.data.ini();
            if (!ini.writeString(kSection, kDayKey, QString::number(*n))) failedWrite(ini.path());
        });
    }
    QDialog::done(result);
}

void Frm_Awoke::guarded(const std::function<void()>& step) { runGuarded(ctx_.prompter, this, step); }

}  // namespace qv
