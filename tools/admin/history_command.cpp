// kestrel4-admin history: every entry of a history file as its text line,
// the way the event printer and the history window show it. The file is
// only read: an archive of the previous generation is converted in memory.
#include "admin/admin_commands.h"

#include "admin/admin_lock.h"

#include "baselink/path_types.h"
#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/file_names.h"
#include "history/history_reader.h"
#include "platform/data_dir.h"
#include "platform/file.h"
#include "processing/event_table.h"
#include "processing/event_text.h"

#include <cstdio>
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
    out << "kestrel4-admin history [PLIK] [--from DATA] [--to DATA] [--raw] [--data KATALOG]\n"
           "  Wypisuje każdy wpis pliku historii (domyślnie ./logf) jako wiersz zdarzenia.\n"
           "  --from, --to  tylko wpisy od / do tego dnia włącznie (RRRR-MM-DD lub DD.MM.RRRR)\n"
           "  --raw         przed wierszem 14 bajtów wpisu szesnastkowo\n"
           "  --data        katalog z tabelą zdarzeń \"zdarzen\" (domyślnie katalog pliku)\n"
           "  Plik nie jest zmieniany; plik starszej wersji jest odczytywany z konwersją w pamięci.\n";
}

} // namespace

int historyCommand(const Args& args, std::ostream& out, std::ostream& err) {
    std::string path, dataDir;
    std::optional<Stamp> from, to;
    bool raw = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
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
            (a == "--from" ? from : to) = stamp;
        } else if (a == "--data") {
            const auto v = value();
            if (!v) {
                err << "history: po --data podaj katalog\n";
                return 2;
            }
            dataDir = *v;
        } else if (path.empty() && a.rfind("--", 0) != 0) {
            path = a;
        } else {
            err << "history: nieznany argument " << a << '\n';
            return 2;
        }
    }
    if (path.empty()) path = "logf";
    if (dataDir.empty()) dataDir = directoryOf(path);

    noteLiveDirectory(directoryOf(path), err);
    EventTable events;
    const DataDir data(dataDir);
    // Only read: a missing table is not created here, the names stay empty.
    if (fileExists(data.file("zdarzen")) && events.loadEventTable(data) != 0)
        err << "history: tabela zdarzeń " << data.file("zdarzen") << " ma inny format; wiersze bez nazw zdarzeń\n";
    PathTypeTable pathTypes;
    EventFormatter formatter(events, pathTypes);

    const HistoryReadResult result = readHistoryFile(path, [&](const HistoryEntry& e) {
        if (from && e.time < *from) return true;
        if (to && e.time >= *to) return true;
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
