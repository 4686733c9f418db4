#include "shell/error_text.h"

#include <new>
#include <stdexcept>
#include <system_error>
#include <typeinfo>

namespace k4 {

std::string errorBoxText(const std::exception& error) {
    if (dynamic_cast<const std::out_of_range*>(&error)) return "Błąd indeksowania";
    if (dynamic_cast<const std::bad_alloc*>(&error)) return "Brak pamięci";
    if (dynamic_cast<const std::system_error*>(&error)) return std::string("Błąd systemowy: ") + error.what();
    if (typeid(error) == typeid(std::runtime_error) || typeid(error) == typeid(std::logic_error) ||
        typeid(error) == typeid(std::exception))
        return error.what();
    return std::string("Błąd klasy ") + typeid(error).name() + ": " + error.what();
}

std::string unknownErrorBoxText() { return "Błąd nieznanej klasy"; }

} // namespace k4
