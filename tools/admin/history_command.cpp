// kestrel4-admin history: the entries of a history file as their text
// lines, the way the event printer and the history window show them,
// narrowed by the window's filter; "history export" writes them as the
// window's text file. The history is only read: an archive of the previous
// generation is converted in memory.
#include "admin/admin_commands.h"

#include "admin/admin_lock.h"

#include "baselink/path_types.h"
#include "config/config.h"
#include "history/hist_filter.h"
#include "history/history_output.h"
#include "history/plog_list.h"
#include "messages/messages.h"
#include "platform/operator_ui.h"
#include "processing/filter_knowledge.h"
#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/file_names.h"
#include "history/history_reader.h"
#include "platform/data_dir.h"
#include "platform/file.h"
#include "processing/event_table.h"
#include "processing/event_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <strings.h>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>

namespace k4::admin {

namespace {

// "RRRR-MM-DD" or "DD.MM.RRRR": the stamp of that day's midnight.
std::optional<Stamp> dayStamp(const std::string& text, int dayOffset) {
    LocalDateTime t;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c", &t.year, &t.month, &t.day, &tail) != 3 &&
        std::sscanf(text.c_str(), "%d.%d.%d%c", &t.day, &t.month, &t.year, &tail) != 3)
        return std::nullopt;
    if (t.year < 1970 || t.year > 2037 || t.month < 1 || t.month > 12 || t.day < 1) return std::nullopt;
    // A day the month does not have (2026-02-30) is refused, not carried
    // into the next month.
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    if (t.day > kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0)) return std::nullopt;
    t.day += dayOffset; // the normalisation of the time conversion carries over months
    return StampFromLocal(t);
}

std::string hexOf(const HistoryEntry& e) {
    const auto* b = reinterpret_cast<const uint8_t*>(&e);
    std::string text;
    char part[4];
    for (size_t i = 0; i < sizeof e; ++i) {
        std::snprintf(part, sizeof part, i ? " %02X" : "%02X", b[i]);
        text += part;
    }
    return text;
}

void help(std::ostream& out) {
    out << "kestrel4-admin history [PLIK] [FILTR] [--raw] [--data KATALOG]\n"
           "kestrel4-admin history export [PLIK] [FILTR] --dir KATALOG [--data KATALOG]\n"
           "  Wypisuje każdy wpis pliku historii (domyślnie ./logf) jako wiersz zdarzenia;\n"
           "  \"export\" zapisuje te wiersze (CP1250, CR LF) do pliku tekstowego w KATALOGU pod nazwą\n"
           "  okna historii: h<miesiąc szesnastkowo><dzień><godzina><minuta>.txt (z literą, gdy zajęta).\n"
           "  --raw         przed wierszem 14 bajtów wpisu szesnastkowo\n"
           "  --data        katalog z tabelą zdarzeń \"zdarzen\" i \"conf\" (domyślnie katalog pliku)\n"
           "  FILTR, jak w oknie \"Historia\" (bez opcji: wszystkie wpisy):\n"
           "  --from, --to DATA      od / do tego dnia włącznie (RRRR-MM-DD lub DD.MM.RRRR)\n"
           "  --from-time, --to-time \"RRRR.MM.DD GG:MM\"  od chwili / przed chwilą\n"
           "  --subscriber N         abonent N (bez wpisów systemowych, których wartość nie jest abonentem)\n"
           "  --code HEX             zdarzenie (1..FFE, szesnastkowo)\n"
           "  --subsystem N, --sector N, --operator NUMER (zmiany operatora od jego logowania)\n"
           "  --arming, --disarming  \"Załączenia systemu\", \"Wyłączenia systemu\"\n"
           "  --unknown              \"Nieznane ...\"\n"
           "  --no-blocked           \"BEZ Zablokowany ...\"\n"
           "  --with-work-start      także początek i koniec pracy (okno domyślnie ich nie pokazuje)\n"
           "  --program              \"Zdarzenia programowe\"\n"
           "  --track TOR[=BAZA]     tor: komutowany, radiowy, sztywny, GSM, ADEMCO, ContactID, Ethernet\n"
           "  --service all|MASKA    obsługa alarmów: wszystkie kroki lub wybrane (maska bitów 0-7)\n"
           "  --empty                tylko wpisy bez czasu\n"
           "  Plik historii nie jest zmieniany; plik starszej wersji jest odczytywany z konwersją w pamięci.\n";
}

std::optional<long> numberOf(const std::string& text, int base, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, base);
    if (text.empty() || *end != '\0' || errno != 0 || v < low || v > high) return std::nullopt;
    return v;
}

int trackOf(const std::string& name) {
    static const char* const kNames[kFilterTrackCount] = {"komutowany", "radiowy", "sztywny", "GSM",
                                                    "ADEMCO",     "ContactID", "Ethernet"};
    for (int i = 0; i < kFilterTrackCount; ++i)
        if (strcasecmp(name.c_str(), kNames[i]) == 0) return i;
    return -1;
}

// The window's text file, written through the same list and output as the
// window. The temporary file lives in the target directory: a technician's
// export never writes into a live data directory.
int exportHistory(const std::string& path, const HistFilter& filter, const FilterKnowledge& knowledge,
                  const EventFormatter& formatter, const std::string& directory, std::ostream& out,
                  std::ostream& err) {
    File file;
    if (!file.open(path, File::Mode::ReadOnly)) {
        err << "history export: nie można otworzyć pliku historii " << path << ": " << file.errorText() << '\n';
        return 1;
    }
    uint8_t head[kHistoryHeaderSize] = {};
    if (!file.readAt(0, head, sizeof head) ||
        std::count(head, head + sizeof head, kHistoryHeaderByte) != static_cast<long>(sizeof head)) {
        err << "history export: " << path
            << " nie jest plikiem historii bieżącej wersji (starszy plik najpierw otwórz w oknie lub w stacji)\n";
        return 1;
    }
    ConsoleOperatorUi console;
    Messages messages(console);
    PLogList list(file, messages, knowledge);
    list.setFilter(filter);
    HistoryOutputParts parts;
    parts.format = [&formatter](const HistoryEntry& e) { return formatter.formatEvent(e); };
    parts.textPath = directory + "/log_txt.tmp";
    if (Output(list, kOutputTextFile, parts, messages) != 0) return 1;
    SystemClock clock;
    const auto written = exportTextFile(parts.textPath, directory, localNow(clock), messages);
    if (!written) return 1;
    out << *written << '\n';
    return 0;
}

} // namespace

int historyCommand(const Args& given, std::ostream& out, std::ostream& err) {
    Args args = given;
    const bool exporting = !args.empty() && args[0] == "export";
    if (exporting) args.erase(args.begin());
    std::string path, dataDir, exportDir;
    HistFilter filter;
    // Without filter options every entry is listed, start and end of work
    // too; with them the window's default applies.
    bool filtered = false;
    bool raw = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        auto bad = [&](const char* what) {
            err << "history: " << what << " po " << a << '\n';
            return 2;
        };
        if (a == "--help") {
            help(out);
            return 0;
        } else if (a == "--raw") {
            raw = true;
        } else if (a == "--from" || a == "--to") {
            const auto v = value();
            const auto stamp = v ? dayStamp(*v, a == "--to" ? 1 : 0) : std::nullopt;
            if (!stamp) {
                err << "history: niepoprawna data po " << a << " (RRRR-MM-DD lub DD.MM.RRRR)\n";
                return 2;
            }
            (a == "--from" ? filter.from : filter.to) = *stamp;
        } else if (a == "--from-time" || a == "--to-time") {
            const auto v = value();
            const size_t blank = v ? v->find(' ') : std::string::npos;
            if (blank == std::string::npos) return bad("podaj \"RRRR.MM.DD GG:MM\"");
            ConsoleOperatorUi console;
            Messages messages(console);
            const std::string time = v->substr(blank + 1);
            const Stamp stamp = ParseDate(v->substr(0, blank), &time, messages);
            if (stamp == -1) return 2;
            (a == "--from-time" ? filter.from : filter.to) = stamp;
        } else if (a == "--subscriber" || a == "--subsystem" || a == "--sector" || a == "--operator") {
            const auto v = value();
            const long high = a == "--subscriber" ? 9999 : a == "--subsystem" ? 254 : a == "--sector" ? 4094 : 32767;
            const auto n = v ? numberOf(*v, 10, a == "--operator" ? 1 : 0, high) : std::nullopt;
            if (!n) return bad("niepoprawna liczba");
            if (a == "--subscriber") filter.subscriber = static_cast<int16_t>(*n);
            else if (a == "--subsystem") filter.subsystem = static_cast<int16_t>(*n);
            else if (a == "--sector") filter.sector = static_cast<int16_t>(*n);
            else filter.operatorNumber = static_cast<int16_t>(*n);
            filtered = true;
        } else if (a == "--code") {
            const auto v = value();
            const auto n = v ? numberOf(*v, 16, 1, 4094) : std::nullopt;
            if (!n) return bad("niepoprawny kod (1..FFE szesnastkowo)");
            filter.code = static_cast<int16_t>(*n);
            filtered = true;
        } else if (a == "--arming" || a == "--disarming" || a == "--no-blocked" ||
                   a == "--program") {
            filter.categories |= a == "--arming"          ? kCategoryArming
                                 : a == "--disarming"    ? kCategoryDisarming
                                 : a == "--no-blocked"   ? kCategoryNoBlocked
                                                          : kCategoryProgram;
            filtered = true;
        } else if (a == "--with-work-start") {
            filter.categories &= static_cast<uint8_t>(~kCategoryNoWorkStart);
            filtered = true;
        } else if (a == "--unknown") {
            filter.unknown = 1;
            filtered = true;
        } else if (a == "--empty") {
            filter.emptyOnly = 1;
            filtered = true;
        } else if (a == "--track") {
            const auto v = value();
            if (!v) return bad("podaj tor");
            const size_t eq = v->find('=');
            const int track = trackOf(v->substr(0, eq));
            if (track < 0) return bad("nieznany tor");
            filter.tracks |= static_cast<uint8_t>(1u << track);
            if (eq != std::string::npos) {
                const auto base = numberOf(v->substr(eq + 1), 10, 1, 15);
                if (!base) return bad("niepoprawny numer bazy (1..15)");
                filter.bases[static_cast<size_t>(track)] = static_cast<int16_t>(*base);
            }
            filtered = true;
        } else if (a == "--service") {
            const auto v = value();
            if (!v) return bad("podaj all lub maskę");
            if (*v == "all") {
                filter.service = 2;
            } else {
                const auto mask = numberOf(*v, 0, 1, 255);
                if (!mask) return bad("niepoprawna maska kroków (1..255)");
                filter.service = 1;
                filter.serviceMask = static_cast<int16_t>(*mask);
            }
            filtered = true;
        } else if (a == "--data" || a == "--dir") {
            const auto v = value();
            if (!v) return bad("podaj katalog");
            (a == "--data" ? dataDir : exportDir) = *v;
        } else if (path.empty() && a.rfind("--", 0) != 0) {
            path = a;
        } else {
            err << "history: nieznany argument " << a << '\n';
            return 2;
        }
    }
    if (path.empty()) path = "logf";
    if (dataDir.empty()) dataDir = directoryOf(path);
    if (exporting && exportDir.empty()) {
        err << "history export: podaj katalog pliku tekstowego (--dir KATALOG)\n";
        return 2;
    }

    noteLiveDirectory(directoryOf(path), err);
    EventTable events;
    const DataDir data(dataDir);
    // Only read: a missing table is not created here, the names stay empty.
    if (fileExists(data.file("zdarzen")) && events.loadEventTable(data) != 0)
        err << "history: tabela zdarzeń " << data.file("zdarzen") << " ma inny format; wiersze bez nazw zdarzeń\n";
    Config config(data);
    const bool haveConfig = fileExists(data.file("conf")) && config.LoadConfig(1) == 0;
    const FilterKnowledge knowledge = filterKnowledgeOf(events, haveConfig ? &config.block() : nullptr);
    PathTypeTable pathTypes;
    EventFormatter formatter(events, pathTypes);
    if (exporting) return exportHistory(path, filter, knowledge, formatter, exportDir, out, err);

    const HistoryReadResult result = readHistoryFile(path, [&](const HistoryEntry& e) {
        if (filtered) {
            if (!matchesFilter(filter, e, knowledge)) return true;
        } else {
            if (filter.from && e.time < filter.from) return true;
            if (filter.to && e.time >= filter.to) return true;
        }
        if (raw) out << hexOf(e) << "  ";
        out << Utf8FromMazovia(formatter.formatEvent(e)) << '\n';
        return true;
    });
    switch (result.generation) {
    case HistoryGeneration::Unreadable:
        err << "history: nie można odczytać pliku historii " << path << '\n';
        return 1;
    case HistoryGeneration::Transitional:
        err << "history: " << path << " to przejściowa wersja historii - brak konwersji\n";
        return 1;
    case HistoryGeneration::Unknown:
        err << "history: " << path << " nie jest plikiem historii (nieznana wersja)\n";
        return 1;
    case HistoryGeneration::Previous:
        err << "history: " << path << " jest w starszej wersji (wpisy 16-bajtowe), przekonwertowano w pamięci\n";
        break;
    case HistoryGeneration::Current:
        break;
    }
    if (result.tornBytes)
        err << "history: pominięto niepełny ostatni wpis (" << result.tornBytes << " B)\n";
    if (result.readError) {
        err << "history: błąd odczytu po " << result.entries << " wpisach\n";
        return 1;
    }
    return 0;
}

} // namespace k4::admin
