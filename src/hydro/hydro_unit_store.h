#pragma once
// The hydro units are loaded when the data layer starts and written back
// when it stops; the data layer runs whichever store the station has.
namespace k4 {

class HydroUnitStore {
public:
    virtual ~HydroUnitStore() = default;
    virtual void loadHydroUnits() = 0;
    virtual void saveHydroUnits() = 0;
};

} // namespace k4
