#include "Frm_FollowUp.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <stdexcept>

#include "Clock.h"
#include "CommandGuard.h"
#include "Context.h"
#include "DBNavigator.h"
#include "Dataset.h"
#include "DigitFilter.h"
#include "EditorForm.h"
#include "EnterMovesFocus.h"
#include "FollowUpKinds.h"
#include "Frm_Data.h"
#include "ListEditorButton.h"
#include "Money.h"
#include "NameLists.h"
#include "NumberText.h"
#include "Prompter.h"
#include "RefillComboBox.h"
#include "Shell.h"
#include "WidgetStep.h"

namespace qv {

namespace {

using C = FollowUpControl;

const QString kNotice = QStringLiteral("提醒");

QString u(const char* text) { return QString::fromUtf8(text); }
QString named(const char* prefix, const FollowUpField& f) {
    return QLatin1String(prefix) + QLatin1String(f.column);
}

// An amount as the box shows it: no trailing zeros after the point.
QString moneyText(const QVariant& v) {
    QString s = Money::fromVariant(v).toString(4);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    }
    return s;
}

}  // namespace

// --- entries --------------------------------------------------------------------------------------

QWidget* Frm_FollowUp::Entry::control() const {
    if (line) return line;
    if (combo) return combo;
    if (memo) return memo;
    return date;
}

QString Frm_FollowUp::Entry::text() const {
    if (line) return line->text();
    if (combo) return combo->currentText();
    if (memo) return memo->toPlainText();
    return {};
}

void Frm_FollowUp::Entry::setText(const QString& text) const {
    if (line) line->setText(text);
    if (combo) combo->setEditText(text);
    if (memo) memo->setPlainText(text);
}

// --- building -------------------------------------------------------------------------------------

Frm_FollowUp::Frm_FollowUp(Context& ctx, const FollowUpKind& kind, Mode mode, QWidget* parent)
    : QDialog(parent), ctx_(ctx), kind_(kind), mode_(mode) {
    buildWidgets();
    fillAtStart();
    if (mode_ == Mode::Add)
        showAdd();
    else
        showEdit();
    if (!kind_.centred) move(kind_.designedPosition);
}

Frm_FollowUp::~Frm_FollowUp() = default;

Dataset& Frm_FollowUp::dataset() const { return *(ctx_.data.*kind_.dataset); }

void Frm_FollowUp::buildWidgets() {
    setObjectName(QLatin1String(kind_.window));
    auto* layout = new QVBoxLayout(this);
    GroupBox1 = new QGroupBox(u(kind_.groupBox), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(GroupBox1);
    grid->setColumnStretch(1, 1);
    QWidget* previous = nullptr;
    for (const FollowUpField& f : kind_.fields) {
        QWidget* cell = nullptr;
        Entry e = makeEntry(f, GroupBox1, &cell);
        const int row = int(entries_.size());
        addFormRow(grid, row, 0, u(f.label), e.control(), cell);
        if (e.memo) grid->setRowStretch(row, 1);
        for (QWidget* w : {e.control(), static_cast<QWidget*>(e.check)}) {
            if (!w) continue;
            if (previous) QWidget::setTabOrder(previous, w);
            previous = w;
        }
        entries_ << e;
    }
    layout->addWidget(GroupBox1);

    auto* bottom = new QHBoxLayout;
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setPrompter(&ctx_.prompter);
    bottom->addWidget(DBNavigator1);
    bottom->addStretch(1);
    Btn_OK = new QPushButton(this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_OK->setDefault(true);
    Btn_Close = new QPushButton(QStringLiteral("关闭(&Q)"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setAutoDefault(false);
    bottom->addWidget(Btn_OK);
    bottom->addWidget(Btn_Close);
    layout->addLayout(bottom);
    if (previous) QWidget::setTabOrder(previous, Btn_OK);
    QWidget::setTabOrder(Btn_OK, Btn_Close);

    connect(Btn_OK, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBNavigator1, &DBNavigator::moved, this, [this] { guarded([this] { loadCurrent(); }); });
    EnterMovesFocus::install(this);
    setMinimumWidth(440);
}

Frm_FollowUp::Entry Frm_FollowUp::makeEntry(const FollowUpField& f, QWidget* box, QWidget** cell) {
    Entry e;
    e.field = &f;
    switch (f.control) {
        case C::Date:
        case C::CheckedDate:
            e.date = new QDateEdit(box);
            e.date->setObjectName(named("Date_", f));
            e.date->setCalendarPopup(true);
            e.date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
            if (f.control == C::CheckedDate) {
                e.check = new QCheckBox(box);
                e.check->setObjectName(named("Check_", f));
                e.check->setChecked(true);
                *cell = withSide(box, e.date, {e.check});
            }
            break;
        case C::Text:
        case C::Path:
            e.line = formLineEdit(box, "", f.maxLength);
            e.line->setObjectName(named("Edit_", f));
            if (f.control == C::Path) *cell = pathRow(box, e.line);
            break;
        case C::Money:
        case C::Number:
            e.line = formLineEdit(box, "", 30, true);
            e.line->setObjectName(named("Edit_", f));
            break;
        case C::Memo:
            e.memo = new QPlainTextEdit(box);
            e.memo->setObjectName(named("Memo_", f));
            e.memo->setTabChangesFocus(true);
            e.memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            break;
        case C::Combo: {
            RefillComboBox* combo = new RefillComboBox(box);
            e.combo = combo;
            combo->setObjectName(named("Combo_", f));
            combo->setEditable(true);
            combo->setPrompter(&ctx_.prompter);
            const Database& db = ctx_.data.db();
            if (f.onOpening) {
                const QString sql = QLatin1String(f.onOpening);
                combo->setSource([&db, sql] { return readNames(db, sql); });
            }
            if (f.listEntry) {
                QToolButton* b = listEditorButton(ctx_, box, named("Btn_", f), QLatin1String(f.listEntry));
                // A list filled only at start is read again the next time it opens, after its editor
                // has been used.
                if (!f.onOpening && f.atStart) {
                    const QString table = QLatin1String(f.atStart);
                    connect(b, &QToolButton::clicked, combo, [combo, &db, table] {
                        combo->setSource([&db, table] { return readReferenceList(db, table); });
                    });
                }
                *cell = withSide(box, combo, {b});
            }
            break;
        }
    }
    return e;
}

QWidget* Frm_FollowUp::pathRow(QWidget* box, QLineEdit* edit) {
    auto* browseButton = new QToolButton(box);
    browseButton->setObjectName(QStringLiteral("Btn_Browse"));
    browseButton->setText(QStringLiteral("..."));
    browseButton->setFocusPolicy(Qt::NoFocus);
    auto* viewButton = new QPushButton(QStringLiteral("查看"), box);
    viewButton->setObjectName(QStringLiteral("Btn_View"));
    viewButton->setAutoDefault(false);
    connect(browseButton, &QToolButton::clicked, this, [this, edit] { browse(edit); });
    connect(viewButton, &QPushButton::clicked, this, [this, edit] { view(edit); });
    return withSide(box, edit, {browseButton, viewButton});
}

void Frm_FollowUp::fillAtStart() {
    WaitCursor wait;
    for (const Entry& e : entries_) {
        if (!e.combo || !e.field->atStart) continue;
        e.combo->clear();
        e.combo->addItems(readReferenceList(ctx_.data.db(), QLatin1String(e.field->atStart)));
        e.combo->setEditText(QString());
    }
}

// --- showing and loading --------------------------------------------------------------------------

void Frm_FollowUp::showAdd() {
    setWindowTitle(u(kind_.addCaption));
    Btn_OK->setText(QStringLiteral("新增(&A)"));
    const QDate today = ctx_.clock.today();
    for (const Entry& e : entries_) {
        if (e.date) e.date->setDate(today);
        if (e.field->control == C::Money || e.field->control == C::Number)
            e.line->setText(QStringLiteral("0"));
    }
    if (kind_.resetWhenAdding) resetEntries();
    DBNavigator1->setEnabled(false);
}

void Frm_FollowUp::showEdit() {
    setWindowTitle(u(kind_.editCaption));
    Btn_OK->setText(QStringLiteral("保存(&S)"));
    loadCurrent();
    DBNavigator1->setDataset(&dataset());
}

void Frm_FollowUp::resetEntries() {
    const QDate today = ctx_.clock.today();
    for (const Entry& e : entries_) {
        switch (e.field->reset) {
            case FollowUpReset::Keep:
                break;
            case FollowUpReset::Today:
                if (e.date) e.date->setDate(today);
                break;
            case FollowUpReset::Empty:
                e.setText(QString());
                break;
        }
    }
    if (!entries_.isEmpty()) entries_.front().control()->setFocus();
}

void Frm_FollowUp::loadCurrent() {
    const Dataset& ds = dataset();
    for (const Entry& e : entries_) {
        const QVariant v = ds.value(QLatin1String(e.field->column));
        switch (e.field->control) {
            case C::Date:
            case C::CheckedDate: {
                const QDate d = v.toDateTime().date();
                e.date->setDate(d.isValid() ? d : ctx_.clock.today());
                break;
            }
            case C::Money:
                e.line->setText(moneyText(v));
                break;
            case C::Number:
                e.line->setText(QString::number(v.toDouble(), 'f', QLocale::FloatingPointShortest));
                break;
            default:
                e.setText(v.toString());
        }
    }
}

// --- saving ---------------------------------------------------------------------------------------

QVariant Frm_FollowUp::valueOf(const Entry& e) const {
    const FollowUpField& f = *e.field;
    switch (f.control) {
        case C::Date:
        case C::CheckedDate:
            return QDateTime(e.date->date(), QTime(0, 0));
        case C::Money: {
            Money m;
            if (!Money::parse(e.line->text(), &m))
                throw std::runtime_error(invalidNumberText(e.line->text()).toStdString());
            return m.toVariant();
        }
        case C::Number: {
            bool ok = false;
            const double n = e.line->text().toDouble(&ok);
            if (!ok || !std::isfinite(n))
                throw std::runtime_error(invalidNumberText(e.line->text()).toStdString());
            return n;
        }
        default: {
            const bool trim = f.trim == FollowUpTrim::Always ||
                              (f.trim == FollowUpTrim::WhenEditing && mode_ == Mode::Edit);
            return trim ? e.text().trimmed() : e.text();
        }
    }
}

void Frm_FollowUp::save() {
    for (const Entry& e : entries_) {
        if (e.field->requiredMessage && e.text().isEmpty()) {
            ctx_.prompter.message(u(e.field->requiredMessage), kNotice, QMessageBox::Information,
                                  QMessageBox::Ok, this);
            e.control()->setFocus();
            return;
        }
    }
    // Every value is read (and a number that is not one refused) before the record is touched.
    QVector<QVariant> values;
    for (const Entry& e : entries_) values << valueOf(e);

    Dataset& ds = dataset();
    const bool adding = mode_ == Mode::Add;
    try {
        if (adding) {
            const QString custCode = ctx_.data.Qry_Cust->text(QStringLiteral("CustCode"));
            if (!ds.isOpen()) ds.open();
            ds.append();
            ds.setValue(QStringLiteral("custcode"), custCode);
        } else {
            ds.edit();
        }
        for (qsizetype i = 0; i < entries_.size(); ++i)
            ds.setValue(QLatin1String(entries_[i].field->column), values[i]);
        ds.post();
    } catch (...) {
        // Nothing was saved: the workbench's page goes back to browsing, the dialog keeps what was typed.
        if (ds.isOpen() && ds.state() != Dataset::State::Browse) ds.cancel();
        throw;
    }
    ++saved_;
    if (adding)
        resetEntries();
    else
        loadCurrent();
}

// --- file path row --------------------------------------------------------------------------------

void Frm_FollowUp::browse(QLineEdit* edit) {
    const QString file =
        ctx_.prompter.openFileName(QStringLiteral("打开"), QString(), QStringLiteral("所有的文件 (*)"), this);
    if (!file.isEmpty()) edit->setText(file);
}

void Frm_FollowUp::view(const QLineEdit* edit) {
    // Only an existing file is handed to the desktop: a stored text that is no file (a web address
    // typed by another operator, a folder, a removed document) opens nothing.
    const QString path = edit->text();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile()) return;
    ctx_.shell.open(path);
}

void Frm_FollowUp::guarded(const std::function<void()>& step) { runGuarded(ctx_.prompter, this, step); }

}  // namespace qv
