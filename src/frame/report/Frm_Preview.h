#pragma once
#include <QDialog>
#include <functional>

#include "ReportPreview.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace qv {

class Prompter;
class PreviewPage;

// The preview of a prepared report: pages, zoom, find, open a saved report, save in the export
// formats, print, help, close. Its logic lives in PreviewState and the export and print functions.
class Frm_Preview : public QDialog {
    Q_OBJECT
public:
    // runModal shows the print dialog (exec() in the program, the test's hand in tests).
    Frm_Preview(PreparedReport report, Prompter& prompter, QWidget* parent = nullptr,
                std::function<int(QDialog&)> runModal = {});

    const PreviewState& state() const { return state_; }
    // Saves the report shown to `path` in the format its extension names; errors go to the error box.
    bool saveTo(const QString& path);
    bool openFrom(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void showPage();
    void onZoomChosen(int index);
    void onFind();
    void onOpen();
    void onSave();
    void onPrint();
    void onHelp();

    PreviewState state_;
    Prompter& prompter_;
    std::function<int(QDialog&)> runModal_;
    QLabel* Label_Page;
    QComboBox* Combo_Zoom;
    QLineEdit* Edit_Find;
    QScrollArea* area_;
    PreviewPage* view_;
};

}  // namespace qv
