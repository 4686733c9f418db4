#pragma once
// Bringing the data of the station up before the window works, and putting
// it away at the end, each in a fixed order: configuration (with the serial
// ports), history, timer queue, database, tables in memory, hydro units,
// alarm-service steps. The pieces belong to the station; this only runs them.
#include "config/start_config.h"
#include "hydro/hydro_unit_store.h"

namespace k4 {

class DatabaseFiles;
class EventTable;
class HistoryLog;
class Messages;
class OrderNamesTable;
class PathTypeTable;
class Scheduler;
class ServiceSteps;
class SubscriberIndexes;

struct DataLayerParts {
    Config& config;
    SerialStartStep& serial;
    PathTypeTable& pathTypes;
    HistoryLog& history;
    Scheduler& scheduler;
    DatabaseFiles& files;
    SubscriberIndexes& indexes;
    EventTable& events;
    OrderNamesTable& orderNames;
    HydroUnitStore& hydro;
    ServiceSteps& serviceSteps;
    Messages& messages;
};

// History kind 1 opens a run and kind 2 closes it; both carry the version
// of the program that wrote them.
void LogStartOfWork(HistoryLog& history);
void LogEndOfWork(HistoryLog& history);

enum : int { kDataLayerFailed = -1, kDataLayerPortsFailed = -2 };

// 0, kDataLayerPortsFailed when the serial ports of the configuration could
// not be opened, or kDataLayerFailed; the operator has been told either way
// (where the step has a message). A failure before the service steps leaves opened what it opened;
// a failure reading the service steps stops everything again.
int StartDataLayer(DataLayerParts& parts);
// 0, or -1 when the configured mode is none of 0 to 3 (nothing to close on
// the serial side then). The configuration file is not written here.
int StopDataLayer(DataLayerParts& parts);

} // namespace k4
