#include "hydro/ui/hydro_units_form.h"

#include "database/field_text.h"
#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "hydro/ui/hydro_controls.h"
#include "hydro/ui/hydro_measures.h"
#include "hydro/ui/odometer.h"

#include <QComboBox>
#include <QEvent>
#include <QTimer>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <string>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }

template <size_t N>
QString fieldOf(const char (&field)[N]) {
    return shown(fieldText(field));
}

THydroObject* makePanel(int kind, QWidget* parent) {
    switch (kind) {
    case kUnitTank: return new THTank(parent);
    case kUnitWell: return new THWell(parent);
    case kUnitTemperature: return new THTemp(parent);
    case kUnitPressure: return new THPres(parent);
    case kUnitFlow: return new THFlow(parent);
    case kUnitPump: return new THPump(parent);
    case kUnitHydrophore: return new THHydr(parent);
    case kUnitGateValve: return new THBolt(parent);
    case kUnitCounter: return new THCntr(parent);
    default: return nullptr;
    }
}

// What the table says of the unit's value and state.
void showValues(THydroObject* panel, const HydroUnitRecord& u) {
    if (auto* graph = qobject_cast<TMeasGraph*>(panel)) {
        graph->SetValue(u.value);
    } else if (auto* text = qobject_cast<TMeasText*>(panel)) {
        text->setValue(u.value);
    } else if (auto* pump = qobject_cast<THPump*>(panel)) {
        pump->setState(u.state);
        pump->setPumpCurr(u.value);
        pump->setPumpTime(u.pump_time);
    } else if (auto* control = qobject_cast<TControlText*>(panel)) {
        control->setState(u.state);
    } else if (auto* counter = qobject_cast<THCntr*>(panel)) {
        counter->setValue(static_cast<int>(std::lround(static_cast<float>(u.value))));
    }
}

void setUp(THydroObject* panel, const HydroUnitRecord& u) {
    const QString units = fieldOf(u.units);
    if (auto* graph = qobject_cast<TMeasGraph*>(panel)) {
        graph->SetValueMax(u.range_max);
        graph->SetValueMin(u.range_min);
        graph->setAlertMax(u.alert_max);
        graph->setAlertMin(u.alert_min);
        graph->setUnits(units);
        graph->SetValue(u.value);
    } else if (auto* text = qobject_cast<TMeasText*>(panel)) {
        text->setAlertMin(u.alert_min);
        text->setAlertMax(u.alert_max);
        // The units first: the label takes them with the value.
        text->setUnits(units);
        text->setValue(u.value);
    } else if (auto* pump = qobject_cast<THPump*>(panel)) {
        pump->setState(u.state);
        pump->setShowWhat(u.show_what);
        pump->setPumpCurr(u.value);
        pump->setPumpTime(u.pump_time);
        pump->setCurrUnits(units);
        pump->setTimeUnits(QStringLiteral("godz."));
    } else {
        showValues(panel, u);
    }
}

} // namespace

THydroUnits::THydroUnits(HydroUnits& table, SubscriberDatabase& database, HydroOrderLink& orders, QWidget* parent)
    : QDialog(parent), table_(table), database_(database), commands_(table, database, orders) {
    setObjectName("HydroUnits");
    setWindowTitle(QStringLiteral("Wizualizacja pomiarów"));
    resize(640, 456);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Sbsrs = new QComboBox(this);
    Sbsrs->setObjectName("Sbsrs");
    QFont mono;
    mono.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
    mono.setStyleHint(QFont::Monospace);
    Sbsrs->setFont(mono);
    layout->addWidget(Sbsrs);
    Area = new QWidget(this);
    Area->setObjectName("Area");
    Area->setAutoFillBackground(true);
    QPalette palette = Area->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    Area->setPalette(palette);
    layout->addWidget(Area, 1);

    // Only the subscribers that have a slot of the table are offered: a
    // later one would open an empty window whatever it has in "hunits".
    for (int k = 0; k < HydroUnits::kSlots; ++k) {
        const HydroSlot& slot = table_.slot(k);
        if (slot.subscriber < 0) continue;
        Sbscrbr s(database_, ByNumber{slot.subscriber});
        const QString name = s.valid && !s.unindexed ? fieldOf(s.record.name) : QString();
        Sbsrs->addItem(QString::asprintf("%4.4d - ", slot.subscriber) + name.left(15).leftJustified(15) + QLatin1Char(' '));
        entrySlots_.push_back(k);
    }
    connect(Sbsrs, &QComboBox::currentIndexChanged, this, [this](int entry) { SbsrsChange(entry); });

    Timer = new QTimer(this);
    Timer->setInterval(kRefreshMs);
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });

    // The first subscriber with units comes up first.
    int first = 0;
    for (size_t e = 0; e < entrySlots_.size(); ++e)
        if (table_.slot(entrySlots_[e]).count > 0) {
            first = static_cast<int>(e);
            break;
        }
    if (!entrySlots_.empty()) {
        Sbsrs->setCurrentIndex(first);
        if (slot_ < 0) SbsrsChange(first);
    }
}

THydroUnits::~THydroUnits() { storePositions(); }

void THydroUnits::SbsrsChange(int entry) {
    storePositions();
    clearPanels();
    slot_ = -1;
    if (entry < 0 || entry >= static_cast<int>(entrySlots_.size())) return;
    showSlot(entrySlots_[static_cast<size_t>(entry)]);
}

void THydroUnits::showSlot(int slot) {
    slot_ = slot;
    const HydroSlot& s = table_.slot(slot);
    for (int i = 0; i < s.count; ++i) {
        const HydroUnitRecord& u = s.units[static_cast<size_t>(i)];
        THydroObject* panel = makePanel(u.kind, Area);
        if (!panel) continue;
        panel->setIDNo(i);
        panel->move(u.left, u.top);
        panel->setTitle(fieldOf(u.title));
        setUp(panel, u);
        if (auto* control = qobject_cast<TControlText*>(panel))
            control->OnPress = [this](TControlText& pressedPanel) { pressed(pressedPanel); };
        panel->show();
        panels_.push_back(panel);
    }
}

void THydroUnits::storePositions() {
    if (slot_ < 0) return;
    HydroSlot& s = table_.slot(slot_);
    for (THydroObject* panel : panels_) {
        const int i = panel->IDNo();
        if (i < 0 || i >= s.count) continue;
        HydroUnitRecord& u = s.units[static_cast<size_t>(i)];
        u.left = panel->x();
        u.top = panel->y();
    }
}

void THydroUnits::clearPanels() {
    for (THydroObject* panel : panels_) delete panel;
    panels_.clear();
}

void THydroUnits::refresh() {
    if (slot_ < 0) return;
    const HydroSlot& s = table_.slot(slot_);
    for (THydroObject* panel : panels_) {
        const int i = panel->IDNo();
        if (i >= 0 && i < s.count) showValues(panel, s.units[static_cast<size_t>(i)]);
    }
}

void THydroUnits::TimerTimer() {
    commands_.tick();
    refresh();
}

void THydroUnits::pressed(TControlText& panel) {
    setWindowTitle(panel.Title());
    commands_.press(slot_, panel.IDNo(), panel.TurnOn());
    // Pending when the order went out; what it was before when it did not.
    refresh();
}

void THydroUnits::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (isActiveWindow()) {
        refresh();
        Timer->start();
    } else {
        Timer->stop();
    }
}

void THydroUnits::done(int result) {
    commands_.settle();
    Timer->stop();
    storePositions();
    QDialog::done(result);
}

// --- the recording dialogs ----------------------------------------------------

THydroArchForm::THydroArchForm(QWidget* parent) : QDialog(parent) {
    setObjectName("HydroArchForm");
    setWindowTitle(QStringLiteral("Zapis do archiwum"));
    auto* layout = new QVBoxLayout(this);
    for (const char* name : {"CountersRG", "MeasuresRG"}) {
        auto* box = new QGroupBox(QString::fromUtf8(name == std::string("CountersRG") ? "Zapis liczników" : "Zapis pomiarów"), this);
        box->setObjectName(QString::fromLatin1(name));
        auto* row = new QVBoxLayout(box);
        for (const char* choice : {"Wyłącz", "Harmonogram", "Ciągle"}) row->addWidget(new QRadioButton(QString::fromUtf8(choice), box));
        layout->addWidget(box);
    }
    auto* buttons = new QHBoxLayout;
    for (const char* caption : {"&Ustaw", "&Porzuć"}) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        connect(button, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
}

THydroPeriodsForm::THydroPeriodsForm(QWidget* parent) : QDialog(parent) {
    setObjectName("HydroPeriodsForm");
    setWindowTitle(QStringLiteral("Godziny zapisu pomiarów"));
    auto* layout = new QVBoxLayout(this);
    auto timeField = [this](const QString& name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setInputMask(QStringLiteral("99:99;_"));
        return edit;
    };
    auto* counters = new QFormLayout;
    counters->addRow(QStringLiteral("Godzina zapisu liczników"), timeField(QStringLiteral("c_time")));
    layout->addLayout(counters);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 12; ++i) {
        grid->addWidget(new QLabel(QString::number(i + 1), this), i % 6, (i / 6) * 2);
        grid->addWidget(timeField(QStringLiteral("time%1").arg(i + 1)), i % 6, (i / 6) * 2 + 1);
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    for (const char* caption : {"&OK", "&Porzuć"}) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        connect(button, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
}

} // namespace k4
