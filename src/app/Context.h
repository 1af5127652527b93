#pragma once
#include <QString>
#include <functional>
#include <memory>

#include "SoftOptions.h"

class QDialog;

namespace qv {

class Frm_Data;
class Prompter;
class Shell;
class Clock;
class LoginState;
class Frm_Main;
struct DataModuleReports;

// What every window of one workstation is handed: the data module, the desktop seams and the
// program folder. A test builds its own context (or two, for two workstations on one database);
// nothing here is global.
struct Context {
    using ModalRunner = std::function<int(QDialog&)>;

    Context(Frm_Data& data, Prompter& prompter, Shell& shell, Clock& clock, QString home,
            ModalRunner modal = {})
        : data(data),
          prompter(prompter),
          shell(shell),
          clock(clock),
          home(std::move(home)),
          modal(std::move(modal)) {}

    Frm_Data& data;
    Prompter& prompter;
    Shell& shell;
    Clock& clock;
    QString home;  // the program folder: Config.ini, IMG/, Reports/, Export/, Backup/, Help/

    // The program options (T_SoftInfo), read by the main window when it is first shown.
    SoftOptions options;

    // The operator's login state and the main window's services; null until they exist.
    LoginState* login = nullptr;
    Frm_Main* main = nullptr;

    // The report objects of the data module, made by start-up after connecting (the data module
    // itself knows nothing of reports); null until then.
    std::shared_ptr<DataModuleReports> reports;

    // Runs a modal dialog: the program calls exec(); a test supplies a function that drives the
    // dialog and closes it, so that no test waits in an event loop of its own.
    ModalRunner modal;
    int runModal(QDialog& dialog) const;

    // The path of a file or folder inside the program folder ("IMG/Login.jpg").
    QString path(const QString& relative) const;
};

}  // namespace qv
