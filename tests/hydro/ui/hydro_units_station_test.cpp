// The hydro window on a whole station: the demo's waterworks with its units
// in "hunits", one radio module on a played module bus. The window opens
// with the units' values, a pump switched from it sends its order through
// the orders code to the module, a command nobody answers falls back, and
// the places the operator gave the panels go back into "hunits" at the end.
#include "hydro/ui/hydro_units_form.h"

#include "admin/admin_database.h"
#include "admin/demo_hydro.h"
#include "admin/installation.h"
#include "database/sbscrbr.h"
#include "history/history_reader.h"
#include "hydro/ui/hydro_controls.h"
#include "hydro/ui/hydro_measures.h"
#include "hydro/ui/odometer.h"
#include "processing/order_sending.h"
#include "shell/station.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

#include <sstream>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct TwoPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/k4-interface", "/dev/k4-data"}; }
};

// One radio module in slot 1 that takes every order: the three bytes of a
// radio order (the subscriber in BCD, the code) and its checksum, answered
// 0xCA.
class RadioModule {
public:
    std::vector<Bytes> taken;

    void attach(test::FakeSerialLine& interface, test::FakeSerialLine& data) {
        interface.respond = [this](test::FakeSerialLine& line, uint8_t byte) {
            selected_ = byte == 1;
            line.send({selected_ ? 0x01 : 0x00});
        };
        data.respond = [this](test::FakeSerialLine& line, uint8_t byte) {
            if (!selected_) return;
            if (taking_) {
                order_.push_back(byte);
                if (order_.size() == 4) {
                    taking_ = false;
                    order_.pop_back();
                    taken.push_back(order_);
                    line.send({0xCA});
                }
                return;
            }
            if (byte == 0x00) return line.send({0x10});
            if (byte == 2 || byte == 3) {
                taking_ = true;
                order_.clear();
                return line.send({0x02});
            }
            line.send({0x00});
        };
    }

private:
    bool selected_ = false;
    bool taking_ = false;
    Bytes order_;
};

class HydroStation {
public:
    HydroStation() {
        test::qtApp();
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 0;
        config.block().inter_port = 1;
        config.block().data_port = 2;
        EXPECT_EQ(config.SaveConfig(1), 0);
        std::ostringstream err;
        admin::AdminDatabase data(tmp.path(), err);
        EXPECT_TRUE(data.open(true)) << err.str();
        EXPECT_TRUE(admin::addDemoWaterworks(data.database(), data.indexes(), err)) << err.str();
        data.close();
    }
    ~HydroStation() {
        if (station) station->stop();
    }
    void start() {
        lines.clear();
        Station::Environment env{DataDir(tmp.path()), ui, clock, ports,
                                 [this] {
                                     auto line = std::make_unique<test::FakeSerialLine>(&clock);
                                     lines.push_back(line.get());
                                     if (lines.size() == 2) module.attach(*lines[0], *lines[1]);
                                     return line;
                                 },
                                 [](int) { ADD_FAILURE() << "no fatal fault expected"; }};
        station = std::make_unique<Station>(env);
        ASSERT_EQ(station->start(), 0);
    }
    std::vector<HistoryEntry> ordersLogged() const {
        std::vector<HistoryEntry> out;
        readHistoryFile(tmp.file("logf"), [&](const HistoryEntry& e) {
            if (e.isSystem() && e.kindCode() == kHistoryOrderSent) out.push_back(e);
            return true;
        });
        return out;
    }
    std::string hunits() const { return tmp.read("hunits"); }

    test::TempDir tmp;
    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    TwoPorts ports;
    RadioModule module;
    std::vector<test::FakeSerialLine*> lines;
    std::unique_ptr<Station> station;
};

template <typename Panel>
Panel* panelOf(THydroUnits& window, int kind) {
    for (THydroObject* p : window.panels())
        if (auto* typed = qobject_cast<Panel*>(p)) return typed;
    ADD_FAILURE() << "no panel of kind " << kind;
    return nullptr;
}

TEST(HydroUnitsStation, TheWaterworksOpensWithItsUnitsAndAPumpOrderReachesTheModule) {
    HydroStation rig;
    rig.start();
    HydroUnits& table = rig.station->hydroUnits();
    ASSERT_EQ(table.slot(0).subscriber, admin::kDemoWaterworks) << "the lowest number has the first slot";
    ASSERT_EQ(table.slot(0).count, 5);
    EXPECT_EQ(table.slot(1).subscriber, -1);

    StationHydroOrders orders(rig.station->orders());
    THydroUnits window(table, rig.station->database(), orders);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Wizualizacja pomiarów"));
    ASSERT_EQ(window.Sbsrs->count(), 1);
    EXPECT_EQ(window.Sbsrs->itemText(0), QStringLiteral("1000 - Wodociąg Gminny "));
    ASSERT_EQ(window.panels().size(), 5u);

    auto* tank = panelOf<THTank>(window, kUnitTank);
    auto* well = panelOf<THWell>(window, kUnitWell);
    auto* pump = panelOf<THPump>(window, kUnitPump);
    auto* pressure = panelOf<THPres>(window, kUnitPressure);
    auto* counter = panelOf<THCntr>(window, kUnitCounter);
    ASSERT_TRUE(tank && well && pump && pressure && counter);
    EXPECT_EQ(tank->Title(), QStringLiteral("Zbiornik wieżowy"));
    EXPECT_EQ(tank->pos(), QPoint(12, 12));
    EXPECT_EQ(tank->valueLabel()->text(), QStringLiteral("3.8 m"));
    EXPECT_EQ(tank->gaugePosition(), 76);
    EXPECT_EQ(well->valueLabel()->text(), QStringLiteral("23.4 m"));
    EXPECT_NEAR(well->gaugePosition(), 100 - 59, 1) << "23.4 m of 40, from the top";
    EXPECT_EQ(pump->stateLabel()->text(), QStringLiteral("Włączona"));
    EXPECT_EQ(pump->currentLabel()->text(), QStringLiteral("Prąd=12.6 A"));
    EXPECT_EQ(pump->timeLabel()->text(), QStringLiteral("Czas=1834.0 godz."));
    EXPECT_EQ(pressure->valueLabel()->text(), QStringLiteral("0.4 MPa"));
    EXPECT_EQ(counter->odometer()->text(), QStringLiteral("0000048213"));
    window.resize(640, 456);
    QDir().mkpath(QStringLiteral("hydro_panels"));
    window.grab().save(QStringLiteral("hydro_panels/THydroUnits.png"));

    // The pump is on: its button switches it off, order 0x22 to 1000 over
    // the radio module, the subscriber in BCD.
    pump->button()->click();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Pompa głębinowa P1"));
    ASSERT_EQ(rig.module.taken.size(), 1u);
    EXPECT_EQ(rig.module.taken[0], (Bytes{0x10, 0x00, kOrderSwitchOff}));
    const auto logged = rig.ordersLogged();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(static_cast<int>(logged[0].subscriber), admin::kDemoWaterworks);
    EXPECT_EQ(logged[0].subsystem, kOrderSwitchOff);
    const int pathByte = (logged[0].kind >> 12) << 4 | (logged[0].code2 >> 12);
    EXPECT_EQ(pathByte, (rig.station->paths().at(0)->typeIndex << 4) | 1) << "the radio path, module 1";
    EXPECT_EQ(table.slot(0).units[2].state, kUnitCommandPending);
    EXPECT_FALSE(pump->button()->isEnabled());

    // No state comes back: after ten refresh ticks the pump shows "on" again.
    for (int tick = 0; tick < HydroCommands::kPendingTicks - 1; ++tick) window.TimerTimer();
    EXPECT_EQ(table.slot(0).units[2].state, kUnitCommandPending);
    window.TimerTimer();
    EXPECT_EQ(table.slot(0).units[2].state, kUnitOn);
    EXPECT_EQ(pump->stateLabel()->text(), QStringLiteral("Włączona"));
    EXPECT_TRUE(pump->button()->isEnabled());
}

TEST(HydroUnitsStation, APressWithoutARadioPathSendsNothingAndShowsTheStateAgain) {
    HydroStation rig;
    rig.start();
    {
        Sbscrbr s(rig.station->database(), ByNumber{admin::kDemoWaterworks});
        s.record.tracks = kTrackDialUp;
        ASSERT_EQ(s.Save(), 0);
    }
    StationHydroOrders orders(rig.station->orders());
    THydroUnits window(rig.station->hydroUnits(), rig.station->database(), orders);
    auto* pump = panelOf<THPump>(window, kUnitPump);
    ASSERT_TRUE(pump);
    pump->button()->click();
    EXPECT_TRUE(rig.module.taken.empty());
    ASSERT_FALSE(rig.ui.boxes.empty());
    EXPECT_NE(rig.ui.boxes.back().text.find("Abonent nie jest podłączony do podanego toru"), std::string::npos);
    EXPECT_EQ(pump->stateLabel()->text(), QStringLiteral("Włączona"));
    EXPECT_EQ(rig.station->hydroUnits().slot(0).units[2].state, kUnitOn);
}

TEST(HydroUnitsStation, PlacesGoBackIntoHunitsAndOnlyTheMovedRecordsChange) {
    HydroStation rig;
    const std::string before = rig.hunits();
    rig.start();
    const int32_t tankAt = rig.station->hydroUnits().slot(0).offsets[0];
    {
        StationHydroOrders orders(rig.station->orders());
        THydroUnits window(rig.station->hydroUnits(), rig.station->database(), orders);
        auto* tank = panelOf<THTank>(window, kUnitTank);
        ASSERT_TRUE(tank);
        tank->move(200, 180);
        window.done(QDialog::Accepted);
    }
    rig.station->stop();
    const std::string after = rig.hunits();
    ASSERT_EQ(after.size(), before.size());
    std::string expected = before;
    const auto at = static_cast<size_t>(tankAt);
    expected.replace(at + 16, 8, std::string("\xC8\x00\x00\x00\xB4\x00\x00\x00", 8));
    EXPECT_EQ(after, expected) << "left 200 and top 180 of the tank, nothing else";

    // The next run reads them where they were left.
    rig.station.reset();
    rig.start();
    EXPECT_EQ(static_cast<int>(rig.station->hydroUnits().slot(0).units[0].left), 200);
    EXPECT_EQ(static_cast<int>(rig.station->hydroUnits().slot(0).units[0].top), 180);
    EXPECT_EQ(rig.station->hydroUnits().unitCount(), 5);
}

TEST(HydroUnitsStation, AUnitThatCannotBeReadIsToldAndTheOthersLoad) {
    HydroStation rig;
    {
        std::ostringstream err;
        admin::AdminDatabase data(rig.tmp.path(), err);
        ASSERT_TRUE(data.open(false)) << err.str();
        Sbscrbr s(data.database(), ByNumber{admin::kDemoWaterworks});
        ASSERT_TRUE(s.valid);
        // The second unit points past the end of the file.
        s.record.hunits[1] = 32 + 100 * 40;
        ASSERT_EQ(s.Save(), 0);
        data.close();
    }
    rig.start();
    EXPECT_EQ(rig.station->hydroUnits().slot(0).count, 4);
    bool told = false;
    for (const auto& box : rig.ui.boxes) told = told || box.text.find("Pobranie hunits") != std::string::npos;
    EXPECT_TRUE(told);
}

} // namespace
} // namespace k4
