#pragma once
// The names event lines borrow, taken where they live: the operators'
// surnames from "operator" (read afresh for each line, as every user of the
// operator list does, so a change in the list dialog shows at once) and the
// order descriptions from the loaded "rozkazy" table.
#include "database/order_names_table.h"
#include "platform/data_dir.h"
#include "processing/name_sources.h"

namespace k4 {

class OperatorFileNames final : public OperatorNames {
public:
    explicit OperatorFileNames(DataDir dir) : dir_(std::move(dir)) {}
    std::optional<std::string> surnameOf(int operatorNumber) override;

private:
    DataDir dir_;
};

class OrderTableNames final : public OrderNames {
public:
    explicit OrderTableNames(const OrderNamesTable& table) : table_(table) {}
    std::string orderName(int code) override;

private:
    const OrderNamesTable& table_;
};

} // namespace k4
