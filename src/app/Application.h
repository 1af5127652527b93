#pragma once
#include <QApplication>

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
    Prompter* prompter_ = nullptr;
};

}  // namespace qv
