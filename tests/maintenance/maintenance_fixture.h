#pragma once
// A data directory holding every file of the database set (bytes of their
// own, not parsed by the copy), the operator's script, and the backup over
// them; a medium whose free space and kind the test decides.
#include "database/history_sink.h"
#include "database/service_steps.h"
#include "maintenance/backup_set.h"
#include "maintenance/database_backup.h"
#include "maintenance/target_volume.h"
#include "messages/messages.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace k4::test {

// Free space: the real file system's, or a capacity less what the files in
// the medium's directory take. Removable: only the medium's directory.
struct FakeVolumes final : TargetVolume {
    std::optional<uint64_t> capacity;
    std::string removableDir;

    std::optional<uint64_t> freeBytes(const std::string& dir) override {
        if (!capacity) return SystemVolumes().freeBytes(dir);
        uint64_t used = 0;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(existingAncestor(dir), ec))
            if (e.is_regular_file(ec)) used += e.file_size(ec);
        return used >= *capacity ? 0 : *capacity - used;
    }
    bool removable(const std::string& dir) override {
        return !removableDir.empty() && dir.rfind(removableDir, 0) == 0;
    }
};

struct RecordedHistory final : HistorySink {
    struct Entry {
        int kind, value, detail, code;
    };
    std::vector<Entry> entries;
    int LogSystemEvent(int kind, int value, int detail, int code, int) override {
        entries.push_back({kind, value, detail, code});
        return 0;
    }
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string randomBytes(size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(size, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

inline std::string serviceTexts(const std::string& tag) {
    std::string s = "4\r\n";
    for (int i = 1; i <= kServiceSteps; ++i) s += "Krok " + std::to_string(i) + " " + tag + "\r\n";
    return s;
}

// Every file of the set, each with bytes that tell it and the seed apart.
inline std::map<std::string, std::string> databaseFiles(unsigned seed) {
    std::map<std::string, std::string> files;
    unsigned n = 0;
    for (const std::string& name : backupSet()) {
        if (name == kServiceTextsFile) files[name] = serviceTexts(std::to_string(seed));
        else files[name] = name + randomBytes(100 + 997 * (n % 7), seed * 100 + n);
        ++n;
    }
    return files;
}

inline void writeFiles(const std::string& dir, const std::map<std::string, std::string>& files) {
    std::filesystem::create_directories(dir);
    for (const auto& [name, bytes] : files) {
        writeFile(dir + "/" + name, bytes);
    }
}

inline std::map<std::string, std::string> readFiles(const std::string& dir) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        if (!e.is_regular_file(ec)) continue;
        files[e.path().filename().string()] = readFile(e.path().string());
    }
    return files;
}

struct BackupRig {
    TempDir data;
    TempDir elsewhere;
    ScriptedOperatorUi ui;
    Messages messages{ui};
    FakeVolumes volumes;
    bool suspended = false;
    RecordedHistory history;
    ServiceSteps steps;
    DatabaseBackup backup{{DataDir(data.path()), messages, volumes, suspended, history, steps, nullptr}};

    BackupRig() {
        writeFiles(data.path(), databaseFiles(1));
        data.write("Kestrel4.lock", "4242\nkestrel4\n");
        data.write("logf", "history of the centre");
        data.write("conf", "configuration");
    }
    std::string shown() const {
        std::string all;
        for (const BoxRequest& b : ui.boxes) all += b.text + "|";
        return all;
    }
};

} // namespace k4::test
