#pragma once
#include <QObject>
#include <QString>
#include <array>

namespace qv {

// The logged-in operator: name (at most 20 characters), restriction flag and rights 1..100. Replaced
// only by a successful login; the main window listens to loggedIn() to apply the rights gate, the
// status text and the reminder timer.
class LoginState : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRights = 100;
    static constexpr int kMaxUserLength = 20;
    using Rights = std::array<bool, kMaxRights>;  // entry k-1 is right k

    bool isLoggedIn() const { return loggedIn_; }
    const QString& currentUser() const { return user_; }
    int userPermit() const { return permit_; }
    // Ordinary operators (UserPermit 1) may change and delete only their own rows.
    bool isRestricted() const { return permit_ == 1; }
    bool right(int k) const { return k >= 1 && k <= kMaxRights && rights_[k - 1]; }
    const Rights& rights() const { return rights_; }

    // Replaces the whole state at once and announces it.
    void set(const QString& user, int permit, const Rights& rights) {
        user_ = user.left(kMaxUserLength);
        permit_ = permit;
        rights_ = rights;
        loggedIn_ = true;
        emit loggedIn();
    }

signals:
    void loggedIn();

private:
    bool loggedIn_ = false;
    QString user_;
    int permit_ = 0;
    Rights rights_{};
};

}  // namespace qv
