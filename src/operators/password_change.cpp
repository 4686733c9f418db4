#include "operators/password_change.h"

#include "config/config.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "operators/scramble.h"
#include "operators/supervisor_password.h"

#include <cstring>

namespace k4 {

bool changeSupervisorPassword(PasswordPrompt& prompt, Config& config, Messages& messages) {
    const std::optional<std::string> first = prompt.askPassword("Wprowadź nowe hasło", kHelpPasswordChange);
    if (!first) return false;
    const std::optional<std::string> second = prompt.askPassword("Powtórz hasło", kHelpPasswordChange);
    if (!second) return false;
    if (*first != *second) {
        messages.ShowNotice(mz("Podano różne hasła - stare hasło nie zostało zmienione!!!"), kNoticeInfo);
        return false;
    }
    // The field holds ten characters and the terminator. A longer password
    // cut to ten would never again equal what the supervisor types, so it is
    // refused instead.
    if (first->size() > size_t(kCodeFieldSize - 1)) {
        messages.ShowNotice(mz("Hasło może mieć najwyżej 10 znaków - stare hasło nie zostało zmienione!!!"),
                            kNoticeInfo);
        return false;
    }
    if (config.LoadConfig(1) != 0) {
        messages.ShowNotice(mz("\x03" "zapisu konfiguracji"), kNoticeError);
        return false;
    }
    uint8_t previous[kCodeFieldSize];
    std::memcpy(previous, config.block().super_pass, sizeof previous);
    scrambledField(*first, config.block().super_pass);
    if (config.SaveConfig(1) != 0) {
        std::memcpy(config.block().super_pass, previous, sizeof previous);
        messages.ShowNotice(mz("\x03" "zapisu konfiguracji"), kNoticeError);
        return false;
    }
    messages.ShowNotice(mz("Hasło uległo zmianie."), kNoticeInfo);
    return true;
}

} // namespace k4
