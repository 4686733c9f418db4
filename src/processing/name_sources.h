#pragma once
// Names that event lines borrow from other tables: the operators' surnames
// and the descriptions of orders. Their owners implement these; an event line
// without a source prints the "unknown" forms.
#include <optional>
#include <string>

namespace k4 {

class OperatorNames {
public:
    virtual ~OperatorNames() = default;
    // The surname (Mazovia) of the operator with this number, if there is one.
    virtual std::optional<std::string> surnameOf(int operatorNumber) = 0;
};

class OrderNames {
public:
    virtual ~OrderNames() = default;
    // The description (Mazovia) of an order code; empty when not defined.
    virtual std::string orderName(int code) = 0;
};

} // namespace k4
