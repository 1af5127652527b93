#pragma once
#include <QString>
#include <initializer_list>

class QGridLayout;
class QLineEdit;
class QWidget;

namespace qv {

// Building blocks of the editor dialogs' forms: captioned rows on a two-column grid.

// A text box named like its control, holding at most `maxLength` characters; `digits` makes it a
// digit-only box (telephone, fax, mobile, post code, income).
QLineEdit* formLineEdit(QWidget* parent, const char* name, int maxLength, bool digits = false);

// A control with small widgets (a "..." button, say) beside it, in one cell.
QWidget* withSide(QWidget* parent, QWidget* main, std::initializer_list<QWidget*> side);

// Puts "caption" right-aligned in column pair `col` of row `row` and the control (or the cell that holds
// it) beside it, spanning `span` columns; the caption's buddy is the control.
void addFormRow(QGridLayout* grid, int row, int col, const QString& caption, QWidget* control,
                QWidget* cell = nullptr, int span = 1);

}  // namespace qv
