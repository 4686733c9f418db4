#include "operators/supervisor_password.h"

#include "database/text_edge.h"
#include "operators/scramble.h"
#include "messages/messages.h"

namespace k4 {

int askSupervisorPassword(PasswordPrompt& prompt, const ConfigBlock& config, Messages& messages, bool& supervisor) {
    const std::optional<std::string> typed = prompt.askPassword("Podaj hasło nadzoru", kHelpSupervisorPassword);
    if (!typed) return 0;
    // Compared as text: the stored field ends at its first NUL.
    if (*typed == unscrambledText(config.super_pass)) {
        supervisor = true;
        return 1;
    }
    messages.ShowNotice(mz("NIEPOPRAWNE HASŁO!!!"), kNoticeInfo);
    supervisor = false;
    return 0;
}

} // namespace k4
