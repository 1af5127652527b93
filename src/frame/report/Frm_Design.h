#pragma once
#include <QDate>
#include <QDialog>
#include <functional>

#include "Report.h"
#include "ReportDesign.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv {

class Prompter;
class DesignCanvas;

// The report designer: the template of a loaded report on its page, with its bands and objects, a
// panel of the selected object's properties, the page and label-sheet settings and the fields of the
// report's data sources. It edits a copy; saving puts the copy into the report and writes the
// report's file, so a saved change is in force at once, and closing without saving leaves the report
// as it was loaded. Its editing logic lives in ReportDesign.
class Frm_Design : public QDialog {
    Q_OBJECT
public:
    Frm_Design(Report& report, Prompter& prompter, QWidget* parent = nullptr,
               std::function<int(QDialog&)> runModal = {}, QDate today = {});

    ReportDesign& design() { return design_; }
    // Writes the working copy to the report and its file; an error box and false when writing fails
    // (the report then keeps what it had).
    bool save();
    // Shows the working copy in the preview, with the report's live data.
    void preview();
    // Called after the design changed outside the panel (canvas, undo): shows it again.
    void refresh();

    void done(int r) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QWidget* buildProperties();
    QWidget* buildPageSetup();
    void fillFieldList();
    void showSelection();
    void applyGeometry();
    void applyText();
    void applyStyle();
    void applyPage();
    void addObject(ReportObject::Kind kind);
    void addBand();
    void onFieldActivated(QTreeWidgetItem* item);

    Report& report_;
    Prompter& prompter_;
    std::function<int(QDialog&)> runModal_;
    QDate today_;
    ReportDesign design_;
    bool filling_ = false;  // the panel is being filled from the design, not edited

    DesignCanvas* canvas_;
    QLabel* Label_Name;
    QDoubleSpinBox *Spin_X, *Spin_Y, *Spin_W, *Spin_H, *Spin_BandHeight;
    QPlainTextEdit* Memo_Text;
    QFontComboBox* Combo_Font;
    QDoubleSpinBox* Spin_FontSize;
    QCheckBox *Check_Bold, *Check_Italic, *Check_Frame, *Check_Wrap, *Check_Grow;
    QComboBox *Combo_Align, *Combo_BandKind;
    QTreeWidget* Tree_Fields;
    QDoubleSpinBox *Spin_PaperW, *Spin_PaperH, *Spin_Left, *Spin_Top, *Spin_Right, *Spin_Bottom;
    QCheckBox *Check_Landscape, *Check_Labels;
    QSpinBox *Spin_Columns, *Spin_Rows;
    QDoubleSpinBox *Spin_LabelW, *Spin_LabelH, *Spin_HGap, *Spin_VGap;
};

}  // namespace qv
