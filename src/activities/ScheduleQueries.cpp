#include "ScheduleQueries.h"

#include <QDateTime>

#include "Dialect.h"

namespace qv::schedule {

namespace {

QVariant midnight(QDate day) { return QDateTime(day, QTime(0, 0)); }

// The statement with the operator's own entries only, when he may not see every operator's.
Statement owned(QString sql, Params params, const Viewer& viewer) {
    if (!viewer.seesAll) {
        sql += sql.contains(QLatin1String(" where ")) ? QStringLiteral(" and F_User=:user")
                                                      : QStringLiteral(" where F_User=:user");
        params.insert(QStringLiteral("user"), viewer.user);
    }
    return {sql, params};
}

Statement dayRange(QDate first, QDate last, const Viewer& viewer) {
    return owned(
        QStringLiteral("Select * from T_schedule where StartDate>=:from and StartDate<:to"),
        {{QStringLiteral("from"), midnight(first)}, {QStringLiteral("to"), midnight(last.addDays(1))}},
        viewer);
}

}  // namespace

PickerDates periodPickers(Period period, QDate today) {
    switch (period) {
        case Period::All:
            return {};
        case Period::Today:
        case Period::History:
            return {today, today};
        case Period::Tomorrow:
            return {today.addDays(1), today.addDays(1)};
        case Period::Week:
            return {today, today.addDays(6)};
    }
    return {};
}

Statement periodStatement(Period period, const Viewer& viewer, QDate today) {
    switch (period) {
        case Period::All:
            return owned(QStringLiteral("Select * from T_schedule"), {}, viewer);
        case Period::Today:
            return dayRange(today, today, viewer);
        case Period::Tomorrow:
            return dayRange(today.addDays(1), today.addDays(1), viewer);
        case Period::Week:
            return dayRange(today, today.addDays(6), viewer);
        case Period::History:
            return owned(QStringLiteral("Select * from T_schedule where StartDate<:to"),
                         {{QStringLiteral("to"), midnight(today)}}, viewer);
    }
    return {};
}

Statement searchStatement(const QString& subject, QDate from, QDate to, const Viewer& viewer) {
    Statement s = dayRange(from, to, viewer);
    if (!subject.trimmed().isEmpty()) {
        s.sql.replace(QStringLiteral(" where "),
                      QStringLiteral(" where ") +
                          Dialect::likeCondition(QStringLiteral("subject"), QStringLiteral("subject")) +
                          QStringLiteral(" and "));
        s.params.insert(QStringLiteral("subject"), Dialect::likePrefix(subject));
    }
    return s;
}

Statement customerStatement(const QString& company, QDate from, QDate to) {
    Statement s = dayRange(from, to, Viewer{true, {}});
    if (!company.trimmed().isEmpty()) {
        s.sql += QStringLiteral(" and company=:company");
        s.params.insert(QStringLiteral("company"), company);
    }
    return s;
}

Statement reminderStatement(const QDateTime& now, int n) {
    const QDate d = now.date().addDays(n - 1);
    const QDate firstOfNextMonth = QDate(d.year(), d.month(), 1).addMonths(1);
    return {QStringLiteral("select * from T_Schedule where AwokeDate>=:from and AwokeDate<:to and awoke=1"),
            {{QStringLiteral("from"), midnight(d)}, {QStringLiteral("to"), midnight(firstOfNextMonth)}}};
}

}  // namespace qv::schedule
