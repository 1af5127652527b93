#include "CommandGuard.h"

#include <QString>
#include <exception>

#include "DbError.h"
#include "Prompter.h"

namespace qv {

bool runGuarded(Prompter& prompter, QWidget* parent, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const DbError& e) {
        prompter.error(e.text(), parent);
    } catch (const std::exception& e) {
        prompter.error(QString::fromUtf8(e.what()), parent);
    } catch (...) {
        // An exception of no known type still must not end the program.
        prompter.error(QStringLiteral("未知错误"), parent);
    }
    return false;
}

}  // namespace qv
