#pragma once
#include <QString>

#include "Database.h"

class QTreeWidget;

namespace qv {

struct Context;
class DBGrid;
class Dataset;

// The column configuration and grid services that every window uses through the main window.
// Statements bind every value; table names that reach a statement are checked against the schema.

// A grid supports at most this many configured columns; rows beyond it are not shown.
constexpr int kMaxGridColumns = 51;
// Every hierarchical code of the program: fifteen levels of two characters.
inline const QString kCodePattern = QStringLiteral("222222222222222");

// Tree item data set by LoadCodeTree and LoadRightsTree (column 0).
constexpr int kCodeRole = Qt::UserRole;            // the row's trimmed code
constexpr int kImageIndexRole = Qt::UserRole + 1;  // picture index of the node
constexpr int kTagRole = Qt::UserRole + 2;         // rights tree: the row's Tag

// Rebuilds the grid's columns from the shown rows of the grid key (T_FieldShow, in ShowID order):
// field, width, title (also set as the dataset's display label), footer sum, ascending marker,
// decimals, edit button. Without shown rows the grid shows the dataset's own fields. A Field that
// names no field of the open dataset stops there with the standard error box; the columns before it
// stay. Returns false in that case. The grid is bound to the dataset as well.
bool ApplyGridLayout(Context& ctx, DBGrid& grid, Dataset& dataset, const QString& key);

// Stores the grid's columns as the user left them: position from 0, left to right, and width.
// With `confirm` the operator is told "列属性已成功保存!".
void SaveGridLayout(Context& ctx, const DBGrid& grid, const QString& key, bool confirm);

// Sorts the open dataset by the grid's marked columns, in the order they were marked ("  Company,
// CustCode DESC "); no marker removes the sort. Returns the sort text.
QString SortByMarkers(const DBGrid& grid, Dataset& dataset);

// Level (from 1) of a code under a pattern of level lengths; -1 when no level has exactly the
// code's length or either text is empty.
int CodeLevel(const QString& pattern, const QString& code);

// The display format for a number of decimals: "0", "0.0" ... "0.0000000000"; empty beyond 0..10.
QString decimalsFormat(int decimals);

// Fills the tree from a code table (code, name) under one top node with the root caption: each
// node "code-name" under the node of its nearest ancestor code. Codes without a level are skipped.
void LoadCodeTree(Context& ctx, QTreeWidget& tree, const QString& table, const QString& rootCaption);

// Fills the two-level rights tree from a rights table: rows selected by `condition` (SQL text with
// :named placeholders whose values come in `params`), in Code order. Each node carries its code,
// the code's number as picture index, and the row's Tag as its check state (1 unchecked, 2 checked,
// 3 partly checked).
void LoadRightsTree(Context& ctx, QTreeWidget& tree, const QString& table, const QString& condition,
                    const Params& params = {});

// The operator's decimals setting n (1 prices, 2 quantities, 3 amounts).
int softDecimals(const Context& ctx, int n);

}  // namespace qv
