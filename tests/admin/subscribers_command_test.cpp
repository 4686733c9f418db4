#include "admin/admin_commands.h"

#include "admin/admin_database.h"
#include "database/picture_decoding.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace k4::admin {
namespace {

struct SubscribersCommandTest : ::testing::Test {
    test::TempDir tmp;

    struct Run {
        int status;
        std::string out, err;
    };
    Run run(Args args) {
        std::istringstream in;
        std::ostringstream out, err;
        const int status = runAdmin(args, in, out, err);
        return {status, out.str(), err.str()};
    }
    Run import(const std::string& csv, const std::string& dir) {
        tmp.write("in.csv", csv);
        return run({"subscribers", "import", tmp.file("in.csv"), dir});
    }
    std::string data() const { return tmp.path() + "/data"; }
    // The subscriber numbers of the lines found, in their order.
    std::vector<std::string> found(const std::string& how, const std::string& what) {
        const Run r = run({"find", how, what, data()});
        std::vector<std::string> numbers;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) numbers.push_back(line.substr(0, 4));
        EXPECT_EQ(r.status, numbers.empty() ? 1 : 0) << r.err;
        return numbers;
    }
    void patch(const std::string& name, size_t at, const std::string& bytes) {
        std::string file = tmp.read("data/" + name);
        ASSERT_LE(at + bytes.size(), file.size());
        file.replace(at, bytes.size(), bytes);
        tmp.write("data/" + name, file);
    }
};

TEST_F(SubscribersCommandTest, ImportSavesTheGoodRowsAndNamesEveryRefusedOne) {
    const Run r = import("number,name,town,tel,tel_gsm\n"
                         "1,Kowalski Jan,Radom,0481234567,600100200\n"
                         "2,\"Nowak, Anna\",Kraków,,\n"
                         "1,Duplikat,Radom,,\n"
                         "x3,Zły,Radom,,\n"
                         "4,Za długa nazwa ponad trzydzieści znaków,Radom,,\n"
                         "5,Lis,Łódź\n"
                         "6,Zając,Łódź,483334444,\n",
                         data());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Zapisano abonentów: 3, odrzucono wierszy: 4\n");
    EXPECT_EQ(r.err, "wiersz 4: W bazie istnieje już abonent o podanym numerze 0001\n"
                     "wiersz 5: pole number: \"x3\" nie jest liczbą od 0 do 9999\n"
                     "wiersz 6: pole name za długie (najwyżej 29 znaków)\n"
                     "wiersz 7: 3 pól zamiast 5\n");
    EXPECT_EQ(run({"find", "--number", "2", data()}).out, "0002 Nowak, Anna                   Kraków\n");
    EXPECT_EQ(found("--phone", "481234567"), std::vector<std::string>{"0001"});
    EXPECT_EQ(found("--phone", "600100200"), std::vector<std::string>{"0001"});
    EXPECT_EQ(found("--name", "zając"), std::vector<std::string>{"0006"});
    EXPECT_TRUE(found("--number", "4").empty());
    EXPECT_TRUE(found("--number", "5").empty());
    const Run check = run({"db", "check", data()});
    EXPECT_EQ(check.status, 0) << check.out;
}

TEST_F(SubscribersCommandTest, ExportOfAnImportGivesTheSameCsv) {
    ASSERT_EQ(import("number,name,town,code,address,passwd,ip,tracks,chk_tracks,test_track1,test_flags\n"
                     "30,\"Kowalski \"\"Kowal\"\", Jan\",Żółkiewka,22335,\"Źródlana 5\nlokal 2\",Gęś,10.0.0.7,9,1,255,240\n"
                     "4,Łucja Ćwik,Łódź,90001,Ślusarska 1,ąęółśżźćń,,0,0,255,240\n"
                     "17,Zenon,Radom,26600,,,,2,2,1,241\n",
                     data())
                  .status,
              0);
    const Run first = run({"subscribers", "export", data()});
    ASSERT_EQ(first.status, 0) << first.err;
    // In number order, Polish letters and quoted fields as they came.
    EXPECT_LT(first.out.find("\n4,Łucja Ćwik,Łódź,90001,Ślusarska 1"), first.out.find("\n17,Zenon"));
    EXPECT_LT(first.out.find("\n17,Zenon"), first.out.find("\n30,\"Kowalski \"\"Kowal\"\", Jan\",Żółkiewka,22335,"
                                                           "\"Źródlana 5\nlokal 2\""));
    EXPECT_NE(first.out.find(",10.0.0.7,"), std::string::npos);

    const std::string again = tmp.path() + "/again";
    ASSERT_EQ(import(first.out, again).status, 0);
    const Run second = run({"subscribers", "export", again});
    EXPECT_EQ(second.out, first.out);
}

TEST_F(SubscribersCommandTest, FindByNamePrefixListsEveryMatchInPolishOrder) {
    ASSERT_EQ(import("number,name\n"
                     "1,Kotek\n2,Kośmider\n3,Kosmala\n4,Koza\n5,Kołodziej\n6,Kolano\n"
                     "7,Sowa\n8,Świt\n9,Lis\n10,Łoś\n11,kowal\n",
                     data())
                  .status,
              0);
    struct Case {
        const char* prefix;
        std::vector<std::string> numbers;
    };
    const Case cases[] = {
        // Ł after L, Ś after S, whatever the case of the letters.
        {"ko", {"0006", "0005", "0003", "0002", "0001", "0011", "0004"}},
        {"KOS", {"0003"}},
        {"s", {"0007"}},
        {"ś", {"0008"}},
        {"L", {"0009"}},
        {"ł", {"0010"}},
        {"x", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        EXPECT_EQ(found("--name", c.prefix), c.numbers);
    }
}

TEST_F(SubscribersCommandTest, DbCheckFindsADamagedIndexPageAndRebuildRepairsIt) {
    std::string csv = "number,name,town,tel\n";
    for (int n = 1; n <= 300; ++n)
        csv += std::to_string(n) + ",Abonent nr " + std::to_string(n) + " Śródmieście,Radom," +
               std::to_string(480000000 + n) + "\n";
    struct Case {
        const char* file;
        const char* rebuiltNumber;
    };
    const Case cases[] = {
        {"nazwa", "numer: sprawny, pozostawiony (kluczy: 300)\n"},
        {"telefon", "numer: sprawny, pozostawiony (kluczy: 300)\n"},
        {"numer", "numer: utworzony z pliku dane, abonentów: 300\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::filesystem::remove_all(data());
        ASSERT_EQ(import(csv, data()).status, 0);
        ASSERT_EQ(run({"db", "check", data()}).status, 0);
        // The first page after the header claims more bytes than a page holds.
        patch(c.file, 1030 + 4, std::string("\xFF\x7F", 2));
        const Run damaged = run({"db", "check", data()});
        EXPECT_EQ(damaged.status, 1);
        const size_t start = damaged.out.find(std::string("\n") + c.file + " ");
        ASSERT_NE(start, std::string::npos) << damaged.out;
        const std::string line = damaged.out.substr(start + 1, damaged.out.find('\n', start + 1) - start - 1);
        EXPECT_EQ(line.find("problemy: brak"), std::string::npos) << line;

        const Run rebuilt = run({"index", "rebuild", data()});
        EXPECT_EQ(rebuilt.status, 0) << rebuilt.out << rebuilt.err;
        EXPECT_NE(rebuilt.out.find(c.rebuiltNumber), std::string::npos) << rebuilt.out;
        EXPECT_NE(rebuilt.out.find("nazwa, miejsc, adres, telefon, indeks: utworzone od nowa, abonentów: 300\n"),
                  std::string::npos)
            << rebuilt.out;
        const Run check = run({"db", "check", data()});
        EXPECT_EQ(check.status, 0) << check.out;
        EXPECT_EQ(found("--number", "150"), std::vector<std::string>{"0150"});
        EXPECT_EQ(found("--phone", "480000299"), std::vector<std::string>{"0299"});
        EXPECT_EQ(found("--name", "abonent nr 27 ").size(), 1u);
    }
}

TEST_F(SubscribersCommandTest, ADamagedIndexEndsACommandWithItsMessageNotAnAbort) {
    std::string csv = "number,name,town\n";
    for (int n = 1; n <= 300; ++n) csv += std::to_string(n) + ",Abonent " + std::to_string(n) + ",Radom\n";
    struct Case {
        const char* file;
        size_t at; // the header's root (4), or every page after it (1034)
        Args command;
    };
    tmp.write("more.csv", "number,name\n900,Nowy\n");
    const std::vector<Case> cases = {
        {"numer", 4, {"find", "--number", "7", data()}},
        {"numer", 1030 + 4, {"find", "--number", "7", data()}},
        {"numer", 1030 + 4, {"subscribers", "export", data()}},
        {"numer", 1030 + 4, {"subscribers", "import", tmp.file("more.csv"), data()}},
        {"nazwa", 4, {"find", "--name", "abonent", data()}},
        {"nazwa", 1030 + 4, {"find", "--name", "abonent", data()}},
        {"nazwa", 1030 + 4, {"subscribers", "import", tmp.file("more.csv"), data()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.command[0] + " @" + std::to_string(c.at));
        std::filesystem::remove_all(data());
        ASSERT_EQ(import(csv, data()).status, 0);
        // The root, or every page below it, claims more bytes than a page holds.
        const size_t size = tmp.read("data/" + std::string(c.file)).size();
        for (size_t at = c.at; at < size; at += c.at == 4 ? size : 1024) patch(c.file, at, std::string("\xFF\x7F", 2));
        const Run r = run(c.command);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("Plik indeksowy jest uszkodzony"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.file), std::string::npos) << r.err;
    }
}

TEST_F(SubscribersCommandTest, ARecordNumerDoesNotLeadToIsGivenBackByTheRebuild) {
    ASSERT_EQ(import("number,name,tel\n1,Pierwszy,481\n2,Drugi,482\n3,Trzeci,483\n", data()).status, 0);
    // What a crash in the middle of an import can leave: "numer" sound, but
    // without the last subscriber whose record is whole in "dane".
    {
        std::ostringstream sink;
        AdminDatabase db(data(), sink);
        ASSERT_TRUE(db.open(false));
        ASSERT_EQ(db.indexes().handle(kIndexNumber).DeleteKey("0003", 32 + 2 * 1575), 1);
    }
    const Run check = run({"db", "check", data()});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("rekord 3182 (abonent 0003) nieosiągalny z indeksu"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("klucz \"TRZECI\" (rekord 3182) bez abonenta w indeksie numer"), std::string::npos)
        << check.out;

    const Run rebuilt = run({"index", "rebuild", data()});
    EXPECT_EQ(rebuilt.status, 0) << rebuilt.out << rebuilt.err;
    EXPECT_NE(rebuilt.out.find("numer: niezgodny z plikiem dane"), std::string::npos) << rebuilt.out;
    EXPECT_NE(rebuilt.out.find("numer: utworzony z pliku dane, abonentów: 3"), std::string::npos) << rebuilt.out;
    EXPECT_EQ(run({"db", "check", data()}).status, 0);
    EXPECT_EQ(found("--number", "3"), std::vector<std::string>{"0003"});
    EXPECT_EQ(found("--phone", "483"), std::vector<std::string>{"0003"});
    EXPECT_FALSE(std::filesystem::exists(data() + "/numer.nowy"));
    EXPECT_FALSE(std::filesystem::exists(data() + "/nazwa.nowy"));
}

TEST_F(SubscribersCommandTest, RebuiltNumberIndexRefusesADuplicateNumberWithItsRecord) {
    ASSERT_EQ(import("number,name\n1,Pierwszy\n2,Drugi\n3,Trzeci\n", data()).status, 0);
    // The third record claims number 1 as well; "numer" is gone.
    patch("dane", 32 + 2 * 1575 + 4, std::string("\x01\x00", 2));
    patch("numer", 0, std::string(1030, '\xEE'));
    const Run r = run({"index", "rebuild", data()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("rekord 3182: numer 0001 powtórzony (jest już rekord 32), pominięty\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("numer: utworzony z pliku dane, abonentów: 2\n"), std::string::npos) << r.out;
    // The left-out record is named by the check, until the technician gives it a number.
    const Run check = run({"db", "check", data()});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("rekord 3182 (abonent 0001) nieosiągalny z indeksu"), std::string::npos) << check.out;
}

TEST_F(SubscribersCommandTest, DemoInstallationIsWholeWithItsModulesAndItsBase) {
    tmp.write("demo.csv", "number,name,town\n1001,Apteka,Warszawa\n1030,Bank,Marki\n1035,Kino,Ząbki\n");
    const Run demo = run({"demo", data(), tmp.file("demo.csv")});
    ASSERT_EQ(demo.status, 0) << demo.err;
    const Run check = run({"db", "check", data()});
    EXPECT_EQ(check.status, 0) << check.out;
    // Two subsystems each, nine sectors in the premises and one in the
    // panel, and the one own event list.
    EXPECT_NE(check.out.find("linie    w użyciu: 6,"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("sektory  w użyciu: 30,"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("alarmy   w użyciu: 1,"), std::string::npos) << check.out;
    // Office hours for 1001: its premises' arming schedule.
    EXPECT_NE(check.out.find("uzbroj   w użyciu: 1,"), std::string::npos) << check.out;
    // 1001's description and its pictures, one of each kind, that the
    // description window shows.
    EXPECT_EQ(check.out.find("opis     w użyciu: 0,"), std::string::npos) << check.out;
    for (const char* picture : {"10011PLN.pcx", "10012WID.jpg", "10013ZAP.bmp"})
        EXPECT_EQ(loadPicture(data() + "/grafika/" + picture).fault, PictureFault::None) << picture;
    const Run conf = run({"conf", "show", data()});
    EXPECT_NE(conf.out.find("mode = 3 (Std/Odb)\n"), std::string::npos) << conf.out;
    EXPECT_NE(conf.out.find("inter_port = 1\n"), std::string::npos);
    EXPECT_NE(conf.out.find("data_port = 2\n"), std::string::npos);
    EXPECT_NE(conf.out.find("base1_port = 3\n"), std::string::npos);
    // Never over a database that is there already.
    const Run again = run({"demo", data(), tmp.file("demo.csv")});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("jest już baza abonentów"), std::string::npos);
    EXPECT_EQ(run({"db", "check", data()}).out, check.out);
    EXPECT_EQ(run({"demo", data()}).status, 2);
}

TEST_F(SubscribersCommandTest, EveryNewCommandAnswersHelpAndRefusesWrongUse) {
    for (const Args& help : {Args{"subscribers", "--help"}, Args{"find", "--help"}, Args{"index", "--help"},
                             Args{"subscribers", "import", "--help"}}) {
        const Run r = run(help);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind("kestrel4-admin ", 0), 0u) << r.out;
    }
    EXPECT_EQ(run({"find", "--colour", "red"}).status, 2);
    EXPECT_EQ(run({"index", "repair"}).status, 2);
    EXPECT_EQ(run({"find", "--number", "1", tmp.path()}).status, 2); // no database there
    tmp.write("bad.csv", "number,colour\n1,red\n");
    const Run unknown = run({"subscribers", "import", tmp.file("bad.csv"), data()});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "subscribers import: nieznane pole w nagłówku: colour\n");
}

} // namespace
} // namespace k4::admin
