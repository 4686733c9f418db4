#pragma once
// System -> "Operator": the operator on duty types the personal code, and the
// login is written to the history, so that later entries can be attributed.
// No session is kept beyond that entry.
#include "platform/data_dir.h"

namespace k4 {

class HistoryLog;
class Messages;
class PasswordPrompt;

constexpr int kHistoryOperatorLogin = 6;
constexpr int kHelpOperatorLogin = 1051;

// The number of the operator logged in, or -1 (abandoned prompt, or a code
// of nobody: "Niepoprawny kod operatora").
int operatorLogin(PasswordPrompt& prompt, const DataDir& dir, Messages& messages, HistoryLog& history);

} // namespace k4
