#include "printing/printer_settings.h"

#include "printing/printing.h"

namespace k4 {

std::vector<std::string> printerListEntries(const std::vector<std::string>& printers) {
    std::vector<std::string> entries{"Brak"};
    for (std::string name : printers) {
        for (size_t at = name.find(" on "); at != std::string::npos; at = name.find(" on ", at + 4))
            name.replace(at, 4, " na ");
        entries.push_back(name);
    }
    return entries;
}

const std::vector<std::string>& codePageChoices() {
    static const std::vector<std::string> choices{"Mazovia", "CP852        (DOS Latin II)",
                                                  "ISO 8859-2 (ISO Latin 2)", "Brak"};
    return choices;
}

PrinterChoice printerChoiceOf(const ConfigBlock& config) {
    PrinterChoice c;
    c.eventPrinter = config.event_printer;
    c.dataPrinter = config.report_printer;
    c.eventCp = config.event_cp;
    c.graphic = config.report_cp == kGraphicCodePage;
    c.dataCp = c.graphic ? 0 : static_cast<int>(config.report_cp);
    return c;
}

void storePrinterChoice(ConfigBlock& config, const PrinterChoice& c) {
    auto nonNegative = [](int v) { return static_cast<int16_t>(v < 0 ? 0 : v); };
    config.event_printer = nonNegative(c.eventPrinter);
    config.report_printer = nonNegative(c.dataPrinter);
    config.event_cp = nonNegative(c.eventCp);
    config.report_cp = c.graphic ? static_cast<int16_t>(kGraphicCodePage) : nonNegative(c.dataCp);
}

const std::vector<std::string>& printDataItems() {
    static const std::vector<std::string> items{"Telefon", "Telefon GSM", "Adres", "Miejscowość", "Testy"};
    return items;
}

int printDataMask(const std::vector<bool>& ticked) {
    int mask = 0;
    for (size_t i = 0; i < ticked.size() && i < 5; ++i)
        if (ticked[i]) mask |= 1 << i;
    return mask;
}

} // namespace k4
