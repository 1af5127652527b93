#pragma once
#include <QComboBox>

class QCompleter;
class QStringListModel;

namespace qv {

class Database;
class Prompter;

// The customer drop-down of the editors and list windows: an editable box over the company names of
// `custom` that never reads the whole table. Opening the list reads the first names that begin with
// the text shown; typing offers the names that begin with what was typed (case-insensitive, through
// the index on the company name, at most `limit` names at a time). The text stays exactly as typed
// until the operator picks a name; a box that is never opened or typed into reads nothing.
class CompanyComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kDefaultLimit = 100;

    explicit CompanyComboBox(QWidget* parent = nullptr);

    void setDatabase(Database* db) { db_ = db; }
    void setPrompter(Prompter* prompter) { prompter_ = prompter; }
    void setLimit(int limit) { limit_ = limit; }

    // Distinct trimmed company names beginning with `prefix` (an empty prefix: the first names), in
    // name order, at most `limit`. `%` and `_` in the prefix match themselves. Throws DbError.
    static QStringList namesStartingWith(Database& db, const QString& prefix, int limit);

    // The names the completer offers for the text typed last (for tests and the benchmark).
    QStringList offered() const;

    // Reads the first names that begin with the shown text, then opens the list; a failed read is
    // reported and leaves the list closed.
    void showPopup() override;

private:
    void onTextEdited(const QString& text);
    void fillItems(const QStringList& names);

    Database* db_ = nullptr;
    Prompter* prompter_ = nullptr;
    int limit_ = kDefaultLimit;
    QCompleter* completer_ = nullptr;
    QStringListModel* completions_ = nullptr;
    QString completedFor_;
};

}  // namespace qv
