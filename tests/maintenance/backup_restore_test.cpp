// The database set copied out and back: every file identical, the files
// that are no part of it (the lock, the history, the configuration) never
// touched, and a restore that fails half-way rolled back from "BAZA.000".
#include "maintenance/database_backup.h"

#include "maintenance/file_copy.h"
#include "maintenance_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

namespace k4 {
namespace {

namespace fs = std::filesystem;
using test::BackupRig;

std::map<std::string, std::string> only(const std::map<std::string, std::string>& files,
                                        const std::vector<std::string>& names) {
    std::map<std::string, std::string> kept;
    for (const std::string& n : names)
        if (files.count(n)) kept[n] = files.at(n);
    return kept;
}

TEST(DatabaseBackup, BackupAndRestoreGiveEveryFileBackAndLeaveTheRestAlone) {
    BackupRig rig;
    const auto before = test::readFiles(rig.data.path());
    const std::string copy = rig.elsewhere.file("kopia");
    ASSERT_EQ(rig.backup.Backup(copy, true), 0) << rig.shown();
    const auto copied = test::readFiles(copy);
    EXPECT_EQ(copied, only(before, backupSet())) << "the set, byte for byte, and nothing else";
    EXPECT_FALSE(copied.count("Kestrel4.lock"));

    // The working files change; the restore brings the copy back.
    test::writeFiles(rig.data.path(), test::databaseFiles(2));
    const auto changed = test::readFiles(rig.data.path());
    ASSERT_EQ(rig.backup.RestoreDatabase(copy), 0) << rig.shown();
    const auto after = test::readFiles(rig.data.path());
    for (const std::string& name : backupSet()) EXPECT_EQ(after.at(name), before.at(name)) << name;
    for (const char* untouched : {"Kestrel4.lock", "logf", "conf"})
        EXPECT_EQ(after.at(untouched), before.at(untouched)) << untouched;
    EXPECT_EQ(test::readFiles(rig.backup.safetyCopyPath()), only(changed, backupSet()))
        << "BAZA.000 holds the database as it was before the restore";
    EXPECT_EQ(rig.steps.text(0), "Krok 1 1") << "the restored alarm-service texts are read again";
    for (const auto& [name, bytes] : after) EXPECT_EQ(name.find(".odzysk"), std::string::npos) << name;
    EXPECT_FALSE(fs::exists(rig.data.file("bloktmp")));
}

TEST(DatabaseBackup, RefusedDirectoriesAndAnUnreadableCopyLeaveTheDatabaseAlone) {
    struct Case {
        const char* what;
        std::function<int(BackupRig&)> run;
        const char* said;
    };
    const std::vector<Case> cases = {
        {"backup into the data directory", [](BackupRig& r) { return r.backup.Backup(r.data.path(), true); },
         "Niedozwolony zapis do katalogu bazowego"},
        {"backup into it by another name",
         [](BackupRig& r) { return r.backup.Backup(r.data.path() + "/./", true); },
         "Niedozwolony zapis do katalogu bazowego"},
        {"restore from the data directory", [](BackupRig& r) { return r.backup.RestoreDatabase(r.data.path()); },
         "Niedozwolony odczyt z katalogu bazowego"},
        {"restore from a copy without blokady",
         [](BackupRig& r) {
             test::writeFiles(r.elsewhere.file("bez"), test::databaseFiles(3));
             fs::remove(r.elsewhere.file("bez/blokady"));
             return r.backup.RestoreDatabase(r.elsewhere.file("bez"));
         },
         "Błąd otwarcia pliku do odczytu\n"},
        {"restore from BAZA.000 itself",
         [](BackupRig& r) {
             fs::create_directories(r.backup.safetyCopyPath());
             return r.backup.RestoreDatabase(r.backup.safetyCopyPath());
         },
         "Katalog BAZA.000 jest zapisywany od nowa"},
    };
    for (const Case& c : cases) {
        BackupRig rig;
        const auto before = test::readFiles(rig.data.path());
        EXPECT_EQ(c.run(rig), -1) << c.what;
        EXPECT_EQ(test::readFiles(rig.data.path()), before) << c.what;
        EXPECT_NE(rig.shown().find(c.said), std::string::npos) << c.what << ": " << rig.shown();
    }
}

TEST(DatabaseBackup, ARestoreFailingHalfWayIsRolledBackFromTheSafetyCopy) {
    BackupRig rig;
    const auto before = test::readFiles(rig.data.path());
    // A copy of another database whose "linie" cannot be read: the tables,
    // the operators, "dane" and "osoby" are put in before it fails.
    const std::string copy = rig.elsewhere.file("kopia");
    test::writeFiles(copy, test::databaseFiles(5));
    fs::remove(copy + "/linie");
    fs::create_directory(copy + "/linie");
    EXPECT_EQ(rig.backup.RestoreDatabase(copy), -1);
    EXPECT_EQ(test::readFiles(rig.data.path()), before) << "every file as it was";
    const std::string shown = rig.shown();
    EXPECT_NE(shown.find("Błąd odczytu pliku podczas kopiowania\n" + copy + "/linie"), std::string::npos) << shown;
    EXPECT_NE(shown.find("przywrócona została baza sprzed odzysku"), std::string::npos) << shown;
    EXPECT_EQ(rig.steps.text(0), "Krok 1 1") << "the texts come back with the rest";
}

TEST(DatabaseBackup, AnExistingSafetyCopyIsReplacedOnlyWhenTheOperatorSaysSo) {
    BackupRig rig;
    const std::string copy = rig.elsewhere.file("kopia");
    test::writeFiles(copy, test::databaseFiles(6));
    fs::create_directories(rig.backup.safetyCopyPath());
    test::writeFile(rig.backup.safetyCopyPath() + "/stary", "kept");
    const auto before = test::readFiles(rig.data.path());

    rig.ui.answers = {BoxAnswer::No};
    EXPECT_EQ(rig.backup.RestoreDatabase(copy), -1);
    EXPECT_EQ(rig.ui.boxes.back().text, "Operacja została przerwana");
    EXPECT_EQ(test::readFiles(rig.data.path()), before);
    EXPECT_TRUE(fs::exists(rig.backup.safetyCopyPath() + "/stary"));

    rig.ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(rig.backup.RestoreDatabase(copy), 0) << rig.shown();
    EXPECT_FALSE(fs::exists(rig.backup.safetyCopyPath() + "/stary"));
    EXPECT_EQ(test::readFiles(rig.backup.safetyCopyPath()), only(before, backupSet()));
}

TEST(DatabaseBackup, ACopyWithoutServiceTextsKeepsTheCurrentOnes) {
    BackupRig rig;
    ASSERT_EQ(rig.steps.Load(DataDir(rig.data.path())), 0);
    const std::string copy = rig.elsewhere.file("kopia");
    test::writeFiles(copy, test::databaseFiles(7));
    fs::remove(copy + "/obsluga.txt");
    EXPECT_EQ(rig.backup.RestoreDatabase(copy), 0) << rig.shown();
    EXPECT_NE(rig.shown().find("Brak pliku obsluga.txt"), std::string::npos);
    EXPECT_EQ(test::readFile(rig.data.file("obsluga.txt")), test::serviceTexts("1"));
    EXPECT_EQ(test::readFile(rig.data.file("dane")), test::databaseFiles(7).at("dane"));
}

TEST(DatabaseBackup, AFreshInstallationsMissingTablesAreNoFailure) {
    BackupRig rig;
    for (const char* absent : {"rozkazy", "alarmwsp", "operator"}) fs::remove(rig.data.file(absent));
    const std::string copy = rig.elsewhere.file("kopia");
    // An older copy's operators would come back with a restore of this one.
    test::writeFiles(copy, {{"operator", "old operators"}});
    ASSERT_EQ(rig.backup.Backup(copy, true), 0) << rig.shown();
    EXPECT_FALSE(fs::exists(copy + "/operator"));
    test::writeFile(rig.data.file("operator"), "operators added later");
    ASSERT_EQ(rig.backup.RestoreDatabase(copy), 0) << rig.shown();
    EXPECT_FALSE(fs::exists(rig.data.file("operator"))) << "the database as the copy has it";
    EXPECT_EQ(test::readFile(rig.backup.safetyCopyPath() + "/operator"), "operators added later");
}

TEST(FileCopy, AFailingCopySaysWhichFileAndWhy) {
    struct Case {
        const char* what;
        std::function<void(BackupRig&, const std::string& target)> prepare;
        const char* said;
    };
    const std::vector<Case> cases = {
        {"a missing file of the set", [](BackupRig& r, const std::string&) { fs::remove(r.data.file("dane")); },
         "Błąd otwarcia pliku dane\n"},
        {"a fixed disk too small",
         [](BackupRig& r, const std::string&) { r.volumes.capacity = 5000; },
         "Ilość dostępnego miejsca wynosi"},
        {"a target that is no directory",
         [](BackupRig&, const std::string& target) {
             fs::create_directories(target);
             fs::create_directory(target + "/zdarzen");
         },
         "otwarcia pliku do zapisu.\nKopiowanie zostaje porzucone.\n"},
    };
    for (const Case& c : cases) {
        BackupRig rig;
        const std::string target = rig.elsewhere.file("kopia");
        c.prepare(rig, target);
        EXPECT_EQ(rig.backup.Backup(target, true), -1) << c.what;
        EXPECT_NE(rig.shown().find(c.said), std::string::npos) << c.what << ": " << rig.shown();
    }
}

TEST(FileCopy, AFileOverTheLimitIsNeverCopiedAndIsLogged) {
    BackupRig rig;
    ASSERT_EQ(::truncate(rig.data.file("dane").c_str(), kMaxCopiedFile + 1), 0);
    const std::string target = rig.elsewhere.file("kopia");
    fs::create_directories(target);
    test::writeFile(target + "/dane", "last week's");
    EXPECT_EQ(rig.backup.Backup(target, true), -1);
    EXPECT_FALSE(fs::exists(target + "/dane")) << "no copy of it passes for this one";
    ASSERT_EQ(rig.history.entries.size(), 1u);
    EXPECT_EQ(rig.history.entries[0].kind, kHistoryDatabaseFault);
    EXPECT_EQ(rig.history.entries[0].value, 2);
    EXPECT_EQ(rig.history.entries[0].detail, 255);
    EXPECT_EQ(rig.history.entries[0].code, 'a');
    EXPECT_NE(rig.shown().find("Błąd długości pliku!\nKopiowanie zostaje porzucone."), std::string::npos);
}

TEST(FileCopy, AnExistingCopyIsOverwrittenOnlyWhenConfirmed) {
    BackupRig rig;
    const std::string target = rig.elsewhere.file("kopia");
    fs::create_directories(target);
    test::writeFile(target + "/blokady", "older");
    rig.ui.answers = {BoxAnswer::No};
    EXPECT_EQ(rig.backup.Backup(target, false), -1);
    ASSERT_GE(rig.ui.boxes.size(), 2u);
    EXPECT_EQ(rig.ui.boxes[0].text, "Plik " + target + "/blokady już istnieje.\nCzy ma zostać nadpisany?");
    EXPECT_EQ(rig.ui.boxes[1].text, "Kopiowanie zostaje porzucone.");
    EXPECT_EQ(test::readFile(target + "/blokady"), "older");
}

} // namespace
} // namespace k4
