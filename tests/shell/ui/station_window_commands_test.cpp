// The commands of the main window carried out on a whole station over a
// fresh installation: supervisor mode through the real password prompt, and
// "&Wyjście" from inside it.
#include "shell/ui/station_window_commands.h"

#include "admin/installation.h"
#include "config/ui/config_form_dialog.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "database/text_edge.h"
#include "history/history_reader.h"
#include "maintenance/ui/auto_save_form.h"
#include "operators/operator_list.h"
#include "operators/scramble.h"
#include "operators/ui/passwd.h"
#include "processing/ui/chk_sbs_dlg.h"
#include "processing/ui/chk_sbsrs.h"
#include "processing/ui/sbs_blockade.h"
#include "processing/ui/shr_alarms.h"
#include "platform/file.h"
#include "shell/station.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <filesystem>

namespace k4 {
namespace {

struct TwoPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/fake1", "/dev/fake2"}; }
};

struct Entry {
    int kind;
    int value;
    bool operator==(const Entry&) const = default;
};

class WindowCommands : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    test::ManualClock clock;
    TwoPorts ports;
    std::unique_ptr<Station> station;

    void SetUp() override {
        test::qtApp();
        std::string error;
        ASSERT_TRUE(admin::writeFreshInstallation(dir.path(), false, error)) << error;
        station = std::make_unique<Station>(Station::Environment{
            DataDir(dir.path()), ui, clock, ports, [] { return std::make_unique<test::FakeSerialLine>(); },
            [](int status) { FAIL() << "fatal fault, status " << status; }});
        ASSERT_EQ(station->start(), 0);
    }

    // The system entries of the run, in order (kind, value).
    std::vector<Entry> entries() const {
        std::vector<Entry> out;
        readHistoryFile(dir.file("logf"), [&](const HistoryEntry& e) {
            out.push_back({e.kindCode(), static_cast<int>(e.subscriber)});
            return true;
        });
        return out;
    }

    // Types the password into the prompt once it is up.
    static void typePassword(const char* password) {
        QTimer::singleShot(0, [password] {
            auto* prompt = qobject_cast<TPasswd*>(QApplication::activeModalWidget());
            ASSERT_NE(prompt, nullptr);
            prompt->PasswdEdit->insert(QString::fromLatin1(password));
            QTest::keyClick(prompt, Qt::Key_Return);
        });
    }
};

// The supervisor entries carry -1, and "&Wyjście" inside the mode ends the
// run without a "leaving the mode" entry of its own: the end of work is the
// last word, and "loc_edit" is gone.
TEST_F(WindowCommands, WyjscieInSupervisorModeEndsTheRunWithoutLeavingTheMode) {
    bool quit = false;
    StationWindowCommands commands(*station, DataDir(dir.path()), [&] { quit = true; });
    typePassword(admin::kFreshSupervisorPassword);
    ASSERT_TRUE(commands.enterSupervisorMode());
    EXPECT_TRUE(fileExists(dir.file("loc_edit")));

    commands.exitStation();
    EXPECT_TRUE(quit);
    EXPECT_FALSE(station->started());
    EXPECT_FALSE(fileExists(dir.file("loc_edit")));
    const std::vector<Entry> expected = {{1, 13}, {4, -1}, {2, 13}};
    EXPECT_EQ(entries(), expected);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WindowCommands, ZabezpieczWritesTheEndOfTheModeWithMinusOne) {
    StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
    typePassword(admin::kFreshSupervisorPassword);
    ASSERT_TRUE(commands.enterSupervisorMode());
    commands.leaveSupervisorMode();
    EXPECT_FALSE(fileExists(dir.file("loc_edit")));
    commands.exitStation();
    const std::vector<Entry> expected = {{1, 13}, {4, -1}, {5, -1}, {2, 13}};
    EXPECT_EQ(entries(), expected);
}

// "&Operator" through the real prompt: the code of an operator on file logs
// him in (kind 6 with his number); "&Hasło" typed twice is what "Nadzór"
// asks for afterwards.
TEST_F(WindowCommands, OperatorLoginAndPasswordChangeThroughThePrompt) {
    SOperatLst list{DataDir(dir.path())};
    ASSERT_TRUE(list.Load());
    OperatorRecord r{};
    scrambledField("4321", r.code);
    std::strcpy(r.surname, "Nowak");
    ASSERT_EQ(list.issueOperatorNumber(&r, 0), 0);
    ASSERT_EQ(list.Append(r), 0);
    ASSERT_EQ(list.Save(), 0);

    StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
    typePassword("4321");
    commands.runCommand("Operator1");
    EXPECT_TRUE(commands.lastCommandHandled());
    EXPECT_TRUE(ui.boxes.empty());

    QTimer::singleShot(0, [] {
        typePassword("nowe");
        auto* prompt = qobject_cast<TPasswd*>(QApplication::activeModalWidget());
        ASSERT_NE(prompt, nullptr);
        prompt->PasswdEdit->insert(QStringLiteral("nowe"));
        QTest::keyClick(prompt, Qt::Key_Return);
    });
    commands.runCommand("Haso1");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Hasło uległo zmianie.");
    EXPECT_EQ(unscrambledText(station->config().super_pass), "nowe");

    typePassword("nowe");
    ASSERT_TRUE(commands.enterSupervisorMode());
    commands.exitStation();
    const std::vector<Entry> expected = {{1, 13}, {6, 1}, {4, -1}, {2, 13}};
    EXPECT_EQ(entries(), expected);
}

// "Konfiguracja" from the menu: a changed port restarts the lines and the
// window rebuilds the paths with a module check on them (its path list is
// shown and closed here); a change that needs no port keeps the paths.
TEST_F(WindowCommands, KonfiguracjaRebuildsThePathsOnlyAfterAPortRestart) {
    struct Case {
        const char* what;
        std::function<void(TConfigForm&)> change;
        int rebuilds;
    };
    const Case cases[] = {
        {"the town", [](TConfigForm& f) { f.Town->setText(QStringLiteral("Kutno")); }, 0},
        {"the ports swapped",
         [](TConfigForm& f) {
             f.InterPort->setCurrentIndex(1);
             f.DataPort->setCurrentIndex(0);
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int rebuilds = 0;
        station->setPathsRebuilt([&] { ++rebuilds; });
        bool configured = false;
        int pathListsClosed = 0;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* form = qobject_cast<TConfigForm*>(modal); form && !configured) {
                configured = true;
                c.change(*form);
                form->SetBtn->click();
            } else if (auto* other = qobject_cast<QDialog*>(modal); other && configured) {
                ++pathListsClosed;
                other->reject();
            }
        });
        driver.start(10);
        StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
        commands.runCommand("Konfiguracja1");
        driver.stop();
        EXPECT_TRUE(configured);
        EXPECT_EQ(rebuilds, c.rebuilds);
        EXPECT_EQ(pathListsClosed, c.rebuilds) << "the module check shows its path list";
    }
    EXPECT_EQ(station->config().inter_port, 2);
    EXPECT_EQ(station->config().data_port, 1);
    EXPECT_EQ(Utf8FromMazovia(station->config().town), "Kutno");
}

// "Autotest portów" with no module answering on any pair: the search has
// closed the interface and data lines, and the station must not be left
// without them.
TEST_F(WindowCommands, APortSearchThatFindsNothingLeavesTheConfiguredPortsOpen) {
    EXPECT_FALSE(station->searchModulePorts());
    EXPECT_TRUE(station->serialPorts().line(kComPort1).isOpen());
    EXPECT_TRUE(station->serialPorts().line(kComPort2).isOpen());
    EXPECT_EQ(station->serialPorts().line(kComPort1).device(), "/dev/fake1");
    EXPECT_EQ(station->config().inter_port, 1);
    EXPECT_EQ(station->config().data_port, 2);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Nie znaleziono modułów na żadnej parze portów - pozostają porty z konfiguracji");
}

TEST_F(WindowCommands, ZrzutAndOdzyskFromTheMenuCopyTheDatabaseOutAndBack) {
    StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
    const std::string copy = dir.file("kopia");
    ui.directoryAnswers = {copy};
    commands.runCommand("Zrzut1");
    EXPECT_TRUE(commands.lastCommandHandled());
    EXPECT_EQ(dir.read("kopia/dane"), dir.read("dane"));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Baza została zapisana w katalogu " + copy);

    ui.directoryAnswers = {copy};
    commands.runCommand("Odzysk1");
    EXPECT_EQ(ui.boxes.back().text, "Baza została odczytana z katalogu " + copy);
    EXPECT_TRUE(std::filesystem::exists(dir.file("BAZA.000/dane")));
    EXPECT_FALSE(station->heldForRestore());
    station->tick();
}

TEST_F(WindowCommands, TheAutomaticDumpDialogSwitchesTheNightlyDumpOn) {
    StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
    const std::string dumpDir = dir.file("zrzut");
    ui.directoryAnswers = {dumpDir}; // none set yet: asked when switched on
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TAutoSaveForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        seen = true;
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Automatyczny zrzut bazy"));
        EXPECT_EQ(form->enabledBox->text(), QStringLiteral("Włączony zrzut automatyczny"));
        EXPECT_FALSE(form->enabledBox->isChecked());
        form->enabledBox->setChecked(true);
        form->OkBtn->click();
    });
    commands.runCommand("Automat1");
    EXPECT_TRUE(seen);
    EXPECT_TRUE(station->config().autosave_flags & 1);
    EXPECT_STREQ(station->config().autosave_dir, dumpDir.c_str());
    Config reread{DataDir(dir.path())};
    ASSERT_EQ(reread.LoadConfig(1), 0);
    EXPECT_TRUE(reread.block().autosave_flags & 1) << "written to conf";
    bool booked = false;
    for (int i = 0; i < station->scheduler().count(); ++i)
        booked |= station->scheduler().entry(i).type() == kSchedSaveBase;
    EXPECT_TRUE(booked);
}

// "&Lista" of "&Badania" and of "B&lokady" is the same list; a double click
// opens the subscriber's paths from the first and its blockade from the
// second.
TEST_F(WindowCommands, TheSupervisedListOpensPathsOrTheBlockade) {
    Sbscrbr s(station->database(), ByNumber{1001});
    std::strcpy(s.record.name, "Sklep");
    int32_t offset = 0;
    ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    struct Case {
        const char* item;
        bool blockade;
    };
    for (const Case c : {Case{"Lista1", false}, Case{"Lista2", true}}) {
        SCOPED_TRACE(c.item);
        bool pathsOpened = false, blockadeOpened = false, listed = false;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* list = qobject_cast<TChkSbsrs*>(modal)) {
                if (listed) return list->reject();
                listed = true;
                ASSERT_EQ(list->count(), 1);
                list->select(0);
                // Queued: the dialog it opens runs its own loop, in which
                // this driver must fire again to close it.
                QTimer::singleShot(0, list, [list] { list->ListDblClick(); });
            } else if (auto* paths = qobject_cast<TChkSbsDlg*>(modal)) {
                pathsOpened = true;
                paths->reject();
            } else if (auto* blockade = qobject_cast<TSbsBlockade*>(modal)) {
                blockadeOpened = true;
                blockade->reject();
            }
        });
        driver.start(10);
        StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
        commands.runCommand(c.item);
        driver.stop();
        EXPECT_TRUE(commands.lastCommandHandled());
        EXPECT_EQ(pathsOpened, !c.blockade);
        EXPECT_EQ(blockadeOpened, c.blockade);
    }
}

// "&Listy zdarzeń" opens the shared lists of the station's own table.
TEST_F(WindowCommands, ListyZdarzenOpensTheSharedLists) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* lists = qobject_cast<TShrAlarms*>(QApplication::activeModalWidget());
        ASSERT_NE(lists, nullptr);
        opened = true;
        EXPECT_EQ(lists->slotLine(0), QStringLiteral("00 standard  "));
        lists->reject();
    });
    StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
    commands.runCommand("Listyzdarze1");
    EXPECT_TRUE(commands.lastCommandHandled());
    EXPECT_TRUE(opened);
}

} // namespace
} // namespace k4
