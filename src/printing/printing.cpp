#include "printing/printing.h"

#include "database/codepage.h"
#include "database/text_edge.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace k4 {

Printing::Printing(const ConfigBlock& config, PrintSpooler& spooler, Messages& messages, DataDir dir,
                   GraphicDocument* graphic)
    : config_(config), spooler_(spooler), messages_(messages), dir_(std::move(dir)), graphic_(graphic) {}

Printing::~Printing() {
    if (listingOpen()) endDataPrint();
}

int Printing::printLine(char channel, const char* format, ...) {
    char buffer[kPrintLineLimit + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return printText(channel, buffer);
}

int Printing::printText(char channel, std::string text) {
    if (text.size() > kPrintLineLimit) text.resize(kPrintLineLimit);
    return channel == kEventChannel ? printEvent(std::move(text)) : printData(std::move(text));
}

std::string Printing::selectPrinter(int configured) {
    const std::vector<std::string> names = spooler_.printers();
    const int index = configured - 1;
    if (index < 0 || index >= static_cast<int>(names.size())) return {};
    return names[static_cast<size_t>(index)];
}

int Printing::printEvent(std::string text) {
    if (config_.event_printer == 0) return -1;
    const int cp = config_.event_cp;
    if (cp >= 1 && cp <= 3) ConvertCodePage(text, cp);

    if (listingOpen()) {
        // Kept out of the listing's job; printed after it, in logging order.
        std::FILE* f = std::fopen(deferredPath().c_str(), "ab");
        if (!f) {
            messages_.ShowNotice(mz("\x03wydruku"), kNoticeError);
            return -1;
        }
        const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        const bool closed = std::fclose(f) == 0;
        if (!written || !closed) messages_.ShowNotice(mz("\x03wydruku do pliku"), kNoticeError);
        return 0;
    }

    const std::string printer = selectPrinter(config_.event_printer);
    std::string reason = "brak drukarki";
    std::unique_ptr<RawPrintJob> job = printer.empty() ? nullptr : spooler_.openRaw(printer, &reason);
    // Every event line is a job of its own, so a line printer prints each
    // event as it happens.
    if (!job || !job->write(text) || !job->finish(&reason)) {
        tellEventPrinterLost(reason);
        return -1;
    }
    eventPrinterLost_ = false;
    return 0;
}

void Printing::tellEventPrinterLost(const std::string&) {
    // The entry is in the history already; the operator must know that the
    // paper log has a gap, but once per outage, not at every event.
    if (eventPrinterLost_) return;
    eventPrinterLost_ = true;
    messages_.ShowNotice(eventPrinterGuard_, mz("\x03wydruku (drukarka)"), kNoticeError);
}

int Printing::beginDataPrint() {
    if (config_.report_printer == 0 || listingOpen()) return -1;
    const std::string printer = selectPrinter(config_.report_printer);
    if (printer.empty()) return -1;
    if (config_.report_cp == kGraphicCodePage) {
        if (!graphic_ || !graphic_->begin(printer, "Courier New", 12)) return -1;
        line_ = 0;
        x_ = 20;
        lineHeight_ = graphic_->lineHeight();
        pageHeight_ = graphic_->pageHeight();
        mode_ = Mode::Graphic;
        return 0;
    }
    std::string reason;
    listing_ = spooler_.openRaw(printer, &reason);
    if (!listing_) return -1;
    mode_ = Mode::Raw;
    return 0;
}

int Printing::printData(std::string text) {
    if (!listingOpen()) {
        messages_.ShowNotice(mz("\x03wydruku danych"), kNoticeError);
        return 0;
    }
    const int cp = config_.report_cp;
    if (cp >= 1 && cp <= 4) ConvertCodePage(text, cp);
    if (mode_ == Mode::Raw) {
        listing_->write(text);
        return 0;
    }
    printGraphic(std::move(text));
    return 0;
}

void Printing::checkPage() {
    if ((line_ + 1) * lineHeight_ > pageHeight_) {
        graphic_->newPage();
        line_ = 0;
    }
}

void Printing::printGraphic(std::string text) {
    if (text.rfind("\r\n", 0) == 0) {
        text.erase(0, 2);
        ++line_;
        x_ = 20;
    }
    checkPage();
    bool lineEnd = false;
    if (text.size() > 1 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
        text.resize(text.size() - 2);
        lineEnd = true;
    }
    graphic_->drawText(x_, line_ * lineHeight_, text);
    x_ += graphic_->textWidth(text);
    if (lineEnd) {
        ++line_;
        x_ = 20;
    }
    checkPage();
}

int Printing::printListing(std::string_view text) {
    if (beginDataPrint() != 0) return -1;
    printListingLines(text);
    endDataPrint();
    return 0;
}

int Printing::printListingLines(std::string_view text) {
    // Line by line, as the listing code feeds it, each within the buffer.
    while (!text.empty()) {
        size_t end = text.find("\r\n");
        end = end == std::string_view::npos ? text.size() : end + 2;
        if (end > kPrintLineLimit) end = kPrintLineLimit;
        if (printText(kDataChannel, std::string(text.substr(0, end))) < 0) return -1;
        text.remove_prefix(end);
    }
    return 0;
}

void Printing::endDataPrint() {
    if (mode_ == Mode::Graphic) {
        graphic_->end();
    } else if (mode_ == Mode::Raw) {
        std::string reason;
        if (!listing_->finish(&reason)) messages_.ShowNotice(mz("\x03wydruku danych"), kNoticeError);
        listing_.reset();
    }
    mode_ = Mode::None;
    printDeferred();
}

void Printing::printDeferred() {
    if (config_.event_printer == 0) return;
    const std::string path = deferredPath();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        messages_.ShowNotice(mz("\x03wydruku (plik)"), kNoticeError);
        return;
    }
    const std::string printer = selectPrinter(config_.event_printer);
    std::string reason;
    std::unique_ptr<RawPrintJob> job = printer.empty() ? nullptr : spooler_.openRaw(printer, &reason);
    if (!job) {
        messages_.ShowNotice(mz("\x03wydruku (drukarka)"), kNoticeError);
    } else {
        // One job for all the lines that waited, in the order they came.
        char chunk[1023];
        while (in.read(chunk, sizeof chunk) || in.gcount() > 0) job->write(std::string_view(chunk, static_cast<size_t>(in.gcount())));
        if (!job->finish(&reason)) messages_.ShowNotice(mz("\x03wydruku (drukarka)"), kNoticeError);
    }
    in.close();
    std::filesystem::remove(path, ec);
}

} // namespace k4
