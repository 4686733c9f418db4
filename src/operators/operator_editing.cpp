#include "operators/operator_editing.h"

#include "database/text_edge.h"
#include "messages/messages.h"
#include "operators/operator_list.h"

#include <cstring>

namespace k4 {

namespace {

void reportWriteFault(Messages& messages) { messages.ShowNotice(mz("\x03" "zapisu operatora"), kNoticeError); }

} // namespace

bool saveOperator(SOperatLst& list, int at, const std::string& code, const std::string& surname, Messages& messages) {
    if (code.empty() || surname.empty()) {
        messages.ShowNotice(mz("Wprowadzono niepełną informację"), kNoticeInfo);
        return false;
    }
    if (at >= list.Count()) return false;
    if (operatorIndexByCode(list, code, at) >= 0) {
        messages.ShowNotice(mz("Podany kod należy już do innego operatora."), kNoticeInfo);
        return false;
    }
    OperatorRecord record = at >= 0 ? list.Item(at) : OperatorRecord{};
    const bool renamed = at < 0 || std::strncmp(record.surname, surname.c_str(), sizeof record.surname) != 0;
    std::memset(record.surname, 0, sizeof record.surname);
    std::memcpy(record.surname, surname.data(), std::min(surname.size(), size_t(kOperatorSurnameLimit)));
    scrambledField(code, record.code);
    if (renamed) {
        // A renamed operator is a new identity in the history.
        if (list.issueOperatorNumber(&record, 0) != 0) {
            reportWriteFault(messages);
            // Without a number a new record would read as unused and be
            // lost; a renamed one keeps its old number.
            if (at < 0) return false;
        }
    }
    if (at < 0) {
        if (list.Append(record) != 0) return false;
    } else {
        list.Item(at) = record;
    }
    if (list.Save() != 0) {
        reportWriteFault(messages);
        list.Load(); // the list again as the file has it
        return false;
    }
    return true;
}

bool removeOperator(SOperatLst& list, int at, Messages& messages) {
    if (list.Count() == 0 || at < 0 || at >= list.Count()) return false;
    if (messages.AskYesNo(mz("Usunąć operatora?")) != 12) return false;
    list.Remove(at);
    if (list.Save() != 0) {
        reportWriteFault(messages);
        list.Load();
        return false;
    }
    return true;
}

} // namespace k4
