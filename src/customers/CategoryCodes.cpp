#include "CategoryCodes.h"

#include <QSqlQuery>
#include <algorithm>

#include "Database.h"

namespace qv {

// --- CategoryList ------------------------------------------------------------------------------

CategoryList::CategoryList(QStringList codes) : codes_(std::move(codes)) {
    std::sort(codes_.begin(), codes_.end());
}

QStringList CategoryList::codes(int length, const QString& prefix) const {
    QStringList out;
    for (const QString& c : codes_)
        if ((length == 0 || c.size() == length) && c.startsWith(prefix)) out << c;
    return out;
}

// --- SqlCategoryTable --------------------------------------------------------------------------

SqlCategoryTable::SqlCategoryTable(const Database& db, QString table) : db_(db), table_(std::move(table)) {}

bool SqlCategoryTable::isEmpty() const {
    return !db_.scalar(QStringLiteral("select count(*) from %1").arg(table_)).toLongLong();
}

QStringList SqlCategoryTable::codes(int length, const QString& prefix) const {
    QStringList where;
    Params params;
    if (length > 0) {
        where << db_.dialect().len(QStringLiteral("Code")) + QStringLiteral(" = :len");
        params.insert(QStringLiteral("len"), length);
    }
    if (!prefix.isEmpty()) {
        // Codes are digits only, so the prefix carries no wildcard of its own.
        where << QStringLiteral("Code like :pattern");
        params.insert(QStringLiteral("pattern"), prefix + QLatin1Char('%'));
    }
    QString sql = QStringLiteral("select Code from %1").arg(table_);
    if (!where.isEmpty()) sql += QStringLiteral(" where ") + where.join(QStringLiteral(" and "));
    sql += QStringLiteral(" order by Code");
    QSqlQuery q = db_.exec(sql, params);
    QStringList out;
    while (q.next()) out << q.value(0).toString().trimmed();
    return out;
}

bool SqlCategoryTable::contains(const QString& code) const {
    return db_.scalar(QStringLiteral("select count(*) from %1 where Code = :code").arg(table_),
                      {{QStringLiteral("code"), code}})
               .toLongLong() > 0;
}

// --- rules -------------------------------------------------------------------------------------

namespace categorycodes {

QString parentOf(const QString& code) { return code.left(std::max<qsizetype>(0, code.size() - 2)); }

bool isDigits(const QString& text) {
    if (text.isEmpty()) return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString plusOne(const QString& code) {
    const QString c = code.trimmed();
    if (!isDigits(c)) return {};
    bool ok = false;
    const qulonglong n = c.toULongLong(&ok);
    if (!ok) return {};
    QString next = QString::number(n + 1);
    if (next.size() % 2 != 0) next.prepend(QLatin1Char('0'));
    return next;
}

namespace {

// Plus one on the last of the codes; `first` when there is none (or the last is no number), which
// is the first code of that level.
QString nextAfter(const QStringList& codes, const QString& first) {
    if (codes.isEmpty()) return first;
    const QString next = plusOne(codes.last());
    return next.isEmpty() ? first : next;
}

}  // namespace

QString propose(const CategoryTable& table, const QString& base, AddKind kind) {
    if (table.isEmpty()) return QStringLiteral("01");
    const QString b = base.trimmed().isEmpty() ? QStringLiteral("0") : base.trimmed();
    const int n = int(b.size());
    const QString firstTop = QStringLiteral("01");
    // Below the root both kinds of add give the next first-level code.
    if (n == 1) return nextAfter(table.codes(2, QString()), firstTop);

    if (kind == AddKind::Child) {
        const QStringList family = table.codes(0, b);
        if (family.isEmpty()) return b;  // the selected category is gone: the base stays
        const QString firstChild = b + QStringLiteral("01");
        if (family.size() == 1) return firstChild;
        return nextAfter(table.codes(n + 2, b), firstChild);
    }

    const QString parent = parentOf(b);
    const QString firstSibling = parent + QStringLiteral("01");
    QStringList level = table.codes(n, QString());
    if (level.size() > 1) level = table.codes(n, parent);
    return nextAfter(level, firstSibling);
}

Refusal check(const CategoryTable& table, const QString& codeText) {
    const QString code = codeText.trimmed();
    // An empty code is refused as well: it would store a category that no tree ever shows.
    if (!isDigits(code)) return Refusal::NotNumber;
    if (code.size() % 2 != 0 || code.size() > kMaxCodeLength) return Refusal::BreaksRule;
    if (table.contains(code)) return Refusal::Duplicate;
    if (code.size() > 2 && !table.contains(parentOf(code))) return Refusal::NoParent;
    return Refusal::None;
}

QString message(Refusal refusal) {
    switch (refusal) {
        case Refusal::None:
            return {};
        case Refusal::NotNumber:
            return QStringLiteral("编码必须是数字!");
        case Refusal::BreaksRule:
            return QStringLiteral("编码规则出错!");
        case Refusal::Duplicate:
            return QStringLiteral("编码重复!,不能保存!");
        case Refusal::NoParent:
            return QStringLiteral("编码错误,父节点不存在!");
    }
    return {};
}

bool focusesCode(Refusal refusal) {
    return refusal == Refusal::NotNumber || refusal == Refusal::BreaksRule || refusal == Refusal::NoParent;
}

}  // namespace categorycodes

}  // namespace qv
