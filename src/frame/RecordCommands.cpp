#include "RecordCommands.h"

#include <QPointer>
#include <algorithm>
#include <exception>
#include <utility>

#include "Context.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "LoginState.h"
#include "Prompter.h"
#include "Transaction.h"

namespace qv {

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kWarningBlank = QStringLiteral("警告 ");
const QString kNotice = QStringLiteral("提醒");
const QString kQuestion = QStringLiteral("询问");

const QString kNotYourCustomer = QStringLiteral("不是你的客户，你没有权限删除！");
const QString kAskDeleteCustomer = QStringLiteral("删除客户记录,将删除当前客户所有相关的记录");
const QString kDeleteFailed = QStringLiteral("删除记录失败!");
const QString kNotYourSchedule = QStringLiteral("不是你的工作日程，你没有权限删除！");
const QString kAskDeleteSchedule = QStringLiteral("您确定要删除这条工作日程记录吗？");
const QString kAskDeleteSale = QStringLiteral("您确定要删除该商品的销售记录吗？");
const QString kAskDeleteProduct = QStringLiteral("您确定要删除这条商品记录吗？");
const QString kProductFailed = QStringLiteral("删除商品记录失败!");
const QString kAskDeletePeople = QStringLiteral("您确定要删除这条业务员信息吗?");
const QString kPeopleFailed = QStringLiteral("删除业务员信息记录失败!");
const QString kAskDeleteCommission = QStringLiteral("您确定要删除这条商品信息吗?");

const QString kCustCode = QStringLiteral("CustCode");
const QString kOwner = QStringLiteral("F_User");

// Every table that holds rows of a customer, in the order they are emptied.
const char* const kCustomerTables[][2] = {
    {"Contact", "CustCode"},      {"T_Schedule", "CustCode"},  {"T_sale", "CustCode"},
    {"T_saleDetail", "CustCode"}, {"T_price", "CustCode"},     {"T_visit", "CustCode"},
    {"T_feedback", "CustCode"},   {"T_trackcust", "custcode"}, {"T_bargain", "custcode"},
};

bool hasRows(const Dataset& ds) { return ds.isOpen() && ds.rowCount() > 0 && ds.currentRow() >= 0; }

// An ordinary operator ("普通用户") changes and deletes only the rows he owns.
bool restricted(const Context& ctx) { return ctx.login && ctx.login->isRestricted(); }
QString currentUser(const Context& ctx) { return ctx.login ? ctx.login->currentUser() : QString(); }

bool ask(Context& ctx, Frm_Main& main, const QString& text) {
    return ctx.prompter.askYesNo(text, kQuestion, &main);
}

// The failure box of the deletes that run in a transaction: a confirmation whose answer changes nothing.
void failed(Context& ctx, Frm_Main& main, const QString& text, QMessageBox::StandardButtons buttons) {
    ctx.prompter.message(text, kQuestion, QMessageBox::Question, buttons, &main);
}

// Runs `work` in one transaction; false (everything rolled back) when it failed.
bool inTransaction(Database& db, const std::function<void()>& work) {
    try {
        Transaction tx(db);
        work();
        tx.commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// --- customers ------------------------------------------------------------------------------------

struct CustomerRow {
    int row;
    QVariant key;
    QString code;
    QString owner;
};

// Makes the customer current again by its row (earlier deletions moved it up by `removed` rows) or,
// should the list have changed meanwhile, by its key.
bool makeCurrent(Dataset& customers, const CustomerRow& c, int removed) {
    const QString keyField = customers.keyField();
    const int row = c.row - removed;
    if (row >= 0 && row < customers.rowCount()) {
        customers.setCurrentRow(row);
        if (customers.currentRow() == row && customers.value(keyField) == c.key) return true;
    }
    return customers.locate(keyField, c.key);
}

// Deletes the current customer and every row that carries its code, in one transaction.
bool deleteCurrentCustomer(Context& ctx, Frm_Main& main) {
    Frm_Data& data = ctx.data;
    Dataset& customers = *data.Qry_Cust;
    const QString code = customers.text(kCustCode);
    const bool ok = inTransaction(data.db(), [&] {
        for (const auto& t : kCustomerTables)
            data.db().execute(
                QStringLiteral("delete from %1 where %2=:code").arg(QLatin1String(t[0]), QLatin1String(t[1])),
                {{QStringLiteral("code"), code}});
        customers.remove();
    });
    if (!ok) failed(ctx, main, kDeleteFailed, QMessageBox::Ok);
    return ok;
}

void deleteCustomers(Context& ctx, Frm_Main& main) {
    Dataset& customers = *ctx.data.Qry_Cust;
    if (!hasRows(customers)) return;

    // The customers to delete: those selected in the workbench, else the current one.
    QList<int> rows;
    for (int r : customerSelection(main))
        if (r >= 0 && r < customers.rowCount()) rows << r;
    if (rows.isEmpty()) rows << customers.currentRow();
    const QString keyField = customers.keyField();
    QList<CustomerRow> targets;
    for (int r : rows)
        targets << CustomerRow{r, customers.value(r, keyField), customers.value(r, kCustCode).toString(),
                               customers.value(r, kOwner).toString()};

    // An ordinary operator deletes only his own customers: each selected customer is checked, not
    // just the current one.
    const bool checkOwner = restricted(ctx);
    const QString user = currentUser(ctx);
    auto notOwned = [&](const CustomerRow& c) { return checkOwner && c.owner != user; };
    auto notYours = [&] {
        ctx.prompter.message(kNotYourCustomer, kWarning, QMessageBox::Information, QMessageBox::Ok, &main);
    };
    if (std::all_of(targets.begin(), targets.end(), notOwned)) {
        notYours();
        return;
    }
    if (ctx.prompter.message(kAskDeleteCustomer, kWarning, QMessageBox::Information,
                             QMessageBox::Yes | QMessageBox::No, &main) != QMessageBox::Yes)
        return;

    int removed = 0;    // rows deleted so far; every one of them stood above the next target
    bool told = false;  // the refusal is said once, however many of the selected are not his
    for (const CustomerRow& c : targets) {
        if (notOwned(c)) {
            if (!std::exchange(told, true)) notYours();
            continue;
        }
        if (!makeCurrent(customers, c, removed)) continue;  // gone meanwhile
        if (deleteCurrentCustomer(ctx, main)) ++removed;
    }
}

// --- single rows ----------------------------------------------------------------------------------

void deleteSchedule(Context& ctx, Frm_Main& main) {
    Dataset& ds = *ctx.data.Qry_Schedule;
    if (!hasRows(ds)) return;
    if (restricted(ctx) && ds.text(kOwner) != currentUser(ctx)) {
        ctx.prompter.message(kNotYourSchedule, kNotice, QMessageBox::Information, QMessageBox::Ok, &main);
        return;
    }
    if (ds.isOpen() && ask(ctx, main, kAskDeleteSchedule)) ds.remove();
}

void deleteFollowUp(Context& ctx, Frm_Main& main, Dataset& ds, const QString& question) {
    if (!hasRows(ds)) return;
    if (ctx.prompter.message(question, kWarningBlank, QMessageBox::Information,
                             QMessageBox::Yes | QMessageBox::No, &main) == QMessageBox::Yes)
        ds.remove();
}

void deleteSale(Context& ctx, Frm_Main& main) {
    Frm_Data& data = ctx.data;
    Dataset& bills = *data.Qry_Sale;
    if (!hasRows(bills) || !ask(ctx, main, kAskDeleteSale)) return;
    const QString billCode = bills.text(QStringLiteral("billcode"));
    // A failure rolls back and leaves the bill as it was, without a message.
    inTransaction(data.db(), [&] {
        data.db().execute(QStringLiteral("delete from t_saledetail where billcode=:billcode"),
                          {{QStringLiteral("billcode"), billCode}});
        bills.remove();
    });
}

void deleteProduct(Context& ctx, Frm_Main& main) {
    Frm_Data& data = ctx.data;
    Dataset& products = *data.Qry_Products;
    if (!hasRows(products)) return;
    const QString code = products.text(QStringLiteral("Product_Code"));
    if (!ask(ctx, main, kAskDeleteProduct)) return;
    // The product's sales lines go with it; the bills keep their headers.
    const bool ok = inTransaction(data.db(), [&] {
        data.db().execute(QStringLiteral("delete from T_saleDetail where Product_Code=:code"),
                          {{QStringLiteral("code"), code}});
        products.remove();
    });
    if (!ok) failed(ctx, main, kProductFailed, QMessageBox::Yes | QMessageBox::No);
}

void deletePeople(Context& ctx, Frm_Main& main) {
    Frm_Data& data = ctx.data;
    Dataset& people = *data.Qry_PeopleData;
    if (!hasRows(people)) return;
    if (!ask(ctx, main, kAskDeletePeople)) return;
    // The salesman's commission rates and bills stay as they are.
    if (!inTransaction(data.db(), [&] { people.remove(); }))
        failed(ctx, main, kPeopleFailed, QMessageBox::Yes | QMessageBox::No);
}

void deleteCommission(Context& ctx, Frm_Main& main) {
    Frm_Data& data = ctx.data;
    Dataset& rates = *data.Qry_PeopleTC;
    if (!hasRows(rates)) return;
    if (!ask(ctx, main, kAskDeleteCommission)) return;
    if (!inTransaction(data.db(), [&] { rates.remove(); }))
        failed(ctx, main, kProductFailed, QMessageBox::Yes | QMessageBox::No);
}

// --- the workbench's selection --------------------------------------------------------------------

const QString kSelectionHook = QStringLiteral("CustomerSelectionHook");

class SelectionHook : public QObject {
public:
    explicit SelectionHook(QObject* parent) : QObject(parent) { setObjectName(kSelectionHook); }
    QPointer<QObject> owner;
    CustomerSelection selection;
};

}  // namespace

void setCustomerSelection(Frm_Main& main, QObject* owner, CustomerSelection selection) {
    auto* hook = main.findChild<SelectionHook*>(kSelectionHook, Qt::FindDirectChildrenOnly);
    if (!hook) hook = new SelectionHook(&main);
    hook->owner = owner;
    hook->selection = std::move(selection);
}

QList<int> customerSelection(const Frm_Main& main) {
    auto* hook = main.findChild<SelectionHook*>(kSelectionHook, Qt::FindDirectChildrenOnly);
    if (!hook || !hook->owner || !hook->selection) return {};
    return hook->selection();
}

void installRecordCommands(Context& ctx, Frm_Main& main) {
    main.setHandler(QStringLiteral("DelCust"), [&ctx, &main] { deleteCustomers(ctx, main); });
    main.setHandler(QStringLiteral("DelSchedule"), [&ctx, &main] { deleteSchedule(ctx, main); });
    main.setHandler(QStringLiteral("Delsale"), [&ctx, &main] { deleteSale(ctx, main); });
    main.setHandler(QStringLiteral("DelProducts"), [&ctx, &main] { deleteProduct(ctx, main); });
    main.setHandler(QStringLiteral("DelPeople"), [&ctx, &main] { deletePeople(ctx, main); });
    main.setHandler(QStringLiteral("Del_PeopleTC"), [&ctx, &main] { deleteCommission(ctx, main); });

    struct FollowUp {
        const char* command;
        Dataset* const Frm_Data::*dataset;
        const char* question;
    };
    static const FollowUp followUps[] = {
        {"Delprice", &Frm_Data::Qry_price, "你确定要删除这条商品报价的信息吗？"},
        {"Delvisit", &Frm_Data::Qry_visit, "你确定要删除这条售后回访的信息吗？"},
        {"Delfeedback", &Frm_Data::Qry_feedback, "你确定要删除这条投诉反馈的信息吗？"},
        {"Deltrack", &Frm_Data::Qry_track, "你确定要删除这条客户跟进的信息吗？"},
        {"Delbargain", &Frm_Data::Qry_bargain, "你确定要删除这条合同管理的信息吗？"},
    };
    for (const FollowUp& f : followUps) {
        Dataset* ds = ctx.data.*(f.dataset);
        const QString question = QString::fromUtf8(f.question);
        main.setHandler(QString::fromLatin1(f.command),
                        [&ctx, &main, ds, question] { deleteFollowUp(ctx, main, *ds, question); });
    }
}

}  // namespace qv
