#include "platform/print_spooler.h"

#include <cups/cups.h>

#include <cstring>

namespace k4 {
namespace {

class CupsRawJob final : public RawPrintJob {
public:
    CupsRawJob(std::string printer, int job) : printer_(std::move(printer)), job_(job) {}
    ~CupsRawJob() override {
        // A job that was never finished must not stay held in the queue.
        if (!finished_) cupsCancelJob(printer_.c_str(), job_);
    }
    bool write(std::string_view bytes) override {
        if (failed_) return false;
        if (bytes.empty()) return true;
        failed_ = cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE;
        written_ += bytes.size();
        return !failed_;
    }
    bool finish(std::string* error) override {
        finished_ = true;
        const ipp_status_t status = cupsFinishDocument(CUPS_HTTP_DEFAULT, printer_.c_str());
        // A listing with no line is no failure; the scheduler refuses an
        // empty document, and the job it made goes away.
        if (written_ == 0 && !failed_) {
            cupsCancelJob(printer_.c_str(), job_);
            return true;
        }
        if (failed_ || status > IPP_STATUS_OK_EVENTS_COMPLETE) {
            if (error) *error = cupsLastErrorString();
            return false;
        }
        return true;
    }

private:
    std::string printer_;
    int job_;
    bool failed_ = false;
    bool finished_ = false;
    size_t written_ = 0;
};

class CupsSpooler final : public PrintSpooler {
public:
    std::vector<std::string> printers() override {
        std::vector<std::string> names;
        cups_dest_t* dests = nullptr;
        const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
        for (int i = 0; i < count; ++i) {
            if (dests[i].instance) continue; // instances are the same printer again
            names.emplace_back(dests[i].name);
        }
        cupsFreeDests(count, dests);
        return names;
    }

    std::unique_ptr<RawPrintJob> openRaw(const std::string& printer, std::string* error) override {
        cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.c_str(), nullptr);
        if (!dest) {
            if (error) *error = "brak drukarki " + printer;
            return nullptr;
        }
        const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
        const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        const bool stopped = state && std::strcmp(state, "5") == 0;
        const bool refusing = accepting && std::strcmp(accepting, "false") == 0;
        cupsFreeDests(1, dest);
        // A stopped queue would take the job and hold it: the line would
        // wait unseen, so the printer counts as one that cannot be opened.
        if (stopped || refusing) {
            if (error) *error = "drukarka " + printer + (stopped ? " jest zatrzymana" : " nie przyjmuje zadań");
            return nullptr;
        }
        const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.c_str(), "", 0, nullptr);
        if (job <= 0) {
            if (error) *error = cupsLastErrorString();
            return nullptr;
        }
        if (cupsStartDocument(CUPS_HTTP_DEFAULT, printer.c_str(), job, "", CUPS_FORMAT_RAW, 1) !=
            HTTP_STATUS_CONTINUE) {
            if (error) *error = cupsLastErrorString();
            cupsCancelJob(printer.c_str(), job);
            return nullptr;
        }
        return std::make_unique<CupsRawJob>(printer, job);
    }
};

} // namespace

std::unique_ptr<PrintSpooler> makeCupsSpooler() { return std::make_unique<CupsSpooler>(); }

} // namespace k4
