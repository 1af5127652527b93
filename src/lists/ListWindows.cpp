#include "ListWindows.h"

namespace qv {

namespace {

const ListKind& kindOf(const char* window) {
    const ListKind* k = listKindOfWindow(QString::fromLatin1(window));
    Q_ASSERT(k);
    return *k;
}

}  // namespace

Frm_Country::Frm_Country(Context& ctx, QWidget* parent) : ListEditor(ctx, kindOf("Frm_Country"), parent) {}
Frm_People::Frm_People(Context& ctx, QWidget* parent) : ListEditor(ctx, kindOf("Frm_People"), parent) {}
Frm_Post::Frm_Post(Context& ctx, QWidget* parent) : ListEditor(ctx, kindOf("Frm_Post"), parent) {}
Frm_Depart::Frm_Depart(Context& ctx, QWidget* parent) : ListEditor(ctx, kindOf("Frm_Depart"), parent) {}
Frm_custlevel::Frm_custlevel(Context& ctx, QWidget* parent)
    : ListEditor(ctx, kindOf("Frm_custlevel"), parent) {}
Frm_Clientsource::Frm_Clientsource(Context& ctx, QWidget* parent)
    : ListEditor(ctx, kindOf("Frm_Clientsource"), parent) {}
Frm_Clienttype::Frm_Clienttype(Context& ctx, QWidget* parent)
    : ListEditor(ctx, kindOf("Frm_Clienttype"), parent) {}
Frm_Type::Frm_Type(Context& ctx, QWidget* parent) : ListEditor(ctx, kindOf("Frm_Type"), parent) {}
Frm_Clientstate::Frm_Clientstate(Context& ctx, QWidget* parent)
    : ListEditor(ctx, kindOf("Frm_Clientstate"), parent) {}
Frm_clientphase::Frm_clientphase(Context& ctx, QWidget* parent)
    : ListEditor(ctx, kindOf("Frm_clientphase"), parent) {}
Frm_Subject::Frm_Subject(Context& ctx, QWidget* parent) : ListEditor(ctx, kindOf("Frm_Subject"), parent) {}
Frm_Measure::Frm_Measure(Context& ctx, QWidget* parent) : ListEditor(ctx, kindOf("Frm_Measure"), parent) {}

std::unique_ptr<ListEditor> createListEditor(Context& ctx, const QString& window, QWidget* parent) {
    if (window == QLatin1String("Frm_Country")) return std::make_unique<Frm_Country>(ctx, parent);
    if (window == QLatin1String("Frm_People")) return std::make_unique<Frm_People>(ctx, parent);
    if (window == QLatin1String("Frm_Post")) return std::make_unique<Frm_Post>(ctx, parent);
    if (window == QLatin1String("Frm_Depart")) return std::make_unique<Frm_Depart>(ctx, parent);
    if (window == QLatin1String("Frm_custlevel")) return std::make_unique<Frm_custlevel>(ctx, parent);
    if (window == QLatin1String("Frm_Clientsource")) return std::make_unique<Frm_Clientsource>(ctx, parent);
    if (window == QLatin1String("Frm_Clienttype")) return std::make_unique<Frm_Clienttype>(ctx, parent);
    if (window == QLatin1String("Frm_Type")) return std::make_unique<Frm_Type>(ctx, parent);
    if (window == QLatin1String("Frm_Clientstate")) return std::make_unique<Frm_Clientstate>(ctx, parent);
    if (window == QLatin1String("Frm_clientphase")) return std::make_unique<Frm_clientphase>(ctx, parent);
    if (window == QLatin1String("Frm_Subject")) return std::make_unique<Frm_Subject>(ctx, parent);
    if (window == QLatin1String("Frm_Measure")) return std::make_unique<Frm_Measure>(ctx, parent);
    return nullptr;
}

}  // namespace qv
