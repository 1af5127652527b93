#include "Workstation.h"

#include <QDir>
#include <QFile>

#include "TestDb.h"

namespace qv::test {

namespace {
int workstationCounter = 0;
}

Workstation::Workstation(const ConnectionSettings& settings) {
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
    ctx.reset();
    data.reset();
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
