#pragma once
// The station's two printers: the event printer gets every history entry as
// one raw job the moment it is logged; the data printer gets the listings
// the operator asks for, one job each. While a listing is open, event lines
// wait in "tmp.prn" and follow it on the event printer when it closes.
#include "config/config_block.h"
#include "history/event_line_sink.h"
#include "messages/messages.h"
#include "platform/data_dir.h"
#include "platform/print_spooler.h"
#include "printing/graphic_document.h"

#include <memory>
#include <string>
#include <vector>

namespace k4 {

enum : char {
    kEventChannel = '1',
    kDataChannel = '2',
};
constexpr int kGraphicCodePage = 4;
constexpr size_t kPrintLineLimit = 1023;

class Printing {
public:
    // graphic: the driver for graphic mode; none means a graphic listing
    // cannot be opened.
    Printing(const ConfigBlock& config, PrintSpooler& spooler, Messages& messages, DataDir dir,
             GraphicDocument* graphic = nullptr);
    ~Printing();

    // printf rules over Mazovia text, at most 1023 characters. 0, or -1.
    int printLine(char channel, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // The same for a text already formatted.
    int printText(char channel, std::string text);

    int beginDataPrint();
    void endDataPrint();
    // A whole printout (lines ending in "\r\n") as one listing job: 0, or
    // -1 when the data printer cannot be opened and nothing was printed.
    int printListing(std::string_view text);
    // Lines of a printout (each ending in "\r\n") into the open listing.
    int printListingLines(std::string_view text);
    bool listingOpen() const { return mode_ != Mode::None; }

    // The printers of the system, in system order: the configured numbers
    // count from 1 into this list.
    std::vector<std::string> printerNames() { return spooler_.printers(); }
    std::string deferredPath() const { return dir_.file("tmp.prn"); }

private:
    enum class Mode { None, Raw, Graphic };

    std::string selectPrinter(int configured);
    int printEvent(std::string text);
    int printData(std::string text);
    void printGraphic(std::string text);
    void checkPage();
    void printDeferred();
    void tellEventPrinterLost(const std::string& reason);

    const ConfigBlock& config_;
    PrintSpooler& spooler_;
    Messages& messages_;
    DataDir dir_;
    GraphicDocument* graphic_;
    Mode mode_ = Mode::None;
    std::unique_ptr<RawPrintJob> listing_;
    int line_ = 0;
    int x_ = 20;
    int lineHeight_ = 0;
    int pageHeight_ = 0;
    MessageGuard eventPrinterGuard_;
    bool eventPrinterLost_ = false;
};

// The history's event lines to the event printer.
class EventPrinterSink final : public EventLineSink {
public:
    explicit EventPrinterSink(Printing& printing) : printing_(printing) {}
    void printEventLine(std::string_view line) override {
        printing_.printText(kEventChannel, std::string(line));
    }

private:
    Printing& printing_;
};

} // namespace k4
