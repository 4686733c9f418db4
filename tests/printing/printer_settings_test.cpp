#include "printing/printer_settings.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(PrinterSettingsTest, ListEntriesReadOnAsNa) {
    EXPECT_EQ(printerListEntries({"HP on LPT1:", "Epson"}),
              (std::vector<std::string>{"Brak", "HP na LPT1:", "Epson"}));
    EXPECT_EQ(printerListEntries({}), (std::vector<std::string>{"Brak"}));
}

TEST(PrinterSettingsTest, GraphicModeStoresFourWhateverTheDisabledChoiceShows) {
    ConfigBlock config{};
    storePrinterChoice(config, {2, -1, 1, 2, true});
    EXPECT_EQ(config.event_printer, 2);
    EXPECT_EQ(config.report_printer, 0) << "nothing selected is stored as 0";
    EXPECT_EQ(config.event_cp, 1);
    EXPECT_EQ(config.report_cp, 4);
    const PrinterChoice back = printerChoiceOf(config);
    EXPECT_TRUE(back.graphic);
    storePrinterChoice(config, {1, 1, 0, 3, false});
    EXPECT_EQ(config.report_cp, 3);
}

TEST(PrinterSettingsTest, AddressAndTestsGive0x14) {
    EXPECT_EQ(printDataMask({false, false, true, false, true}), 0x14);
    EXPECT_EQ(printDataItems().size(), 5u);
}

} // namespace
} // namespace k4
