#include "messages/messages.h"

#include "database/text_edge.h"
#include "platform/file.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

class RecordingSound final : public AlarmSoundControl {
public:
    std::vector<std::string> calls;
    void playSound(int alarmClass) override { calls.push_back("play " + std::to_string(alarmClass)); }
    void stopSound() override { calls.push_back("stop"); }
    void resumeAlarmSound(bool immediately) override {
        calls.push_back(std::string("resume ") + (immediately ? "true" : "false"));
    }
};

struct MessagesTest : ::testing::Test {
    test::ScriptedOperatorUi ui;
    RecordingSound sound;
    Messages messages{ui};
    MessagesTest() { messages.setAlarmSound(&sound); }
    const BoxRequest& box() const { return ui.boxes.back(); }
};

TEST_F(MessagesTest, NoticeStylesCaptionsPrefixesAndMarkers) {
    struct Case {
        std::string text;
        unsigned style;
        std::string shown;
        std::string caption;
        BoxIcon icon;
    };
    const std::vector<Case> cases = {
        {mz("\x03zapisu konfiguracji"), 0x1000, " Błąd  zapisu konfiguracji", "Informacja", BoxIcon::None},
        {mz("\x03odczytu historii"), 0x1001, " Błąd  odczytu historii", "Błąd", BoxIcon::Stop},
        {mz("\x03na listę alarmów"), 0x2000, " Brak pamięci  na listę alarmów", "Informacja", BoxIcon::None},
        {mz("\x03" "Brak komunikacji z Bazą KVF16Z"), 0x0001, " Brak komunikacji z Bazą KVF16Z", "Błąd", BoxIcon::Stop},
        {mz("Zażółć"), 0x0002, "Zażółć", "Informacja", BoxIcon::None},
        // The same bytes taken as CP1250 are shown as they are.
        {Cp1250FromUtf8("\x03Zażółć"), 0x4000, " Zażółć", "Informacja", BoxIcon::None},
        {"\n\nNiepoprawna inicjalizacja programu\n", 0x0002, "\n\nNiepoprawna inicjalizacja programu\n",
         "Informacja", BoxIcon::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(messages.ShowNotice(c.text, c.style), kResultOk);
        EXPECT_EQ(box().text, c.shown) << c.shown;
        EXPECT_EQ(box().caption, c.caption) << c.shown;
        EXPECT_EQ(box().icon, c.icon) << c.shown;
        EXPECT_EQ(box().buttons, BoxButtons::Ok);
        EXPECT_TRUE(box().topmost);
    }
}

TEST_F(MessagesTest, Cp1250TextWithoutWindowsBitIsReadAsMazovia) {
    messages.ShowNotice(Cp1250FromUtf8("ą"), 0x0002); // CP1250 0xB9 is no Mazovia letter
    EXPECT_EQ(box().text, "ą");
    messages.ShowNotice("\x86", 0x0002); // Mazovia ą
    EXPECT_EQ(box().text, "ą");
    messages.ShowNotice("\x86", 0x4000); // the same byte in CP1250 is a dagger
    EXPECT_EQ(box().text, "†");
}

TEST_F(MessagesTest, AlarmNoticePlaysWhileUpAndResumesWaitingAlarmsAfter) {
    ui.whileShown = [&](const BoxRequest&) { sound.calls.push_back("box"); };
    messages.ShowNotice(mz("\x03zapisu"), 0x1001);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"play 0", "box", "stop", "resume false"}));
    sound.calls.clear();
    messages.ShowNotice(mz("\x03zapisu"), 0x1000);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"box"}));
}

TEST_F(MessagesTest, NoticeResultIsOkOnlyAfterOk) {
    ui.answers = {BoxAnswer::None};
    EXPECT_EQ(messages.ShowNotice("x", 0x0002), kResultNo);
}

TEST_F(MessagesTest, GuardKeepsOneBoxPerCallSite) {
    MessageGuard guard;
    int reentered = -1;
    ui.whileShown = [&](const BoxRequest&) {
        // The timer reaches the same call site while the box is still up.
        if (reentered < 0) reentered = messages.ShowNotice(guard, "\x03powtorka", 0x0001);
    };
    EXPECT_EQ(messages.ShowNotice(guard, "\x03powtorka", 0x0001), kResultOk);
    EXPECT_EQ(reentered, kResultNo);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(guard.value, kResultOk);
    // Once closed, the message may come again.
    messages.ShowNotice(guard, "\x03powtorka", 0x0001);
    EXPECT_EQ(ui.boxes.size(), 2u);
}

TEST_F(MessagesTest, GuardOfABoxThatCouldNotBeShownDoesNotSilenceTheSiteForever) {
    MessageGuard guard;
    ui.answers = {BoxAnswer::None};
    EXPECT_EQ(messages.ShowNotice(guard, "x", 0x0002), kResultNo);
    EXPECT_FALSE(guard.onScreen());
    messages.ShowNotice(guard, "x", 0x0002);
    EXPECT_EQ(ui.boxes.size(), 2u);
}

TEST_F(MessagesTest, FormatFollowsPrintfAndStopsAt1023Characters) {
    messages.ShowNoticeFormat("\x03" "Abonent %4.4d: %s", 42, mz("Łódź").c_str());
    EXPECT_EQ(box().text, " Abonent 0042: Łódź");
    EXPECT_EQ(box().caption, "Informacja");
    const std::string longText(3000, 'x');
    messages.ShowNoticeFormat("%s", longText.c_str());
    EXPECT_EQ(box().text.size(), 1023u);
}

TEST_F(MessagesTest, YesNoDefaultsToNo) {
    ui.answers = {BoxAnswer::Yes, BoxAnswer::No, BoxAnswer::None};
    EXPECT_EQ(messages.AskYesNo(mz("\x03Usunąć?")), kResultYes);
    EXPECT_EQ(box().text, " Usunąć?");
    EXPECT_EQ(box().caption, "Ostrzeżenie");
    EXPECT_EQ(box().buttons, BoxButtons::YesNo);
    EXPECT_EQ(box().defaultButton, BoxAnswer::No);
    EXPECT_EQ(messages.AskYesNo("x"), kResultNo);
    EXPECT_EQ(messages.AskYesNo("x"), kResultNo);
}

TEST_F(MessagesTest, ChoiceButtonsAndCaptionsByKind) {
    struct Case { unsigned kind; BoxButtons buttons; const char* caption; };
    for (const Case c : {Case{0x400, BoxButtons::Ok, "Ostrzeżenie"},
                         Case{0x401, BoxButtons::Ok, "Błąd"},
                         Case{0x402, BoxButtons::Ok, "Informacja"},
                         Case{0x403, BoxButtons::Ok, "Informacja"},
                         Case{0xC00, BoxButtons::OkCancel, "Ostrzeżenie"},
                         Case{0xB00, BoxButtons::YesNoCancel, "Ostrzeżenie"},
                         Case{0x123, BoxButtons::Ok, "Informacja"}}) {
        messages.AskChoice(mz("Podano niewłaściwy czas."), c.kind);
        EXPECT_EQ(box().buttons, c.buttons) << std::hex << c.kind;
        EXPECT_EQ(box().caption, c.caption) << std::hex << c.kind;
        EXPECT_EQ(box().text, "Podano niewłaściwy czas.");
    }
    ui.answers = {BoxAnswer::Ok, BoxAnswer::Cancel, BoxAnswer::Yes, BoxAnswer::No, BoxAnswer::None};
    EXPECT_EQ(messages.AskChoice("x", 0xB00), kResultOk);
    EXPECT_EQ(messages.AskChoice("x", 0xB00), kResultCancel);
    EXPECT_EQ(messages.AskChoice("x", 0xB00), kResultYes);
    EXPECT_EQ(messages.AskChoice("x", 0xB00), kResultNo);
    EXPECT_EQ(messages.AskChoice("x", 0xB00), kResultCancel);
}

TEST_F(MessagesTest, WaitWindowShowsTheTextAfterItsMarker) {
    {
        WaitDlg wait(ui, "\x03Trwa kopiowanie pliku.");
        EXPECT_TRUE(ui.waitVisible);
        {
            WaitDlg inner(ui, Cp1250FromUtf8("\x03Trwa sprawdzanie pakietów"));
        }
        EXPECT_FALSE(ui.waitVisible) << "the inner end hides the one shared window";
    }
    EXPECT_EQ(ui.waits, (std::vector<std::string>{"Trwa kopiowanie pliku.", "Trwa sprawdzanie pakietów"}));
    EXPECT_EQ(ui.waitsHidden, 2);
}

TEST_F(MessagesTest, PollDuringWorkRunsThePollAndLeavesTheFileWhereItWas) {
    messages.PollDuringWork(); // nothing registered: nothing happens
    test::TempDir dir;
    dir.write("logf", std::string(100, 'x'));
    File file;
    ASSERT_TRUE(file.open(dir.file("logf"), File::Mode::ReadOnly));
    file.seek(24);
    int polls = 0;
    messages.setInputPoll([&] {
        ++polls;
        file.seek(90); // whatever the poll does with the file
    });
    messages.PollDuringWork(&file);
    EXPECT_EQ(polls, 1);
    EXPECT_EQ(file.position(), 24);
    messages.PollDuringWork();
    EXPECT_EQ(polls, 2);
}

} // namespace
} // namespace k4
