#pragma once
#include <QDate>
#include <QString>

#include "Database.h"

namespace qv::schedule {

// A statement of the schedule lists with its bound values.
struct Statement {
    QString sql;
    Params params;
};

// Whose entries a list shows: every operator's (right 92), or only the operator's own.
struct Viewer {
    bool seesAll = false;
    QString user;
};

// The nodes of the schedule list's period tree, in their order under the root.
enum class Period { All, Today, Tomorrow, Week, History };

// The dates the period puts into the from- and to-date pickers; invalid dates leave them unchanged.
struct PickerDates {
    QDate from, to;
};
PickerDates periodPickers(Period period, QDate today);

// Every range is the half-open range of whole days [first day 00:00, day after the last 00:00), the
// dates bound as dates: today [today, tomorrow), tomorrow [tomorrow, +1 day), the week the seven days
// from today, history everything before today.
Statement periodStatement(Period period, const Viewer& viewer, QDate today);

// The subject and date search: entries from `from` through `to` whose subject begins with `subject`
// (as typed; `%` and `_` act as wildcards); a subject that is blank after trimming takes every subject.
Statement searchStatement(const QString& subject, QDate from, QDate to, const Viewer& viewer);

// The list by customer: entries from `from` through `to` of the company named exactly as typed; a
// company blank after trimming takes every entry of the range, whoever saved it.
Statement customerStatement(const QString& company, QDate from, QDate to);

// The reminder window's rule for a day offset `n`: d = now − 1 day + n days; entries that want a
// reminder (`awoke` = 1) dated from the start of d's day through the end of d's month, in d's year.
Statement reminderStatement(const QDateTime& now, int n);

}  // namespace qv::schedule
