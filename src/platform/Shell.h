#pragma once
#include <QString>
#include <QStringList>

namespace qv {

// Opening documents, folders, mail and web addresses, and starting programs.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file, folder or address with the desktop's default handler.
    virtual bool open(const QString& target) = 0;
    // Starts a program, detached; false when it could not be started.
    virtual bool start(const QString& program, const QStringList& args = {}) = 0;
};

class DesktopShell : public Shell {
public:
    bool open(const QString& target) override;
    bool start(const QString& program, const QStringList& args) override;
};

}  // namespace qv
