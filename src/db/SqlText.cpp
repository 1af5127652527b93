#include "SqlText.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace qv::sql {

namespace {

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// The statement's words at bracket depth 0 with their positions; literals and quoted names are skipped.
struct Word {
    QString text;  // lower case
    int pos;
    int end;
};

QList<Word> outerWords(const QString& s, QList<int>* commas, bool* openBracketAfterFrom) {
    QList<Word> words;
    int depth = 0;
    for (int i = 0; i < s.size();) {
        const QChar c = s[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int j = i + 1;
            while (j < s.size()) {
                if (s[j] == close) {
                    if (close != QLatin1Char(']') && j + 1 < s.size() && s[j + 1] == close) {
                        j += 2;  // a doubled quote stands for itself
                        continue;
                    }
                    break;
                }
                ++j;
            }
            if (depth == 0 && c != QLatin1Char('\'')) words.append({s.mid(i, j + 1 - i).toLower(), i, j + 1});
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < s.size() && s[i + 1] == QLatin1Char('-')) {
            while (i < s.size() && s[i] != QLatin1Char('\n')) ++i;
            continue;
        }
        if (c == QLatin1Char('(')) {
            if (depth == 0 && openBracketAfterFrom && !words.isEmpty() &&
                words.last().text == QLatin1String("from"))
                *openBracketAfterFrom = true;
            ++depth;
            ++i;
            continue;
        }
        if (c == QLatin1Char(')')) {
            --depth;
            ++i;
            continue;
        }
        if (depth == 0 && c == QLatin1Char(',') && commas) commas->append(i);
        if (isWordChar(c) || c == QLatin1Char('.') || c == QLatin1Char('*')) {
            int j = i;
            while (j < s.size() && (isWordChar(s[j]) || s[j] == QLatin1Char('.') || s[j] == QLatin1Char('*')))
                ++j;
            if (depth == 0) words.append({s.mid(i, j - i).toLower(), i, j});
            i = j;
            continue;
        }
        ++i;
    }
    return words;
}

bool isClauseWord(const QString& w) {
    static const QStringList kWords = {
        QStringLiteral("where"),     QStringLiteral("join"),   QStringLiteral("left"),
        QStringLiteral("right"),     QStringLiteral("inner"),  QStringLiteral("outer"),
        QStringLiteral("cross"),     QStringLiteral("full"),   QStringLiteral("on"),
        QStringLiteral("order"),     QStringLiteral("group"),  QStringLiteral("limit"),
        QStringLiteral("having"),    QStringLiteral("union"),  QStringLiteral("natural"),
        QStringLiteral("using"),     QStringLiteral("offset"), QStringLiteral("window"),
        QStringLiteral("intersect"), QStringLiteral("except"), QStringLiteral("for")};
    return kWords.contains(w);
}

bool isIdentifier(const QString& w) {
    static const QRegularExpression re(QStringLiteral("^[a-z_][a-z0-9_]*$"));
    return re.match(w).hasMatch();
}

}  // namespace

SelectShape selectShape(const QString& statement) {
    SelectShape shape;
    QList<int> commas;
    bool derived = false;
    const QList<Word> words = outerWords(statement, &commas, &derived);
    if (words.isEmpty() || words.first().text != QLatin1String("select")) return shape;

    int from = -1;
    for (int i = 1; i < words.size(); ++i) {
        if (words[i].text == QLatin1String("from")) {
            from = i;
            break;
        }
    }
    if (from < 0 || derived || from + 1 >= words.size()) return shape;

    bool grouped = words.size() > 1 && (words[1].text == QLatin1String("distinct"));
    for (const Word& w : words) {
        if (w.text == QLatin1String("group") || w.text == QLatin1String("having") ||
            w.text == QLatin1String("union") || w.text == QLatin1String("intersect") ||
            w.text == QLatin1String("except"))
            grouped = true;
    }
    // An aggregate in the select list makes one row of many.
    static const QRegularExpression aggregate(QStringLiteral("\\b(count|sum|min|max|avg)\\s*\\("),
                                              QRegularExpression::CaseInsensitiveOption);
    const QString list = statement.mid(words.first().end, words[from].pos - words.first().end);
    if (aggregate.match(list).hasMatch()) grouped = true;

    const Word& table = words[from + 1];
    if (!isIdentifier(table.text) || isClauseWord(table.text)) return shape;
    shape.table = statement.mid(table.pos, table.end - table.pos);
    shape.qualifier = shape.table;
    int next = from + 2;
    if (next < words.size() && words[next].text == QLatin1String("as")) ++next;
    if (next < words.size() && isIdentifier(words[next].text) && !isClauseWord(words[next].text)) {
        // `from a, b`: b is another table, not a's alias.
        const bool comma = std::any_of(commas.begin(), commas.end(),
                                       [&](int c) { return c > table.pos && c < words[next].pos; });
        if (!comma) shape.qualifier = statement.mid(words[next].pos, words[next].end - words[next].pos);
    }

    // The order clause runs from `order by` to a following limit/offset/for, else to the end.
    shape.orderEnd = statement.size();
    int trailing = -1;
    for (int i = from; i < words.size(); ++i) {
        const QString& w = words[i].text;
        if (w == QLatin1String("order") && i + 1 < words.size() && words[i + 1].text == QLatin1String("by")) {
            shape.orderBy = words[i].pos;
        } else if (w == QLatin1String("limit") || w == QLatin1String("offset") || w == QLatin1String("for")) {
            trailing = words[i].pos;
            break;
        }
    }
    if (trailing >= 0) shape.orderEnd = trailing;
    // Blanks and a closing ';' before the end are not part of the clause.
    while (shape.orderEnd > 0 &&
           (statement[shape.orderEnd - 1].isSpace() || statement[shape.orderEnd - 1] == QLatin1Char(';')))
        --shape.orderEnd;
    if (shape.orderBy >= 0) {
        int start = statement.indexOf(QRegularExpression(QStringLiteral("\\bby\\b"),
                                                         QRegularExpression::CaseInsensitiveOption),
                                      shape.orderBy) +
                    2;
        for (int c : commas)
            if (c > start && c < shape.orderEnd) start = c + 1;
        QString term = statement.mid(start, shape.orderEnd - start).simplified();
        static const QRegularExpression direction(QStringLiteral("\\s+(asc|desc)$"),
                                                  QRegularExpression::CaseInsensitiveOption);
        term.remove(direction);
        shape.lastOrderTerm = term;
    }
    shape.rowsOfTable = !grouped;
    return shape;
}

QString withKeyOrder(const QString& statement, const SelectShape& shape, const QString& key) {
    if (key.isEmpty() || !shape.rowsOfTable || shape.table.isEmpty()) return statement;
    const QString term = shape.qualifier + QLatin1Char('.') + key;
    if (shape.orderBy >= 0) {
        const QString last = shape.lastOrderTerm;
        if (last.compare(key, Qt::CaseInsensitive) == 0 || last.compare(term, Qt::CaseInsensitive) == 0 ||
            last.compare(shape.table + QLatin1Char('.') + key, Qt::CaseInsensitive) == 0)
            return statement;
        QString out = statement;
        out.insert(shape.orderEnd, QStringLiteral(", ") + term);
        return out;
    }
    QString out = statement;
    out.insert(shape.orderEnd, QStringLiteral(" order by ") + term);
    return out;
}

}  // namespace qv::sql
