#include "Frm_FieldCaption.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QVBoxLayout>

#include "Context.h"
#include "DBGrid.h"
#include "Dataset.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "GridCaptions.h"
#include "GridModel.h"
#include "GridServices.h"
#include "Prompter.h"

namespace qv {

Frm_FieldCaption::Frm_FieldCaption(Context& ctx, QString key, QWidget* parent)
    : QDialog(parent), ctx_(ctx), key_(std::move(key)) {
    setObjectName(QStringLiteral("Frm_FieldCaption"));
    setWindowTitle(QStringLiteral("设置表头的标签"));

    ds_ = new Dataset(ctx.data.db(), QStringLiteral("Qry_Caption"), this);
    // The row key is read as well (and not shown) so that an edited caption is stored by its row.
    ds_->setSql(QStringLiteral("select ID, name from T_FieldShow where tablename=:key order by ID"));
    ds_->setParam(QStringLiteral("key"), key_);
    ds_->setUpdateTable(QStringLiteral("T_FieldShow"), QStringLiteral("ID"));
    ds_->open();
    ds_->fetchAll();
    for (int r = 0; r < ds_->rowCount(); ++r)
        before_.insert(ds_->value(r, QStringLiteral("ID")).toLongLong(),
                       ds_->value(r, QStringLiteral("name")).toString());

    grid_ = new DBGrid(this);
    grid_->setObjectName(QStringLiteral("Grid_Caption"));
    grid_->setReadOnly(false);
    ApplyGridLayout(ctx, *grid_, *ds_, QStringLiteral("FieldCaption"));
    const int id = grid_->columnOf(QStringLiteral("ID"));
    if (id >= 0) grid_->view()->setColumnHidden(id, true);
    // A caption another column of the key already has is refused before it reaches the row.
    grid_->gridModel()->setEditCheck([this](int row, const QString& field, const QVariant& value) {
        if (field.compare(QLatin1String("name"), Qt::CaseInsensitive) != 0) return true;
        const qint64 rowId = ds_->value(row, QStringLiteral("ID")).toLongLong();
        const QString clash = captionClash(ctx_.data.db(), {{rowId, value.toString()}});
        if (clash.isEmpty()) return true;
        ctx_.prompter.warning(captionTakenText(clash), QStringLiteral("提醒"), this);
        return false;
    });

    auto* ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
    ok->setObjectName(QStringLiteral("Btn_OK"));
    connect(ok, &QPushButton::clicked, this, &Frm_FieldCaption::store);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* top = new QVBoxLayout(this);
    top->addWidget(grid_);
    top->addLayout(buttons);
    resize(320, 420);
}

Frm_FieldCaption::~Frm_FieldCaption() = default;

void Frm_FieldCaption::store() {
    // An editor still open in the grid (the button was pressed by its short-cut) hands its text over.
    QWidget* editor = QApplication::focusWidget();
    if (editor && grid_->view()->viewport()->isAncestorOf(editor)) {
        QAbstractItemDelegate* delegate = grid_->view()->itemDelegate();
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor);
    }
    try {
        if (ds_->state() == Dataset::State::Edit || ds_->state() == Dataset::State::Insert) ds_->post();
    } catch (const DbError& e) {
        ctx_.prompter.error(e.text(), this);
    }
}

void Frm_FieldCaption::done(int result) {
    // Closing drops an edit that was not stored.
    if (ds_->state() == Dataset::State::Edit || ds_->state() == Dataset::State::Insert) ds_->cancel();
    QDialog::done(result);
}

QHash<QString, QString> Frm_FieldCaption::renamed() const {
    QHash<QString, QString> out;
    if (!ds_->isOpen()) return out;
    for (int r = 0; r < ds_->rowCount(); ++r) {
        const auto it = before_.constFind(ds_->value(r, QStringLiteral("ID")).toLongLong());
        if (it == before_.constEnd()) continue;
        const QString now = ds_->value(r, QStringLiteral("name")).toString();
        if (now != *it) out.insert(*it, now);
    }
    return out;
}

}  // namespace qv
