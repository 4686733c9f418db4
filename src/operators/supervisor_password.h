#pragma once
// The supervisor password: asked for in the password prompt, checked against
// the scrambled copy the configuration keeps.
#include "config/config_block.h"

#include <optional>
#include <string>

namespace k4 {

class Messages;

// The password prompt ("Hasło"): its label is set by each caller. Gives the
// text typed (Mazovia, at most 19 characters) when the operator pressed
// Enter, nothing after Escape.
class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    virtual std::optional<std::string> askPassword(const std::string& labelUtf8, int helpContext) = 0;
};

constexpr int kPasswordTextLimit = 19;
constexpr int kHelpSupervisorPassword = 1068;

// 1 and supervisor set when the text typed is the supervisor password; 0
// otherwise ("NIEPOPRAWNE HASŁO!!!" for a wrong one, supervisor cleared;
// an abandoned prompt leaves supervisor as it was).
int askSupervisorPassword(PasswordPrompt& prompt, const ConfigBlock& config, Messages& messages, bool& supervisor);

} // namespace k4
