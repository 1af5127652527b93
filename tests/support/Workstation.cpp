#include "Workstation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QtTest>

#include "TestDb.h"

namespace qv::test {

namespace {
int workstationCounter = 0;
}

Workstation::Workstation(const ConnectionSettings& settings) : settings(settings) {
    home = QDir(TestDb::tempDir()).filePath(QStringLiteral("ws%1").arg(++workstationCounter));
    QDir().mkpath(home);
    QFile ini(QDir(home).filePath(QStringLiteral("Config.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[DBConn]\nDriver=sqlite\n");
    ini.close();
    data = std::make_unique<Frm_Data>(home);
    QString err;
    if (!data->connectWith(settings, &err)) qFatal("workstation cannot connect: %s", qPrintable(err));
    ctx = std::make_unique<Context>(*data, prompter, shell, clock, home, [this](QDialog& d) {
        if (drivers_.empty()) {
            unexpected_ << d.objectName() + QLatin1Char('/') + d.windowTitle();
            return int(QDialog::Rejected);
        }
        Driver driver = std::move(drivers_.front());
        drivers_.pop_front();
        d.setResult(QDialog::Rejected);
        d.show();
        driver(d);
        d.hide();
        return d.result();
    });
    ctx->login = &login;
}

Workstation::~Workstation() {
    finish();
    ctx.reset();
    data.reset();
}

std::unique_ptr<Workstation> Workstation::another() const { return std::make_unique<Workstation>(settings); }

QStringList Workstation::takeProblems() {
    QStringList problems = prompter.takeProblems();
    if (!drivers_.empty())
        problems
            << QStringLiteral("%1 dialog driver(s) not used: the dialog did not open").arg(drivers_.size());
    drivers_.clear();
    for (const QString& d : std::as_const(unexpected_))
        problems << QStringLiteral("dialog without a driver: ") + d;
    unexpected_.clear();
    return problems;
}

QStringList Workstation::closeOpenDialogs() {
    QStringList problems;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<QDialog*>(w);
        if (!d || !d->isVisible()) continue;
        problems << QStringLiteral("dialog left open: %1/%2").arg(d->objectName(), d->windowTitle());
        d->reject();
        d->hide();
    }
    return problems;
}

bool Workstation::finish() {
    const QStringList problems = takeProblems() + closeOpenDialogs();
    if (problems.isEmpty()) return true;
    const QString text = QStringLiteral("workstation: ") + problems.join(QStringLiteral("\n  "));
    if (QTest::currentTestFunction() && !QTest::currentTestFailed())
        QTest::qFail(qPrintable(text), __FILE__, __LINE__);
    else
        qWarning("%s", qPrintable(text));
    return false;
}

void Workstation::loginAs(const QString& user, int permit, std::initializer_list<int> rights) {
    LoginState::Rights r{};
    for (int k : rights)
        if (k >= 1 && k <= LoginState::kMaxRights) r[k - 1] = true;
    login.set(user, permit, r);
}

void Workstation::loginAsAdmin() {
    LoginState::Rights r;
    r.fill(true);
    login.set(QStringLiteral("Admin"), 0, r);
}

}  // namespace qv::test
