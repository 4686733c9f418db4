// The pictures of a subscriber in "grafika": listed by kind, shown by their
// number and short name, added from another directory, renamed, renumbered
// (swapping with a picture in the new slot, or deleting it) and deleted,
// each step with the operator's answers and the files checked afterwards.
#include "database/picture_files.h"

#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace k4 {
namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

struct PicturesTest : ::testing::Test {
    test::TempDir data, source;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    int copies = 0;
    bool copyFails = false;
    SubscriberPictures pictures{DataDir(data.path()), 7, messages,
                                [this](const std::string& target, const std::string& name, const std::string& dir) {
                                    ++copies;
                                    if (copyFails) return -1;
                                    writeFile(target, readFile(dir + "/" + name));
                                    return 0;
                                }};

    PicturesTest() { ::mkdir(data.file("grafika").c_str(), 0755); }
    void picture(const std::string& name, const std::string& bytes = "obraz") { data.write("grafika/" + name, bytes); }
    std::set<std::string> files() {
        pictures.listPictures();
        return {pictures.names().begin(), pictures.names().end()};
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (const auto& box : ui.boxes) texts.push_back(box.text);
        return texts;
    }
    void answer(std::initializer_list<BoxAnswer> answers) { ui.answers.assign(answers.begin(), answers.end()); }
};

TEST_F(PicturesTest, ListedByKindWithNumberAndShortName) {
    for (const char* name : {"00073PLN.bmp", "00071.JPG", "0007.pcx", "00072WEJ.pcx", "00081.pcx", "00074.txt"})
        picture(name);
    ::mkdir(data.file("grafika/00079.pcx").c_str(), 0755); // a directory is no picture
    pictures.listPictures();
    const std::vector<std::string>& names = pictures.names();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.begin() + 2), (std::set<std::string>{"0007.pcx", "00072WEJ.pcx"}));
    EXPECT_EQ(names[2], "00071.JPG");
    EXPECT_EQ(names[3], "00073PLN.bmp");

    struct Case {
        const char* name;
        const char* line;
    };
    for (const Case& c : {Case{"0007.pcx", "0"}, Case{"00071.JPG", "1"}, Case{"00072WEJ.pcx", "2  WEJ"},
                          Case{"00075Łąk.jpg", "5  Łąk"}, Case{"00076ABCDE.bmp", "6  ABC"}})
        EXPECT_EQ(pictureLineText(c.name), c.line) << c.name;
}

TEST_F(PicturesTest, AddCopiesTheChosenFileUnderItsNumberAndShortName) {
    source.write("plan parteru.pcx", "plan");
    EXPECT_EQ(pictures.add(source.path(), "plan parteru.pcx", 2, "PLNX"), 0);
    EXPECT_EQ(files(), (std::set<std::string>{"00072PLN.pcx"}));
    EXPECT_EQ(data.read("grafika/00072PLN.pcx"), "plan");
    EXPECT_TRUE(ui.boxes.empty());

    // No dot: nothing to call it by.
    source.write("bez_rozszerzenia", "x");
    EXPECT_EQ(pictures.add(source.path(), "bez_rozszerzenia", 3, ""), 1);
    EXPECT_EQ(shown(), std::vector<std::string>{" Kopiowanie zostaje porzucone."});
}

TEST_F(PicturesTest, AddOverTheSameNameAsksToOverwriteAndNothingElse) {
    picture("00072PLN.pcx", "stary");
    source.write("nowy.pcx", "nowy");
    pictures.listPictures();
    answer({BoxAnswer::No, BoxAnswer::Ok});
    EXPECT_EQ(pictures.add(source.path(), "nowy.pcx", 2, "PLN"), 1);
    EXPECT_EQ(data.read("grafika/00072PLN.pcx"), "stary");
    EXPECT_EQ(shown(), (std::vector<std::string>{" Plik grafika/00072PLN.pcx już istnieje.\nCzy ma zostać nadpisany?",
                                                 " Kopiowanie zostaje porzucone."}));
    ui.boxes.clear();
    answer({BoxAnswer::Yes});
    EXPECT_EQ(pictures.add(source.path(), "nowy.pcx", 2, "PLN"), 0);
    EXPECT_EQ(data.read("grafika/00072PLN.pcx"), "nowy");
    EXPECT_EQ(ui.boxes.size(), 1u) << "no question about the slot";
}

TEST_F(PicturesTest, AddIntoATakenSlotDeletesTheOtherOnlyAfterBothYesAndACopy) {
    picture("00072WEJ.jpg", "wejscie");
    source.write("plan.pcx", "plan");
    pictures.listPictures();

    answer({BoxAnswer::Yes, BoxAnswer::No}); // the second confirmation refused
    EXPECT_EQ(pictures.add(source.path(), "plan.pcx", 2, "PLN"), 1);
    EXPECT_EQ(files(), (std::set<std::string>{"00072WEJ.jpg"}));
    EXPECT_EQ(shown(), (std::vector<std::string>{" Podany numer należy do innej grafiki. Usunąć 2WEJ.jpg?",
                                                 " Grafika zostanie bezpowrotnie usunięta!"}));

    copyFails = true;
    answer({BoxAnswer::Yes, BoxAnswer::Yes});
    EXPECT_EQ(pictures.add(source.path(), "plan.pcx", 2, "PLN"), -1);
    EXPECT_EQ(files(), (std::set<std::string>{"00072WEJ.jpg"})) << "a failed copy deletes nothing, leaves nothing";

    copyFails = false;
    answer({BoxAnswer::Yes, BoxAnswer::Yes});
    EXPECT_EQ(pictures.add(source.path(), "plan.pcx", 2, "PLN"), 0);
    EXPECT_EQ(files(), (std::set<std::string>{"00072PLN.pcx"}));
}

TEST_F(PicturesTest, AFailedCopyOverAnExistingPictureKeepsIt) {
    picture("00072PLN.pcx", "stary");
    source.write("nowy.pcx", "nowy");
    pictures.listPictures();
    copyFails = true;
    answer({BoxAnswer::Yes});
    EXPECT_EQ(pictures.add(source.path(), "nowy.pcx", 2, "PLN"), -1);
    EXPECT_EQ(data.read("grafika/00072PLN.pcx"), "stary");
    EXPECT_EQ(files(), (std::set<std::string>{"00072PLN.pcx"}));
}

TEST_F(PicturesTest, AddMakesAMissingPictureDirectory) {
    test::TempDir fresh;
    SubscriberPictures other(DataDir(fresh.path()), 12, messages,
                             [](const std::string& target, const std::string&, const std::string&) {
                                 writeFile(target, "x");
                                 return 0;
                             });
    source.write("a.bmp", "x");
    EXPECT_EQ(other.add(source.path(), "a.bmp", 0, ""), 0);
    EXPECT_EQ(other.names(), std::vector<std::string>{"00120.bmp"});
}

TEST_F(PicturesTest, ChangingTheShortNameOnlyRenamesAndAsksNothing) {
    picture("00071PLN.pcx", "plan");
    pictures.listPictures();
    EXPECT_EQ(pictures.change("00071PLN.pcx", 1, "PAR"), 0);
    EXPECT_EQ(files(), (std::set<std::string>{"00071PAR.pcx"}));
    EXPECT_EQ(data.read("grafika/00071PAR.pcx"), "plan");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(PicturesTest, RenumberingIntoATakenSlotSwapsDeletesOrGivesUp) {
    struct Case {
        const char* what;
        std::vector<BoxAnswer> answers;
        std::set<std::string> after;
    };
    const Case cases[] = {
        {"swap", {BoxAnswer::Yes}, {"00073PLN.pcx", "00071WEJ.jpg"}},
        {"delete", {BoxAnswer::No, BoxAnswer::Yes}, {"00073PLN.pcx"}},
        {"delete refused", {BoxAnswer::No, BoxAnswer::No}, {"00071PLN.pcx", "00073WEJ.jpg"}},
        {"cancel", {BoxAnswer::Cancel}, {"00071PLN.pcx", "00073WEJ.jpg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& name : files()) ::unlink(pictures.pathOf(name).c_str());
        picture("00071PLN.pcx", "plan");
        picture("00073WEJ.jpg", "wejscie");
        pictures.listPictures();
        ui.boxes.clear();
        ui.answers.assign(c.answers.begin(), c.answers.end());
        pictures.change("00071PLN.pcx", 3, "PLN");
        EXPECT_EQ(files(), c.after);
        EXPECT_EQ(ui.boxes.front().text, " Podany numer należy do innej grafiki. Zamienić je miejscami? Wybór 'Nie' "
                                         "oznacza usunięcie '3WEJ.jpg'");
        if (c.after.count("00073PLN.pcx")) EXPECT_EQ(data.read("grafika/00073PLN.pcx"), "plan");
        if (c.after.count("00071WEJ.jpg")) EXPECT_EQ(data.read("grafika/00071WEJ.jpg"), "wejscie");
    }
    EXPECT_FALSE(exists(data.file("_temp_.___")));
}

TEST_F(PicturesTest, DeleteAsksFirst) {
    picture("00072WEJ.jpg");
    pictures.listPictures();
    answer({BoxAnswer::No, BoxAnswer::Ok});
    EXPECT_EQ(pictures.remove("00072WEJ.jpg"), 1);
    EXPECT_EQ(shown(), (std::vector<std::string>{" Grafika '2WEJ.jpg' zostanie bezpowrotnie usunięta!",
                                                 " Usuwanie pliku grafiki zostaje porzucone."}));
    EXPECT_EQ(files().size(), 1u);
    answer({BoxAnswer::Yes});
    EXPECT_EQ(pictures.remove("00072WEJ.jpg"), 0);
    EXPECT_TRUE(files().empty());
}

TEST(PictureNames, SplitAndBuild) {
    const PictureNameParts p = splitPictureName("00127Łąk.jpg");
    EXPECT_EQ(p.subscriber, "0012");
    EXPECT_EQ(p.number, 7);
    EXPECT_EQ(p.shortName, "Łąk");
    EXPECT_EQ(p.extension, "jpg");
    EXPECT_EQ(splitPictureName("0012.pcx").number, 0);
    EXPECT_EQ(pictureFileName(12, 7, "Łąk", "jpg"), "00127Łąk.jpg");
    EXPECT_EQ(shortPictureName("Żółw"), "Żół");
}

} // namespace
} // namespace k4
