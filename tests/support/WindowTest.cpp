#include "WindowTest.h"

#include <QtTest>

#include "TestDb.h"

namespace qv::test {

void WindowTest::init() {
    if (!needsWorkstation(QTest::currentTestFunction())) return;
    ws = std::make_unique<Workstation>(TestDb::fresh());
    setUp();
}

void WindowTest::cleanup() {
    if (ws) ws->finish();
    tearDown();
    ws.reset();
    TestDb::endCase();
}

}  // namespace qv::test
