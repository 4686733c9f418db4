#include "admin/admin_commands.h"

#include "admin/admin_database.h"
#include "admin/admin_lock.h"
#include "admin/demo_hydro.h"
#include "admin/demo_pictures.h"
#include "admin/subscriber_csv.h"
#include "admin/installation.h"
#include "config/config.h"
#include "database/lines_list.h"
#include "database/sbscrbr.h"
#include "database/subsystem_editing.h"
#include "database/subsys_lst.h"
#include "database/table.h"
#include "database/text_edge.h"
#include "platform/file.h"
#include "processing/block_lst.h"
#include "processing/event_list.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <set>
#include <system_error>
#include <iostream>
#include <ostream>
#include <sstream>

namespace k4::admin {

namespace {

// What every demo object has: the panel's own subsystem 0 for its system
// events (tests, power, battery) and the protected premises as subsystem 1.
const char* const kPremisesSectors[] = {"Wejście główne", "Hol", "Biuro", "Magazyn", "Zaplecze",
                                        "Okna od ulicy", "Czujka dymu", "Przycisk napadowy", "Sabotaż obudowy"};

// Panels of one make send a smoke detector as 1A1 and a duress code as
// 1A2; the centre reads them as a fire in the smoke detector's zone and a
// hold-up. Everything else they send means what the standard table says.
constexpr int kOwnListSubscriber = 1030;
const int kPassedThrough[] = {0x100, 0x130, 0x137, 0x302, 0x401, 0x602, 0x930, 0xC01};

// An operator had blocked these before the demo: one object under service,
// one whose alarms are not to be raised while the owner is on site.
constexpr std::pair<int, int> kDemoBlockades[] = {{1034, kBlockSubscriber}, {1035, kBlockAlarms}};

bool configure(const std::string& dir, std::ostream& err) {
    Config config{DataDir(dir)};
    if (config.LoadConfig(1) != 0) {
        err << "demo: nie można wczytać " << config.path() << ": " << config.lastError() << '\n';
        return false;
    }
    ConfigBlock& b = config.block();
    // The centre's own modules and one receiving base ("Std/Odb"): the
    // module bus on ports 1 (interface) and 2 (data), the base on port 3.
    b.mode = 3;
    b.inter_port = 1;
    b.data_port = 2;
    b.base1_port = 3;
    b.base2_port = 0;
    b.options = static_cast<uint8_t>(b.options | kOptBlockRepeatedAlarms);
    // The base delivers the panels' own codes: translate them here.
    b.bases[0].flags = static_cast<uint8_t>(b.bases[0].flags | kBaseEventConversion);
    if (config.SaveConfig(1) != 0) {
        err << "demo: nie można zapisać " << config.path() << ": " << config.lastError() << '\n';
        return false;
    }
    return true;
}

bool addOwnList(SubscriberDatabase& db, Sbscrbr& s) {
    std::array<LUT_ENTRY, kListEntries> list{};
    size_t n = 0;
    for (int code : kPassedThrough) list[n++] = LUT_ENTRY::make(code, code);
    list[n++] = LUT_ENTRY::make(0x1A1, 0x110, 0, false, 7, true);
    list[n++] = LUT_ENTRY::make(0x1A2, 0x120);
    std::sort(list.begin(), list.begin() + static_cast<long>(n),
              [](const LUT_ENTRY& a, const LUT_ENTRY& b) { return a.objCode() < b.objCode(); });
    int32_t at = 0;
    if (db.file(DbFile::Alarmy).AppendRecord(at, list.data()) != 0) return false;
    s.record.alarm_list = at;
    return true;
}

// The first objects keep office hours, so the arming supervision has
// something to watch: the premises (panel subsystem 1, schedule position 1)
// disarmed 07:30 to 08:00 and armed 17:00 to 18:00 on working days, a short
// Saturday, closed on Sundays and holidays. Person 1 arms the premises.
constexpr int kScheduledUpTo = 1003;
constexpr int kPremisesPosition = 1;

bool addOfficeHours(SubscriberDatabase& db, Sbscrbr& s) {
    SubsysLst plans(db.files(), s.record.arm_plans);
    if (!plans.usable()) return false;
    ArmingSchedule& schedule = plans.schedule();
    schedule = {};
    const ScheduleDay working{7 * 60 + 30, 30, 17 * 60, 60, 0};
    const ScheduleDay saturday{8 * 60, 30, 14 * 60, 60, 0};
    const ScheduleDay closed{0, 0, 0, 0, 1};
    for (int d = 0; d < 5; ++d) schedule.days[d] = working;
    schedule.days[5] = saturday;
    schedule.days[6] = closed;
    schedule.days[7] = closed;
    if (plans.SavePosition(kPremisesPosition, static_cast<uint8_t>(kPanelSubsystemBit | 1)) != 0) return false;
    s.record.arm_mask = static_cast<uint16_t>(s.record.arm_mask | (1u << kPremisesPosition));
    s.record.armers[0] = {1, static_cast<uint16_t>(1u << kPremisesPosition)};
    return true;
}

bool furnish(SubscriberDatabase& db, int number, const std::string& dir) {
    Sbscrbr s(db, ByNumber{number});
    if (!s.valid) return false;
    {
        LinesList lines(db.files(), s.record.lines);
        if (NewSubsystem(lines, 0, mz("Centrala")) != 0) return false;
        SectorsList system(lines);
        if (NewSector(lines, system, 0, mz("CE"), mz("Centrala alarmowa")) != 0) return false;
        if (NewSubsystem(lines, 1, mz("Obiekt")) != 0) return false;
        SectorsList premises(lines);
        for (int i = 0; i < static_cast<int>(std::size(kPremisesSectors)); ++i)
            if (NewSector(lines, premises, i + 1, mz("CZ"), mz(kPremisesSectors[i])) != 0) return false;
    }
    if (number == kOwnListSubscriber && !addOwnList(db, s)) return false;
    if (number <= kScheduledUpTo && !addOfficeHours(db, s)) return false;
    if (!addDemoDescription(db, s, dir)) return false;
    // The first objects are probed over the demo's modules (the checking
    // panel's cells): two over the radio module 1, one over dial-up.
    if (number == 1001 || number == 1002) {
        s.record.tracks = static_cast<uint8_t>(s.record.tracks | kTrackRadio);
        s.record.chk_tracks = static_cast<uint8_t>(s.record.chk_tracks | kTrackRadio);
    } else if (number == 1003) {
        s.record.tracks = static_cast<uint8_t>(s.record.tracks | kTrackDialUp);
        s.record.chk_tracks = static_cast<uint8_t>(s.record.chk_tracks | kTrackDialUp);
    }
    return s.Save() == 0;
}

// The names in a directory, to take back what a failed demo wrote.
std::set<std::string> entriesOf(const std::string& dir) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) names.insert(entry.path().filename().string());
    return names;
}

int buildDemo(const std::string& dir, const std::string& csvPath, std::ostream& out, std::ostream& err) {
    std::string error;
    if (!writeFreshInstallation(dir, true, error)) {
        err << "demo: " << error << '\n';
        return 1;
    }
    if (!configure(dir, err)) return 1;
    std::ostringstream imported;
    if (runAdmin({"subscribers", "import", csvPath, dir}, std::cin, imported, err) != 0) return 1;

    AdminDatabase data(dir, err);
    if (!data.open(false)) return 1;
    int furnished = 0;
    try {
        for (int number = 0; number <= 9999; ++number) {
            int32_t offset = 0;
            if (data.database().index().FindNumber(number, offset) != 1) continue;
            if (!furnish(data.database(), number, dir)) {
                err << "demo: nie można uzupełnić abonenta " << number << '\n';
                return 1;
            }
            ++furnished;
        }
        if (!addDemoWaterworks(data.database(), data.indexes(), err)) return 1;
        data.close();
    } catch (const IndexBroken&) {
        return 1;
    }

    // The table file is made by its first load; the records go in sorted
    // by number, as the station keeps them.
    std::array<BlockRecord, BlockLst::kRecords> blockades{};
    Table table(DataDir(dir), blockades.data());
    const bool loaded = table.Load("blokady", sizeof(BlockRecord), BlockLst::kRecords) == 0;
    blockades = {};
    for (size_t i = 0; i < std::size(kDemoBlockades); ++i)
        blockades[i] = {static_cast<int16_t>(kDemoBlockades[i].first), static_cast<uint8_t>(kDemoBlockades[i].second)};
    if (!loaded || table.Save("blokady", sizeof(BlockRecord), BlockLst::kRecords) != 0) {
        err << "demo: nie można zapisać blokad\n";
        return 1;
    }
    out << "Instalacja demonstracyjna w " << dir << ": abonentów " << furnished << ", blokad "
        << std::size(kDemoBlockades) << '\n';
    return 0;
}

} // namespace

int demoCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2 || args[0] == "--help") {
        (args.size() == 1 && args[0] == "--help" ? out : err)
            << "kestrel4-admin demo KATALOG PLIK.csv\n"
               "  Instalacja demonstracyjna w pustym katalogu: tryb Odbiorcza z bazą na\n"
               "  porcie 1, abonenci z pliku CSV, każdy z podsystemem 0 \"Centrala\" i 1 \"Obiekt\"\n"
               "  (sektory 1-9), abonent 1030 z własną listą zdarzeń, blokady 1034 i 1035;\n"
               "  abonenci do 1003 z harmonogramem uzbrojenia obiektu (dni robocze 7:30/17:00);\n"
               "  wodociąg 1000 z pomiarami i jednostkami w pliku hunits.\n";
        return args.size() == 1 && args[0] == "--help" ? 0 : 2;
    }
    const std::string& dir = args[0];
    // A demo must never land on a centre's real subscribers.
    if (fileExists(DataDir(dir).file("dane"))) {
        err << "demo: w " << dir << " jest już baza abonentów; podaj pusty katalog\n";
        return 1;
    }
    // The subscribers are read before anything is written: a missing or
    // broken file leaves the directory as it was.
    std::string csv, error;
    std::vector<CsvRow> rows;
    if (!readWholeFile(args[1], csv, &error) || !parseCsv(csv, rows, error) || rows.empty()) {
        err << "demo: nie można odczytać abonentów z " << args[1] << (error.empty() ? "" : ": " + error) << '\n';
        return 1;
    }
    std::error_code ec;
    const bool madeDirectory = !std::filesystem::exists(dir, ec);
    std::filesystem::create_directories(dir, ec);
    WriteLock lock;
    if (!lock.take(dir, err)) return kRefusedByLock;
    const std::set<std::string> before = entriesOf(dir);
    const int status = buildDemo(dir, args[1], out, err);
    if (status != 0) {
        // No half-made installation: what the demo wrote goes again.
        for (const std::string& name : entriesOf(dir))
            if (!before.count(name) && name != "Kestrel4.lock") std::filesystem::remove_all(DataDir(dir).file(name), ec);
        if (madeDirectory) {
            lock.release();
            std::filesystem::remove(dir, ec); // only when nothing else is in it
        }
    }
    return status;
}

} // namespace k4::admin
