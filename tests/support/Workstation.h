#pragma once
#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

#include "Clock.h"
#include "Context.h"
#include "Database.h"
#include "Frm_Data.h"
#include "LoginState.h"
#include "ScriptedPrompter.h"
#include "Shell.h"

namespace qv::test {

// A Shell that records what the program asked it to open or start.
class FakeShell : public Shell {
public:
    bool open(const QString& target) override {
        opened << target;
        return openResult;
    }
    bool start(const QString& program, const QStringList& args) override {
        started << program;
        startedArgs << args;
        return startResult;
    }
    QStringList opened, started;
    QList<QStringList> startedArgs;
    bool openResult = true, startResult = true;
};

// A Clock that says what the test wants; by default always the same morning, so that no test depends
// on the day it runs or on midnight passing during the run.
class FixedClock : public Clock {
public:
    static QDateTime defaultNow() { return QDateTime(QDate(2024, 3, 15), QTime(9, 30)); }
    QDateTime now() const override { return at; }
    QDateTime at = defaultNow();
};

// One workstation of a test: its own program folder (with Config.ini), data module connected to the
// given database, scripted prompter, fake shell, clock, login state and context. Modal dialogs are
// handed to the next driver queued with onModal(); a dialog that arrives with no driver queued is
// rejected and recorded as a failure.
//
// The workstation checks itself when it goes (or earlier, through finish()): every expected message
// was shown and no other, every queued file answer and dialog driver was used, no dialog came without
// a driver and none is left open. What is wrong fails the running test case.
class Workstation {
public:
    explicit Workstation(const ConnectionSettings& settings);
    ~Workstation();

    // A second workstation on the same database: its own connection, data module, program folder,
    // prompter and login, as another operator's machine.
    std::unique_ptr<Workstation> another() const;

    using Driver = std::function<void(QDialog&)>;
    void onModal(Driver driver) { drivers_.push_back(std::move(driver)); }
    bool allDriversUsed() const { return drivers_.empty(); }
    const QStringList& unexpectedDialogs() const { return unexpected_; }

    // Everything wrong so far with messages, file answers and dialog drivers; each is reported once.
    QStringList takeProblems();
    // Dialogs still shown (the test's own driver left them open), which are closed.
    static QStringList closeOpenDialogs();
    // Fails the running test case with takeProblems() and closeOpenDialogs() (or only warns when the
    // case failed already, as its first failure is the one that explains); true when all was well.
    bool finish();

    const ConnectionSettings settings;
    QString home;
    FakeShell shell;
    FixedClock clock;
    ScriptedPrompter prompter;
    LoginState login;
    std::unique_ptr<Frm_Data> data;
    std::unique_ptr<Context> ctx;
    Database& db() { return data->db(); }

    // Logs in directly (no dialog) as the given operator with the given rights and restriction flag.
    void loginAs(const QString& user, int permit, std::initializer_list<int> rights);
    void loginAsAdmin();

private:
    std::deque<Driver> drivers_;
    QStringList unexpected_;
};

// A check in the middle of a test: everything the workstation was told to expect so far happened and
// nothing else (the same check runs again when the workstation goes).
#define QVERIFY_WORKSTATION(ws)                                           \
    do {                                                                  \
        const QStringList problems_ = (ws).takeProblems();                \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(u'\n'))); \
    } while (0)

}  // namespace qv::test
