#pragma once
#include <QDialog>

#include "Database.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace qv {

class IniFile;
class Prompter;

// The connection-settings tool: edits section DBConn of the program folder's Config.ini (driver,
// server, database, user, password), tries the connection on request and saves the settings.
class DbLinkerDialog : public QDialog {
    Q_OBJECT
public:
    DbLinkerDialog(IniFile& ini, Prompter& prompter, QString home, QWidget* parent = nullptr);

    // The settings as the dialog shows them.
    ConnectionSettings settings() const;

    // Tries the shown settings and says whether they work; true when they do.
    bool testConnection();
    // Writes the shown settings into Config.ini and closes; false (and a message) when it cannot.
    bool save();

    static QString okText();
    static QString notInitialisedText();
    static QString failedText(const QString& error);
    static QString saveFailedText();
    static QString caption();

private:
    void load();
    void updateEnabled();
    void browse();

    IniFile& ini_;
    Prompter& prompter_;
    QString home_;

    QComboBox* Combo_Driver;
    QLineEdit* Edit_Server;
    QLineEdit* Edit_Database;
    QPushButton* Btn_Browse;
    QLineEdit* Edit_User;
    QLineEdit* Edit_Password;
    QPushButton* Btn_Test;
    QPushButton* Btn_Save;
    QPushButton* Btn_Cancel;
};

}  // namespace qv
