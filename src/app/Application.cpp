#include "Application.h"

#include <QWidget>

#include "CommandGuard.h"
#include "Prompter.h"

namespace qv {

namespace {

// Stands in for the Prompter before the program has one: the text is logged instead of shown.
class LogPrompter : public Prompter {
public:
    QMessageBox::StandardButton message(const QString& text, const QString&, QMessageBox::Icon,
                                        QMessageBox::StandardButtons, QWidget*) override {
        qWarning("%s", qPrintable(text));
        return QMessageBox::Ok;
    }
    QString saveFileName(const QString&, const QString&, const QString&, QWidget*) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&, QWidget*) override { return {}; }
    QString directory(const QString&, const QString&, QWidget*) override { return {}; }
};

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    LogPrompter log;
    Prompter& prompter = prompter_ ? *prompter_ : static_cast<Prompter&>(log);
    // The box belongs to the window the operator works in; the receiver may be on its way out.
    runGuarded(prompter, QApplication::activeWindow(),
               [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

}  // namespace qv
