// kestrel4-admin events: the standard event table as its printout.
#include "admin/admin_commands.h"

#include "admin/admin_lock.h"

#include "database/text_edge.h"
#include "platform/data_dir.h"
#include "platform/file.h"
#include "processing/event_printouts.h"
#include "processing/event_table.h"

#include <ostream>

namespace k4::admin {

int eventsCommand(const Args& args, std::ostream& out, std::ostream& err) {
    std::string dir = ".";
    if (!args.empty() && args[0] == "--help") {
        out << "kestrel4-admin events [KATALOG]\n"
               "  Wypisuje tabelę zdarzeń standardowych (\"zdarzen\") tak, jak ją drukuje stacja.\n";
        return 0;
    }
    if (args.size() > 1) {
        err << "events: nieznany argument " << args[1] << '\n';
        return 2;
    }
    if (!args.empty()) dir = args[0];
    noteLiveDirectory(dir, err);
    const DataDir data(dir);
    if (!fileExists(data.file("zdarzen"))) {
        err << "events: brak tabeli zdarzeń " << data.file("zdarzen") << '\n';
        return 1;
    }
    EventTable events;
    if (events.loadEventTable(data) != 0) {
        err << "events: " << data.file("zdarzen") << " nie jest tabelą 999 zdarzeń po 43 bajty\n";
        return 1;
    }
    // The printer's line ends become the terminal's.
    std::string text = Utf8FromMazovia(standardTablePrintout(events));
    std::string lines;
    for (char c : text)
        if (c != '\r') lines += c;
    out << lines;
    return 0;
}

} // namespace k4::admin
