#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "Prompter.h"

namespace qv::test {

// A Prompter for tests: each message box the code shows is recorded and answered from a script that the
// test set up beforehand. A message the script did not expect is recorded as a failure, which
// verify() reports (and the box is answered with its first button so the code can go on).
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString text, caption;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    // Expects a message with exactly this text (and caption, when not null) and answers it.
    ScriptedPrompter& expect(const QString& text, QMessageBox::StandardButton answer = QMessageBox::Ok,
                             const QString& caption = QString());
    // Answers for the next file dialogs, in order (an empty string means "cancelled"); a save dialog
    // also reports `selectedFilter` as the filter entry chosen.
    ScriptedPrompter& nextFile(const QString& path, const QString& selectedFilter = QString());
    // Code to run when the next expected message is shown (e.g. to check the state at that moment).
    ScriptedPrompter& onShow(std::function<void(const Shown&)> fn);

    // True when every expected message was shown and nothing unexpected was; otherwise `why` says what.
    bool verify(QString* why = nullptr) const;
    void clear();

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

private:
    struct Expected {
        QString text, caption;
        QMessageBox::StandardButton answer;
        std::function<void(const Shown&)> onShow;
    };
    std::deque<Expected> expected_;
    std::deque<QString> files_;
    std::deque<QString> filters_;
    QList<Shown> shown_;
    QStringList failures_;
};

// QVERIFY2 for the prompter: use as QVERIFY_PROMPTS(prompter);
#define QVERIFY_PROMPTS(p)                                   \
    do {                                                     \
        QString why_;                                        \
        QVERIFY2((p).verify(&why_), qPrintable(why_));       \
    } while (0)

}  // namespace qv::test
