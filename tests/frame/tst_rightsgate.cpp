#include <QtTest>

#include "RightsGate.h"

using namespace qv;

// The rights table of the main window, checked without any widget.
class TestRightsGate : public QObject {
    Q_OBJECT
private slots:
    void namesOfRight_data() {
        QTest::addColumn<int>("right");
        QTest::addColumn<QStringList>("names");
        auto row = [](int k, QStringList names) { QTest::addRow("right %d", k) << k << names; };
        row(2, {"AddCust"});
        row(5, {"SearchCust"});
        row(8, {"M_Cust_Category"});
        row(19, {"Delsale"});
        row(32, {"DelContact"});
        row(52, {"Delbargain"});
        // both places: the main-menu entry and its twin in the tool-bar drop-down
        row(54, {"Menu_ScheduleStat", "Drop_ScheduleStat"});
        row(56, {"Menu_FeedbackStat", "Drop_FeedbackStat"});
        row(57, {"Menu_VisitStat", "Drop_VisitStat"});
        row(61, {"Menu_SaleSum", "Menu_SaleSumProduct", "Menu_SaleSumCust", "Menu_SaleSumPeople",
                 "Drop_SaleSum", "Drop_SaleSumProduct", "Drop_SaleSumCust", "Drop_SaleSumPeople"});
        row(64, {"Menu_PrintCustSheet", "Drop_PrintCustSheet"});
        row(72, {"M_UserList"});
        row(75, {"Menu_FieldCaptions", "Menu_CustCaptions", "Menu_ProductCaptions", "Menu_SaleCaptions"});
        row(76, {"Menu_Import", "Menu_ImportCust", "Menu_ImportProducts"});
        row(77, {"M_Backup"});
        row(84, {"Menu_Unit"});
        row(90, {"Menu_CustState"});
        // read by other windows when they open, or gating nothing: no command of the main window
        for (int k : {1,  6,  7,  9,  13, 14, 15, 16, 20, 21, 22, 26, 27,
                      28, 29, 33, 53, 63, 67, 71, 78, 91, 92, 93, 100})
            row(k, {});
    }
    void namesOfRight() {
        QFETCH(int, right);
        QFETCH(QStringList, names);
        QCOMPARE(RightsGate::namesFor(right), names);
        for (const QString& n : names) QCOMPARE(RightsGate::rightFor(n), right);
    }

    void ungatedCommandsHaveNoRight() {
        for (const char* n : {"M_Products_Category", "AddPeople", "Del_PeopleTC", "M_Company", "ExportEmail",
                              "BatchEdit", "ShowField_Cust", "Menu_ContactList", "Menu_Relogin", "Menu_Exit"})
            QCOMPARE(RightsGate::rightFor(QString::fromLatin1(n)), 0);
    }

    void statesFollowTheHeldRights() {
        const QSet<int> held{2, 54, 91};
        const auto states = RightsGate::states([&held](int k) { return held.contains(k); });
        QCOMPARE(states.size(), RightsGate::gates().size());
        QStringList enabled;
        for (const auto& s : states)
            if (s.enabled) enabled << s.name;
        QCOMPARE(enabled, (QStringList{"AddCust", "Menu_ScheduleStat", "Drop_ScheduleStat"}));
    }

    void everyNameIsGatedOnce() {
        QSet<QString> seen;
        for (const auto& g : RightsGate::gates()) {
            QVERIFY2(!seen.contains(g.name), qPrintable(g.name));
            seen.insert(g.name);
            QVERIFY(g.right >= 1 && g.right <= 100);
        }
    }
};

QTEST_GUILESS_MAIN(TestRightsGate)
#include "tst_rightsgate.moc"
