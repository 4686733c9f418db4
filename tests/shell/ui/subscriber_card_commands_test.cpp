// The subscriber card on a whole station: "&Abonent" / "&Obiekt" finds the
// subscriber and opens its card, whose "&Badania" opens the path dialog,
// whose "O&biekt" then closes it again; the path dialog opened from the
// menu opens the card in test mode instead, whose "&Badania" closes it.
#include "shell/ui/station_window_commands.h"

#include "admin/installation.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "database/ui/abonent.h"
#include "database/ui/arms_form.h"
#include "database/ui/find_sbs.h"
#include "processing/ui/chk_sbs_dlg.h"
#include "shell/station.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstring>
#include <functional>

namespace k4 {
namespace {

struct TwoPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/fake1", "/dev/fake2"}; }
};

QPushButton* buttonOf(QWidget* dialog, const char* caption) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(caption)) return b;
    return nullptr;
}

class CardCommands : public ::testing::Test {
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
        std::strcpy(s.record.name, "Sklep");
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    }

    // Runs the menu item while `step` is given each modal window that comes
    // up (queued, so a window it opens runs its own loop under the driver).
    void run(const char* item, const std::function<void(QWidget*)>& step) {
        QWidget* last = nullptr;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == last) return;
            last = modal;
            QTimer::singleShot(0, modal, [modal, &step] { step(modal); });
        });
        driver.start(10);
        StationWindowCommands commands(*station, DataDir(dir.path()), [] {});
        commands.runCommand(item);
        driver.stop();
        EXPECT_TRUE(commands.lastCommandHandled());
    }
};

TEST_F(CardCommands, TheCardFromTheMenuAndItsPathDialogWhoseObjectButtonClosesIt) {
    std::vector<std::string> seen;
    int cards = 0;
    run("Obiekt3", [&](QWidget* modal) {
        if (auto* find = qobject_cast<TFindSbs*>(modal)) {
            seen.push_back("search");
            find->Numer->setText(QStringLiteral("1001"));
            find->Szukaj->click();
        } else if (auto* card = qobject_cast<TAbonent*>(modal)) {
            seen.push_back(card->windowTitle().toStdString());
            if (cards++ == 0) card->BadaniaClick();
            else card->reject();
        } else if (auto* paths = qobject_cast<TChkSbsDlg*>(modal)) {
            seen.push_back("paths");
            QPushButton* arming = buttonOf(paths, "W&ył/Zał");
            ASSERT_NE(arming, nullptr);
            EXPECT_TRUE(arming->isEnabled());
            buttonOf(paths, "O&biekt")->click(); // opened from the card: it closes
        }
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"search", "Abonent 1001", "paths", "Abonent 1001"}));
}

TEST_F(CardCommands, ThePathDialogFromTheMenuOpensTheCardInTestModeAndItsArmingInViewMode) {
    std::vector<std::string> seen;
    int pathsSeen = 0;
    run("Obiekt1", [&](QWidget* modal) {
        if (auto* find = qobject_cast<TFindSbs*>(modal)) {
            find->Numer->setText(QStringLiteral("1001"));
            find->Szukaj->click();
        } else if (auto* paths = qobject_cast<TChkSbsDlg*>(modal)) {
            seen.push_back("paths");
            if (pathsSeen++ == 0) buttonOf(paths, "O&biekt")->click();
            else if (pathsSeen == 2) buttonOf(paths, "W&ył/Zał")->click();
            else paths->reject();
        } else if (auto* card = qobject_cast<TAbonent*>(modal)) {
            seen.push_back(card->mode() == CardMode::Test ? "card in test mode" : "card");
            card->BadaniaClick(); // closes it in test mode
        } else if (auto* arms = qobject_cast<TArms*>(modal)) {
            seen.push_back(arms->SaveBtn->isHidden() ? "arming, view mode" : "arming, edit mode");
            arms->EndBtn->click();
        }
    });
    // The driver sees the path dialog come back after each window it opened.
    EXPECT_EQ(seen, (std::vector<std::string>{"paths", "card in test mode", "paths", "arming, view mode", "paths"}));
}

} // namespace
} // namespace k4
