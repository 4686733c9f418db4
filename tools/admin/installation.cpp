#include "admin/installation.h"

#include "admin/event_defaults.h"
#include "processing/event_table.h"
#include "baselink/path_types.h"
#include "database/codepage.h"
#include "database/text_edge.h"
#include "operators/scramble.h"
#include "signals/default_sounds.h"
#include "platform/data_dir.h"
#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace k4::admin {

ConfigBlock freshConfig(const std::string& dataDir) {
    ConfigBlock b{};
    b.mode = 0;
    b.event_printer = 0;
    b.report_printer = 0;
    b.inter_port = 1;
    b.data_port = 2;
    b.base1_port = 0;
    b.base2_port = 0;
    b.base1_speed = 9600;
    b.base2_speed = 9600;
    b.send_speed = 9600;
    b.event_cp = kCp852;
    b.report_cp = kCp852;
    scrambledField(kFreshSupervisorPassword, b.super_pass);

    PathTypeTable pathTypes;
    pathTypes.storeConfigPeriods(b.periods);
    b.periods_irregular = 0;

    const std::string dir = dataDir.substr(0, sizeof b.base_dir - 1);
    std::memcpy(b.base_dir, dir.data(), dir.size());

    b.repeat_delay = 60;
    b.synopt_port = 0;
    b.send_delay = 5;
    b.recv_delay = 3;
    b.no_line_delay = 15;
    b.options = 0;
    b.options2 = 0;
    for (auto& profile : b.tones)
        std::copy(std::begin(kDefaultToneProfile), std::end(kDefaultToneProfile), profile);
    for (auto& base : b.bases) base.rsLink = 255;
    for (int i = 0; i < kSpecialCodes; ++i) b.special_codes[i] = static_cast<int16_t>(kFreshSpecialCodes[i]);
    return b;
}

std::string freshServiceSteps() {
    static const char* const steps[8] = {
        "Weryfikacja telefoniczna w obiekcie (hasło abonenta)",
        "Powiadomienie osób kontaktowych abonenta",
        "Wysłanie grupy interwencyjnej na obiekt",
        "Powiadomienie Policji (tel. 997 / 112)",
        "Powiadomienie Państwowej Straży Pożarnej (tel. 998 / 112)",
        "Powiadomienie Pogotowia Ratunkowego (tel. 999 / 112)",
        "Potwierdzenie przybycia grupy i sprawdzenie obiektu",
        "Alarm fałszywy - wyjaśniono z abonentem",
    };
    // Windows line ends and CP1250, declared on the first line.
    std::string text = "4\r\n";
    for (const char* step : steps) text += Cp1250FromUtf8(step) + "\r\n";
    return text;
}

bool writeFreshEventTable(const DataDir& data, std::string& error) {
    EventTable table;
    table.setRecords({});
    for (const EventDef& def : freshEventDefinitions()) table.putEvent(def, def.code);
    // Saving needs a table file whose header agrees; a fresh one is made first.
    ::unlink(data.file("zdarzen").c_str());
    EventTable empty;
    if (empty.loadEventTable(data) != 0 || table.saveEventTable(data) != 0) {
        error = "nie można zapisać tabeli zdarzeń " + data.file("zdarzen");
        return false;
    }
    return true;
}

bool writeFreshInstallation(const std::string& dir, bool force, std::string& error) {
    if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        error = "nie można utworzyć katalogu " + dir + ": " + std::strerror(errno);
        return false;
    }
    DataDir data(dir);
    if (fileExists(data.file("conf")) && !force) {
        error = "w katalogu " + data.path() + " jest już instalacja (conf); użyj --force, aby ją zastąpić";
        return false;
    }
    const ConfigBlock block = freshConfig(data.path());
    std::string_view image(reinterpret_cast<const char*>(&block), sizeof block);
    if (!replaceFileDurably(data.file("conf"), image, &error)) return false;
    if (!replaceFileDurably(data.file("obsluga.txt"), freshServiceSteps(), &error)) return false;
    if (!writeFreshEventTable(data, error)) return false;
    // The alarm sounds the station makes itself, named in "sounds".
    if (!writeDefaultSounds(data.path(), error)) return false;
    return true;
}

} // namespace k4::admin
