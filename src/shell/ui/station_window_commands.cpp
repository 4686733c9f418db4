#include "shell/ui/station_window_commands.h"

#include "printing/ui/printers_form.h"
#include "shell/alarm_lines.h"
#include "signals/signal_outputs.h"
#include "signals/ui/leds_form.h"
#include "signals/ui/sounds_form.h"

#include "baselink/ui/chk_forw_form.h"
#include "baselink/ui/time_form.h"
#include "config/param_sys.h"
#include "config/ui/config_form_dialog.h"
#include "config/ui/holiday_form.h"
#include "database/sbscrbr.h"
#include "database/ui/find_sbs.h"
#include "database/ui/orders_forms.h"
#include "database/text_edge.h"
#include "hydro/ui/hydro_units_form.h"
#include "maintenance/ui/auto_save_form.h"
#include "operators/operator_login.h"
#include "operators/password_change.h"
#include "operators/ui/operators_dialog.h"
#include "processing/ui/chk_sbs_dlg.h"
#include "processing/ui/chk_sbsrs.h"
#include "processing/ui/event_forms.h"
#include "processing/ui/probe_forms.h"
#include "processing/ui/sbs_blockade.h"
#include "processing/ui/sbs_prn.h"
#include "shell/demo_reports.h"
#include "shell/index_rebuild_command.h"
#include "shell/menu_copy.h"
#include "shell/station.h"
#include "shell/ui/event_list_windows.h"
#include "shell/ui/history_windows.h"
#include "shell/ui/packets_form.h"
#include "shell/ui/path_dialog_links.h"
#include "shell/ui/subscriber_windows.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStringList>

#include <cstring>
#include <string>
#include <vector>

namespace k4 {

namespace {

// The desktop's own settings programs, tried in order; none found is no
// fault (the station runs without a desktop in a kiosk session).
bool startFirstOf(const std::vector<std::pair<const char*, QStringList>>& programs) {
    for (const auto& program : programs)
        if (QProcess::startDetached(QString::fromLatin1(program.first), program.second)) return true;
    return false;
}

template <size_t N>
std::string textOf(const char (&field)[N]) {
    return Utf8FromMazovia(std::string(field, strnlen(field, N)));
}

} // namespace

StationWindowCommands::StationWindowCommands(Station& station, const DataDir& dir, std::function<void()> quit)
    : station_(station), dir_(dir), quit_(std::move(quit)),
      supervisor_(dir, station.messages(), station.history(),
                  [this] {
                      // SupervisorMode keeps whether the mode is on.
                      bool accepted = false;
                      return askSupervisorPassword(passwordPrompt_, station_.config(), station_.messages(),
                                                   accepted) == 1;
                  }),
      screenWake_(station.clock()), search_(dir, station.indexes(), station.messages()) {}

StationWindowCommands::~StationWindowCommands() {
    if (finder_ && !finder_->parent()) delete finder_.data();
}

void StationWindowCommands::timerTick(bool inputPending) { station_.tick(inputPending); }

bool StationWindowCommands::enterSupervisorMode() { return supervisor_.enter(); }

void StationWindowCommands::leaveSupervisorMode() { supervisor_.leave(); }

void StationWindowCommands::minimise() {
    if (window_) window_->showMinimized();
}

void StationWindowCommands::exitStation() {
    supervisor_.endWithTheRun();
    station_.stop();
    if (quit_) quit_();
}

// The desktop's screen saver and the monitor's power saving both end; a
// kiosk session without them has nothing to wake.
void StationWindowCommands::wakeScreen() { screenWake_.wake(); }

bool runConfigurationDialog(Station& station, const DataDir& dir, QWidget* parent) {
    TConfigForm dialog(station.configFile().block(), menuCopy(dir), dir, station.messages(),
                       [&station](const ConfigBlock& copy) { return station.applyConfiguration(copy); }, parent);
    dialog.setPortSearch([&station] { return station.searchModulePorts(); });
    dialog.exec();
    return dialog.restarted();
}

void StationWindowCommands::runCommand(std::string_view itemName) {
    handled_ = true;
    if (itemName == "Demo1") {
        runDemonstrationReports(station_.processing(), station_.config());
    } else if (itemName == "Lista1" || itemName == "Lista2") {
        showSupervisedList(itemName == "Lista2");
    } else if (itemName == "Obiekt1") {
        const SubscriberFound found = finder().find();
        if (found.offset >= 0) openPathDialog(found.offset, window_);
    } else if (itemName == "Obiekt3") {
        const SubscriberFound found = finder().find();
        if (found.offset >= 0) openSubscriberCard(cardEnvironment(), found.offset, window_);
    } else if (itemName == "Wydruk1" && outputs_) {
        ListingParts parts = listingParts();
        TSbsPrn dialog(station_.indexes(), station_.database(), station_.sharedLists(), parts, window_);
        dialog.exec();
    } else if (itemName == "Okres1") {
        TOkresy periods(station_.configFile(), station_.pathTypes(), station_.history(), station_.messages(), window_);
        periods.exec();
    } else if (itemName == "Wycz1") {
        TNoCheck switches(station_.paths(), window_);
        switches.exec();
    } else if (itemName == "Testyodbioru1") {
        TChkForwForm tests(station_.forwarding(), station_.config(), window_);
        tests.exec();
    } else if (itemName == "Pakiety1") {
        runModuleCheckDialog(station_, window_);
    } else if (itemName == "Operator1") {
        operatorLogin(passwordPrompt_, dir_, station_.messages(), station_.history());
    } else if (itemName == "Operatorzy1") {
        TOperators dialog(dir_, station_.messages(), window_);
        dialog.exec();
    } else if (itemName == "Konfiguracja1") {
        // New ports: every path is rebuilt by a module check on them.
        if (runConfigurationDialog(station_, dir_, window_)) runModuleCheckDialog(station_, window_, true);
    } else if (itemName == "Haso1") {
        changeSupervisorPassword(passwordPrompt_, station_.configFile(), station_.messages());
    } else if (itemName == "Swieto1") {
        THoliday holiday(station_.configFile(), station_.clock(), station_.messages(), window_);
        holiday.exec();
    } else if (itemName == "Parametry1") {
        showSystemParameters();
    } else if (itemName == "Czas1") {
        TTimeForm form(station_.configFile(), station_.messages(), [] {
            startFirstOf({{"gnome-control-center", {"datetime"}}, {"systemsettings", {"kcm_clock"}}, {"timedatectl", {}}});
        }, window_);
        form.exec();
    } else if (itemName == "Czas2") {
        startFirstOf({{"gnome-control-center", {"datetime"}}, {"systemsettings", {"kcm_clock"}},
                      {"timedatectl", {}}});
    } else if (itemName == "Obiekt2") {
        blockadeOfFoundSubscriber();
    } else if (itemName == "Indeksy1") {
        runIndexRebuild(station_.messages(), station_.database(), station_.indexes());
    } else if (itemName == "Ekran1") {
        startFirstOf({{"gnome-control-center", {"display"}}, {"systemsettings", {"kcm_kscreen"}},
                      {"arandr", {}}});
    } else if (itemName == "Drukarki1" && outputs_) {
        TPrintersForm form(station_.configFile(), station_.messages(), outputs_->printing().printerNames(), window_);
        form.exec();
    } else if (itemName == "Dzwieki1" && outputs_) {
        TSoundsForm form(station_.configFile(), outputs_->soundFiles(), outputs_->sounds(), station_.messages(),
                         outputs_->player().playsFiles(), dir_.path(), alarmLineColour, window_);
        form.exec();
    } else if (itemName == "Zrzut1") {
        station_.backup().Zrzut();
    } else if (itemName == "Odzysk1") {
        // The blockade list redraws itself from the restored file.
        station_.backup().Odzysk();
    } else if (itemName == "Automat1") {
        TAutoSaveForm form(station_.configFile(), station_.autoDump(), station_.messages(), window_);
        form.exec();
    } else if (itemName == "Zdarzenia2") {
        TAlarms names(station_.events(), dir_, station_.messages(), outputs_ ? &outputs_->printing() : nullptr, false,
                      window_);
        names.exec();
    } else if (itemName == "Rozkazy1") {
        TOrdersTab orders(station_.database().orderNames(), station_.messages(),
                          outputs_ ? &outputs_->printing() : nullptr, nullptr, window_);
        orders.exec();
    } else if (itemName == "Listyzdarze1") {
        openSharedEventLists(station_, outputs_ ? &outputs_->printing() : nullptr, window_,
                             [this] { return finder().find(); });
    } else if (itemName == "Testy1") {
        TSpecAlForm special(station_.configFile(), station_.events(), station_.messages(),
                            [this]() -> std::optional<int> {
                                TAlarms pick(station_.events(), dir_, station_.messages(), nullptr, true, window_);
                                if (pick.exec() != QDialog::Accepted) return std::nullopt;
                                return pick.picked();
                            },
                            window_);
        special.exec();
    } else if (itemName == "Historia2") {
        showHistory(-1, window_);
    } else if (itemName == "Archiwalne1") {
        openArchiveFiles(station_, outputs_ ? &outputs_->printing() : nullptr, window_);
    } else if (itemName == "Historia1") {
        historyOfFoundSubscriber();
    } else if (itemName == "Obiekty1") {
        StationHydroOrders orders(station_.orders());
        THydroUnits units(station_.hydroUnits(), station_.database(), orders, window_);
        units.exec();
    } else if (itemName == "Licznik1") {
        THydroArchForm form(window_);
        form.exec();
    } else if (itemName == "Czasy1") {
        THydroPeriodsForm form(window_);
        form.exec();
    } else if (itemName == "Lista3") {
        subscriberWindows().showList(window_);
    } else if (itemName == "Nowy1") {
        subscriberWindows().newSubscriber(window_);
    } else if (itemName == "Zmiananumeru1") {
        subscriberWindows().changeNumber(window_);
    } else if (itemName == "Diody1") {
        TLedsForm form(window_);
        form.exec();
    } else {
        handled_ = false;
    }
}

ListingParts StationWindowCommands::listingParts() {
    return {outputs_->printing(), station_.messages(), station_.clock(), [this] { return choosePrintData(window_); }};
}

void StationWindowCommands::silenceAlarm() {
    if (outputs_) outputs_->sounds().silenceNow();
}

// "Parametry systemu": one label per line of the summary, the dialog as wide
// as the third line and as high as the lines, "&Koniec" at the bottom.
void StationWindowCommands::showSystemParameters() {
    QDialog dialog(window_, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setObjectName("ParamSysForm");
    dialog.setWindowTitle(QStringLiteral("Parametry systemu"));
    const std::vector<std::string> lines = ParamSys(station_.config(), dir_).lines();
    const QFontMetrics metrics(dialog.font());
    const int size = dialog.font().pixelSize() > 0 ? dialog.font().pixelSize() : metrics.height();
    int widest = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QString text = QString::fromStdString(Messages::shownText(lines[i], false));
        auto* label = new QLabel(text, &dialog);
        label->setTextFormat(Qt::PlainText);
        label->move(3 * size, static_cast<int>(i + 1) * (size + 7));
        label->adjustSize();
        if (i == 2) widest = metrics.horizontalAdvance(text);
    }
    auto* end = new QPushButton(QStringLiteral("&Koniec"), &dialog);
    end->setDefault(true);
    QObject::connect(end, &QPushButton::clicked, &dialog, &QDialog::accept);
    const int height = (metrics.height() + 5) * static_cast<int>(lines.size()) + 10 + end->sizeHint().height() + 20;
    const int width = std::max(widest + 20 + 3 * size, 450);
    dialog.resize(width, std::max(height, 200));
    end->move((width - end->sizeHint().width()) / 2, dialog.height() - end->sizeHint().height() - 8);
    dialog.exec();
}

SubscriberWindows& StationWindowCommands::subscriberWindows() {
    if (!subscribers_)
        subscribers_ = std::make_unique<SubscriberWindows>(station_, [this]() -> TFindSbs& { return finder(); },
                                                           [this] { return supervisor_.on(); });
    subscribers_->setWindow(window_);
    subscribers_->setCard(
        [this](int32_t offset, QWidget* parent) {
            return openSubscriberCard(cardEnvironment(), offset, parent) != QDialog::Rejected;
        },
        [this](int number, int32_t listId, QWidget* parent) {
            return openNewSubscriberCard(cardEnvironment(), number, listId, parent) == QDialog::Accepted;
        });
    return *subscribers_;
}

TFindSbs& StationWindowCommands::finder() {
    // Made once: the operator finds the fields as he left them.
    if (!finder_) finder_ = new TFindSbs(search_, window_);
    return *finder_;
}

// "&Abonent" / "&Historia": the subscriber searched for, then the history
// narrowed to it.
void StationWindowCommands::historyOfFoundSubscriber() {
    const SubscriberFound found = finder().find();
    if (found.offset < 0) return;
    Sbscrbr subscriber(station_.database(), AtOffset{found.offset});
    if (!subscriber.valid) {
        station_.messages().ShowNotice(mz("odczytu danych abonenta"), kNoticeError);
        return;
    }
    showHistory(subscriber.record.object, window_);
}

// A double click on an entry opens its subscriber's card in history mode.
void StationWindowCommands::showHistory(int subscriber, QWidget* parent) {
    ++historyWindows_;
    openHistoryWindow(station_, outputs_ ? &outputs_->printing() : nullptr, parent, subscriber,
                      [this](int number) { return openHistoryCard(cardEnvironment(), number, window_); });
    --historyWindows_;
}

CardEnvironment StationWindowCommands::cardEnvironment() {
    CardEnvironment env{station_};
    env.printing = outputs_ ? &outputs_->printing() : nullptr;
    env.supervisorOn = [this] { return supervisor_.on(); };
    if (supervisor_.hasPasswordPrompt()) env.enterSupervisor = [this] { return supervisor_.enter(); };
    env.leaveSupervisor = [this] { supervisor_.leave(); };
    env.historyOpen = [this] { return historyWindows_ > 0; };
    env.history = [this](int number, QWidget* parent) { showHistory(number, parent); };
    env.findSubscriber = [this] { return finder().find(); };
    env.description = [this](Sbscrbr& subscriber, bool edit, QWidget* parent) {
        subscriberWindows().openDescription(parent, edit, subscriber.record.object, subscriber.record.desc);
    };
    return env;
}

// "B&lokady" / "&Obiekt": the subscriber searched for, then its blockade.
void StationWindowCommands::blockadeOfFoundSubscriber() {
    const SubscriberFound found = finder().find();
    if (found.offset >= 0) openBlockade(found.offset, window_);
}

void StationWindowCommands::openBlockade(int32_t offset, QWidget* parent) {
    Sbscrbr subscriber(station_.database(), AtOffset{offset});
    if (!subscriber.valid) {
        station_.messages().ShowNotice(mz("odczytu danych abonenta"), kNoticeError);
        return;
    }
    BlockadeSubscriber shown;
    shown.number = subscriber.record.object;
    shown.name = textOf(subscriber.record.name);
    shown.password = textOf(subscriber.record.passwd);
    shown.description = [&subscriber] {
        std::string text;
        return subscriber.ReadDescription(text) < 0 ? std::string() : Utf8FromMazovia(text);
    };
    shown.openDescription = [this, &subscriber](QWidget* over) {
        subscriberWindows().openDescription(over, false, subscriber.record.object, subscriber.record.desc);
    };
    TSbsBlockade dialog(shown, station_.blockades(), station_.scheduler(), station_.messages(), parent);
    dialog.exec();
}

void StationWindowCommands::openPathDialog(int32_t offset, QWidget* parent) {
    k4::openPathDialog(cardEnvironment(), offset, parent);
}

// "Lista Badanych Abonentów": a double click or Space opens the paths of the
// subscriber, or its blockade when the list was opened from "B&lokady".
void StationWindowCommands::showSupervisedList(bool forBlockades) {
    TChkSbsrs::PrintList print;
    if (outputs_) {
        print = [this](const std::vector<int32_t>& offsets) {
            ListingParts parts = listingParts();
            printSubscriberListing(offsets, station_.database(), false, kListingNormal, parts);
        };
    }
    TChkSbsrs list(station_.indexes(), station_.database(), window_, print);
    list.setPathDialog([this, &list, forBlockades](int32_t offset) {
        if (forBlockades) openBlockade(offset, &list);
        else openPathDialog(offset, &list);
    });
    list.exec();
}

} // namespace k4
