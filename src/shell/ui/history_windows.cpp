#include "shell/ui/history_windows.h"

#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "history/ui/hist_files.h"
#include "history/ui/history_form.h"
#include "operators/operator_list.h"
#include "processing/filter_knowledge.h"
#include "processing/ui/event_forms.h"
#include "shell/station.h"

#include <cstring>
#include <memory>

namespace k4 {

namespace {

template <size_t N>
std::string fieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// What every history window of the station shares. The operator list is
// read once per window: its lines name the operators of the logins.
struct StationHistoryParts {
    std::shared_ptr<SOperatLst> operators;
    HistoryWindowParts parts;
};

StationHistoryParts stationParts(Station& station, Printing* printing) {
    StationHistoryParts s;
    s.operators = std::make_shared<SOperatLst>(station.history().dataDir());
    s.operators->Load();
    HistoryWindowParts& p = s.parts;
    p.file = &station.history().historyFile();
    p.log = &station.history();
    p.messages = &station.messages();
    p.clock = &station.clock();
    p.knowledge = filterKnowledgeOf(station.events(), &station.config());
    for (size_t i = 0; i < p.specialCodes.size(); ++i) p.specialCodes[i] = station.config().special_codes[i];
    const EventFormatter& lines = station.eventLines();
    auto operators = s.operators;
    p.format = [&lines, operators](const HistoryEntry& e) { return lines.formatEvent(e, operators.get()); };
    p.printing = printing;
    p.subscriberOf = [&station](int number) {
        ReducedPrintSubscriber who;
        who.number = number;
        Sbscrbr subscriber(station.database(), ByNumber{number});
        if (subscriber.valid && !subscriber.unindexed) {
            who.found = true;
            who.name = fieldText(subscriber.record.name);
            who.town = fieldText(subscriber.record.town);
            who.address = fieldText(subscriber.record.address);
        }
        return who;
    };
    p.operatorOfCode = [dir = station.history().dataDir()](const std::string& code) -> std::optional<int> {
        SOperatLst list(dir);
        list.Load();
        const int number = findOperatorByCode(list, code);
        if (number < 0) return std::nullopt;
        return number;
    };
    for (int i = 0; i < 8; ++i)
        p.serviceSteps.push_back(QString::fromStdString(Utf8FromMazovia(station.serviceSteps().text(i))));
    p.dataDir = station.history().dataDir().path();
    p.pickSystemKind = [&lines]() {
        TInnersForm kinds(lines);
        return kinds.exec() == QDialog::Accepted ? kinds.chosen() : QString();
    };
    return s;
}

// One history window at a time: the windows are modal, so a second one can
// only be asked for from inside the first (through a subscriber's card or
// paths), and then the first one is the answer.
bool historyWindowShown = false;

} // namespace

void openHistoryWindow(Station& station, Printing* printing, QWidget* parent, int subscriber,
                       std::function<bool(int subscriber)> openSubscriber) {
    if (!station.history().isOpen()) {
        station.messages().ShowNotice(mz("\x03odczytu pliku historii zdarzeń"), kNoticeError);
        return;
    }
    if (historyWindowShown) return;
    StationHistoryParts s = stationParts(station, printing);
    s.parts.subscriber = subscriber;
    s.parts.openSubscriber = std::move(openSubscriber);
    THistory window(s.parts, parent);
    historyWindowShown = true;
    window.exec();
    historyWindowShown = false;
}

void openArchiveFiles(Station& station, Printing* printing, QWidget* parent) {
    StationHistoryParts s = stationParts(station, printing);
    THistFiles window(station.history(), s.parts, parent);
    window.exec();
}

} // namespace k4
