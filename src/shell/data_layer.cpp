#include "shell/data_layer.h"

#include "config/version.h"
#include "database/database_open.h"
#include "database/order_names_table.h"
#include "database/service_steps.h"
#include "history/history_log.h"
#include "processing/event_table.h"
#include "processing/scheduler.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

namespace {

constexpr int kHistoryStartOfWork = 1;
constexpr int kHistoryEndOfWork = 2;
// The build word the history has always carried beside the version.
constexpr int kVersionBuildWord = 32;

} // namespace

void LogStartOfWork(HistoryLog& history) {
    history.LogEvent(kHistoryStartOfWork, kVersionRelease, kVersionMajor, kVersionMinor, kVersionBuildWord);
}

void LogEndOfWork(HistoryLog& history) {
    history.LogEvent(kHistoryEndOfWork, kVersionRelease, kVersionMajor, kVersionMinor, kVersionBuildWord);
}

int StartDataLayer(DataLayerParts& p) {
    const int config = StartConfig(p.config, 1, p.serial, p.pathTypes);
    if (config == kStartConfigPortsFailed) {
        p.messages.ShowNotice(mz("Błąd konfiguracji RS"), kNoticeInfo);
        return kDataLayerPortsFailed;
    }
    if (config != kStartConfigOk) {
        p.messages.ShowNotice("\n\nNiepoprawna inicjalizacja programu\n", kNoticeInfo);
        return -1;
    }
    if (p.history.OpenHistory("logf") == kHistoryFailed) return -1;
    if (p.scheduler.load() != 0) return -1;
    if (OpenDatabase(p.files, p.indexes) != 0) {
        p.messages.ShowNotice("\n\nBlad otwarcia bazy danych\n", kNoticeInfo);
        return -1;
    }
    if (p.events.loadEventTable(p.config.dataDir()) != 0 || p.orderNames.Load() != 0) {
        p.messages.ShowNotice("\n\nBlad otwarcia zdarzen lub rozkazow\n", kNoticeInfo);
        return -1;
    }
    p.hydro.loadHydroUnits();
    if (p.serviceSteps.Load(p.config.dataDir()) != 0) {
        p.messages.ShowNotice("\n\nBlad wczytania pliku obsluga.txt\n", kNoticeInfo);
        StopDataLayer(p);
        return -1;
    }
    return 0;
}

int StopDataLayer(DataLayerParts& p) {
    p.serviceSteps.Clear();
    p.hydro.saveHydroUnits();
    LogEndOfWork(p.history);
    // The order names stay in their object until the station goes; nothing
    // reads them after this point.
    p.events.release();
    CloseDatabase(p.files, p.indexes);
    p.history.CloseHistory();
    p.scheduler.close();
    const ConfigBlock& block = p.config.block();
    if (block.mode < 0 || block.mode > 3) return -1;
    p.serial.closeSerialPorts(block);
    return 0;
}

} // namespace k4
