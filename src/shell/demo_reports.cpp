#include "shell/demo_reports.h"

namespace k4 {

namespace {

Report demo(int subscriber, int subsystem, int code, int sector, int path, int flags = Report::kDemonstration) {
    Report r;
    r.subscriber = subscriber;
    r.subsystem = subsystem;
    r.code = code;
    r.sector = sector;
    r.path = path;
    r.flags = flags;
    return r;
}

} // namespace

void runDemonstrationReports(ReportProcessor& processor, const ConfigBlock& config) {
    const int early = config.special_codes[1];   // "ZAŁ. PRZED CZASEM"
    const int counter = config.special_codes[9]; // "LICZNIK ALARMÓW"
    const int result = processor.processReport(demo(1444, Report::kNoSubsystem, early, Report::kNoSector, 1));
    if (result != -2) {
        // The counter report of what the first one became; a subscriber that
        // could not be found is sent without a look-up.
        const int flags = Report::kDemonstration | (result == -1 ? Report::kUnknownSubscriber : 0);
        processor.processReport(demo(result, Report::kNoSubsystem, counter, Report::kNoSector,
                                     Report::kPathDemonstration, flags));
    }
    processor.processReport(demo(1202, 1, 2, 3, Report::kPathDemonstration));
    processor.processReport(demo(5002, 11, 0x130, 42, Report::kPathDemonstration));
    processor.processReport(demo(1009, 1, 3, 3, 1));
}

} // namespace k4
