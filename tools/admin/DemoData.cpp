#include "DemoData.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

#include "BulkInsert.h"
#include "Database.h"
#include "DemoWords.h"
#include "Money.h"
#include "Transaction.h"

namespace qv::admin {

namespace {

// Deterministic for a given seed on every platform (the standard distributions are not).
class Rng {
public:
    explicit Rng(quint64 seed) : g_(seed) {}
    int below(int n) { return n <= 1 ? 0 : int(g_() % quint64(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(double p) { return double(g_() >> 11) * 0x1.0p-53 < p; }
    double unit() { return double(g_() >> 11) * 0x1.0p-53; }
    const QString& pick(const QStringList& l) { return l.at(below(int(l.size()))); }
    QString digits(int n) {
        QString s(n, QLatin1Char('0'));
        for (int i = 0; i < n; ++i) s[i] = QLatin1Char(char('0' + below(10)));
        return s;
    }

private:
    std::mt19937_64 g_;
};

struct Operator {
    QString name;
    QString role;
};

struct Product {
    QString code;
    QString name;
    QString spec;
    QString unit;
    Money price;
};

struct Place {
    QString province;
    QString city;
    QString shortCity;  // the city as it begins a company name
};

constexpr int kSqliteCacheKiB = 256 * 1024;

// Times of the demo data are wall-clock times; kept free of time zones, they cost no zone lookups.
QDateTime at(QDate day, QTime time) { return QDateTime(day, time, Qt::UTC); }

QString key2(const QString& a, const QString& b) { return a + QChar(0x1f) + b; }

class Generator {
public:
    Generator(Database& db, const DemoOptions& o)
        : db_(db), o_(o), rng_(o.seed), now_(at(o.now.date(), o.now.time())) {}

    DemoCounts run() {
        QElapsedTimer timer;
        timer.start();
        loadReferenceData();
        // Each insert into a table with a unique index keeps a statement journal; in memory it costs no
        // file writes. A bigger page cache keeps the growing indexes in memory.
        QVariant oldCache, oldTemp;
        if (db_.isSqlite()) {
            oldCache = db_.scalar(QStringLiteral("pragma cache_size"));
            oldTemp = db_.scalar(QStringLiteral("pragma temp_store"));
            db_.exec(QStringLiteral("pragma cache_size = -%1").arg(kSqliteCacheKiB));
            db_.exec(QStringLiteral("pragma temp_store = memory"));
        }
        {
            Transaction tx(db_);
            ensureCategories(QStringLiteral("Dict_Cust_Category"), words::customerCategories(), &custLeaves_);
            ensureOperators();
            if (!o_.customersOnly) {
                ensureCategories(QStringLiteral("Dict_Product_Category"), words::productCategories(), nullptr);
                ensureUnits();
                ensureProducts();
                ensureSalesmen();
                ensureCommissions();
                loadBillSequences();
            }
            generateCustomers();
            note(QStringLiteral("committing"));
            tx.commit();
        }
        if (oldCache.isValid()) db_.exec(QStringLiteral("pragma cache_size = %1").arg(oldCache.toLongLong()));
        if (oldTemp.isValid()) db_.exec(QStringLiteral("pragma temp_store = %1").arg(oldTemp.toInt()));
        note(QStringLiteral("done in %1 s").arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
        return counts_;
    }

private:
    void note(const QString& text) {
        if (o_.progress) o_.progress(text);
    }

    int perStatement(int columns) const {
        return o_.rowsPerStatement > 0 ? o_.rowsPerStatement : BulkInserter::defaultRowsPerStatement(db_, columns);
    }

    // ---- reference data, read before the transaction starts ----------------------------------------

    QStringList readList(const QString& table, const QStringList& fallback) {
        QStringList out;
        if (db_.hasTable(table)) {
            QSqlQuery q = db_.exec(QStringLiteral("select name from %1 order by id").arg(table));
            while (q.next()) {
                const QString v = q.value(0).toString().trimmed();
                if (!v.isEmpty() && !out.contains(v)) out << v;
            }
        }
        return out.isEmpty() ? fallback : out;
    }

    void loadReferenceData() {
        custTypes_ = readList(QStringLiteral("Dict_Type"), words::fallbackCustTypes());
        custLevels_ = readList(QStringLiteral("Dict_custlevel"), words::fallbackCustLevels());
        custSources_ = readList(QStringLiteral("Dict_CustFrom"), words::fallbackCustSources());
        countries_ = readList(QStringLiteral("Dict_Country"), {QStringLiteral("中国")});
        home_ = countries_.contains(QStringLiteral("中国")) ? QStringLiteral("中国") : countries_.first();
        positions_ = readList(QStringLiteral("Dict_zw"), words::fallbackPositions());
        departments_ = readList(QStringLiteral("Dict_Department"), words::fallbackDepartments());
        activities_ = readList(QStringLiteral("Dict_activity"), words::fallbackActivities());
        subjects_ = readList(QStringLiteral("T_subject"), words::fallbackSubjects());
        visitResults_ = readList(QStringLiteral("DICT_visitresult"), words::fallbackVisitResults());
        feedbackResults_ = readList(QStringLiteral("T_feedbackresult"), words::fallbackFeedbackResults());
        finishStates_ = readList(QStringLiteral("t_finish"), words::fallbackFinishStates());
        phases_ = readList(QStringLiteral("T_custphase"), words::fallbackPhases());
        states_ = readList(QStringLiteral("T_custstate"), words::fallbackStates());
        staff_ = readList(QStringLiteral("Dict_people"), {});

        QSqlQuery q = db_.exec(QStringLiteral("select spro, scity from citytel order by ID"));
        QSet<QString> seen;
        while (q.next()) {
            const QString pro = q.value(0).toString().trimmed();
            const QString city = q.value(1).toString().trimmed();
            if (pro.isEmpty() || city.isEmpty() || seen.contains(key2(pro, city))) continue;
            seen.insert(key2(pro, city));
            places_.push_back({pro, city, shortCity(city)});
        }
        if (places_.empty())
            for (const words::Place& p : words::fallbackPlaces()) places_.push_back({p.province, p.city, shortCity(p.city)});

        const QVariant first = db_.scalar(QStringLiteral("select UserName from admin order by UserID"));
        adminName_ = first.isValid() ? first.toString() : QStringLiteral("Admin");
    }

    static QString shortCity(const QString& city) {
        if (city.size() > 2 && city.endsWith(QStringLiteral("市"))) return city.left(city.size() - 1);
        return city;
    }

    // ---- supporting records --------------------------------------------------------------------------

    void count(const QString& table, qint64 n = 1) { counts_[table] += n; }

    void ensureCategories(const QString& table, const std::vector<words::Category>& cats, QStringList* leaves) {
        for (const words::Category& c : cats) {
            const bool exists = db_.scalar(QStringLiteral("select count(*) from %1 where Code = :code").arg(table),
                                           {{QStringLiteral("code"), c.code}})
                                    .toInt() > 0;
            if (!exists) {
                db_.exec(QStringLiteral("insert into %1 (Code, Name) values (:code, :name)").arg(table),
                         {{QStringLiteral("code"), c.code}, {QStringLiteral("name"), c.name}});
                count(table);
            }
        }
        if (!leaves) return;
        for (const words::Category& c : cats) {
            const bool hasChild = std::any_of(cats.begin(), cats.end(), [&](const words::Category& o) {
                return o.code.size() > c.code.size() && o.code.startsWith(c.code);
            });
            if (!hasChild) *leaves << c.code;
        }
    }

    void ensureOperators() {
        const std::vector<Operator> wanted = {
            {QStringLiteral("王芳"), QStringLiteral("普通用户")},
            {QStringLiteral("李强"), QStringLiteral("普通用户")},
            {QStringLiteral("刘洋"), QStringLiteral("普通用户")},
            {QStringLiteral("陈静"), QStringLiteral("超级管理员")},
        };
        owners_ = {adminName_};
        for (const Operator& op : wanted) {
            owners_ << op.name;
            const bool exists = db_.scalar(QStringLiteral("select count(*) from admin where UserName = :name"),
                                           {{QStringLiteral("name"), op.name}})
                                    .toInt() > 0;
            if (exists) continue;
            const Params p = {{QStringLiteral("name"), op.name},
                              {QStringLiteral("password"), QStringLiteral("")},  // no password
                              {QStringLiteral("role"), op.role},
                              {QStringLiteral("remark"), QStringLiteral("演示操作员")},
                              {QStringLiteral("permit"), op.role == QStringLiteral("普通用户") ? 1 : 0}};
            db_.exec(QStringLiteral("insert into admin (UserName, Password, PartName, Remark, Permit) "
                                    "values (:name, :password, :role, :remark, :permit)"),
                     p);
            count(QStringLiteral("admin"));
            // A new operator starts with a copy of his role's rights, in the catalogue's order.
            const int n = db_.execute(
                QStringLiteral("insert into T_UserAuthority (UserName, Code, FunctionName, Authority, Tag) "
                               "select :name, Code, FunctionName, Authority, Tag from T_PartAuthority "
                               "where PartName = :role order by Code"),
                p);
            count(QStringLiteral("T_UserAuthority"), n);
        }
    }

    void ensureUnits() {
        QSet<QString> have;
        QSqlQuery q = db_.exec(QStringLiteral("select name from Dict_unit order by id"));
        while (q.next()) have.insert(q.value(0).toString().trimmed());
        for (const words::ProductTemplate& t : words::productTemplates()) {
            if (have.contains(t.unit)) continue;
            db_.exec(QStringLiteral("insert into Dict_unit (name) values (:name)"), {{QStringLiteral("name"), t.unit}});
            have.insert(t.unit);
            count(QStringLiteral("Dict_unit"));
        }
    }

    // Highest number behind `prefix` among codes of exactly prefix + `width` digits (0 when none).
    qint64 highestNumber(const QString& table, const QString& column, const QString& prefix, int width) {
        qint64 best = 0;
        for (int w = width; w <= width + 3; ++w) {
            const QVariant v = db_.scalar(
                QStringLiteral("select max(%1) from %2 where %1 like :p and %3 = :w")
                    .arg(column, table, db_.dialect().len(column)),
                {{QStringLiteral("p"), prefix + QLatin1Char('%')}, {QStringLiteral("w"), prefix.size() + w}});
            bool ok = false;
            const qint64 n = v.toString().mid(prefix.size()).toLongLong(&ok);
            if (ok) best = std::max(best, n);
        }
        return best;
    }

    static QString numbered(const QString& prefix, qint64 n, int width) {
        return prefix + QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
    }

    void ensureProducts() {
        const auto& templates = words::productTemplates();
        const QStringList& makers = words::productMakers();
        const int kinds = int(templates.size());
        // Every article first in its plain form, then under the makers' names: names stay unique.
        const int wanted = std::clamp(o_.customers / 50, kinds, kinds * int(1 + makers.size()));
        const qint64 start = highestNumber(QStringLiteral("T_Products"), QStringLiteral("Product_Code"),
                                           QStringLiteral("SP"), 5);
        BulkInserter ins(db_, QStringLiteral("T_Products"),
                         {QStringLiteral("Product_Code"), QStringLiteral("Product"), QStringLiteral("Product_Specific"),
                          QStringLiteral("SalePrice"), QStringLiteral("CostPrice"), QStringLiteral("Unit_Name"),
                          QStringLiteral("Memo"), QStringLiteral("GoodsType")},
                         perStatement(8));
        for (int i = 0; i < wanted; ++i) {
            const words::ProductTemplate& t = templates[size_t(i % kinds)];
            const qint64 number = start + 1 + i;
            const bool plain = i < kinds;
            Product p;
            p.code = numbered(QStringLiteral("SP"), number, 5);
            p.name = plain ? t.name : makers.at(i / kinds - 1) + t.name;
            p.spec = plain ? t.spec : QStringLiteral("%1 %2-%3").arg(t.spec).arg(QChar(u'A' + i % 26)).arg(100 + i);
            p.unit = t.unit;
            const double factor = plain ? 1.0 : 0.8 + 0.7 * rng_.unit();
            p.price = Money::fromUnits(std::llround(t.price * factor * 100.0) * 100);
            const Money cost = Money::fromUnits(std::llround(p.price.toDouble() * (0.6 + 0.2 * rng_.unit()) * 100.0) * 100);
            ins.add({p.code, p.name, p.spec, p.price.toVariant(), cost.toVariant(), p.unit,
                     rng_.chance(0.2) ? QVariant(QStringLiteral("畅销")) : QVariant(), t.category});
            products_.push_back(p);
        }
        ins.finish();
        count(ins.table(), ins.rowCount());
    }

    void ensureSalesmen() {
        const QStringList names = {QStringLiteral("张伟"), QStringLiteral("王静"), QStringLiteral("李娜"),
                                   QStringLiteral("周杰"), QStringLiteral("杨帆"), QStringLiteral("赵敏")};
        const QString branch =
            departments_.contains(QStringLiteral("销售部")) ? QStringLiteral("销售部") : departments_.first();
        for (const QString& name : names) {
            salesmen_ << name;
            // The bill editor offers the staff list; commission rates apply where both lists agree.
            if (!staff_.contains(name)) {
                db_.exec(QStringLiteral("insert into Dict_people (name) values (:name)"), {{QStringLiteral("name"), name}});
                staff_ << name;
                count(QStringLiteral("Dict_people"));
            }
            if (db_.scalar(QStringLiteral("select count(*) from T_People where people = :name"),
                           {{QStringLiteral("name"), name}})
                    .toInt() > 0)
                continue;
            const bool male = name == QStringLiteral("张伟") || name == QStringLiteral("周杰") ||
                              name == QStringLiteral("杨帆");
            const QDate birthday = QDate(1975 + rng_.below(25), 1 + rng_.below(12), 1 + rng_.below(28));
            db_.exec(QStringLiteral("insert into T_People (people, sex, tel, Birthday, IDCard, Branch, Email, learn, "
                                    "polity, Address) values (:people, :sex, :tel, :birthday, :idcard, :branch, "
                                    ":email, :learn, :polity, :address)"),
                     {{QStringLiteral("people"), name},
                      {QStringLiteral("sex"), male ? QStringLiteral("男") : QStringLiteral("女")},
                      {QStringLiteral("tel"), QStringLiteral("13") + rng_.digits(9)},
                      {QStringLiteral("birthday"), at(birthday, QTime(0, 0))},
                      {QStringLiteral("idcard"), QStringLiteral("3205") + rng_.digits(2) +
                                                     birthday.toString(QStringLiteral("yyyyMMdd")) + rng_.digits(4)},
                      {QStringLiteral("branch"), branch},
                      {QStringLiteral("email"), rng_.digits(9).replace(0, 1, QLatin1Char('5')) + QStringLiteral("@qq.com")},
                      {QStringLiteral("learn"), rng_.pick(words::educations())},
                      {QStringLiteral("polity"), rng_.pick(words::polities())},
                      {QStringLiteral("address"), places_[size_t(rng_.below(int(places_.size())))].city +
                                                      rng_.pick(words::streets()) +
                                                      QStringLiteral("%1号").arg(rng_.between(1, 300))}});
            count(QStringLiteral("T_People"));
        }
        branch_ = branch;
    }

    static double rateOf(const QString& goodsTc) {
        const int pc = goodsTc.indexOf(QLatin1Char('%'));
        if (pc <= 0) return 0;
        return goodsTc.left(pc).trimmed().toDouble();
    }

    void ensureCommissions() {
        // Existing rates count for the bills; a pair of salesman and product name is never repeated.
        QSet<QString> namePairs;
        QSqlQuery q = db_.exec(QStringLiteral("select people, GoodsCode, GoodsName, GoodsTC from T_PeopleTC order by ID"));
        while (q.next()) {
            const QString people = q.value(0).toString();
            const QString code = key2(people, q.value(1).toString());
            if (!rates_.contains(code)) rates_.insert(code, rateOf(q.value(3).toString()));
            namePairs.insert(key2(people, q.value(2).toString()));
        }
        BulkInserter ins(db_, QStringLiteral("T_PeopleTC"),
                         {QStringLiteral("people"), QStringLiteral("GoodsCode"), QStringLiteral("GoodsName"),
                          QStringLiteral("GoodsType"), QStringLiteral("GoodsTC"), QStringLiteral("date"),
                          QStringLiteral("Branch"), QStringLiteral("UserName")},
                         perStatement(8));
        for (const QString& man : std::as_const(salesmen_)) {
            for (const Product& p : products_) {
                if (namePairs.contains(key2(man, p.name)) || !rng_.chance(0.7)) continue;
                namePairs.insert(key2(man, p.name));
                const bool half = rng_.chance(0.15);
                const double rate = rng_.between(1, 8) + (half ? 0.5 : 0.0);
                const QDateTime when = now_.addDays(-rng_.between(30, 700));
                ins.add({man, p.code, p.name, QStringLiteral("销售额提成"), QString::number(rate) + QLatin1Char('%'),
                         rng_.chance(0.9) ? QVariant(at(when.date(), QTime(0, 0))) : QVariant(), branch_,
                         adminName_});
                if (!rates_.contains(key2(man, p.code))) rates_.insert(key2(man, p.code), rate);
            }
        }
        ins.finish();
        count(ins.table(), ins.rowCount());
    }

    void loadBillSequences() {
        QSqlQuery q = db_.exec(QStringLiteral("select BillCode from T_sale where BillCode like :p"),
                               {{QStringLiteral("p"), QStringLiteral("FH%")}});
        while (q.next()) {
            const QString code = q.value(0).toString();
            if (code.size() != 14) continue;
            const QDate day = QDate::fromString(code.mid(2, 8), QStringLiteral("yyyyMMdd"));
            bool ok = false;
            const int seq = code.mid(10).toInt(&ok);
            if (day.isValid() && ok) billSeq_[day] = std::max(billSeq_.value(day), seq);
        }
    }

    QString nextBillCode(QDate day) {
        // Four digits a day: a full day moves on to the day before.
        while (billSeq_.value(day) >= 9999) day = day.addDays(-1);
        const int seq = billSeq_.value(day) + 1;
        billSeq_[day] = seq;
        return QStringLiteral("FH") + day.toString(QStringLiteral("yyyyMMdd")) +
               QStringLiteral("%1").arg(seq, 4, 10, QLatin1Char('0'));
    }

    // ---- customers and their records -----------------------------------------------------------------

    QString personName() {
        QString n = rng_.pick(words::surnames()) + rng_.pick(words::givenNameChars());
        if (rng_.chance(0.6)) n += rng_.pick(words::givenNameChars());
        return n;
    }

    QString mobile() {
        static const char* heads[] = {"13", "15", "18", "17"};
        return QLatin1String(heads[rng_.below(4)]) + rng_.digits(9);
    }
    QString phone() { return QLatin1Char('0') + QString::number(rng_.between(10, 999)) + rng_.digits(8); }
    QString postCode() { return QString::number(rng_.between(1, 8)) + rng_.digits(5); }

    QDateTime businessTime(QDate day) {
        return at(day, QTime(rng_.between(8, 17), rng_.below(4) * 15, 0));
    }
    // A moment between two points in time, during business hours.
    QDateTime timeBetween(const QDateTime& from, const QDateTime& to) {
        const qint64 days = std::max<qint64>(0, from.date().daysTo(to.date()));
        return businessTime(from.date().addDays(rng_.below(int(days) + 1)));
    }

    // Company names are unique: the customer number is mapped one-to-one onto the combinations of city,
    // trade name and line of business, spread so that neighbouring numbers look unrelated.
    void setUpNames() {
        const qint64 b = words::brandChars().size();
        nameSpace_ = qint64(places_.size()) * b * b * words::industries().size();
        nameStep_ = 1000003;
        while (std::gcd(nameStep_, nameSpace_) != 1) nameStep_ += 2;
    }

    struct NameParts {
        const Place* place;
        QString company;
        QString web;  // Latin trade name for addresses
        QString industry;
    };

    NameParts nameOf(qint64 number) {
        const QStringList& brands = words::brandChars();
        const QStringList& latin = words::brandPinyin();
        const QStringList& inds = words::industries();
        const qint64 b = brands.size();
        qint64 idx = qint64((__int128(number) * nameStep_ + 7) % nameSpace_);
        const Place& place = places_[size_t(idx % qint64(places_.size()))];
        idx /= qint64(places_.size());
        const int ind = int(idx % inds.size());
        idx /= inds.size();
        const int b1 = int(idx % b), b2 = int(idx / b % b);
        return {&place, place.shortCity + brands[b1] + brands[b2] + inds[ind] + QStringLiteral("有限公司"),
                latin[b1] + latin[b2], inds[ind]};
    }

    void generateCustomers() {
        setUpNames();
        const qint64 start = highestNumber(QStringLiteral("custom"), QStringLiteral("CustCode"), QStringLiteral("KH"), 6);
        const int width = std::max(6, int(QString::number(start + o_.customers).size()));
        const bool related = !o_.customersOnly;

        auto make = [&](const QString& table, const QStringList& cols) {
            return std::make_unique<BulkInserter>(db_, table, cols, perStatement(int(cols.size())));
        };
        auto cust = make(QStringLiteral("custom"),
                         {QStringLiteral("CustCode"), QStringLiteral("Company"), QStringLiteral("CustType"),
                          QStringLiteral("Category"), QStringLiteral("Country"), QStringLiteral("Province"),
                          QStringLiteral("City"), QStringLiteral("Address"), QStringLiteral("PostCode"),
                          QStringLiteral("Tel"), QStringLiteral("Fax"), QStringLiteral("Income"), QStringLiteral("Email"),
                          QStringLiteral("Url"), QStringLiteral("CustFrom"), QStringLiteral("Introduce"),
                          QStringLiteral("F_User"), QStringLiteral("Adddate"), QStringLiteral("MainContact"),
                          QStringLiteral("OtherInfo"), QStringLiteral("Memo3"), QStringLiteral("custlevel"),
                          QStringLiteral("mobile")});
        std::unique_ptr<BulkInserter> contact, sched, price, visit, feedback, track, bargain, sale, line;
        if (related) {
            contact = make(QStringLiteral("contact"),
                           {QStringLiteral("CustCode"), QStringLiteral("Name"), QStringLiteral("Main"),
                            QStringLiteral("Position"), QStringLiteral("Department"), QStringLiteral("Email"),
                            QStringLiteral("Address"), QStringLiteral("PostCode"), QStringLiteral("Tel"),
                            QStringLiteral("Mobile"), QStringLiteral("HomeTel"), QStringLiteral("Fax"),
                            QStringLiteral("Birthday"), QStringLiteral("introduce"), QStringLiteral("F_User"),
                            QStringLiteral("Company")});
            sched = make(QStringLiteral("T_Schedule"),
                         {QStringLiteral("CustCode"), QStringLiteral("Subject"), QStringLiteral("Type"),
                          QStringLiteral("Company"), QStringLiteral("Contact"), QStringLiteral("StartDate"),
                          QStringLiteral("Memo"), QStringLiteral("F_User"), QStringLiteral("Awoke"),
                          QStringLiteral("AwokeDate"), QStringLiteral("finish")});
            price = make(QStringLiteral("T_price"),
                         {QStringLiteral("custcode"), QStringLiteral("baojiatime"), QStringLiteral("sort"),
                          QStringLiteral("type"), QStringLiteral("filepath"), QStringLiteral("people"),
                          QStringLiteral("unitnumber"), QStringLiteral("guige"), QStringLiteral("unitprice")});
            visit = make(QStringLiteral("T_visit"),
                         {QStringLiteral("custcode"), QStringLiteral("visittime"), QStringLiteral("personnel"),
                          QStringLiteral("visitcontent"), QStringLiteral("visitresult")});
            feedback = make(QStringLiteral("T_feedback"),
                            {QStringLiteral("custcode"), QStringLiteral("feedbacktime"), QStringLiteral("feedbackcontent"),
                             QStringLiteral("feedbackresult"), QStringLiteral("disposaltime"),
                             QStringLiteral("disposalpersonnel"), QStringLiteral("deskclerk")});
            track = make(QStringLiteral("T_trackcust"),
                         {QStringLiteral("custcode"), QStringLiteral("custphase"), QStringLiteral("custstate"),
                          QStringLiteral("people"), QStringLiteral("lasttime"), QStringLiteral("selltime")});
            bargain = make(QStringLiteral("T_bargain"),
                           {QStringLiteral("custcode"), QStringLiteral("bargainname"), QStringLiteral("bargaintime"),
                            QStringLiteral("people"), QStringLiteral("filepath"), QStringLiteral("finish"),
                            QStringLiteral("balancemoney"), QStringLiteral("bargainmoney"), QStringLiteral("memo")});
            sale = make(QStringLiteral("T_sale"),
                        {QStringLiteral("BillCode"), QStringLiteral("CustCode"), QStringLiteral("F_User"),
                         QStringLiteral("SaleDate"), QStringLiteral("OldBill"), QStringLiteral("Note"),
                         QStringLiteral("Custname"), QStringLiteral("people")});
            line = make(QStringLiteral("T_SaleDetail"),
                        {QStringLiteral("BillCode"), QStringLiteral("Product_Code"), QStringLiteral("Product"),
                         QStringLiteral("Product_Specific"), QStringLiteral("Unit_Name"), QStringLiteral("SalePrice"),
                         QStringLiteral("Number"), QStringLiteral("DisCount"), QStringLiteral("SaleMoney"),
                         QStringLiteral("TCMoney"), QStringLiteral("Custcode")});
        }
        // Staff who do the follow-up work: the staff list, else the salesmen.
        const QStringList& workers = !staff_.isEmpty() ? staff_ : salesmen_;

        const QDateTime now = now_;
        const QDate today = now.date();
        std::vector<QVariant> row;
        for (int i = 0; i < o_.customers; ++i) {
            const qint64 number = start + 1 + i;
            const QString code = numbered(QStringLiteral("KH"), number, width);
            const NameParts name = nameOf(number);
            // The administrator owns a good share, the demo operators the rest.
            const QString& owner = rng_.chance(0.4) ? owners_.first() : owners_.at(1 + rng_.below(int(owners_.size()) - 1));
            const QDateTime added = businessTime(today.addDays(-rng_.between(30, 1095)));
            const QString address = name.place->city + rng_.pick(words::streets()) +
                                    QStringLiteral("%1号").arg(rng_.between(1, 999));
            const QString post = postCode();
            const QString tel = phone();
            const QString domain = name.web + QLatin1Char('.') + rng_.pick(words::domains());

            QStringList contacts;
            if (related) {
                const int n = rng_.between(1, 3);
                for (int c = 0; c < n; ++c) {
                    const QString person = personName();
                    contacts << person;
                    contact->add({code, person, c == 0, rng_.pick(positions_), rng_.pick(departments_),
                                  rng_.chance(0.7) ? QVariant(QString::number(rng_.between(10000, 999999999)) +
                                                              QStringLiteral("@qq.com"))
                                                   : QVariant(),
                                  address, post, tel.left(tel.size() - 2) + rng_.digits(2), mobile(),
                                  rng_.chance(0.3) ? QVariant(phone()) : QVariant(),
                                  rng_.chance(0.4) ? QVariant(tel) : QVariant(),
                                  rng_.chance(0.5) ? QVariant(at(QDate(1960 + rng_.below(40), 1 + rng_.below(12),
                                                                              1 + rng_.below(28)),
                                                                        QTime(0, 0)))
                                                   : QVariant(),
                                  c == 0 && rng_.chance(0.3) ? QVariant(QStringLiteral("主要决策人")) : QVariant(),
                                  owner, name.company});
                }
            }

            cust->add({code, name.company, rng_.pick(custTypes_),
                       custLeaves_.isEmpty() ? QVariant() : QVariant(rng_.pick(custLeaves_)),
                       rng_.chance(0.97) ? home_ : rng_.pick(countries_), name.place->province, name.place->city,
                       address, post, tel, rng_.chance(0.6) ? QVariant(phone()) : QVariant(),
                       QString::number(rng_.between(50, 50000)), QStringLiteral("sales@") + domain,
                       QStringLiteral("www.") + domain, rng_.pick(custSources_),
                       QStringLiteral("%1主要从事%2相关业务，成立于%3年，员工约%4人。")
                           .arg(name.company, name.industry)
                           .arg(1990 + rng_.below(33))
                           .arg(rng_.between(10, 2000)),
                       owner, added, contacts.isEmpty() ? QVariant() : QVariant(contacts.first()),
                       rng_.chance(0.1) ? QVariant(QStringLiteral("开票资料已登记")) : QVariant(),
                       rng_.chance(0.2) ? QVariant(rng_.pick(words::competitorNotes())) : QVariant(),
                       rng_.pick(custLevels_), mobile()});
            if (!related) {
                if ((i + 1) % 100000 == 0) note(QStringLiteral("%1 customers").arg(i + 1));
                continue;
            }

            // Work schedule: mostly past entries, some ahead with reminders, now and then one today.
            const int entries = rng_.below(3);
            for (int s = 0; s < entries; ++s) {
                QDateTime when;
                if (rng_.chance(0.08)) {
                    when = businessTime(today);
                } else {
                    const QDateTime from = std::max(added, now.addDays(-180));
                    when = timeBetween(from, now.addDays(30));
                }
                const bool ahead = when > now;
                bool awoke = false;
                QVariant awokeDate;
                if (ahead && rng_.chance(0.5)) {
                    awoke = true;
                    awokeDate = at(std::max(today, when.date().addDays(-rng_.below(3))), QTime(0, 0));
                } else if (!ahead && rng_.chance(0.1)) {
                    awoke = true;
                    awokeDate = at(when.date().addDays(-1), QTime(0, 0));
                }
                const QString finish = ahead ? (rng_.chance(0.8) ? QStringLiteral("否") : QString())
                                             : (rng_.chance(0.8) ? QStringLiteral("是") : QStringLiteral("否"));
                sched->add({code, rng_.pick(subjects_), rng_.pick(activities_), name.company, rng_.pick(contacts), when,
                            rng_.pick(words::scheduleTexts()), owner, awoke, awokeDate,
                            finish.isEmpty() ? QVariant() : QVariant(finish)});
            }

            // Follow-up records, each kind for about one customer in five.
            if (rng_.chance(0.2)) {
                const Product& p = products_[size_t(rng_.below(int(products_.size())))];
                const Money offer = Money::fromUnits(std::llround(p.price.toDouble() * (0.85 + 0.15 * rng_.unit()) * 100) * 100);
                price->add({code, at(timeBetween(added, now).date(), QTime(0, 0)), p.name,
                            rng_.chance(0.5) ? QStringLiteral("标准报价") : QStringLiteral("优惠报价"),
                            rng_.chance(0.1) ? QVariant(QStringLiteral("D:\\报价单\\") + code + QStringLiteral(".doc"))
                                             : QVariant(),
                            rng_.pick(salesmen_), double(rng_.between(1, 100)), p.spec, offer.toVariant()});
            }
            if (rng_.chance(0.2)) {
                visit->add({code, at(timeBetween(added, now).date(), QTime(0, 0)), rng_.pick(workers),
                            rng_.pick(words::visitTexts()), rng_.pick(visitResults_)});
            }
            if (rng_.chance(0.2)) {
                const QDateTime got = at(timeBetween(added, now).date(), QTime(0, 0));
                const QDateTime done = got.addDays(rng_.below(6));
                feedback->add({code, got, rng_.pick(words::feedbackTexts()), rng_.pick(feedbackResults_),
                               done <= now ? QVariant(done) : QVariant(), rng_.pick(workers), rng_.pick(workers)});
            }
            if (rng_.chance(0.2)) {
                const QDateTime last = at(timeBetween(added, now).date(), QTime(0, 0));
                track->add({code, rng_.pick(phases_), rng_.pick(states_), rng_.pick(workers), last,
                            rng_.chance(0.6) ? QVariant(at(timeBetween(added, last).date(), QTime(0, 0)))
                                             : QVariant()});
            }
            if (rng_.chance(0.2)) {
                const Product& p = products_[size_t(rng_.below(int(products_.size())))];
                const Money total = Money::product(p.price, double(rng_.between(5, 200)), 1.0);
                const int paidPercent = rng_.chance(0.5) ? 100 : rng_.below(10) * 10;
                bargain->add({code, p.name + QStringLiteral("采购合同"),
                              at(timeBetween(added, now).date(), QTime(0, 0)), rng_.pick(salesmen_),
                              rng_.chance(0.2) ? QVariant(QStringLiteral("D:\\合同\\HT") + code + QStringLiteral(".doc"))
                                               : QVariant(),
                              rng_.pick(finishStates_), Money::product(total, paidPercent / 100.0, 1.0).toVariant(),
                              total.toVariant(),
                              rng_.chance(0.3) ? QVariant(QStringLiteral("分两期付款")) : QVariant()});
            }

            // Sales bills with one to three lines of different products.
            if (rng_.chance(0.35)) {
                const QDateTime when = timeBetween(std::max(added, now.addDays(-730)), now);
                const QString bill = nextBillCode(when.date());
                const QString man = rng_.pick(salesmen_);
                sale->add({bill, code, owner, when,
                           rng_.chance(0.2) ? QVariant(QStringLiteral("ZD") + rng_.digits(6)) : QVariant(),
                           rng_.chance(0.3) ? QVariant(rng_.pick(words::billNotes())) : QVariant(), name.company, man});
                const int lines = std::min(rng_.between(1, 3), int(products_.size()));
                int used[3] = {-1, -1, -1};
                for (int l = 0; l < lines; ++l) {
                    int k;
                    do k = rng_.below(int(products_.size()));
                    while (k == used[0] || k == used[1]);
                    used[l] = k;
                    const Product& p = products_[size_t(k)];
                    const double qty = rng_.chance(0.1) ? rng_.between(1, 40) + 0.5
                                                        : (rng_.chance(0.8) ? rng_.between(1, 20) : rng_.between(21, 200));
                    static const double discounts[] = {1, 1, 1, 1, 0.98, 0.95, 0.9, 0.85, 0.8};
                    const double disc = discounts[rng_.below(9)];
                    const Money amount = Money::product(p.price, qty, disc);
                    // The commission is taken on the undiscounted value.
                    const double rate = rates_.value(key2(man, p.code), 0.0);
                    const Money tc = rate > 0 ? Money::product(p.price, qty, rate / 100.0) : Money();
                    line->add({bill, p.code, p.name, p.spec, p.unit, p.price.toVariant(), qty, disc, amount.toVariant(),
                               tc.toVariant(), code});
                }
            }
            if ((i + 1) % 50000 == 0) note(QStringLiteral("%1 customers").arg(i + 1));
        }
        for (BulkInserter* b : {cust.get(), contact.get(), sched.get(), price.get(), visit.get(), feedback.get(),
                                track.get(), bargain.get(), sale.get(), line.get()}) {
            if (!b) continue;
            b->finish();
            if (b->rowCount() > 0) count(b->table(), b->rowCount());
        }
    }

    Database& db_;
    const DemoOptions& o_;
    Rng rng_;
    QDateTime now_;
    DemoCounts counts_;

    QStringList custTypes_, custLevels_, custSources_, countries_, positions_, departments_, activities_, subjects_,
        visitResults_, feedbackResults_, finishStates_, phases_, states_, staff_;
    QString home_, adminName_, branch_;
    std::vector<Place> places_;
    QStringList custLeaves_, owners_, salesmen_;
    std::vector<Product> products_;
    QHash<QString, double> rates_;  // salesman + product code -> percent
    QHash<QDate, int> billSeq_;
    qint64 nameSpace_ = 1, nameStep_ = 1;
};

}  // namespace

DemoCounts generateDemo(Database& db, const DemoOptions& options) {
    if (options.customers < 0) throw DbError(QStringLiteral("the number of customers must not be negative"));
    Generator g(db, options);
    return g.run();
}

}  // namespace qv::admin
