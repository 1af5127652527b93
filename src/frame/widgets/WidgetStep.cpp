#include "WidgetStep.h"

#include "CommandGuard.h"
#include "Prompter.h"

namespace qv {

bool runWidgetStep(Prompter* prompter, QWidget* parent, const std::function<void()>& step) {
    WidgetPrompter fallback;
    return runGuarded(prompter ? *prompter : fallback, parent, step);
}

}  // namespace qv
