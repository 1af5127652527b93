#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "Database.h"
#include "Dataset.h"
#include "IniFile.h"

class QComboBox;

namespace qv {

class Prompter;
class Shell;

// The data module of one workstation: the one database connection, the Config.ini handle, the
// shared datasets every window works through, and the operations that run statements on them.
class Frm_Data : public QObject {
    Q_OBJECT

    // Declared first: the datasets below are built on them.
    QString home_;
    IniFile ini_;
    Database db_;
    bool connected_ = false;
    int isInternet_ = -1;
    QString ipUrl_;
    bool billEditorOpen_ = false;

public:
    // `home` is the program folder; Config.ini is opened there at once.
    explicit Frm_Data(const QString& home, QObject* parent = nullptr);
    ~Frm_Data() override;

    // The start-up connection sequence (Config.ini, retry, offer to start DBLinker). `status`
    // receives the splash texts. True when connected.
    using StatusFn = std::function<void(const QString&)>;
    bool connectDatabase(Prompter& prompter, Shell& shell, const StatusFn& status = {});
    // Connects with explicit settings (tools and tests); false with *error filled on failure.
    bool connectWith(const ConnectionSettings& settings, QString* error = nullptr);

    Database& db() { return db_; }
    const Database& db() const { return db_; }
    IniFile& ini() { return ini_; }
    const QString& home() const { return home_; }
    bool connected() const { return connected_; }
    int isInternet() const { return isInternet_; }
    const QString& ipUrl() const { return ipUrl_; }

    // --- operations used by the windows --------------------------------------------------------
    // Closes the dataset, gives it the statement and its parameters, and opens it.
    void OpenQuery(Dataset& ds, const QString& sql, const Params& params = {});
    // Closes the dataset, gives it the statement and runs it without a result; returns the rows changed.
    int ExecQuery(Dataset& ds, const QString& sql, const Params& params = {});
    // Fills the list with the second column of every row of the table, trimmed, in name / id order.
    void FillComboByName(Dataset& ds, QComboBox& combo, const QString& table);
    void FillComboById(Dataset& ds, QComboBox& combo, const QString& table);

    // While the sales bill editor is open, CMoney of Qry_SaleDetail carries the line amount.
    void setBillEditorOpen(bool open);
    bool billEditorOpen() const { return billEditorOpen_; }
    // SalePrice × Number × DisCount of a line, as money.
    static QVariant lineAmount(const QVariant& salePrice, const QVariant& number, const QVariant& disCount);

    // The table's name as the schema spells it; throws DbError when it is no table or view of ours.
    static QString checkedTable(const QString& table);

    // --- shared datasets -----------------------------------------------------------------------
    Dataset* const Qry_Cust;
    Dataset* const Qry_Contact;
    Dataset* const Qry_Schedule;
    Dataset* const Qry_Sale;
    Dataset* const Qry_SaleDetail;
    Dataset* const Qry_price;
    Dataset* const Qry_visit;
    Dataset* const Qry_feedback;
    Dataset* const Qry_track;
    Dataset* const Qry_bargain;
    Dataset* const Qry_Products;
    Dataset* const Qry_PeopleData;
    Dataset* const Qry_PeopleTC;
    Dataset* const Qry_Count;
    Dataset* const Qry_FieldShow;
    Dataset* const Qry_Import;
    Dataset* const Qry_SoftInfo;
    Dataset* const Qry_Custom;
    Dataset* const Custom;
    Dataset* const Qry_HY;
    // scratch queries: each user sets its own statement first
    Dataset* const Qry_Temp;
    Dataset* const Qry_Str;
    Dataset* const Qry_CStr;
    Dataset* const Qry_Sql;
    Dataset* const Qry_Del;
    Dataset* const Qry_Other;
    Dataset* const Qry_temp1;
    Dataset* const Qry_Country;
    Dataset* const Qry_Type;
    Dataset* const Qry_From;

private:
    Dataset* make(const char* name, const QString& sql = QString());
    void fillCombo(Dataset& ds, QComboBox& combo, const QString& table, const char* orderBy);
    void afterConnect();
};

}  // namespace qv
