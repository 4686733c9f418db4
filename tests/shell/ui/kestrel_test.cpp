#include "shell/ui/kestrel.h"
#include "shell/ui/checking_cells.h"

#include "baselink/trace_ring.h"
#include "baselink/ui/tech_form.h"
#include "database/stamp.h"
#include "processing/event_table.h"
#include "shell/alarm_service.h"
#include "messages/messages.h"
#include "shell/station_commands.h"
#include "support/history_rig.h"
#include "support/manual_clock.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstring>

namespace k4 {
namespace {

struct FakeCommands final : StationCommands {
    int ticks = 0;
    bool supervisorAccepted = true;
    int left = 0, exits = 0, minimised = 0, silenced = 0, wakes = 0;
    std::vector<std::string> commands;
    void timerTick(bool) override { ++ticks; }
    bool enterSupervisorMode() override { return supervisorAccepted; }
    void leaveSupervisorMode() override { ++left; }
    void minimise() override { ++minimised; }
    void exitStation() override { ++exits; }
    void silenceAlarm() override { ++silenced; }
    void wakeScreen() override { ++wakes; }
    void runCommand(std::string_view name) override { commands.emplace_back(name); }
};

// Description "Usuń" at once: the window only has to get the sequence going.
struct RemovingWindows final : AlarmWindows {
    int descriptions = 0;
    struct Window final : AlarmDescriptionWindow {
        int run() override { return kServiceRemove; }
    };
    std::unique_ptr<AlarmDescriptionWindow> createDescription(const AlarmRecord&) override {
        ++descriptions;
        return std::make_unique<Window>();
    }
    int runService(uint16_t&) override { return kServiceKeep; }
};

struct FakeBlockades final : BlockadeView {
    std::vector<std::string> lines{"Zablokowano abonenta 0012", "Zablokowano alarmy   0345   (czasowo)"};
    std::vector<int> removed;
    BlockListObserver* observer = nullptr;
    int count() const override { return static_cast<int>(lines.size()); }
    std::string lineText(int i) const override { return lines[static_cast<size_t>(i)]; }
    void removeAt(int i) override {
        if (i < 0 || i >= count()) return;
        removed.push_back(i);
        lines.erase(lines.begin() + i);
        if (observer) observer->blockadeRemoved(i);
    }
    void setObserver(BlockListObserver* o) override { observer = o; }
};

class Kestrel : public ::testing::Test, protected test::HistoryRig {
protected:
    ConfigBlock config{};
    AlarmsList alarms{config, history};
    EventTable events;
    TraceRing trace;
    DataDir data{dir.path()};
    FakeCommands commands;
    RemovingWindows windows;
    FakeBlockades blockades;
    std::unique_ptr<TKestrel> window;

    void SetUp() override {
        test::qtApp();
        ASSERT_GE(history.OpenHistory("logf"), 0);
        events.setRecords({});
        ASSERT_EQ(events.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie", 4), 0x130), 0);
        ASSERT_EQ(events.putEvent(makeEventDef(0x110, "POZAR", "Pożar", 12), 0x110), 0);
    }
    TKestrel& open() {
        window = std::make_unique<TKestrel>(KestrelParts{alarms, &events, trace, messages, clock, config, data,
                                                         commands, windows, nullptr, &blockades});
        window->show();
        return *window;
    }
    void raise(int subscriber, int code, int colour) {
        AlarmRecord a;
        a.subscriber = static_cast<int16_t>(subscriber);
        a.subsystem = 1;
        a.sector = 2;
        a.codeWord = codeWordOf(code, colour);
        a.time = static_cast<uint32_t>(nowStamp(clock));
        ASSERT_EQ(alarms.raiseAlarm(a, 0), 0);
    }
    int historyKinds(int kind) const {
        const std::string bytes = dir.read("logf");
        int n = 0;
        for (size_t at = kHistoryHeaderSize; at + kHistoryEntrySize <= bytes.size(); at += kHistoryEntrySize) {
            HistoryEntry e;
            std::memcpy(&e, bytes.data() + at, sizeof e);
            n += e.kindCode() == kind;
        }
        return n;
    }
};

TEST_F(Kestrel, ComponentsAtTheirPlacesAt640By480) {
    TKestrel& w = open();
    EXPECT_EQ(w.size(), QSize(640, 480));
    struct Place {
        const char* name;
        QRect rect;
    };
    const Place places[] = {
        {"Checking", {5, 29, 305, 292}},
        {"Blokady", {5, 332, 305, 117}},
        {"AlarmsLst", {320, 29, 315, 420}},
        {"StatusBar1", {5, 453, 628, 25}},
    };
    for (const Place& p : places) {
        auto* widget = w.findChild<QWidget*>(p.name);
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->geometry(), p.rect) << p.name;
    }
    auto* clockLabel = w.findChild<QWidget*>("TimeLbl");
    ASSERT_NE(clockLabel, nullptr);
    EXPECT_EQ(clockLabel->width(), 129);
    for (const char* hidden : {"Button1", "Button2"}) {
        auto* button = w.findChild<QWidget*>(hidden);
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->isVisible()) << hidden;
    }
    EXPECT_FALSE(w.toolButton(2)->isVisible()) << "&Pomiary";
    EXPECT_FALSE(w.toolButton(7)->isVisible()) << "&Nadzorowane outside supervisor mode";
    EXPECT_TRUE(w.toolButton(8)->isVisible()) << "&Nadzór";
    EXPECT_EQ(w.property("helpContext").toInt(), 1001);
    EXPECT_EQ(w.menuItem("Okres1")->property("helpContext").toInt(), 1011);
}

TEST_F(Kestrel, AlarmLinesNewestFirstInTheirClassColours) {
    TKestrel& w = open();
    raise(7, 0x130, 4);
    raise(8, 0x110, 12);
    raise(9, 0x130, 0);
    ASSERT_EQ(w.alarmLineCount(), 3);
    EXPECT_TRUE(w.alarmLine(0).contains(QStringLiteral(" 0009 01 130 002 WLAMANIE NOWY"))) << w.alarmLine(0).toStdString();
    EXPECT_TRUE(w.alarmLine(1).contains(QStringLiteral(" 0008 01 110 002 POZAR    NOWY")));
    EXPECT_EQ(w.alarmLineColour(0), QColor(0xFFFFFF)) << "class 0 is drawn white on the black list";
    EXPECT_EQ(w.alarmLineColour(1), QColor(0xFF4040));
    EXPECT_EQ(w.alarmLineColour(2), QColor(0xAA0000));
    EXPECT_EQ(w.selectedAlarmLine(), 0) << "the newest alarm is selected";
    EXPECT_EQ(commands.wakes, 3) << "every alarm wakes the screen";
}

TEST_F(Kestrel, DoubleClickSpaceAndF9ServiceTheAlarmAndAnEmptyListSaysSo) {
    TKestrel& w = open();
    auto* list = w.findChild<QListView*>("AlarmsLst");
    raise(7, 0x130, 4);
    raise(8, 0x130, 4);
    raise(9, 0x130, 4);
    list->setFocus();
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(windows.descriptions, 1);
    ASSERT_EQ(alarms.count(), 2);
    EXPECT_EQ(alarms[0].subscriber, 9);
    EXPECT_EQ(alarms[1].subscriber, 7) << "the selected alarm went";
    EXPECT_EQ(w.alarmLineCount(), 2);

    QTest::keyClick(&w, Qt::Key_F9);
    QTest::keyClick(&w, Qt::Key_F9);
    EXPECT_EQ(alarms.count(), 0);
    EXPECT_EQ(w.alarmLineCount(), 0);
    EXPECT_EQ(historyKinds(kHistoryServiceEnd), 3);

    QTest::keyClick(&w, Qt::Key_F9);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Brak alarmów");
}

TEST_F(Kestrel, F9HeldOverTheEmptyListBoxStacksNoSecondBox) {
    TKestrel& w = open();
    int repeats = 0;
    // The key keeps coming while "Brak alarmów" is on screen.
    ui.whileShown = [&](const BoxRequest&) {
        while (++repeats <= 3) QTest::keyClick(&w, Qt::Key_F9);
    };
    QTest::keyClick(&w, Qt::Key_F9);
    ui.whileShown = nullptr;
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Brak alarmów");
}

TEST_F(Kestrel, F5OpensTheTechnicalWindowOnlyOnce) {
    TKestrel& w = open();
    bool sawForm = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TTechForm*>(QApplication::activeModalWidget());
        sawForm = form != nullptr;
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Informacje techniczne"));
        // The keystroke comes again, from inside the open window.
        QTest::keyClick(form, Qt::Key_F5);
        QTest::keyClick(form, Qt::Key_F5);
        EXPECT_EQ(w.techFormsOpened(), 1);
        form->reject();
    });
    QTest::keyClick(&w, Qt::Key_F5);
    EXPECT_TRUE(sawForm);
    EXPECT_EQ(w.techFormsOpened(), 1);
    EXPECT_FALSE(w.techFormOpen());
    EXPECT_FALSE(trace.enabled()) << "closing the window turns tracing off";
}

TEST_F(Kestrel, MenusFileRestrictsOutsideSupervisorModeOnly) {
    dir.write("menus", std::string("\0\0\0\0\0\0\x05\x02\0\0\0\0", 12));
    TKestrel& w = open();
    const std::pair<const char*, bool> outside[] = {
        {"Okres1", false}, {"Obiekt1", true}, {"Lista1", false}, {"Wycz1", true},
        {"Obiekt2", true}, {"Lista2", false}, {"Obiekt3", true}, {"Wyjcie1", true},
    };
    for (const auto& [name, enabled] : outside) EXPECT_EQ(w.menuItem(name)->isEnabled(), enabled) << name;
    EXPECT_FALSE(w.menuItem("Demo1")->isVisible());

    w.menuItem("Nadzr2")->trigger();
    QCoreApplication::processEvents(); // the tool bar lays its buttons out again
    ASSERT_TRUE(w.supervisorMode());
    for (const char* name : {"Okres1", "Lista1", "Lista2"}) EXPECT_TRUE(w.menuItem(name)->isEnabled()) << name;
    EXPECT_TRUE(w.menuItem("Demo1")->isVisible());
    EXPECT_TRUE(w.toolButton(7)->isVisible());
    EXPECT_FALSE(w.toolButton(8)->isVisible());

    w.menuItem("Powrt1")->trigger();
    EXPECT_FALSE(w.supervisorMode());
    EXPECT_EQ(commands.left, 1);
    EXPECT_FALSE(w.menuItem("Okres1")->isEnabled());
    EXPECT_FALSE(w.menuItem("Demo1")->isVisible());
}

TEST_F(Kestrel, RefusedPasswordLeavesTheMenusAsTheyWere) {
    commands.supervisorAccepted = false;
    TKestrel& w = open();
    w.toolButton(8)->click();
    EXPECT_FALSE(w.supervisorMode());
    EXPECT_FALSE(w.toolButton(7)->isVisible());
}

TEST_F(Kestrel, ItemsHiddenFromTheStartByStationAndCommandsGoToTheStation) {
    config.mode = 0;
    config.synopt_port = 0;
    TKestrel& w = open();
    for (const char* name : {"Testyodbioru1", "Diody1", "Demo1", "Licznik1", "Czasy1", "Sterowanie1"})
        EXPECT_FALSE(w.menuItem(name)->isVisible()) << name;
    window.reset();
    config.mode = 1;
    config.synopt_port = 2;
    TKestrel& again = open();
    EXPECT_TRUE(again.menuItem("Testyodbioru1")->isVisible());
    EXPECT_TRUE(again.menuItem("Diody1")->isVisible());

    again.menuItem("Okres1")->trigger();
    again.menuItem("Parametry1")->trigger();
    EXPECT_EQ(commands.commands, (std::vector<std::string>{"Okres1", "Parametry1"}));
}

TEST_F(Kestrel, PomiaryIsOfferedToACentreWithHydroUnitsAndGoesToTheStation) {
    TKestrel& w = open();
    EXPECT_FALSE(w.toolButton(2)->isVisible());
    EXPECT_FALSE(w.menuItem("Obiekty1")->isEnabled());
    w.offerHydroUnits();
    // The tool bar lays its slots out again from the event loop.
    QApplication::processEvents();
    EXPECT_TRUE(w.toolButton(2)->isVisible());
    EXPECT_TRUE(w.toolButton(2)->isEnabled());
    w.toolButton(2)->click();
    EXPECT_EQ(commands.commands, (std::vector<std::string>{"Obiekty1"}));
    // The recording dialogs' items stay hidden.
    EXPECT_FALSE(w.menuItem("Licznik1")->isVisible());
    EXPECT_FALSE(w.menuItem("Czasy1")->isVisible());
}

TEST_F(Kestrel, CloseIsRefusedAndWyjscieEndsEveryAlarmFirst) {
    TKestrel& w = open();
    for (int i = 0; i < 5; ++i) raise(10 + i, 0x130, 4);
    w.startTimer1();
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(commands.exits, 0);

    w.menuItem("Wyjcie1")->trigger();
    EXPECT_EQ(historyKinds(kHistoryServiceEnd), 5);
    EXPECT_EQ(alarms.count(), 0);
    EXPECT_FALSE(w.timerRunning());
    EXPECT_EQ(commands.exits, 1);
    EXPECT_TRUE(w.close());
}

TEST_F(Kestrel, TimerTicksTheStation) {
    TKestrel& w = open();
    w.startTimer1();
    QTest::qWait(350);
    w.stopTimer1();
    EXPECT_GE(commands.ticks, 2);
    w.showClock("2026/05/07  Cz 09:03:01");
    EXPECT_EQ(w.findChild<QLabel*>("TimeLbl")->text(), QStringLiteral("2026/05/07  Cz 09:03:01"));
}

TEST_F(Kestrel, BlockadeLinesAndTheirRemovalAfterTheQuestion) {
    TKestrel& w = open();
    ASSERT_EQ(w.blockadeLineCount(), 2);
    EXPECT_EQ(w.blockadeLine(1), QStringLiteral("Zablokowano alarmy   0345   (czasowo)"));
    auto* list = w.findChild<QListWidget*>("Blokady");
    list->setFocus();
    list->setCurrentRow(1);

    ui.answers.push_back(BoxAnswer::No);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_TRUE(blockades.removed.empty());
    ui.answers.push_back(BoxAnswer::Yes);
    QTest::keyClick(list, Qt::Key_Space);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, QString::fromUtf8(" Odblokować abonenta?").toStdString());
    EXPECT_EQ(blockades.removed, std::vector<int>{1});
    EXPECT_EQ(w.blockadeLineCount(), 1);
}

TEST_F(Kestrel, SpaceElsewhereSilencesTheAlarmSound) {
    TKestrel& w = open();
    auto* field = new QLineEdit(&w);
    field->show();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Space);
    EXPECT_EQ(commands.silenced, 1);
    EXPECT_EQ(field->text(), QStringLiteral(" ")) << "the key still reaches its field";
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

// Not a check: with KESTREL4_SCREENSHOT=path the window is drawn with a few
// alarms of several classes and saved, to look at the layout.
TEST_F(Kestrel, Screenshot) {
    const QString path = qEnvironmentVariable("KESTREL4_SCREENSHOT");
    if (path.isEmpty()) GTEST_SKIP() << "KESTREL4_SCREENSHOT not set";
    ASSERT_EQ(events.putEvent(makeEventDef(0x602, "TEST", "Test okresowy", 0), 0x602), 0);
    ASSERT_EQ(events.putEvent(makeEventDef(0x301, "AWARIA", "Awaria zasilania", 14), 0x301), 0);
    ASSERT_EQ(events.putEvent(makeEventDef(0x120, "NAPAD", "Napad", 9), 0x120), 0);
    TKestrel& w = open();
    LocalDateTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 10;
    t.hour = 8;
    t.minute = 31;
    clock.setUnixTime(StampFromLocal(t) - 21600);
    raise(1202, 0x602, 0);
    clock.advanceSeconds(97);
    raise(5002, 0x130, 4);
    clock.advanceSeconds(341);
    raise(1009, 0x301, 14);
    raise(1444, 0x110, 12);
    raise(31, 0x120, 9);
    raise(777, 0x130, 4);
    alarms.enterService(5, false);
    alarms.enterService(4, false);
    w.showClock("2026/12/10  Cz 08:45:12");
    // The checking panel as the demo's module check leaves it.
    w.checking().rebuild({{"TR", 1, 0}, {"TS", 1, 1}, {"TK", 1, 2}});
    w.checking().addEntry({0, 1001, kCheckAnswered, 0});
    w.checking().addEntry({0, 1002, kCheckSilent, 0});
    w.checking().addEntry({0, 1001, kCheckRunning, 0});
    w.checking().addEntry({2, 1003, kCheckRunning, 0});
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.grab().save(path));
}

} // namespace
} // namespace k4

#include "shell/ui/checking_cells.h"

namespace k4 {
namespace {

TEST_F(Kestrel, CheckingPanelCellsShowTheProbesOfTheirPath) {
    TKestrel& w = open();
    CheckingCells& cells = w.checking();
    cells.rebuild({{"TR", 1, 2}, {"TG", 2, 5}, {"TE", 3, 9}, {"TR", 4, 3}, {"TS", 5, 4}});
    ASSERT_EQ(cells.count(), 5);
    EXPECT_EQ(cells.label(1), QStringLiteral("TG 2"));
    cells.add({5, 12, 2});
    cells.add({5, 34, 2});
    cells.add({9, 12, 2});
    cells.update({5, 12, 1});
    ASSERT_EQ(cells.lineCount(1), 2);
    EXPECT_EQ(cells.line(1, 0), QStringLiteral("0012  BRAK"));
    EXPECT_EQ(cells.line(1, 1), QStringLiteral("0034  SPR."));
    EXPECT_EQ(cells.line(2, 0), QStringLiteral("0012  SPR.")) << "another path keeps its own entry";
    cells.rebuild({});
    EXPECT_EQ(cells.count(), 0);
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

TEST_F(Kestrel, ListLeftByTheFocusShowsNoHighlightAndGetsItBack) {
    TKestrel& w = open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    raise(7, 0x130, 4);
    raise(8, 0x130, 4);
    auto* alarmsList = w.findChild<QListView*>("AlarmsLst");
    auto* blockadeList = w.findChild<QListWidget*>("Blokady");
    alarmsList->setCurrentIndex(alarmsList->model()->index(1, 0));
    ASSERT_EQ(w.selectedAlarmLine(), 1);

    blockadeList->setFocus();
    EXPECT_EQ(w.selectedAlarmLine(), -1) << "no line stays highlighted";
    alarmsList->setFocus();
    EXPECT_EQ(w.selectedAlarmLine(), 1) << "the saved line comes back";

    // With nothing selected the newest alarm is the one serviced: the
    // operator pressing F9 from elsewhere must get the newest, never an
    // older one his earlier selection happened to rest on.
    blockadeList->setFocus();
    QTest::keyClick(blockadeList, Qt::Key_F9);
    ASSERT_EQ(alarms.count(), 1);
    EXPECT_EQ(alarms[0].subscriber, 7) << "F9 from elsewhere services line 0, the newest alarm";
}

} // namespace
} // namespace k4
