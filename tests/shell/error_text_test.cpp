#include "shell/error_text.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <system_error>

namespace k4 {
namespace {

struct PrinterJam : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TEST(ErrorBoxText, ByKindOfFault) {
    EXPECT_EQ(errorBoxText(std::out_of_range("vector")), "Błąd indeksowania");
    EXPECT_EQ(errorBoxText(std::bad_alloc()), "Brak pamięci");
    EXPECT_EQ(errorBoxText(std::runtime_error("Brak pliku conf")), "Brak pliku conf");
    const std::string other = errorBoxText(PrinterJam("zacięty papier"));
    EXPECT_EQ(other.rfind("Błąd klasy ", 0), 0u) << other;
    EXPECT_NE(other.find("PrinterJam"), std::string::npos) << other;
    EXPECT_NE(other.find(": zacięty papier"), std::string::npos) << other;
    EXPECT_EQ(errorBoxText(std::system_error(std::make_error_code(std::errc::io_error))).rfind("Błąd systemowy: ", 0), 0u);
}

} // namespace
} // namespace k4
