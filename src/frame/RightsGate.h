#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace qv {

// Which right number enables which command of the main window. Commands are named by the objectName
// of their QAction: the shared actions (AddCust, M_Backup, ...), the main-menu entries (Menu_...) and
// their twins in the tool-bar drop-down menus (Drop_...). A command that is not listed here has no
// right and keeps whatever state it has when an operator logs in. Gated commands are disabled, never
// hidden.
class RightsGate {
public:
    struct Gate {
        int right;
        QString name;
    };

    // Every gated command with its right, in right order.
    static const QList<Gate>& gates();
    // The right that gates the command; 0 when none does.
    static int rightFor(const QString& name);
    // The right a command needs when it runs, however it is reached (menu, short-cut, double-click,
    // another window's button): the right that gates its action, or for the commands that only
    // the workbench offers, the right that gates the workbench's entry. 0 when none is needed.
    static int commandRight(const QString& command);
    // The commands that one right enables (empty for numbers that gate nothing here).
    static QStringList namesFor(int right);

    // The enabled state of every gated command for an operator holding the rights `held` says.
    struct State {
        QString name;
        bool enabled;
    };
    static QList<State> states(const std::function<bool(int)>& held);
};

}  // namespace qv
