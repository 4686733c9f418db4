#pragma once
// What the "Drukarki" dialog shows and stores: the two printer choices, the
// code pages of event lines and listings, and the graphic mode of the data
// printer (data code page 4).
#include "config/config_block.h"

#include <string>
#include <vector>

namespace k4 {

// "Brak" and then the system's printers, " on " read as " na ". UTF-8.
std::vector<std::string> printerListEntries(const std::vector<std::string>& printers);

// The four texts of the "Polskie litery" choices, for code pages 0 to 3.
const std::vector<std::string>& codePageChoices();

struct PrinterChoice {
    int eventPrinter = 0; // list positions; negative means nothing selected
    int dataPrinter = 0;
    int eventCp = 0;
    int dataCp = 0;
    bool graphic = false;
};

PrinterChoice printerChoiceOf(const ConfigBlock& config);
// Stores the choice; a negative value is stored as 0, graphic stores 4
// whatever the data code page shows.
void storePrinterChoice(ConfigBlock& config, const PrinterChoice& choice);

// The data-selection mask: bit i for each ticked item ("Telefon",
// "Telefon GSM", "Adres", "Miejscowość", "Testy").
const std::vector<std::string>& printDataItems();
int printDataMask(const std::vector<bool>& ticked);

} // namespace k4
