#include "GridServices.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTreeWidget>

#include "Context.h"
#include "DBGrid.h"
#include "Dataset.h"
#include "Frm_Data.h"
#include "Prompter.h"
#include "Transaction.h"

namespace qv {

namespace {

const QString kSaved = QStringLiteral("列属性已成功保存!");
const QString kNotice = QStringLiteral("提醒");

int intOf(const QSqlRecord& rec, const char* name, int fallback = 0) {
    const QVariant v = rec.value(QLatin1String(name));
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : fallback;
}

QString textOf(const QSqlRecord& rec, const char* name) { return rec.value(QLatin1String(name)).toString().trimmed(); }

// Reads every row of an open dataset, fetching as it goes.
template <class Fn>
void forEachRow(Dataset& ds, Fn fn) {
    for (int r = 0;; ++r) {
        while (r >= ds.rowCount() && ds.canFetchMore()) ds.fetchMore();
        if (r >= ds.rowCount()) break;
        fn(r);
    }
}

}  // namespace

int softDecimals(const Context& ctx, int n) {
    return n == 1 ? ctx.options.ini1 : n == 2 ? ctx.options.ini2 : ctx.options.ini3;
}

QString decimalsFormat(int decimals) {
    if (decimals < 0 || decimals > 10) return {};
    if (decimals == 0) return QStringLiteral("0");
    return QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
}

bool ApplyGridLayout(Context& ctx, DBGrid& grid, Dataset& dataset, const QString& key) {
    Prompter& prompter = ctx.prompter;
    grid.setErrorHandler([&prompter, g = &grid](const QString& text) { prompter.error(text, g); });
    if (grid.dataset() != &dataset) grid.setDataset(&dataset);
    grid.clearColumns();

    QSqlQuery q = ctx.data.db().exec(
        QStringLiteral("select * from T_FieldShow where show=1 and TableName=:key order by ShowID, ID"),
        {{QStringLiteral("key"), key}});
    QVector<GridColumn> columns;
    bool any = false;
    QString missing;
    while (q.next()) {
        any = true;
        if (columns.size() >= kMaxGridColumns) break;
        const QSqlRecord rec = q.record();
        GridColumn c;
        c.field = textOf(rec, "Field");
        if (dataset.isOpen() && !dataset.hasField(c.field)) {
            missing = c.field;
            break;
        }
        c.width = intOf(rec, "Width", 80);
        c.sum = intOf(rec, "SumField") == 1 || intOf(rec, "FieldType") == 1;
        if (intOf(rec, "ShowUp") == 1) c.marker = SortMarker::Ascending;
        const int dot = intOf(rec, "dotsize");
        if (dot >= 1 && dot <= 3) c.format = decimalsFormat(softDecimals(ctx, dot));
        c.button = intOf(rec, "ShowButton") == 1;
        // The bill lines' grid: its button columns (key "gridsale") or every column's edit button
        // (key "GridSale") run the product picker. The two spellings are told apart on purpose.
        if (key == QLatin1String("gridsale")) c.picker = c.button;
        if (key == QLatin1String("GridSale")) c.picker = true;
        const QString name = textOf(rec, "Name");
        dataset.setDisplayLabel(c.field, name.isEmpty() ? c.field : name);
        columns << c;
    }
    q.finish();
    if (any) grid.setColumns(columns);
    if (!missing.isEmpty()) {
        prompter.error(QStringLiteral("字段 %1 不存在").arg(missing), &grid);
        return false;
    }
    return true;
}

void SaveGridLayout(Context& ctx, const DBGrid& grid, const QString& key, bool confirm) {
    Database& db = ctx.data.db();
    const QVector<int> order = grid.visualColumns();
    {
        Transaction t(db);
        for (int i = 0; i < order.size(); ++i) {
            db.execute(QStringLiteral("update T_FieldShow set showid=:showid,width=:width "
                                      "where tablename=:key and field=:field"),
                       {{QStringLiteral("showid"), i},
                        {QStringLiteral("width"), grid.columnWidth(order[i])},
                        {QStringLiteral("key"), key},
                        {QStringLiteral("field"), grid.columnField(order[i])}});
        }
        t.commit();
    }
    if (confirm)
        ctx.prompter.message(kSaved, kNotice, QMessageBox::Information, QMessageBox::Ok,
                             const_cast<DBGrid*>(&grid));
}

QString SortByMarkers(const DBGrid& grid, Dataset& dataset) {
    QString text;
    for (int c : grid.markedColumns()) {
        const QString field = grid.columnField(c);
        text += grid.sortMarker(c) == SortMarker::Descending ? field + QStringLiteral(" DESC , ")
                                                              : field + QStringLiteral(", ");
    }
    if (!text.isEmpty()) {
        text.chop(2);
        text.prepend(QStringLiteral("  "));
    }
    if (dataset.isOpen()) dataset.setSort(text);
    return text;
}

int CodeLevel(const QString& pattern, const QString& code) {
    if (pattern.isEmpty() || code.isEmpty()) return -1;
    int sum = 0;
    for (int i = 0; i < pattern.size(); ++i) {
        const int d = pattern[i].digitValue();
        if (d < 0) return -1;
        sum += d;
        if (sum == code.size()) return i + 1;
    }
    return -1;
}

void LoadCodeTree(Context& ctx, QTreeWidget& tree, const QString& table, const QString& rootCaption) {
    const QString t = Frm_Data::checkedTable(table);
    Dataset& ds = *ctx.data.Qry_HY;
    ctx.data.OpenQuery(ds, QStringLiteral("select * from %1 order by code").arg(t));

    tree.clear();
    auto* root = new QTreeWidgetItem(&tree, QStringList{rootCaption});
    // The last node placed at each level; a node hangs under the deepest of them whose code begins
    // its own, so that a code whose parent is missing does not land under a stranger.
    QVector<QTreeWidgetItem*> last(kCodePattern.size() + 1, nullptr);
    forEachRow(ds, [&](int r) {
        const QString code = ds.value(r, QStringLiteral("code")).toString().trimmed();
        const int level = CodeLevel(kCodePattern, code);
        if (level < 1) return;
        QTreeWidgetItem* parent = root;
        for (int l = level - 1; l >= 1; --l) {
            QTreeWidgetItem* cand = last[l];
            if (cand && code.startsWith(cand->data(0, kCodeRole).toString())) {
                parent = cand;
                break;
            }
        }
        const QString name = ds.value(r, QStringLiteral("name")).toString().trimmed();
        auto* item = new QTreeWidgetItem(parent, QStringList{code + QLatin1Char('-') + name});
        item->setData(0, kCodeRole, code);
        item->setData(0, kImageIndexRole, 0);
        last[level] = item;
        for (int l = level + 1; l < last.size(); ++l) last[l] = nullptr;
    });
    root->setExpanded(true);
}

void LoadRightsTree(Context& ctx, QTreeWidget& tree, const QString& table, const QString& condition,
                    const Params& params) {
    const QString t = Frm_Data::checkedTable(table);
    Dataset& ds = *ctx.data.Qry_HY;
    ctx.data.OpenQuery(ds, QStringLiteral("select * from %1 where %2 order by Code").arg(t, condition), params);

    tree.clear();
    QTreeWidgetItem* top = nullptr;
    QTreeWidgetItem* firstTop = nullptr;
    forEachRow(ds, [&](int r) {
        const QString code = ds.value(r, QStringLiteral("Code")).toString().trimmed();
        const QString text = ds.value(r, QStringLiteral("FunctionName")).toString().trimmed();
        const int level = CodeLevel(kCodePattern, code);
        QTreeWidgetItem* item = nullptr;
        if (level == 1) {
            item = top = new QTreeWidgetItem(&tree, QStringList{text});
            if (!firstTop) firstTop = item;
        } else if (level == 2 && top) {
            item = new QTreeWidgetItem(top, QStringList{text});
        }
        if (!item) return;
        const int tag = ds.value(r, QStringLiteral("Tag")).toInt();
        item->setData(0, kCodeRole, code);
        item->setData(0, kImageIndexRole, code.toInt());
        item->setData(0, kTagRole, tag);
        item->setCheckState(0, tag == 2   ? Qt::Checked
                               : tag == 3 ? Qt::PartiallyChecked
                                          : Qt::Unchecked);
    });
    if (firstTop) firstTop->setExpanded(true);
}

}  // namespace qv
