#pragma once
#include <QDate>
#include <functional>

class QDialog;
class QWidget;

namespace qv {

class Prompter;
class Report;

// ShowReport: prepares the report from its data with a progress box that can cancel, then shows the
// preview modally (runModal; exec() when empty). An empty report (no template file) shows an empty
// preview. Errors of preparation go to the standard error box. False when cancelled or failed.
bool showReport(const Report& report, Prompter& prompter, QWidget* parent,
                const std::function<int(QDialog&)>& runModal = {}, QDate today = {});

// DesignReport: opens the designer on the report's template modally. Saving there writes the file the
// template was loaded from and puts the change in force in this report at once.
void designReport(Report& report, Prompter& prompter, QWidget* parent,
                  const std::function<int(QDialog&)>& runModal = {}, QDate today = {});

}  // namespace qv
