// The hydro panels, each drawn offscreen at its own size with a value inside
// its alarm levels, at a level and beyond it; the pictures are kept in
// hydro_panels/ beside the test program for a look.
#include "hydro/ui/hydro_controls.h"
#include "hydro/ui/hydro_measures.h"
#include "hydro/ui/odometer.h"

#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace k4 {
namespace {

const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);

QColor textColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

// The panel as the window would draw it, kept for the eye.
QImage drawn(QWidget& panel, const QString& name) {
    const QImage image = panel.grab().toImage();
    QDir().mkpath(QStringLiteral("hydro_panels"));
    image.save(QStringLiteral("hydro_panels/%1.png").arg(name));
    return image;
}

// The three values of a panel against its levels 1 and 3.
const struct {
    const char* name;
    double value;
    bool red;
} kAgainstLevels[] = {{"inside", 2.0, false}, {"at_min", 1.0, false}, {"at_max", 3.0, false},
                      {"below", 0.9, true},   {"above", 3.01, true},  {"nan", std::nan(""), true}};

TEST(HydroPanels, MeasuredValuesAreBlackWithinTheirLevelsAndRedBeyond) {
    test::qtApp();
    const std::vector<std::pair<const char*, std::function<TMeasText*()>>> kinds = {
        {"THPres", [] { return new THPres; }}, {"THTemp", [] { return new THTemp; }}, {"THFlow", [] { return new THFlow; }}};
    const char* const units[] = {"kPa", "°C", "m3/h"};
    for (size_t k = 0; k < kinds.size(); ++k) {
        for (const auto& c : kAgainstLevels) {
            SCOPED_TRACE(std::string(kinds[k].first) + " " + c.name);
            std::unique_ptr<TMeasText> panel(kinds[k].second());
            panel->setTitle(QStringLiteral("Pomiar sieci"));
            panel->setAlertMin(1.0);
            panel->setAlertMax(3.0);
            panel->setValue(c.value);
            EXPECT_EQ(panel->size(), QSize(150, 44));
            EXPECT_EQ(textColour(panel->valueLabel()), c.red ? kRed : kBlack);
            EXPECT_TRUE(panel->valueLabel()->text().endsWith(QString::fromUtf8(units[k])));
            const QImage image = drawn(*panel, QStringLiteral("%1_%2").arg(kinds[k].first, c.name));
            EXPECT_EQ(image.size(), QSize(150, 44));
            // The title strip in its green beside the glyph.
            EXPECT_EQ(image.pixelColor(60, 2), QColor(0x00, 0x80, 0x00));
        }
    }
    THPres pressure;
    pressure.setValue(5.26);
    EXPECT_EQ(pressure.valueLabel()->text(), QStringLiteral("5.3 kPa"));
    // The units are taken with the next value.
    pressure.setUnits(QStringLiteral("MPa"));
    EXPECT_EQ(pressure.valueLabel()->text(), QStringLiteral("5.3 kPa"));
    pressure.setValue(0.42);
    EXPECT_EQ(pressure.valueLabel()->text(), QStringLiteral("0.4 MPa"));
}

TEST(HydroPanels, GaugesShowWhereTheValueLiesAndWellsFromTheTop) {
    test::qtApp();
    THTank tank;
    THWell well;
    for (TMeasGraph* g : {static_cast<TMeasGraph*>(&tank), static_cast<TMeasGraph*>(&well)}) {
        g->SetValueMax(200);
        g->SetValueMin(0);
        g->SetValue(50);
    }
    EXPECT_EQ(tank.gaugePosition(), 25);
    EXPECT_EQ(well.gaugePosition(), 75);
    // Equal limits: no division, an empty bar (a full one inverted).
    tank.SetValueMin(200);
    well.SetValueMin(200);
    EXPECT_EQ(tank.gaugePosition(), 0);
    EXPECT_EQ(well.gaugePosition(), 100);
    // Beyond the range the bar stops at its ends.
    tank.SetValueMin(0);
    tank.SetValue(250);
    EXPECT_EQ(tank.gaugePosition(), 100);
    tank.SetValue(-3);
    EXPECT_EQ(tank.gaugePosition(), 0);

    const struct {
        const char* name;
        std::function<TMeasGraph*()> make;
        QColor gauge;
    } kinds[] = {{"THTank", [] { return new THTank; }, QColor(0x00, 0xFF, 0xFF)},
                 {"THWell", [] { return new THWell; }, QColor(0x00, 0x00, 0xFF)}};
    for (const auto& kind : kinds) {
        for (const auto& c : kAgainstLevels) {
            SCOPED_TRACE(std::string(kind.name) + " " + c.name);
            std::unique_ptr<TMeasGraph> panel(kind.make());
            panel->setTitle(QStringLiteral("Zbiornik wieżowy"));
            panel->SetValueMax(4);
            panel->SetValueMin(0);
            panel->setAlertMax(3);
            panel->setAlertMin(1);
            panel->setUnits(QStringLiteral("m"));
            panel->SetValue(c.value);
            EXPECT_EQ(textColour(panel->valueLabel()), c.red ? kRed : kBlack);
            EXPECT_EQ(panel->minLabel()->text(), QStringLiteral("Min=1.0 m"));
            EXPECT_EQ(panel->maxLabel()->text(), QStringLiteral("Max=3.0 m"));
            EXPECT_EQ(panel->width(), 150);
            EXPECT_EQ(panel->gauge()->geometry(), QRect(122, 24, 20, panel->height() - 32));
            const QImage image = drawn(*panel, QStringLiteral("%1_%2").arg(kind.name, c.name));
            // A filled bar has the kind's colour at its bottom.
            if (panel->gaugePosition() > 5) {
                EXPECT_EQ(image.pixelColor(132, panel->height() - 12), kind.gauge);
            }
        }
    }
    TMeasGraph fresh;
    EXPECT_EQ(fresh.minLabel()->text(), QStringLiteral("Min value"));
    EXPECT_EQ(fresh.maxLabel()->text(), QStringLiteral("Max value"));
}

struct StateShown {
    int state;
    const char* text;
    QColor colour;
    const char* button;
    bool enabled;
};

void expectStates(TControlText& panel, const std::vector<StateShown>& states, const QString& name) {
    for (const StateShown& s : states) {
        SCOPED_TRACE(name.toStdString() + " state " + std::to_string(s.state));
        panel.setState(s.state);
        EXPECT_EQ(panel.stateLabel()->text(), QString::fromUtf8(s.text));
        EXPECT_EQ(textColour(panel.stateLabel()), s.colour);
        EXPECT_EQ(panel.button()->text(), QString::fromUtf8(s.button));
        EXPECT_EQ(panel.button()->isEnabled(), s.enabled);
        drawn(panel, QStringLiteral("%1_state%2").arg(name).arg(s.state));
    }
}

TEST(HydroPanels, SwitchableElementsShowTheirStatesAndButtons) {
    test::qtApp();
    const QColor green(0x00, 0x80, 0x00), blue(0x00, 0x00, 0xFF), grey(0x80, 0x80, 0x80);
    // Each run ends in the pending state after a failure: the text and the
    // button text stay as the failure left them.
    TControlText plain;
    expectStates(plain, {{0, "Wyłączony", kBlack, "Włącz", true}, {1, "Włączony", green, "Wyłącz", true},
                         {2, "AWARIA", kRed, "Wyłącz", true}, {3, "AWARIA", grey, "Wyłącz", false}},
                 QStringLiteral("TControlText"));
    THPump pump;
    pump.setTitle(QStringLiteral("Pompa głębinowa P1"));
    pump.setPumpCurr(12.6);
    pump.setPumpTime(1834);
    pump.setCurrUnits(QStringLiteral("A"));
    pump.setTimeUnits(QStringLiteral("godz."));
    expectStates(pump, {{1, "Włączona", blue, "Wyłącz", true}, {0, "Wyłączona", green, "Włącz", true},
                        {2, "AWARIA", kRed, "Włącz", true}, {3, "AWARIA", grey, "Włącz", false}},
                 QStringLiteral("THPump"));
    EXPECT_EQ(pump.currentLabel()->text(), QStringLiteral("Prąd=12.6 A"));
    EXPECT_EQ(pump.timeLabel()->text(), QStringLiteral("Czas=1834.0 godz."));
    EXPECT_EQ(pump.button()->geometry(), QRect(10, 84, 130, 24));
    EXPECT_EQ(pump.height(), 116);
    pump.setShowWhat(2);
    EXPECT_TRUE(pump.currentLabel()->isHidden());
    EXPECT_FALSE(pump.timeLabel()->isHidden());
    THHydr hydrophore;
    expectStates(hydrophore, {{0, "Wyłączony", kBlack, "Włącz", true}, {1, "Włączony", kBlack, "Wyłącz", true},
                              {2, "AWARIA", kRed, "Wyłącz", false}, {3, "AWARIA", grey, "Wyłącz", false}},
                 QStringLiteral("THHydr"));
    THBolt valve;
    expectStates(valve, {{1, "Otwarta", kBlack, "Zamknij", true}, {0, "Zamknięta", kBlack, "Otwórz", true},
                         {2, "AWARIA", kRed, "Otwórz", false}, {3, "AWARIA", grey, "Otwórz", false}},
                 QStringLiteral("THBolt"));
    EXPECT_EQ(valve.height(), 76);
}

TEST(HydroPanels, APressAsksForTheOppositeAndWaitsGreyed) {
    test::qtApp();
    THPump pump;
    int presses = 0;
    pump.OnPress = [&](TControlText& p) {
        ++presses;
        EXPECT_EQ(p.State(), 3);
    };
    pump.setState(2);
    pump.button()->click();
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(pump.TurnOn()) << "a failed pump is switched on";
    EXPECT_EQ(textColour(pump.stateLabel()), QColor(0x80, 0x80, 0x80));
    EXPECT_FALSE(pump.button()->isEnabled());
    pump.setState(1);
    pump.button()->click();
    EXPECT_FALSE(pump.TurnOn());
    THBolt valve;
    valve.OnPress = [&](TControlText&) { ++presses; };
    valve.setState(0);
    valve.press();
    EXPECT_TRUE(valve.TurnOn());
    EXPECT_EQ(presses, 3);
}

TEST(HydroPanels, TheCounterRollsByOneAndJumpsOtherwise) {
    test::qtApp();
    TOdometer three;
    three.setAnimationType(TAnimationType::atNone);
    three.setDigitCount(3);
    EXPECT_EQ(three.Limit(), 999u);
    EXPECT_EQ(three.size(), QSize(45, 20));
    three.setValue(1000);
    EXPECT_EQ(three.text(), QStringLiteral("001"));
    three.setValue(999);
    three.setAnimationType(TAnimationType::atAsynchronous);
    three.setValue(998);
    EXPECT_TRUE(three.animating()) << "one down rolls";
    EXPECT_EQ(three.text(), QStringLiteral("998"));
    three.finishAnimation();
    three.setValue(500);
    EXPECT_FALSE(three.animating()) << "a jump shows at once";

    const struct {
        TBaseType base;
        int digits;
        uint32_t limit;
        uint32_t value;
        const char* text;
    } bases[] = {{TBaseType::btBinary, 4, 15, 5, "0101"},      {TBaseType::btBinary, 32, 0x7FFFFFFF, 1, nullptr},
                 {TBaseType::btDecimal, 9, 999999999, 42, "000000042"}, {TBaseType::btDecimal, 10, 0x7FFFFFFF, 7, "0000000007"},
                 {TBaseType::btHexadecimal, 4, 0xFFFF, 0xBEEF, "BEEF"}, {TBaseType::btHexadecimal, 8, 0x7FFFFFFF, 0xAB, "000000AB"}};
    for (const auto& b : bases) {
        TOdometer o;
        o.setAnimationType(TAnimationType::atNone);
        o.setBaseType(b.base);
        o.setDigitCount(b.digits);
        EXPECT_EQ(o.Limit(), b.limit) << b.digits;
        o.setValue(b.value);
        if (b.text) EXPECT_EQ(o.text(), QString::fromLatin1(b.text));
        else EXPECT_EQ(o.text().size(), 32);
    }
    TOdometer refused;
    refused.setDigitCount(0);
    refused.setDigitCount(33);
    EXPECT_EQ(refused.DigitCount(), 8);

    THCntr counter;
    counter.setTitle(QStringLiteral("Wodomierz główny"));
    counter.setValue(48213);
    EXPECT_EQ(counter.odometer()->text(), QStringLiteral("0000048213"));
    EXPECT_EQ(counter.size(), QSize(150, 44));
    EXPECT_EQ(counter.odometer()->geometry(), QRect(0, 20, 150, 20));
    drawn(counter, QStringLiteral("THCntr"));
}

TEST(HydroPanels, MovablePanelsArePinnedByAnAlignment) {
    test::qtApp();
    THTank tank;
    EXPECT_TRUE(tank.Moveable());
    tank.setAlignPanel(TAlign::alTop);
    EXPECT_FALSE(tank.Moveable());
    tank.setMoveable(true);
    EXPECT_EQ(tank.AlignPanel(), TAlign::alNone);
    EXPECT_EQ(tank.caption()->geometry(), QRect(16, 0, 134, 16));
    tank.Header().setBGColor(colorFromBgr(0x0000FF));
    EXPECT_EQ(tank.Header().BGColor(), QColor(0xFF, 0x00, 0x00));
    tank.setGlyphKind(gkNone);
    EXPECT_EQ(tank.GlyphKind(), gkNone);
    for (int kind = gkPompa; kind <= gkPrzeplywChw; ++kind) {
        EXPECT_EQ(hydroGlyph(static_cast<TGlyphKind>(kind)).size(), QSize(32, 32));
        EXPECT_STRNE(glyphResourceName(static_cast<TGlyphKind>(kind)), "");
    }
    EXPECT_TRUE(hydroGlyph(gkNone).isNull());
    EXPECT_EQ(digitStrip().size(), QSize(15, 340));
}

// Every class side by side, a value inside its levels, at one and beyond
// one, for the README's picture.
TEST(HydroPanels, EveryClassOnOneSheet) {
    test::qtApp();
    QWidget sheet;
    sheet.setAutoFillBackground(true);
    QPalette palette = sheet.palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    sheet.setPalette(palette);
    sheet.resize(3 * 158 + 8, 8);
    int column = 0, rowTop = 8, rowHeight = 0;
    auto place = [&](THydroObject* panel, const QString& title) {
        panel->setParent(&sheet);
        panel->setTitle(title);
        if (column == 3) {
            column = 0;
            rowTop += rowHeight + 8;
            rowHeight = 0;
        }
        panel->move(8 + column++ * 158, rowTop);
        rowHeight = std::max(rowHeight, panel->height());
    };
    for (double value : {2.5, 4.0, 4.6}) {
        auto* tank = new THTank;
        tank->SetValueMax(5);
        tank->SetValueMin(0);
        tank->setAlertMax(4);
        tank->setAlertMin(1);
        tank->setUnits(QStringLiteral("m"));
        tank->SetValue(value);
        place(tank, QStringLiteral("THTank %1 m").arg(value));
    }
    for (double value : {12.0, 35.0, 38.5}) {
        auto* well = new THWell;
        well->SetValueMax(40);
        well->SetValueMin(0);
        well->setAlertMax(35);
        well->setAlertMin(0);
        well->setUnits(QStringLiteral("m"));
        well->SetValue(value);
        place(well, QStringLiteral("THWell %1 m").arg(value));
    }
    const std::vector<std::pair<TMeasText*, double>> texts = {
        {new THPres, 350}, {new THTemp, 12.0}, {new THFlow, 180.4}};
    const double limits[][2] = {{200, 600}, {12.0, 30.0}, {0, 150}};
    for (size_t i = 0; i < texts.size(); ++i) {
        texts[i].first->setAlertMin(limits[i][0]);
        texts[i].first->setAlertMax(limits[i][1]);
        texts[i].first->setValue(texts[i].second);
        place(texts[i].first, QString::fromLatin1(texts[i].first->metaObject()->className()).mid(4));
    }
    auto* pump = new THPump;
    pump->setPumpCurr(12.6);
    pump->setPumpTime(1834);
    pump->setCurrUnits(QStringLiteral("A"));
    pump->setTimeUnits(QStringLiteral("godz."));
    pump->setState(1);
    place(pump, QStringLiteral("THPump"));
    auto* hydrophore = new THHydr;
    hydrophore->setState(2);
    place(hydrophore, QStringLiteral("THHydr"));
    auto* valve = new THBolt;
    valve->setState(1);
    valve->press();
    place(valve, QStringLiteral("THBolt"));
    auto* counter = new THCntr;
    counter->setValue(48213);
    place(counter, QStringLiteral("THCntr"));
    sheet.resize(sheet.width(), rowTop + rowHeight + 8);
    QDir().mkpath(QStringLiteral("hydro_panels"));
    const QImage image = sheet.grab().toImage();
    EXPECT_TRUE(image.save(QStringLiteral("hydro_panels/sheet.png")));
    EXPECT_EQ(textColour(valve->stateLabel()), QColor(0x80, 0x80, 0x80));
}

} // namespace
} // namespace k4
