#pragma once
#include <QString>
#include <QStringList>

namespace qv {

class Database;

// The rows of one category table as the code rules need them. Codes come back in code order.
class CategoryTable {
public:
    virtual ~CategoryTable() = default;
    virtual bool isEmpty() const = 0;
    // Codes of the table in code order; `length` 0 takes every length, an empty `prefix` every code.
    virtual QStringList codes(int length, const QString& prefix) const = 0;
    virtual bool contains(const QString& code) const = 0;
};

// A category table held in memory (a fixed list of codes).
class CategoryList : public CategoryTable {
public:
    explicit CategoryList(QStringList codes);
    bool isEmpty() const override { return codes_.isEmpty(); }
    QStringList codes(int length, const QString& prefix) const override;
    bool contains(const QString& code) const override { return codes_.contains(code); }

private:
    QStringList codes_;
};

// A category table read from the database, one statement per question, every value bound.
class SqlCategoryTable : public CategoryTable {
public:
    // `table` must be a checked table name (Frm_Data::checkedTable).
    SqlCategoryTable(const Database& db, QString table);
    bool isEmpty() const override;
    QStringList codes(int length, const QString& prefix) const override;
    bool contains(const QString& code) const override;

private:
    const Database& db_;
    QString table_;
};

// The category code scheme: two digits per level, a child's code is its parent's code followed by
// two more digits, at most 99 children ("01" to "99") per parent.
namespace categorycodes {

enum class AddKind { Child, Sibling };

// The code box takes at most this many characters, so at most five levels are created.
constexpr int kMaxCodeLength = 11;

// Why a new code is refused on save; None lets it be stored.
enum class Refusal { None, NotNumber, BreaksRule, Duplicate, NoParent };

// The code without its last level ("" for a first-level code).
QString parentOf(const QString& code);

// True when the text is a non-empty run of the digits 0-9.
bool isDigits(const QString& text);

// "Plus one": the code read as a number, plus 1, written in decimal, with one "0" in front when the
// result has an odd number of digits ("0102" gives "0103", "0199" gives "0200", "99" gives "0100").
// Empty when the code is not a number.
QString plusOne(const QString& code);

// The code proposed for a new category beside or below the selected one. `base` is the selected
// category's code, empty for the root.
QString propose(const CategoryTable& table, const QString& base, AddKind kind);

// The first check on saving a new code (typed text, trimmed here) that refuses it, or None.
Refusal check(const CategoryTable& table, const QString& codeText);

// The message shown for a refusal, and whether the code box gets the focus with it.
QString message(Refusal refusal);
bool focusesCode(Refusal refusal);

}  // namespace categorycodes

}  // namespace qv
