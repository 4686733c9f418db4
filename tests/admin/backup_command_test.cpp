// "backup" and "restore" of the technician's tool round-trip a centre: every
// file of the database identical afterwards, the database as it was before
// the restore kept in "BAZA.000", and the restored set sound.
#include "admin/admin_commands.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace k4::admin {
namespace {

namespace fs = std::filesystem;

struct CommandRun {
    int status;
    std::string out, err;
};

CommandRun run(const Args& args) {
    std::istringstream in;
    std::ostringstream out, err;
    const int status = runAdmin(args, in, out, err);
    return {status, out.str(), err.str()};
}

std::map<std::string, std::string> snapshot(const test::TempDir& tmp, const std::string& sub) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(tmp.file(sub)))
        if (entry.is_regular_file()) files[entry.path().filename().string()] = tmp.read(sub + "/" + entry.path().filename().string());
    return files;
}

TEST(BackupCommand, ADemoCentreRoundTrips) {
    test::TempDir tmp;
    tmp.write("in.csv",
              "number,name,town,address,tel\n"
              "1001,Apteka Pod Lwem,Mińsk Mazowiecki,ul. Warszawska 12,257581234\n"
              "1002,Szkoła Podstawowa nr 2,Sulejówek,ul. Dworcowa 5,227834455\n"
              "1003,Stacja paliw,Halinów,ul. Okuniewska 1,227836677\n");
    const std::string data = tmp.file("c");
    ASSERT_EQ(run({"demo", data, tmp.file("in.csv")}).status, 0);
    const auto before = snapshot(tmp, "c");

    const CommandRun saved = run({"backup", tmp.file("kopia"), data});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const auto copy = snapshot(tmp, "kopia");
    for (const auto& [name, bytes] : copy) EXPECT_EQ(bytes, before.at(name)) << name;
    for (const char* name : {"dane", "numer", "telefon", "zdarzen", "blokady", "obsluga.txt", "linie"})
        EXPECT_TRUE(copy.count(name)) << name;
    for (const char* name : {"conf", "logf", "Kestrel4.lock", "odbior"}) EXPECT_FALSE(copy.count(name)) << name;

    // The centre changes: a subscriber more.
    tmp.write("more.csv", "number,name\n1004,Nowy abonent\n");
    ASSERT_EQ(run({"subscribers", "import", tmp.file("more.csv"), data}).status, 0);
    const auto changed = snapshot(tmp, "c");
    ASSERT_NE(changed.at("dane"), before.at("dane"));

    const CommandRun restored = run({"restore", tmp.file("kopia"), data, "--tak"});
    ASSERT_EQ(restored.status, 0) << restored.err;
    auto after = snapshot(tmp, "c");
    EXPECT_EQ(after, before) << "every file as it was at the backup";
    EXPECT_EQ(snapshot(tmp, "c/BAZA.000").at("dane"), changed.at("dane"));
    EXPECT_EQ(run({"find", "--number", "1004", data}).out, "");
    const CommandRun check = run({"db", "check", data});
    EXPECT_EQ(check.status, 0) << check.out << check.err;

    // A new machine: a fresh installation without a database takes the copy.
    ASSERT_EQ(run({"init", tmp.file("nowa")}).status, 0);
    const CommandRun onNew = run({"restore", tmp.file("kopia"), tmp.file("nowa")});
    ASSERT_EQ(onNew.status, 0) << onNew.err;
    for (const auto& [name, bytes] : copy) EXPECT_EQ(tmp.read("nowa/" + name), bytes) << name;

    // A second restore must be allowed to replace that safety copy.
    const CommandRun refused = run({"restore", tmp.file("kopia"), data});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Operacja została przerwana"), std::string::npos) << refused.err;
}

TEST(BackupCommand, AUnusableCopyIsRefusedAndTheCentreIsUntouched) {
    test::TempDir tmp;
    const std::string data = tmp.file("c");
    ASSERT_EQ(run({"init", data}).status, 0);
    fs::create_directory(tmp.file("pusty"));
    const auto before = snapshot(tmp, "c");
    const CommandRun r = run({"restore", tmp.file("pusty"), data, "--tak"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Błąd otwarcia pliku do odczytu\n" + tmp.file("pusty") + "/blokady"), std::string::npos)
        << r.err;
    auto after = snapshot(tmp, "c");
    EXPECT_EQ(after, before);
    const CommandRun into = run({"backup", data, data});
    EXPECT_EQ(into.status, 1);
    EXPECT_NE(into.err.find("Niedozwolony zapis do katalogu bazowego"), std::string::npos);
}

} // namespace
} // namespace k4::admin
