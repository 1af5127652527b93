#pragma once
#include <QObject>
#include <memory>

#include "Workstation.h"

namespace qv::test {

// The base of window tests. Each case gets a workstation on a fresh database; when the case ends the
// workstation is checked (see Workstation) before the derived class takes its windows down, and the
// case's databases are dropped.
class WindowTest : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<Workstation> ws;

    // After the workstation of a case is made: open windows, log in, store rows.
    virtual void setUp() {}
    // After the workstation was checked, before it goes: take windows down.
    virtual void tearDown() {}
    // False for cases that work without a database (code rules, menu tables, file names): they get
    // no workstation.
    virtual bool needsWorkstation(const char* testFunction) const {
        Q_UNUSED(testFunction)
        return true;
    }

private slots:
    void init();
    void cleanup();
};

}  // namespace qv::test
