#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include "Shell.h"

// A Shell that starts nothing and remembers what it was asked to start or open.
class FakeShell : public qv::Shell {
public:
    struct Started {
        QString program;
        QStringList args;
    };
    QList<Started> started;
    QStringList opened;
    bool succeed = true;

    bool open(const QString& target) override {
        opened << target;
        return succeed;
    }
    bool start(const QString& program, const QStringList& args) override {
        started << Started{program, args};
        return succeed;
    }
};
