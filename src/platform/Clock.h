#pragma once
#include <QDate>
#include <QDateTime>

namespace qv {

// "Today" and "now" of the program.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
    QDate today() const { return now().date(); }
};

}  // namespace qv
