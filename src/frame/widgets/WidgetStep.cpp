#include "WidgetStep.h"

#include <QString>
#include <exception>

#include "DbError.h"
#include "Prompter.h"

namespace qv {

bool runWidgetStep(Prompter* prompter, QWidget* parent, const std::function<void()>& step) {
    WidgetPrompter fallback;
    Prompter& p = prompter ? *prompter : fallback;
    try {
        step();
        return true;
    } catch (const DbError& e) {
        p.error(e.text(), parent);
    } catch (const std::exception& e) {
        p.error(QString::fromUtf8(e.what()), parent);
    } catch (...) {
        p.error(QStringLiteral("未知错误"), parent);
    }
    return false;
}

}  // namespace qv
