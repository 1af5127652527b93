#pragma once
#include <QString>

namespace qv {

enum class SortMarker { None, Ascending, Descending };

// One configured column of a DBGrid: which dataset field it shows and how. The grid's column list is
// kept apart from the dataset's field order; the same dataset may be shown by several grids.
struct GridColumn {
    QString field;        // dataset field the column is bound to
    QString title;        // header text; empty: the dataset's display label of the field
    int width = 80;       // pixels
    QString format;       // display format ("0", "0.00"); empty: the dataset's own format
    bool sum = false;     // the footer shows the column's total
    SortMarker marker = SortMarker::None;
    bool button = false;  // an ellipsis button is always shown in the column's cells
    bool picker = false;  // a click on the column's edit button asks for the product picker
};

}  // namespace qv
