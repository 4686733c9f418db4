#include "operators/operator_login.h"

#include "database/text_edge.h"
#include "history/history_log.h"
#include "messages/messages.h"
#include "operators/operator_list.h"
#include "operators/supervisor_password.h"

namespace k4 {

int operatorLogin(PasswordPrompt& prompt, const DataDir& dir, Messages& messages, HistoryLog& history) {
    const std::optional<std::string> typed = prompt.askPassword("Kod osobisty operatora", kHelpOperatorLogin);
    if (!typed) return -1;
    // Loaded afresh: the list dialog may have changed the file meanwhile.
    SOperatLst list(dir);
    list.Load();
    const int number = findOperatorByCode(list, *typed);
    if (number < 0) {
        messages.ShowNotice(mz("Niepoprawny kod operatora"), kNoticeInfo);
        return -1;
    }
    history.LogEvent(kHistoryOperatorLogin, number);
    return number;
}

} // namespace k4
