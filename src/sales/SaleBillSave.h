#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace qv {

class Database;
class Dataset;

// What the bill editor's header holds when a bill is saved.
struct SaleBillHeader {
    QString billCode;
    QDateTime saleDate;
    QString oldBill;
    QString custCode;
    QString custName;
    QString note;
    QString user;            // F_User, the operator who wrote the bill
    QString salesman;        // people
    QStringList freeFields;  // Bill1 ... Bill20; missing ones are stored empty
};

// Stores a new sales bill in one transaction: the header, then every line's amount and the
// salesman's commission, then the line list's pending changes. Works on the line dataset in cached
// updates; nothing of the bill reaches the database unless all of it does.
class SaleBillSave {
public:
    enum class Result { Saved, NumberTaken, Failed };

    SaleBillSave(Database& db, Dataset& lines) : db_(db), lines_(lines) {}

    // A number stored by another workstation meanwhile (before or during the save) gives
    // NumberTaken and stores nothing; any other failure gives Failed with the server's text in
    // `error`. The lines keep their pending changes in both cases.
    Result saveNew(const SaleBillHeader& header, QString* error = nullptr);

    // The line pass alone: writes BillCode, SaleMoney and TCMoney into every line of the list.
    void computeLines(const QString& billCode, const QString& salesman);

private:
    bool numberTaken(const QString& billCode) const;

    Database& db_;
    Dataset& lines_;
};

}  // namespace qv
