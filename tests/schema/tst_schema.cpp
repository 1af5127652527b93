#include <QtTest>
#include <memory>

#include "Database.h"
#include "Schema.h"
#include "TestDb.h"

using namespace qv;

class TestSchema : public QObject {
    Q_OBJECT

    std::unique_ptr<Database> db;

private slots:
    void init() {
        db = std::make_unique<Database>();
        QVERIFY(test::TestDb::openFresh(*db));
    }
    void cleanup() { db.reset(); }

    void everyTableAndViewExists() {
        for (const QString& t : schema::tableNames() + schema::viewNames())
            QVERIFY2(db->hasTable(t), qPrintable(t));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
