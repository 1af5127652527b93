#include "Frm_FieldShow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

#include "Context.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "Frm_FieldCaption.h"
#include "Prompter.h"
#include "Transaction.h"

namespace qv {

namespace {

QStringList namesOf(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

Frm_FieldShow::Frm_FieldShow(Context& ctx, QString key, QWidget* parent)
    : QDialog(parent), ctx_(ctx), key_(std::move(key)) {
    setObjectName(QStringLiteral("Frm_FieldShow"));
    setWindowTitle(QStringLiteral("选择显示的字段"));

    hidden_ = new QListWidget(this);
    hidden_->setObjectName(QStringLiteral("List_Hidden"));
    hidden_->setToolTip(QStringLiteral("双击已选择的字段可以移到\"显示的字段\"框内"));
    shown_ = new QListWidget(this);
    shown_->setObjectName(QStringLiteral("List_Shown"));
    shown_->setToolTip(QStringLiteral("双击已选择的字段可以移到\"不显示的字段\"框内"));
    for (QListWidget* l : {hidden_, shown_}) l->setSelectionMode(QAbstractItemView::SingleSelection);

    add_ = makeButton(this, "Btn_Add", QStringLiteral(">"));
    remove_ = makeButton(this, "Btn_Remove", QStringLiteral("<"));
    addAll_ = makeButton(this, "Btn_AddAll", QStringLiteral(">>"));
    removeAll_ = makeButton(this, "Btn_RemoveAll", QStringLiteral("<<"));
    auto* ok = makeButton(this, "Btn_OK", QStringLiteral("确定(&Y)"));
    auto* captions = makeButton(this, "Btn_Caption", QStringLiteral("字段名称"));
    auto* cancel = makeButton(this, "Btn_Cancel", QStringLiteral("取消(&C)"));

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("不显示的字段"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("显示的字段"), this), 0, 2);
    lists->addWidget(hidden_, 1, 0);
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* b : {add_, remove_, addAll_, removeAll_}) moves->addWidget(b);
    moves->addStretch();
    lists->addLayout(moves, 1, 1);
    lists->addWidget(shown_, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(captions);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(lists);
    top->addLayout(buttons);

    connect(add_, &QPushButton::clicked, this, [this] { moveSelected(hidden_, shown_); });
    connect(remove_, &QPushButton::clicked, this, [this] { moveSelected(shown_, hidden_); });
    connect(addAll_, &QPushButton::clicked, this, [this] { moveAll(hidden_, shown_); });
    connect(removeAll_, &QPushButton::clicked, this, [this] { moveAll(shown_, hidden_); });
    connect(hidden_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { moveItem(hidden_, shown_, item); });
    connect(shown_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { moveItem(shown_, hidden_, item); });
    connect(ok, &QPushButton::clicked, this, &Frm_FieldShow::save);
    connect(captions, &QPushButton::clicked, this, &Frm_FieldShow::editCaptions);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    load();
}

void Frm_FieldShow::load() {
    // A failed read leaves the lists empty; the command that opened the dialog reports it.
    Database& db = ctx_.data.db();
    const Params p{{QStringLiteral("key"), key_}};
    auto fill = [&](QListWidget* list, const QString& sql) {
        list->clear();
        QSqlQuery q = db.exec(sql, p);
        while (q.next()) list->addItem(q.value(QStringLiteral("name")).toString());
    };
    // In row order, which is the order the rows were configured in.
    fill(hidden_, QStringLiteral("select * from T_FieldShow where show=0 and TableName=:key order by ID"));
    fill(shown_, QStringLiteral("select * from T_FieldShow where show=1 and TableName=:key order by ID"));
    updateButtons();
}

QStringList Frm_FieldShow::hiddenNames() const { return namesOf(hidden_); }
QStringList Frm_FieldShow::shownNames() const { return namesOf(shown_); }

void Frm_FieldShow::moveItem(QListWidget* from, QListWidget* to, QListWidgetItem* item) {
    if (!item) return;
    const int row = from->row(item);
    if (row < 0) return;
    to->addItem(from->takeItem(row));
    if (from->count() > 0) from->setCurrentRow(0);
    updateButtons();
}

void Frm_FieldShow::moveSelected(QListWidget* from, QListWidget* to) {
    const QList<QListWidgetItem*> selected = from->selectedItems();
    if (selected.isEmpty()) return;
    for (QListWidgetItem* item : selected) to->addItem(from->takeItem(from->row(item)));
    if (from->count() > 0) from->setCurrentRow(0);
    updateButtons();
}

void Frm_FieldShow::moveAll(QListWidget* from, QListWidget* to) {
    while (from->count() > 0) to->addItem(from->takeItem(0));
    updateButtons();
}

void Frm_FieldShow::updateButtons() {
    add_->setEnabled(hidden_->count() > 0);
    addAll_->setEnabled(hidden_->count() > 0);
    remove_->setEnabled(shown_->count() > 0);
    removeAll_->setEnabled(shown_->count() > 0);
}

void Frm_FieldShow::save() {
    Database& db = ctx_.data.db();
    try {
        Transaction t(db);
        auto store = [&](const QListWidget* list, int show) {
            for (const QString& name : namesOf(list))
                db.execute(QStringLiteral("update T_FieldShow set show=:show where name=:name and TableName=:key"),
                           {{QStringLiteral("show"), show},
                            {QStringLiteral("name"), name.trimmed()},
                            {QStringLiteral("key"), key_}});
        };
        store(hidden_, 0);
        store(shown_, 1);
        t.commit();
    } catch (const DbError& e) {
        ctx_.prompter.error(e.text(), this);
        return;
    }
    saved_ = true;
    ctx_.prompter.info(QStringLiteral("修改完成！"), QStringLiteral("提醒"), this);
}

void Frm_FieldShow::editCaptions() {
    QHash<QString, QString> renamed;
    try {
        Frm_FieldCaption dlg(ctx_, key_, this);
        ctx_.runModal(dlg);
        renamed = dlg.renamed();
    } catch (const DbError& e) {
        ctx_.prompter.error(e.text(), this);
        return;
    }
    // Rows are stored by caption: the lists follow the captions just edited, keeping their moves.
    for (QListWidget* list : {hidden_, shown_})
        for (int i = 0; i < list->count(); ++i) {
            const auto it = renamed.constFind(list->item(i)->text());
            if (it != renamed.constEnd()) list->item(i)->setText(*it);
        }
}

bool ShowFieldChooser(Context& ctx, const QString& key, QWidget* parent) {
    Frm_FieldShow dlg(ctx, key, parent);
    ctx.runModal(dlg);
    return dlg.saved();
}

}  // namespace qv
