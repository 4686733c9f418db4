#pragma once
// The system's print spooler as the printing code sees it: the installed
// printers in system order, and raw jobs whose bytes reach the printer
// untouched (a line printer gets exactly what the station formatted).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

class RawPrintJob {
public:
    virtual ~RawPrintJob() = default;
    virtual bool write(std::string_view bytes) = 0;
    // Hands the job to the printer; false when the spooler refused it.
    virtual bool finish(std::string* error) = 0;
};

class PrintSpooler {
public:
    virtual ~PrintSpooler() = default;
    virtual std::vector<std::string> printers() = 0;
    // A raw job on the printer; none (with the reason) when the printer is
    // missing, stopped or does not accept jobs.
    virtual std::unique_ptr<RawPrintJob> openRaw(const std::string& printer, std::string* error) = 0;
};

// The spooler of this system, through CUPS (its server from CUPS_SERVER or
// the client configuration, as every CUPS program).
std::unique_ptr<PrintSpooler> makeCupsSpooler();

} // namespace k4
