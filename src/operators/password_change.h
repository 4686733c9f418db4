#pragma once
// "Nadzorowane" -> "Hasło": the supervisor password typed twice and kept,
// scrambled, in the configuration.
namespace k4 {

class Config;
class Messages;
class PasswordPrompt;

constexpr int kHelpPasswordChange = 1066;

// true when the new password is in "conf". Two different entries, a password
// longer than the field holds, or a configuration that cannot be saved leave
// the old password both in the file and in the block.
bool changeSupervisorPassword(PasswordPrompt& prompt, Config& config, Messages& messages);

} // namespace k4
