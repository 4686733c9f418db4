// The operator station.
#include "database/text_edge.h"
#include "platform/qt_datagram_socket.h"
#include "platform/qt_serial_line.h"
#include "platform/service_notifier.h"
#include "platform/stop_signals.h"
#include "processing/alarm_subscriber_info.h"
#include "processing/ui/chk_sbs_dlg.h"
#include "processing/ui/qt_alarm_windows.h"
#include "database/orders_table_list.h"
#include "database/sbscrbr.h"
#include "shell/block_lst_view.h"
#include "printing/ui/qt_graphic_document.h"
#include "shell/alarm_lines.h"
#include "shell/headless_runner.h"
#include "signals/signal_outputs.h"
#include "shell/start_warnings.h"
#include "shell/station.h"
#include "shell/ui/checking_cells.h"
#include "shell/station_process.h"
#include "shell/ui/kestrel.h"
#include "shell/ui/kiosk_display.h"
#include "shell/ui/path_dialog_links.h"
#include "shell/ui/qt_operator_ui.h"
#include "shell/ui/station_application.h"
#include "shell/ui/station_window_commands.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string dataDir = ".";
    bool headless = false;
};

// Whether to go on, and otherwise the status to end with: 0 after --help.
bool parse(int argc, char** argv, Options& options, int& status) {
    status = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            options.headless = true;
        } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
            options.dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: kestrel4 [--data KATALOG] [--headless]\n"
                        "Stacja operatora centrum monitorowania alarmów: okno 640 x 480 na całym ekranie\n"
                        "kiosku albo, z --headless, stacja bez ekranu (usługa kestrel4@.service).\n"
                        "\n"
                        "  --data KATALOG  katalog danych stacji (domyślnie bieżący)\n"
                        "  --headless      bez ekranu: komunikaty na stderr, wiersze zdarzeń na stdout\n"
                        "  --help          ten opis\n"
                        "\n"
                        "Zmienne środowiska:\n"
                        "  KESTREL4_WINDOWED=1            zwykłe okno 640 x 480 zamiast pełnego ekranu kiosku\n"
                        "  KESTREL4_SERIAL_PORTS=ŚCIEŻKA[:ŚCIEŻKA...]  dodatkowe porty szeregowe\n"
                        "  QT_SCALE_FACTOR                skala okna kiosku (domyślnie największa mieszcząca się)\n"
                        "  NOTIFY_SOCKET, WATCHDOG_USEC   od systemd: gotowość, zatrzymanie i watchdog taktu\n"
                        "\n"
                        "SIGTERM i SIGINT kończą pracę stacji z wpisem końca pracy w historii.\n");
            return false;
        } else {
            std::fprintf(stderr, "kestrel4: nieznany argument %s (--help)\n", argv[i]);
            status = 1;
            return false;
        }
    }
    return true;
}

// The station's environment on this machine: its serial ports, its real UDP
// sockets on the ports KESTREL4_UDP_PORTS gives (the standard ones without it).
k4::Station::Environment machineEnvironment(k4::OperatorUi& ui, const k4::DataDir& dir, k4::Clock& clock,
                                            k4::SerialPortList& ports, k4::EventPump& pump) {
    std::string udpError;
    const auto udp = k4::UdpSettings::fromEnvironment(&udpError);
    return {dir,
            ui,
            clock,
            ports,
            [] { return std::make_unique<k4::QtSerialLine>(); },
            [dir](int status) { k4::endStationProcess(dir, status); },
            [] { return std::make_unique<k4::QtDatagramSocket>(); },
            &pump,
            udp.value_or(k4::UdpSettings{}),
            udp ? std::string() : udpError};
}

int runWithoutDisplay(k4::OperatorUi& ui, const k4::DataDir& dir) {
    k4::SystemClock clock;
    k4::SystemSerialPortList ports;
    k4::QtEventPump pump;
    k4::Station station(machineEnvironment(ui, dir, clock, ports, pump));
    return k4::runHeadless(station);
}

std::array<std::string, 8> serviceStepTexts(const k4::Station& station) {
    std::array<std::string, 8> steps;
    for (int i = 0; i < 8; ++i) steps[static_cast<size_t>(i)] = k4::Utf8FromCp1250(station.serviceSteps().windowsText(i));
    return steps;
}

// The station with its window. A kiosk session (a dedicated X session or a
// kiosk compositor such as cage) gives the station the whole 640 x 480
// screen; KESTREL4_WINDOWED=1 makes it an ordinary window for development.
int runWindowed(k4::QtOperatorUi& ui, const k4::DataDir& dir) {
    // A kiosk session started as a service is watched like the headless one.
    k4::ServiceNotifier service = k4::ServiceNotifier::fromEnvironment();
    k4::SystemClock clock;
    k4::SystemSerialPortList ports;
    k4::QtEventPump pump;
    k4::Station station(machineEnvironment(ui, dir, clock, ports, pump));
    if (const int started = station.start(); started != 0) {
        // Ports that cannot be opened are set right in the configuration,
        // which the next start then uses.
        if (started == k4::Station::kStationPortsFailed) k4::runConfigurationDialog(station, dir, nullptr);
        return 1;
    }
    // Sounds, printers and the display programs' service.
    k4::QtGraphicDocument graphicListings;
    k4::SignalOutputs outputs(station.config(), station.messages(), station.alarms(), dir,
                              k4::SignalOutputs::soundKindFromEnvironment(), &graphicListings);
    outputs.displayService().setLineOf([&station](const k4::AlarmRecord& alarm) {
        return k4::alarmLineText(alarm, &station.events(), station.config().mode);
    });
    station.setEventLineSink(&outputs.eventPrinter());

    k4::QtAlarmWindows alarmWindows(
        station.messages(), &station.events(),
        [&station](const k4::AlarmRecord& alarm) {
            return k4::describeAlarmSubscriber(station.database(), station.events(), station.pathTypes(), alarm);
        },
        serviceStepTexts(station));
    // A transmitting centre's description of an alarm forwards it now, or
    // calls a fire's delayed forward off.
    alarmWindows.setDescriptionActions([&station, &outputs](const k4::AlarmRecord& alarm) -> std::optional<k4::AlarmDescriptionActions> {
        k4::AlarmDescriptionActions actions;
        const int mode = station.config().mode;
        if (mode == 1) {
            size_t shown = 0;
            for (int base = 0; base < k4::kBaseEntries && shown < actions.captions.size(); ++base)
                if (alarm.forward[static_cast<size_t>(base)] != 0)
                    actions.captions[shown++] =
                        k4::Utf8FromMazovia(k4::baseButtonCaption(station.config().bases[base]));
            const uint8_t id = alarm.id;
            actions.forwardNow = [&station, id](int which) {
                int index = -1;
                station.alarms().findById(id, &index);
                station.forwarder().forwardNow(index, which);
            };
            actions.firePending = (alarm.state() & k4::AlarmRecord::kStateFireForwardPending) != 0;
            actions.falseAlarm = [&station, id] {
                if (k4::AlarmRecord* listed = station.alarms().findById(id)) station.forwarder().cancelDelayed(*listed);
            };
        }
        // An order to the panel over the alarm's own kind of path; not from
        // a local source, not in the receiving-only mode, not to a panel
        // that may be sent no order.
        k4::Sbscrbr subscriber(station.database(), k4::ByNumber{static_cast<uint16_t>(alarm.subscriber)});
        bool permitted = true;
        if (subscriber.valid && !subscriber.unindexed) {
            k4::OrdersTableList orders(station.database().files(), station.database().orderNames(),
                                       subscriber.record.orders);
            permitted = orders.usable() && orders.Count() > 0;
        }
        if (mode != 2 && alarm.path >= 0 && permitted) {
            const int number = static_cast<uint16_t>(alarm.subscriber);
            const int path = alarm.path;
            actions.sendOrder = [&station, &outputs, number, path](QWidget* parent) {
                k4::Sbscrbr s(station.database(), k4::ByNumber{number});
                if (!s.valid || s.unindexed) {
                    station.messages().ShowNotice(k4::mz("\x03Nieprawidłowy numer abonenta."), k4::kNoticeInfo);
                    return;
                }
                int choice = -1;
                if (const auto d = station.paths().describe(path)) choice = d->testPath <= 3 ? d->testPath : d->testPath <= 6 ? 4 : -1;
                k4::TChkSbsDlg dialog(station.database(), station.paths(), station.orders(), station.messages(),
                                      s.offset(), parent, choice, k4::pathDialogLinks(station, &outputs.printing()));
                dialog.setWindowTitle(QStringLiteral("Wysyłanie rozkazu"));
                dialog.exec();
            };
        }
        return actions;
    });
    // exit(), not quit(): quit() first asks every window to close, and the
    // main window refuses that to everything but "&Wyjście".
    k4::StationWindowCommands commands(station, dir, [] { QCoreApplication::exit(0); });
    commands.setSignalOutputs(&outputs);
    k4::BlockLstView blockades(station.blockades());
    k4::TKestrel window({station.alarms(), &station.events(), station.trace(), station.messages(), clock,
                         station.config(), dir, commands, alarmWindows, &station.scheduler(), &blockades});
    ui.setParentWindow(&window);
    if (station.hydroUnits().unitCount() > 0) window.offerHydroUnits();
    alarmWindows.setParent(&window);
    commands.setWindow(&window);
    station.timer().setClockShown([&window](const std::string& text) { window.showClock(text); });
    // The checking panel gets a cell per probed path of the module check
    // made at start, and again after every later one.
    station.setPathsRebuilt([&] { window.checking().rebuild(station.checkedPaths()); });
    station.paths().setCheckingObserver(&window.checking());
    station.pathsRebuilt();

    if (qEnvironmentVariable("KESTREL4_WINDOWED") == QStringLiteral("1")) {
        window.show();
    } else {
        window.setWindowFlag(Qt::FramelessWindowHint);
        k4::showKioskWindow(window);
        // Restoring the station after "&Minimalizacja" puts the kiosk back.
        QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &window, [&window](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive && !window.isFullScreen()) k4::showKioskWindow(window);
        });
    }
    // The station runs under the start-up questions: reports keep coming.
    window.startTimer1();
    // The session ending (or the technician's kill) closes the data as
    // "&Wyjście" would, so the history gets its end entry.
    k4::watchStopSignals();
    service.ready("Stacja pracuje");
    // On the same event loop as Timer1: when a tick hangs, this stops too
    // and the watchdog is no longer fed.
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, [&service, &clock] {
        if (k4::stopSignalled()) QCoreApplication::exit(0);
        service.heartbeat(clock.tickMs());
    });
    stopWatch.start(k4::TKestrel::kTimerMs);
    // The start-up questions wait for the operator; the service is up meanwhile.
    k4::runStartWarnings(station.configFile(), station.messages());
    QCoreApplication::exec();
    stopWatch.stop();
    service.stopping("Koniec pracy stacji");

    window.stopTimer1();
    station.timer().setClockShown(nullptr);
    station.paths().setCheckingObserver(nullptr);
    station.setPathsRebuilt(nullptr);
    ui.setParentWindow(nullptr);
    if (station.started()) station.stop();
    station.setEventLineSink(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (int status = 0; !parse(argc, argv, options, status)) return status;
    // One station per data directory, with a window or without: two would
    // append to the same history and records.
    const k4::DataDir dir(options.dataDir);
    if (options.headless) {
        QCoreApplication app(argc, argv);
        k4::ConsoleOperatorUi ui;
        return k4::runAsOnlyStation(ui, dir, [&] { return runWithoutDisplay(ui, dir); });
    }
    const std::vector<std::string> arguments(argv, argv + argc);
    k4::StationApplication app(argc, argv);
    if (qEnvironmentVariable("KESTREL4_WINDOWED") != QStringLiteral("1")) k4::scaleKioskToScreen(arguments);
    k4::QtOperatorUi ui;
    app.setOperatorUi(&ui);
    return k4::runAsOnlyStation(ui, dir, [&] { return runWindowed(ui, dir); });
}
