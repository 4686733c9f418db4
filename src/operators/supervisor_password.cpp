#include "operators/supervisor_password.h"

#include "database/text_edge.h"
#include "operators/scramble.h"
#include "messages/messages.h"

namespace k4 {

int askSupervisorPassword(PasswordPrompt& prompt, const ConfigBlock& config, Messages& messages, bool& supervisor) {
    const std::optional<std::string> typed = prompt.askPassword("Podaj hasło nadzoru", kHelpSupervisorPassword);
    if (!typed) return 0;
    // Compared as text (the stored field ends at its first NUL), every byte
    // of both whatever differs first, so the time taken tells nothing.
    const std::string stored = unscrambledText(config.super_pass);
    unsigned diff = typed->size() == stored.size() ? 0u : 1u;
    for (size_t i = 0; i < typed->size(); ++i)
        diff |= static_cast<unsigned char>((*typed)[i]) ^ static_cast<unsigned char>(i < stored.size() ? stored[i] : 0);
    if (diff == 0) {
        supervisor = true;
        return 1;
    }
    messages.ShowNotice(mz("NIEPOPRAWNE HASŁO!!!"), kNoticeInfo);
    supervisor = false;
    return 0;
}

} // namespace k4
