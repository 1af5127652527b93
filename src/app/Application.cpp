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
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showEscaped(std::current_exception());
    }
    return false;
}

void Application::showEscaped(const std::exception_ptr& escaped) {
    LogPrompter log;
    // A failure while the box of an earlier one is open (a paint event, say) is logged, not boxed again.
    Prompter& prompter = prompter_ && !showing_ ? *prompter_ : static_cast<Prompter&>(log);
    const bool wasShowing = showing_;
    showing_ = true;
    // The box belongs to the window the operator works in; the receiver may be on its way out.
    runGuarded(prompter, QApplication::activeWindow(), [&] { std::rethrow_exception(escaped); });
    showing_ = wasShowing;
}

}  // namespace qv
