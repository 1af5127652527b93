#include "RightsGate.h"

namespace qv {

namespace {

QList<RightsGate::Gate> buildGates() {
    QList<RightsGate::Gate> g;
    auto add = [&g](int right, std::initializer_list<const char*> names) {
        for (const char* n : names) g.append({right, QString::fromLatin1(n)});
    };
    // Shared actions: every control that uses one follows its state.
    add(2, {"AddCust"});
    add(3, {"EditCust"});
    add(4, {"DelCust"});
    add(5, {"SearchCust"});
    add(8, {"M_Cust_Category"});
    add(10, {"AddProducts"});
    add(11, {"EditProducts"});
    add(12, {"DelProducts"});
    add(17, {"Addsale"});
    add(18, {"Editsale"});
    add(19, {"Delsale"});
    add(23, {"AddSchedule"});
    add(24, {"EditSchedule"});
    add(25, {"DelSchedule"});
    add(30, {"AddContact"});
    add(31, {"EditContact"});
    add(32, {"DelContact"});
    add(34, {"Addprice"});
    add(35, {"Editprice"});
    add(36, {"Delprice"});
    add(38, {"Addvisit"});
    add(39, {"Editvisit"});
    add(40, {"Delvisit"});
    add(42, {"Addfeedback"});
    add(43, {"Editfeedback"});
    add(44, {"Delfeedback"});
    add(46, {"Addtrack"});
    add(47, {"Edittrack"});
    add(48, {"Deltrack"});
    add(50, {"Addbargain"});
    add(51, {"Editbargain"});
    add(52, {"Delbargain"});
    // Statistics and printing: the main-menu entry and its twin in the tool-bar drop-down.
    add(54, {"Menu_ScheduleStat", "Drop_ScheduleStat"});
    add(55, {"Menu_PriceStat", "Drop_PriceStat"});
    add(56, {"Menu_FeedbackStat", "Drop_FeedbackStat"});
    add(57, {"Menu_VisitStat", "Drop_VisitStat"});
    add(58, {"Menu_TrackStat", "Drop_TrackStat"});
    add(59, {"Menu_BargainStat", "Drop_BargainStat"});
    add(60, {"Menu_CustChart", "Drop_CustChart"});
    add(61, {"Menu_SaleSum", "Menu_SaleSumProduct", "Menu_SaleSumCust", "Menu_SaleSumPeople", "Drop_SaleSum",
             "Drop_SaleSumProduct", "Drop_SaleSumCust", "Drop_SaleSumPeople"});
    add(62, {"Menu_SaleDetail", "Drop_SaleDetail"});
    add(64, {"Menu_PrintCustSheet", "Drop_PrintCustSheet"});
    add(65, {"Menu_PrintEnvelope", "Drop_PrintEnvelope"});
    add(66, {"Menu_PrintLabel", "Drop_PrintLabel"});
    // System settings.
    add(68, {"Menu_DesignCustSheet"});
    add(69, {"Menu_DesignEnvelope"});
    add(70, {"Menu_DesignLabel"});
    add(72, {"M_UserList"});
    add(73, {"Menu_InitData"});
    add(74, {"Menu_Options"});
    add(75, {"Menu_FieldCaptions", "Menu_CustCaptions", "Menu_ProductCaptions", "Menu_SaleCaptions"});
    add(76, {"Menu_Import", "Menu_ImportCust", "Menu_ImportProducts"});
    add(77, {"M_Backup"});
    // Reference lists.
    add(79, {"Menu_Country"});
    add(80, {"Menu_Position"});
    add(81, {"Menu_Department"});
    add(82, {"Menu_Staff"});
    add(83, {"Menu_CustFrom"});
    add(84, {"Menu_Unit"});
    add(85, {"Menu_CustType"});
    add(86, {"Menu_Subject"});
    add(87, {"Menu_ActivityType"});
    add(88, {"Menu_CustLevel"});
    add(89, {"Menu_CustPhase"});
    add(90, {"Menu_CustState"});
    return g;
}

}  // namespace

const QList<RightsGate::Gate>& RightsGate::gates() {
    static const QList<Gate> g = buildGates();
    return g;
}

int RightsGate::rightFor(const QString& name) {
    for (const Gate& g : gates())
        if (g.name == name) return g.right;
    return 0;
}

int RightsGate::commandRight(const QString& command) {
    if (const int k = rightFor(command)) return k;
    // Commands without an action of the main menu: the workbench enables its entries for them by
    // these rights, and the commands ask for the same ones.
    static const QList<Gate> workbenchOnly{{6, QStringLiteral("BatchEdit")},
                                           {7, QStringLiteral("ExportMobile")}};
    for (const Gate& g : workbenchOnly)
        if (g.name == command) return g.right;
    return 0;
}

QStringList RightsGate::namesFor(int right) {
    QStringList names;
    for (const Gate& g : gates())
        if (g.right == right) names << g.name;
    return names;
}

QList<RightsGate::State> RightsGate::states(const std::function<bool(int)>& held) {
    QList<State> out;
    out.reserve(gates().size());
    for (const Gate& g : gates()) out.append({g.name, held(g.right)});
    return out;
}

}  // namespace qv
