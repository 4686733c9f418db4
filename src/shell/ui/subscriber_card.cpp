#include "shell/ui/subscriber_card.h"

#include "database/sbscrbr.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "database/ui/abonent.h"
#include "database/ui/arms_form.h"
#include "database/ui/orders_forms.h"
#include "hydro/ui/hydro_msr.h"
#include "processing/card_rescheduling.h"
#include "processing/subscriber_sheet.h"
#include "processing/ui/chk_sbs_dlg.h"
#include "processing/ui/event_forms.h"
#include "processing/ui/sbs_alarms.h"
#include "processing/ui/tests_form.h"
#include "shell/station.h"
#include "shell/ui/path_dialog_links.h"

#include <QFileDialog>

namespace k4 {

namespace {

SbsAlarmsChoosers eventListChoosers(const CardEnvironment& env, QWidget* parent) {
    Station& station = env.station;
    SbsAlarmsChoosers c;
    c.sharedList = [&station, parent]() -> std::optional<int32_t> {
        TCommonLists lists(station.sharedLists(), parent);
        if (lists.exec() != QDialog::Accepted || lists.listId() < 0) return std::nullopt;
        return lists.listId();
    };
    if (env.findSubscriber)
        c.subscriberList = [&station, find = env.findSubscriber]() -> std::optional<int32_t> {
            const SubscriberFound found = find();
            if (found.offset < 0) return std::nullopt;
            Sbscrbr other(station.database(), AtOffset{found.offset});
            if (!other.valid) return std::nullopt;
            return static_cast<int32_t>(other.record.alarm_list);
        };
    c.listFile = [parent]() -> std::optional<std::string> {
        const QString file = QFileDialog::getOpenFileName(parent, QString::fromUtf8("Lista zdarzeń"), QString(),
                                                          QStringLiteral("*.al"));
        if (file.isEmpty()) return std::nullopt;
        return file.toStdString();
    };
    c.standardCode = [&station, parent]() -> std::optional<int> {
        TAlarms pick(station.events(), station.history().dataDir(), station.messages(), nullptr, true, parent);
        if (pick.exec() != QDialog::Accepted) return std::nullopt;
        return pick.picked();
    };
    return c;
}

CardLinks cardLinks(const CardEnvironment& env, bool fromHistory) {
    Station& station = env.station;
    CardLinks links{station.database(), station.indexes(), station.messages(), station.config(), {}, {}, {}, {}, {},
                    {}, {}, {}, {}, {}, {}, {}, {}, {}};
    links.supervisorOn = env.supervisorOn;
    links.enterSupervisor = env.enterSupervisor;
    links.leaveSupervisor = env.leaveSupervisor;
    links.tests = [&station](Sbscrbr& s, bool viewOnly, QWidget* parent) {
        TTests dialog(s, station.messages(), viewOnly, parent);
        dialog.exec();
    };
    links.paths = [env, fromHistory](int32_t offset, bool, QWidget* parent) {
        openPathDialog(env, offset, parent, fromHistory ? PathDialogFrom::HistoryCard : PathDialogFrom::Card);
    };
    links.eventList = [env](Sbscrbr& s, QWidget* parent) {
        Station& st = env.station;
        TSbsAlarms dialog(s, st.database().file(DbFile::Alarmy), st.events(), st.sharedLists(), st.config(),
                          st.messages(), env.printing, eventListChoosers(env, parent), parent);
        dialog.exec();
    };
    links.historyOpen = env.historyOpen;
    links.history = env.history;
    if (env.printing)
        links.printSheet = [&station, printing = env.printing](Sbscrbr& s) {
            const SheetParts parts{*printing, station.clock(), station.events(), station.sharedLists(),
                                   station.config()};
            printSubscriberSheet(s, parts);
        };
    links.afterSave = [&station](Sbscrbr& s) { rescheduleAfterCardSave(s, station.tests(), station.arming()); };
    links.orders = [&station](Sbscrbr& s, bool edit, QWidget* parent) {
        openSubscriberOrders(station.database(), s.record, edit, parent);
    };
    links.measurements = [&station](Sbscrbr& s, bool edit, QWidget* parent) {
        openHydroMeasurements(s.record, !edit, station.messages(), parent);
    };
    links.description = env.description;
    return links;
}

} // namespace

int openSubscriberCard(const CardEnvironment& env, int32_t offset, QWidget* parent, bool testMode) {
    TAbonent card(cardLinks(env, false), -1, 0, offset, parent);
    if (testMode) card.setTestMode();
    return card.exec();
}

bool openHistoryCard(const CardEnvironment& env, int number, QWidget* parent) {
    TAbonent card(cardLinks(env, true), -1, number, kCardByNumberForHistory, parent);
    return card.exec() == kCardBackToHistory;
}

int openNewSubscriberCard(const CardEnvironment& env, int number, int eventList, QWidget* parent) {
    TAbonent card(cardLinks(env, false), eventList, number, kCardByNumber, parent);
    card.EdycjaClick();
    return card.exec();
}

void openPathDialog(const CardEnvironment& env, int32_t offset, QWidget* parent, PathDialogFrom from) {
    Station& station = env.station;
    ChkSbsDlgLinks links = pathDialogLinks(station, env.printing);
    links.opener = from == PathDialogFrom::Card          ? ChkSbsDlgLinks::Opener::Card
                   : from == PathDialogFrom::HistoryCard ? ChkSbsDlgLinks::Opener::CardFromHistory
                                                         : ChkSbsDlgLinks::Opener::Other;
    // Opened from a card, the tests are the card's own to save: a save here
    // would be written over by the card's copy of the record.
    if (from != PathDialogFrom::Elsewhere) links.testsSaved = {};
    links.armingWeek = [&station](Sbscrbr& s, QWidget* owner) {
        TArms window(station.database(), false, s.record, owner);
        window.exec();
    };
    if (from == PathDialogFrom::Elsewhere)
        links.card = [env](int number, QWidget* owner) {
            const std::optional<int32_t> at = env.station.indexes().recordOfNumber(number);
            if (!at) {
                env.station.messages().ShowNotice(mz("\x03Nieprawidłowy numer abonenta."), kNoticeInfo);
                return;
            }
            openSubscriberCard(env, *at, owner, true);
        };
    TChkSbsDlg paths(station.database(), station.paths(), station.orders(), station.messages(), offset, parent, -1,
                     std::move(links));
    paths.exec();
}

} // namespace k4
