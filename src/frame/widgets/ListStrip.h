#pragma once
#include <QString>

class QBoxLayout;
class QDateEdit;
class QPushButton;
class QWidget;

namespace qv {

class CompanyComboBox;
class Database;
class Prompter;

// The search strip of the list windows: a customer drop-down, a date range and the row of buttons.
namespace liststrip {

// The customer drop-down "Combo_Cust" that completes over the database.
CompanyComboBox* addCompanyBox(QWidget* owner, QBoxLayout* strip, Database& db, Prompter& prompter);
// "Date_From ~ Date_To" as two calendar date edits.
void addDateRange(QWidget* owner, QBoxLayout* strip, QDateEdit*& from, QDateEdit*& to);
// A strip button with its object name and caption.
QPushButton* addButton(QWidget* owner, QBoxLayout* strip, const char* name, const QString& caption);

}  // namespace liststrip
}  // namespace qv
