#pragma once
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace qv {

// Every message box and file dialog of the program goes through a Prompter, so that a test can
// answer them without a real dialog.
class Prompter {
public:
    virtual ~Prompter() = default;

    // Shows a message box and returns the button pressed.
    virtual QMessageBox::StandardButton message(const QString& text, const QString& caption,
                                                QMessageBox::Icon icon,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QWidget* parent = nullptr) = 0;

    // File dialogs; an empty result means the user cancelled. `filter` uses Qt's syntax
    // ("EXCEL文件(*.xls);;EXCEL 2007 文件(*.xlsx)").
    virtual QString saveFileName(const QString& caption, const QString& fileName, const QString& filter,
                                 QWidget* parent = nullptr) = 0;
    // The save dialog that also reports the entry of `filter` the user chose in *selectedFilter (the
    // whole entry, e.g. "EXCEL 2007 文件(*.xlsx)"; empty when the dialog cannot tell), so that a name
    // typed without an extension can take the chosen one. By default the plain dialog, reporting nothing.
    virtual QString saveFileName(const QString& caption, const QString& fileName, const QString& filter,
                                 QWidget* parent, QString* selectedFilter);
    virtual QString openFileName(const QString& caption, const QString& dir, const QString& filter,
                                 QWidget* parent = nullptr) = 0;
    virtual QString directory(const QString& caption, const QString& dir, QWidget* parent = nullptr) = 0;

    // Conveniences for the program's standard boxes.
    void info(const QString& text, const QString& caption, QWidget* parent = nullptr) {
        message(text, caption, QMessageBox::Information, QMessageBox::Ok, parent);
    }
    void warning(const QString& text, const QString& caption, QWidget* parent = nullptr) {
        message(text, caption, QMessageBox::Warning, QMessageBox::Ok, parent);
    }
    bool askYesNo(const QString& text, const QString& caption, QWidget* parent = nullptr) {
        return message(text, caption, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, parent) ==
               QMessageBox::Yes;
    }
    // The standard error box shown when a command fails.
    void error(const QString& text, QWidget* parent = nullptr);
};

// The Prompter of the running program: real Qt dialogs.
class WidgetPrompter : public Prompter {
public:
    QMessageBox::StandardButton message(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons, QWidget* parent) override;
    QString saveFileName(const QString& caption, const QString& fileName, const QString& filter,
                         QWidget* parent) override;
    QString saveFileName(const QString& caption, const QString& fileName, const QString& filter, QWidget* parent,
                         QString* selectedFilter) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter,
                         QWidget* parent) override;
    QString directory(const QString& caption, const QString& dir, QWidget* parent) override;
};

}  // namespace qv
