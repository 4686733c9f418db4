#include "maintenance/backup_set.h"

#include "database/database_files.h"
#include "database/subscriber_indexes.h"
#include "hydro/hydro_unit_record.h"

#include <cstdio>

namespace k4 {

namespace {

std::vector<std::string> makeSet(bool forRestore) {
    std::vector<std::string> set = {"blokady", "rozkazy", "zdarzen", "alarmwsp"};
    if (!forRestore) set.push_back(kServiceTextsFile);
    set.push_back("operator");
    for (const RecordFileDescriptor& d : kRecordFileSet) set.push_back(d.name);
    // The subscriber records name their measuring units by record offset,
    // so the units go with them; an installation without any has no file.
    set.push_back(kHydroUnitsFile);
    for (int i = 0; i < kSubscriberIndexCount; ++i) set.push_back(indexDescriptor(i).name);
    if (forRestore) set.push_back(kServiceTextsFile);
    return set;
}

} // namespace

const std::vector<std::string>& backupSet() {
    static const std::vector<std::string> set = makeSet(false);
    return set;
}

const std::vector<std::string>& restoreSet() {
    static const std::vector<std::string> set = makeSet(true);
    return set;
}

bool mayBeAbsent(const std::string& name) {
    return name == "rozkazy" || name == "zdarzen" || name == "alarmwsp" || name == "operator" ||
           name == kHydroUnitsFile;
}

std::string partMarkerName(const std::string& name, int part) {
    const auto dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".r%2.2d", part % 100);
    return stem + suffix;
}

} // namespace k4
