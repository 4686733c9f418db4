#pragma once
// What the operator reads when a fault escapes an event handler: the text
// of the "Błąd" box, chosen by the kind of fault. The station goes on.
#include <exception>
#include <string>

namespace k4 {

// UTF-8.
std::string errorBoxText(const std::exception& error);
// A fault that is no std::exception.
std::string unknownErrorBoxText();

} // namespace k4
