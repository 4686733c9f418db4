#include "admin/admin_commands.h"

#include "database/database_files.h"
#include "database/record_file.h"
#include "database/subscriber_indexes.h"
#include "messages/messages.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>

namespace k4::admin {
namespace {

struct NoHistory final : HistorySink {
    int LogSystemEvent(int, int, int, int, int) override { return 0; }
};

struct ThrowingFailure final : IndexFailure {
    void indexFailed(const std::string& message, const std::string& path, int64_t) override {
        throw std::runtime_error(message + " " + path);
    }
};

struct DbCheckTest : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    NoHistory history;

    // A database with three subscribers, one of them deleted, and two persons.
    void makeDatabase() {
        for (const RecordFileDescriptor& d : kRecordFileSet) {
            RecordFile file(DataDir(tmp.path()), messages, history);
            ASSERT_EQ(file.Create(d.name, d.recordSize), 0);
            // A subscriber's texts empty, so its keys are empty texts.
            std::string record(static_cast<size_t>(d.recordSize), std::string(d.name) == "dane" ? '\0' : 'r');
            const int added = std::string(d.name) == "dane" ? 3 : std::string(d.name) == "osoby" ? 2 : 0;
            int32_t at = 0;
            for (int i = 0; i < added; ++i) {
                // Subscribers 0001..0003 for "dane".
                record.replace(0, 6, std::string{0, 0, 0, 0, static_cast<char>(i + 1), 0});
                ASSERT_EQ(file.AppendRecord(at, record.data()), 0);
            }
            if (std::string(d.name) == "dane") {
                ASSERT_EQ(file.FreeRecord(32 + 1575), 0);
            }
        }
        // The indexes of the two subscribers left.
        IndexPageCache cache;
        ThrowingFailure failure;
        for (int i = 0; i < kSubscriberIndexCount; ++i) {
            IndexHandle h(cache, failure);
            ASSERT_EQ(h.CreateIndex(DataDir(tmp.path()), indexDescriptor(i).name, indexDescriptor(i).duplicates), 0);
            if (i == kIndexNumber) {
                h.InsertKey("0001", 32);
                h.InsertKey("0003", 32 + 2 * 1575);
            } else if (i != kIndexPhone) {
                h.InsertKey("", 32);
                h.InsertKey("", 32 + 2 * 1575);
            }
            h.CloseIndex();
        }
    }
    struct Run {
        int status;
        std::string out, err;
    };
    Run check() {
        std::istringstream in;
        std::ostringstream out, err;
        const int status = runAdmin({"db", "check", tmp.path()}, in, out, err);
        return {status, out.str(), err.str()};
    }
    void replaceKeys(const char* name, const std::vector<std::pair<std::string, int32_t>>& keys) {
        IndexPageCache cache;
        ThrowingFailure failure;
        IndexHandle h(cache, failure);
        ASSERT_EQ(h.CreateIndex(DataDir(tmp.path()), name, true), 0);
        for (const auto& [text, value] : keys) h.InsertKey(text, value);
        h.CloseIndex();
    }
    void patchInt32(const std::string& name, size_t at, int32_t value) {
        std::string bytes = tmp.read(name);
        for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
        tmp.write(name, bytes);
    }
};

TEST_F(DbCheckTest, SoundDatabaseGivesOneLinePerFile) {
    makeDatabase();
    const Run r = check();
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out,
              "dane     w użyciu: 2, wolne: 1, problemy: brak\n"
              "osoby    w użyciu: 2, wolne: 0, problemy: brak\n"
              "linie    w użyciu: 0, wolne: 0, problemy: brak\n"
              "sektory  w użyciu: 0, wolne: 0, problemy: brak\n"
              "alarmy   w użyciu: 0, wolne: 0, problemy: brak\n"
              "opis     w użyciu: 0, wolne: 0, problemy: brak\n"
              "uzbroj   w użyciu: 0, wolne: 0, problemy: brak\n"
              "orders   w użyciu: 0, wolne: 0, problemy: brak\n"
              "numer    klucze: 2, wysokość: 1, strony: 0, wolne strony: 0, problemy: brak\n"
              "nazwa    klucze: 2, wysokość: 1, strony: 0, wolne strony: 0, problemy: brak\n"
              "miejsc   klucze: 2, wysokość: 1, strony: 0, wolne strony: 0, problemy: brak\n"
              "adres    klucze: 2, wysokość: 1, strony: 0, wolne strony: 0, problemy: brak\n"
              "telefon  klucze: 0, wysokość: 1, strony: 0, wolne strony: 0, problemy: brak\n"
              "indeks   klucze: 2, wysokość: 1, strony: 0, wolne strony: 0, problemy: brak\n");
}

TEST_F(DbCheckTest, DamageIsNamedAndFailsTheCheck) {
    struct Case {
        const char* what;
        std::function<void(DbCheckTest&)> damage;
        const char* line;
    };
    const Case cases[] = {
        {"a loop", [](DbCheckTest& t) { t.patchInt32("dane", 32 + 1575, 32 + 1575); },
         "dane     w użyciu: 2, wolne: 1, problemy: 1 (pętla w łańcuchu wolnych rekordów (rekord 647))"},
        {"a link past the end", [](DbCheckTest& t) { t.patchInt32("dane", 32 + 1575, 99999); },
         "dane     w użyciu: 2, wolne: 1, problemy: 1 (łącze wolnego rekordu 647 nie wskazuje rekordu pliku (1869F))"},
        {"a head inside a record", [](DbCheckTest& t) { t.patchInt32("osoby", 17, 40); },
         "osoby    w użyciu: 2, wolne: 0, problemy: 1 (początek łańcucha wolnych rekordów nie wskazuje rekordu pliku (28))"},
        {"another size", [](DbCheckTest& t) { t.patchInt32("linie", 21, 100); },
         "linie    w użyciu: 0, wolne: 0, problemy: 1 (nagłówek z innym rozmiarem rekordu: 100 (powinno być 2143))"},
        {"a torn record", [](DbCheckTest& t) { t.tmp.write("osoby", t.tmp.read("osoby") + "xy"); },
         "osoby    w użyciu: 2, wolne: 0, problemy: 1 (niepełny ostatni rekord: 2 B ponad całe rekordy)"},
        {"a missing file", [](DbCheckTest& t) { std::remove(t.tmp.file("opis").c_str()); },
         "opis     w użyciu: 0, wolne: 0, problemy: 1 (brak pliku)"},
        // Sound as a tree, but not the keys of the subscribers of "numer".
        {"a derived index out of step", [](DbCheckTest& t) { t.replaceKeys("miejsc", {{"RADOM", 32}}); },
         "miejsc   klucze: 1, wysokość: 1, strony: 0, wolne strony: 0, problemy: 3 (brak klucza \"\" (rekord 32); "
         "brak klucza \"\" (rekord 3182); klucz \"RADOM\" (rekord 32) bez abonenta w indeksie numer)"},
        {"an empty derived index", [](DbCheckTest& t) { t.replaceKeys("indeks", {}); },
         "indeks   klucze: 0, wysokość: 1, strony: 0, wolne strony: 0, problemy: 2 (brak klucza \"\" (rekord 32); "
         "brak klucza \"\" (rekord 3182))"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        makeDatabase();
        c.damage(*this);
        const Run r = check();
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(std::string(c.line) + "\n"), std::string::npos) << r.out;
        size_t lines = 0;
        for (char ch : r.out) lines += ch == '\n';
        EXPECT_EQ(lines, 14u);
    }
}

TEST_F(DbCheckTest, DirectoryWithoutADatabaseSaysSo) {
    const Run r = check();
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Baza danych nie została jeszcze utworzona w"), std::string::npos);
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(runAdmin({"db", "check", "--help"}, in, out, err), 0);
    EXPECT_NE(out.str().find("kestrel4-admin db check [KATALOG]"), std::string::npos);
    EXPECT_EQ(runAdmin({"db", "napraw"}, in, out, err), 2);
}

} // namespace
} // namespace k4::admin
