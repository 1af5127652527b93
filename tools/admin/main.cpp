#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "AdminCommand.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int rc = qv::admin::runAdmin(args, QCoreApplication::applicationDirPath(), out, err);
    out.flush();
    err.flush();
    return rc;
}
