#include "CompanyComboBox.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSqlQuery>
#include <QStringListModel>

#include "Database.h"
#include "Dialect.h"
#include "WidgetStep.h"

namespace qv {

CompanyComboBox::CompanyComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    completions_ = new QStringListModel(this);
    completer_ = new QCompleter(completions_, this);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    // The popup offers names; the text typed stays as typed (no inline completion changes it).
    completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    setCompleter(completer_);
    connect(lineEdit(), &QLineEdit::textEdited, this, &CompanyComboBox::onTextEdited);
}

QStringList CompanyComboBox::namesStartingWith(Database& db, const QString& prefix, int limit) {
    // The bounds let both servers start in the company index at the prefix and stop after `limit`
    // names; `like` keeps the match case-insensitive and the operator's wildcards working. SQLite
    // bounds a prefix `like` by itself. PostgreSQL compares citext in lower case: every name that
    // begins with the prefix sorts before the prefix with its last character raised by one.
    QString lowest = prefix;
    const qsizetype wildcard = lowest.indexOf(QRegularExpression(QStringLiteral("[%_]")));
    if (wildcard >= 0) lowest.truncate(wildcard);
    Params params{{QStringLiteral("lowest"), lowest}, {QStringLiteral("pattern"), prefix + u'%'}};
    QString where = QStringLiteral("Company >= :lowest and Company like :pattern");
    if (!db.isSqlite() && !lowest.isEmpty()) {
        QList<uint> points = lowest.toLower().toUcs4();
        if (points.last() < 0x10FFFF) {
            ++points.last();
            where += QStringLiteral(" and Company < :beyond");
            params.insert(
                QStringLiteral("beyond"),
                QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size()));
        }
    }
    const QString select =
        QStringLiteral("select distinct Company from custom where %1 order by Company").arg(where);
    QSqlQuery q = db.exec(db.dialect().top(limit, select), params);
    QStringList names;
    while (q.next()) {
        const QString name = q.value(0).toString().trimmed();
        if (names.isEmpty() || names.constLast() != name) names << name;
    }
    return names;
}

QStringList CompanyComboBox::offered() const { return completions_->stringList(); }

void CompanyComboBox::onTextEdited(const QString& text) {
    if (!db_ || text.isEmpty() || text == completedFor_) return;
    QStringList names;
    const bool read = runWidgetStep(prompter_, window(), [&] {
        const WaitCursor wait;
        names = namesStartingWith(*db_, text, limit_);
    });
    if (!read) return;
    completedFor_ = text;
    completions_->setStringList(names);
    if (names.isEmpty()) {
        completer_->popup()->hide();
        return;
    }
    completer_->setCompletionPrefix(text);
    completer_->complete();
}

void CompanyComboBox::fillItems(const QStringList& names) {
    const QSignalBlocker block(this);
    const QString shown = currentText();
    clear();
    addItems(names);
    setEditText(shown);
}

void CompanyComboBox::showPopup() {
    if (!db_) return;
    QStringList names;
    const bool read = runWidgetStep(prompter_, window(), [&] {
        const WaitCursor wait;
        names = namesStartingWith(*db_, currentText(), limit_);
    });
    if (!read) return;
    fillItems(names);
    QComboBox::showPopup();
}

}  // namespace qv
