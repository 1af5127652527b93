#pragma once
#include <QApplication>
#include <exception>

namespace qv {

class Prompter;

// The program's application object and its last-resort error boundary: an exception that escapes an
// event handler or a slot (anything the command boundary does not wrap) is shown in the standard error
// box and the event counts as not handled; the program keeps running. Without a Prompter the text goes
// to the log.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    void setPrompter(Prompter* prompter) { prompter_ = prompter; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void showEscaped(const std::exception_ptr& escaped);

    Prompter* prompter_ = nullptr;
    bool showing_ = false;
};

}  // namespace qv
