#include "operators/operator_file_names.h"

#include "operators/operator_list.h"

#include <cstring>

namespace k4 {

std::optional<std::string> OperatorFileNames::surnameOf(int operatorNumber) {
    SOperatLst list(dir_);
    if (!list.Load()) return std::nullopt;
    return list.surnameOf(operatorNumber);
}

std::string OrderTableNames::orderName(int code) {
    if (!table_.IsDefined(code)) return {};
    const OrderNameRecord& r = table_.OrderRecord(code);
    return std::string(r.name, strnlen(r.name, sizeof r.name));
}

} // namespace k4
