// "Tory badania" over a whole station: "&Testy" edits the tests and starts
// their supervision again, "&Historia" opens the subscriber's history (one
// history window at a time), "&Archiwum" the archive files; the buttons
// whose windows are not given stay unusable, and from a subscriber card
// "O&biekt" closes the dialog. "&Nadzorowane" / "&Rozkazy" opens the table.
#include "shell/ui/path_dialog_links.h"

#include "admin/installation.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "database/ui/orders_forms.h"
#include "history/history_reader.h"
#include "history/ui/hist_files.h"
#include "history/ui/history_form.h"
#include "processing/ui/tests_form.h"
#include "shell/station.h"
#include "shell/ui/history_windows.h"
#include "shell/ui/station_window_commands.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace k4 {
namespace {

struct TwoPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/fake1", "/dev/fake2"}; }
};

template <class T>
void whenShown(std::function<void(T&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

class PathDialogWindows : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    test::ManualClock clock;
    TwoPorts ports;
    std::unique_ptr<Station> station;
    int32_t offset = 0;

    void SetUp() override {
        test::qtApp();
        std::string error;
        ASSERT_TRUE(admin::writeFreshInstallation(dir.path(), false, error)) << error;
        station = std::make_unique<Station>(Station::Environment{
            DataDir(dir.path()), ui, clock, ports, [] { return std::make_unique<test::FakeSerialLine>(); },
            [](int status) { FAIL() << "fatal fault, status " << status; }});
        ASSERT_EQ(station->start(), 0);
        Sbscrbr s(station->database(), ByNumber{1001});
        std::snprintf(s.record.name, sizeof s.record.name, "Sklep");
        s.record.tracks = kTrackRadio;
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    }
    void TearDown() override {
        if (station) station->stop();
    }
    int systemEntries(int kind) const {
        int n = 0;
        readHistoryFile(dir.file("logf"), [&](const HistoryEntry& e) {
            n += e.isSystem() && e.kindCode() == kind;
            return true;
        });
        return n;
    }
};

TEST_F(PathDialogWindows, TestyEditsTheTestsAndStartsTheirSupervisionAgain) {
    TChkSbsDlg paths(station->database(), station->paths(), station->orders(), station->messages(), offset, nullptr,
                     -1, pathDialogLinks(*station, nullptr));
    EXPECT_TRUE(paths.Testy->isEnabled());
    EXPECT_FALSE(paths.WylZal->isEnabled());
    EXPECT_FALSE(paths.Obiekt->isEnabled());
    whenShown<TTests>([](TTests& tests) {
        tests.tickPath(1);
        tests.findChild<QCheckBox*>("Aktywacja")->setChecked(true);
        tests.ZapiszClick();
    });
    paths.TestyClick();
    EXPECT_EQ(systemEntries(40), 1) << "Zmiana Testów";
    Sbscrbr stored(station->database(), ByNumber{1001});
    EXPECT_EQ(stored.record.test_track1, 1);

    // Without a save the tests are not saved, nor told.
    whenShown<TTests>([](TTests& tests) { tests.reject(); });
    paths.TestyClick();
    EXPECT_EQ(systemEntries(40), 1);
}

TEST_F(PathDialogWindows, HistoriaOpensTheSubscribersHistoryOnceAndArchiwumTheArchive) {
    TChkSbsDlg paths(station->database(), station->paths(), station->orders(), station->messages(), offset, nullptr,
                     -1, pathDialogLinks(*station, nullptr));
    ASSERT_TRUE(paths.Historia->isEnabled());
    ASSERT_TRUE(paths.Archiwum->isEnabled());
    int shown = 0;
    whenShown<THistory>([&](THistory& history) {
        ++shown;
        EXPECT_EQ(history.list().filter().subscriber, 1001);
        // Asked for again from inside it: it is the one.
        openHistoryWindow(*station, nullptr, &history, 1001);
        history.reject();
    });
    paths.HistoriaClick();
    EXPECT_EQ(shown, 1);
    bool archive = false;
    whenShown<THistFiles>([&](THistFiles& files) {
        archive = true;
        files.reject();
    });
    paths.ArchiwumClick();
    EXPECT_TRUE(archive);
}

TEST_F(PathDialogWindows, WindowsNotGivenStayUnusableAndFromTheCardObiektCloses) {
    TChkSbsDlg bare(station->database(), station->paths(), station->orders(), station->messages(), offset);
    for (QPushButton* b : {bare.WylZal, bare.Historia, bare.Archiwum, bare.Obiekt}) EXPECT_FALSE(b->isEnabled());
    // Viewing only: the tests are shown, nothing is saved.
    whenShown<TTests>([](TTests& tests) { tests.ZapiszClick(); });
    bare.TestyClick();
    EXPECT_EQ(systemEntries(40), 0);

    ChkSbsDlgLinks fromCard;
    fromCard.opener = ChkSbsDlgLinks::Opener::CardFromHistory;
    int cards = 0;
    fromCard.card = [&](int, QWidget*) { ++cards; };
    TChkSbsDlg paths(station->database(), station->paths(), station->orders(), station->messages(), offset, nullptr,
                     -1, fromCard);
    ASSERT_TRUE(paths.Obiekt->isEnabled());
    ASSERT_TRUE(paths.Historia->isEnabled());
    paths.ObiektClick();
    EXPECT_EQ(paths.result(), QDialog::Accepted);
    EXPECT_EQ(cards, 0);

    // Opened elsewhere, "O&biekt" opens the card and shows the subscriber
    // as the card left it.
    ChkSbsDlgLinks elsewhere;
    elsewhere.card = [&](int number, QWidget*) {
        ++cards;
        EXPECT_EQ(number, 1001);
        Sbscrbr s(station->database(), ByNumber{1001});
        s.record.tracks = kTrackRadio | kTrackFixedLine;
        ASSERT_EQ(s.Save(), 0);
    };
    TChkSbsDlg other(station->database(), station->paths(), station->orders(), station->messages(), offset, nullptr,
                     -1, elsewhere);
    EXPECT_EQ(other.Tracks->item(2)->checkState(), Qt::Unchecked);
    other.ObiektClick();
    EXPECT_EQ(cards, 1);
    EXPECT_EQ(other.Tracks->item(2)->checkState(), Qt::Checked);
}

TEST_F(PathDialogWindows, RozkazyOpensTheOrdersTable) {
    ASSERT_EQ(station->database().orderNames().StoreOrder(0, 0x21, "Pompa"), 0);
    bool opened = false;
    whenShown<TOrdersTab>([&](TOrdersTab& table) {
        opened = true;
        EXPECT_EQ(table.count(), 1);
        EXPECT_EQ(table.property("helpContext").toInt(), 1064);
        table.accept();
    });
    StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
    commands.runCommand("Rozkazy1");
    EXPECT_TRUE(commands.lastCommandHandled());
    EXPECT_TRUE(opened);
}

} // namespace
} // namespace k4
