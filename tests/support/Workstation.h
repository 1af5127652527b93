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

// A Clock that says what the test wants.
class FixedClock : public Clock {
public:
    QDateTime now() const override { return at.isValid() ? at : Clock::now(); }
    QDateTime at;
};

// One workstation of a test: its own program folder (with Config.ini), data module connected to the
// given database, scripted prompter, fake shell, clock, login state and context. Modal dialogs are
// handed to the next driver queued with onModal(); a dialog that arrives with no driver queued is
// rejected and recorded as a failure.
class Workstation {
public:
    explicit Workstation(const ConnectionSettings& settings);
    ~Workstation();

    using Driver = std::function<void(QDialog&)>;
    void onModal(Driver driver) { drivers_.push_back(std::move(driver)); }
    bool allDriversUsed() const { return drivers_.empty(); }
    const QStringList& unexpectedDialogs() const { return unexpected_; }

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

// After a test: every message the workstation was told to expect was shown and nothing else, every
// queued dialog driver was used, and no dialog opened without one.
#define QVERIFY_WORKSTATION(ws)                                     \
    do {                                                            \
        QVERIFY_PROMPTS((ws).prompter);                             \
        QVERIFY((ws).allDriversUsed());                             \
        QCOMPARE((ws).unexpectedDialogs(), QStringList());          \
    } while (0)

}  // namespace qv::test
