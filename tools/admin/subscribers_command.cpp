#include "admin/admin_commands.h"

#include "admin/admin_database.h"
#include "admin/admin_lock.h"
#include "admin/subscriber_csv.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "platform/file.h"

#include <cstring>
#include <filesystem>
#include <system_error>
#include <map>
#include <ostream>

namespace k4::admin {

namespace {

void subscribersHelp(std::ostream& out) {
    out << "kestrel4-admin subscribers import PLIK.csv [KATALOG]\n"
           "kestrel4-admin subscribers export [KATALOG]\n"
           "  import: dopisuje abonentów z pliku CSV (UTF-8, RFC 4180). Pierwszy wiersz\n"
           "  nazywa pola rekordu; pole number jest wymagane, pozostałe mają wartości\n"
           "  nowego abonenta. Każdy wiersz jest zapisywany i indeksowany jak nowy abonent\n"
           "  z karty; numer już zajęty i błędny wiersz są odrzucane z komunikatem\n"
           "  \"wiersz N: ...\", reszta wchodzi. Kod wyjścia 1, gdy odrzucono wiersz.\n"
           "  export: wypisuje CSV wszystkich abonentów w kolejności numerów.\n"
           "  Pola: ";
    const auto& columns = subscriberColumns();
    for (size_t i = 0; i < columns.size(); ++i) out << (i ? "," : "") << columns[i];
    out << '\n';
}

// A new subscriber's record as the store makes it: test defaults and the
// orders field in the current form.
SubscriberRecord newSubscriberRecord(SubscriberDatabase& db) {
    Sbscrbr s(db);
    const Uint32Le marker = kOrdersMarker;
    std::memcpy(s.record.orders, &marker, sizeof marker);
    return s.record;
}

int importCommand(const std::string& csvPath, const std::string& dir, std::ostream& out, std::ostream& err) {
    std::string text, error;
    if (!readWholeFile(csvPath, text, &error)) {
        err << "subscribers import: nie można odczytać " << csvPath << ": " << error << '\n';
        return 2;
    }
    std::vector<CsvRow> rows;
    if (!parseCsv(text, rows, error)) {
        err << "subscribers import: " << error << '\n';
        return 2;
    }
    if (rows.empty()) {
        err << "subscribers import: brak wiersza nagłówka\n";
        return 2;
    }
    const std::vector<std::string>& header = rows[0].fields;
    std::map<std::string, int> seen;
    for (const std::string& name : header) {
        if (!isSubscriberColumn(name)) {
            err << "subscribers import: nieznane pole w nagłówku: " << name << '\n';
            return 2;
        }
        if (seen[name]++) {
            err << "subscribers import: pole " << name << " powtórzone w nagłówku\n";
            return 2;
        }
    }
    if (!seen.count("number")) {
        err << "subscribers import: nagłówek nie ma pola number\n";
        return 2;
    }

    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    WriteLock lock;
    if (!lock.take(dir, err)) return kRefusedByLock;
    AdminDatabase data(dir, err);
    if (!data.open(true)) return 2;
    int saved = 0, refused = 0;
    bool synced = false;
    try {
        // The lock is ours and no station runs: the rows go in as one pass,
        // synced once at the end. A crash in the middle leaves whole records
        // and indexes that may not name the last of them; "index rebuild"
        // makes them whole.
        data.beginBulk();
        for (size_t r = 1; r < rows.size(); ++r) {
            const CsvRow& row = rows[r];
            const std::string where = "wiersz " + std::to_string(row.line) + ": ";
            if (row.fields.size() != header.size()) {
                err << where << row.fields.size() << " pól zamiast " << header.size() << '\n';
                ++refused;
                continue;
            }
            SubscriberRecord record = newSubscriberRecord(data.database());
            bool good = true;
            for (size_t f = 0; f < header.size() && good; ++f) good = setColumn(record, header[f], row.fields[f], error);
            if (!good) {
                err << where << error << '\n';
                ++refused;
                continue;
            }
            data.ui().setPrefix(where);
            int32_t offset = 0;
            const int result = saveNewSubscriber(data.database(), data.indexes(), record, offset);
            data.ui().setPrefix({});
            if (result == kSubscriberSaved)
                ++saved;
            else
                ++refused;
        }
        synced = data.endBulk();
        data.close();
    } catch (const IndexBroken&) {
        return 1;
    }
    if (!synced) return 1;
    out << "Zapisano abonentów: " << saved << ", odrzucono wierszy: " << refused << '\n';
    return refused ? 1 : 0;
}

int exportCommand(const std::string& dir, std::ostream& out, std::ostream& err) {
    noteLiveDirectory(dir, err);
    AdminDatabase data(dir, err);
    if (!data.open(false)) return 2;
    const auto& columns = subscriberColumns();
    for (size_t i = 0; i < columns.size(); ++i) out << (i ? "," : "") << columns[i];
    out << '\n';
    int status = 0;
    try {
        IndexHandle& numer = data.indexes().handle(kIndexNumber);
        IndexKey key;
        for (int r = numer.First(key); r == kIndexFound; r = numer.Next(key)) {
            Sbscrbr s(data.database(), AtOffset{key.value});
            if (!s.valid) {
                err << "abonent " << key.text << ": nie można odczytać rekordu " << key.value << '\n';
                status = 1;
                continue;
            }
            for (size_t i = 0; i < columns.size(); ++i)
                out << (i ? "," : "") << csvField(columnValue(s.record, columns[i]));
            out << '\n';
        }
        data.close();
    } catch (const IndexBroken&) {
        return 1;
    }
    return status;
}

} // namespace

int subscribersCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || (args.size() > 1 && args[1] == "--help")) {
        subscribersHelp(args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "import" && (args.size() == 2 || args.size() == 3))
        return importCommand(args[1], args.size() == 3 ? args[2] : ".", out, err);
    if (args[0] == "export" && args.size() <= 2) return exportCommand(args.size() == 2 ? args[1] : ".", out, err);
    err << "subscribers: znane są: subscribers import PLIK.csv [KATALOG], subscribers export [KATALOG]\n";
    return 2;
}

} // namespace k4::admin
