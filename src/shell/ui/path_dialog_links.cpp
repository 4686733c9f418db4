#include "shell/ui/path_dialog_links.h"

#include "database/sbscrbr.h"
#include "processing/test_supervision.h"
#include "shell/station.h"
#include "shell/ui/history_windows.h"

namespace k4 {

ChkSbsDlgLinks pathDialogLinks(Station& station, Printing* printing) {
    ChkSbsDlgLinks links;
    links.testsSaved = [&station](Sbscrbr& subscriber) { station.tests().testsChanged(subscriber); };
    links.history = [&station, printing](int subscriber, QWidget* parent) {
        openHistoryWindow(station, printing, parent, subscriber);
    };
    links.archive = [&station, printing](QWidget* parent) { openArchiveFiles(station, printing, parent); };
    return links;
}

} // namespace k4
