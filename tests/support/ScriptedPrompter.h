#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "Prompter.h"

namespace qv::test {

// A Prompter for tests: each message box the code shows is recorded and answered from a script that the
// test set up beforehand. A message the script did not expect is answered with its safe button (No,
// Cancel, or the only one offered) and recorded as a failure; a file dialog with no answer queued is
// cancelled and recorded as well. takeProblems() hands out every failure together with the expected
// messages that were not shown and the file answers that were not used; what is left when the prompter
// goes fails the running test case.
class ScriptedPrompter : public Prompter {
public:
    // Problems not yet taken fail the running test case (a test that forgot to check is still checked).
    ~ScriptedPrompter() override;

    struct Shown {
        QString text, caption;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    // Expects a message with exactly this text (and caption, when not null) and answers it.
    ScriptedPrompter& expect(const QString& text, QMessageBox::StandardButton answer = QMessageBox::Ok,
                             const QString& caption = QString());
    // Expects `count` messages in a row with this caption, whatever their text (a text that comes from
    // the database server, for instance), and answers each of them.
    ScriptedPrompter& expectCaption(const QString& caption,
                                    QMessageBox::StandardButton answer = QMessageBox::Ok, int count = 1);
    // Answers for the next file dialogs, in order (an empty string means "cancelled"); a save dialog
    // also reports `selectedFilter` as the filter entry chosen.
    ScriptedPrompter& nextFile(const QString& path, const QString& selectedFilter = QString());
    // Code to run when the last expected message is shown (e.g. to check the state at that moment).
    ScriptedPrompter& onShow(std::function<void(const Shown&)> fn);

    // Every problem so far (unexpected messages and file dialogs, expected messages not shown, file
    // answers not used); the expectations and problems are dropped, so each is reported once.
    QStringList takeProblems();
    // True when every expected message was shown and nothing unexpected was; otherwise `why` says what.
    // Like takeProblems(), it reports each problem once.
    bool verify(QString* why = nullptr);

    const QList<Shown>& shown() const { return shown_; }
    QStringList texts() const;

    QMessageBox::StandardButton message(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons, QWidget* parent) override;
    QString saveFileName(const QString& caption, const QString& fileName, const QString& filter,
                         QWidget* parent) override;
    QString saveFileName(const QString& caption, const QString& fileName, const QString& filter, QWidget* parent,
                         QString* selectedFilter) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter,
                         QWidget* parent) override;
    QString directory(const QString& caption, const QString& dir, QWidget* parent) override;

    // The button an unscripted message is answered with: the one that changes nothing.
    static QMessageBox::StandardButton safeButton(QMessageBox::StandardButtons buttons);

private:
    struct Expected {
        QString text, caption;
        QMessageBox::StandardButton answer;
        std::function<void(const Shown&)> onShow;
        bool anyText = false;
        int count = 1;
        QString describe() const;
    };
    QStringList pending() const;
    QString nextFile(const char* kind, const QString& caption, QString* selectedFilter = nullptr);

    std::deque<Expected> expected_;
    std::deque<QString> files_;
    std::deque<QString> filters_;
    QList<Shown> shown_;
    QStringList failures_;
};

// QVERIFY2 for the prompter: use as QVERIFY_PROMPTS(prompter);
#define QVERIFY_PROMPTS(p)                             \
    do {                                               \
        QString why_;                                  \
        QVERIFY2((p).verify(&why_), qPrintable(why_)); \
    } while (0)

}  // namespace qv::test
