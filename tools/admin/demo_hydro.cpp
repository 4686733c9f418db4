#include "admin/demo_hydro.h"

#include "database/record_file.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_saving.h"
#include "database/text_edge.h"
#include "hydro/hydro_units.h"
#include "hydro/measurement_channel.h"

#include <ostream>

namespace k4::admin {

namespace {

struct DemoUnit {
    int kind;
    int left, top;
    const char* title;
    const char* units;
    float value;
    float rangeMin, rangeMax, alertMin, alertMax;
    int state = 0;
    int pumpHours = 0;
};

// The places suit the window's 640 x 430 area below its subscriber list.
const DemoUnit kUnits[] = {
    {kUnitTank, 12, 12, "Zbiornik wieżowy", "m", 3.8f, 0.0f, 5.0f, 1.0f, 4.6f},
    {kUnitWell, 176, 12, "Studnia S1", "m", 23.4f, 0.0f, 40.0f, 0.0f, 35.0f},
    {kUnitPump, 340, 12, "Pompa głębinowa P1", "A", 12.6f, 0, 0, 0, 0, kUnitOn, 1834},
    {kUnitPressure, 340, 150, "Ciśnienie w sieci", "MPa", 0.42f, 0, 0, 0.20f, 0.60f},
    {kUnitCounter, 12, 132, "Wodomierz główny", "m3", 48213.0f, 0, 0, 0, 0},
};

// The device's inputs: the tank's and the well's levels, the pump's
// current and the network pressure on 4-20 mA loops with 250 ohm resistors.
void setInputs(SubscriberRecord& r) {
    const MsrSetting inputs[] = {
        {5, 0, 25, 0, 500, 1000, 5000},  // Zbiornik 0.00 .. 5.00 m
        {0, 0, 25, 0, 400, 1000, 5000},  // Lustro 0.0 .. 40.0 m
        {1, 1, 25, 0, 250, 0, 5000},     // Prąd_pompy 0.0 .. 25.0 A
        {2, 0, 25, 0, 160, 1000, 5000},  // Ciśnienie 0.00 .. 1.60 MPa
    };
    for (int c = 0; c < 4; ++c) writeMsrSetting(r, c, inputs[c]);
    r.msr_mask = 0x0F;
    r.cnt_flags = 0x01; // the water counter on counter 1, every tenth pulse
    r.cnt1 = 1;
}

} // namespace

bool addDemoWaterworks(SubscriberDatabase& db, SubscriberIndexes& indexes, std::ostream& err) {
    Sbscrbr s(db, ByNumber{kDemoWaterworks});
    if (!s.valid || !s.unindexed) {
        err << "demo: abonent " << kDemoWaterworks << " już istnieje\n";
        return false;
    }
    setUnitText(s.record.name, mz("Wodociąg Gminny Halinów"));
    setUnitText(s.record.town, mz("Halinów"));
    setUnitText(s.record.address, mz("ul. Spacerowa 2"));
    setUnitText(s.record.tel, "227831000");
    // Its device takes the switching orders over the first radio module.
    s.record.tracks = kTrackRadio;
    s.record.tracks_nbr = 0x00;
    setInputs(s.record);

    RecordFile hunits(db.dataDir(), db.messages(), db.history());
    if (hunits.OpenOrCreate(kHydroUnitsFile, kHydroUnitRecordSize) < 0) {
        err << "demo: nie można utworzyć pliku hunits\n";
        return false;
    }
    for (const DemoUnit& d : kUnits) {
        HydroUnitRecord u{};
        u.subscriber = static_cast<int16_t>(kDemoWaterworks);
        u.kind = d.kind;
        u.left = d.left;
        u.top = d.top;
        setUnitText(u.title, mz(d.title));
        setUnitText(u.units, mz(d.units));
        u.show_what = 3;
        u.state = static_cast<uint8_t>(d.state);
        u.value = d.value;
        u.range_min = d.rangeMin;
        u.range_max = d.rangeMax;
        u.alert_min = d.alertMin;
        u.alert_max = d.alertMax;
        u.pump_time = d.pumpHours;
        if (attachHydroUnit(hunits, s, u) != 0) {
            err << "demo: nie można zapisać jednostki \"" << d.title << "\" do pliku hunits\n";
            return false;
        }
    }
    hunits.Close();
    int32_t offset = 0;
    if (saveNewSubscriber(db, indexes, s.record, offset) != kSubscriberSaved) {
        err << "demo: nie można zapisać abonenta " << kDemoWaterworks << '\n';
        return false;
    }
    return true;
}

} // namespace k4::admin
