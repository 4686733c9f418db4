#include "shell/headless_runner.h"

#include "database/text_edge.h"
#include "history/event_line_sink.h"
#include "platform/journal_stream.h"
#include "platform/service_notifier.h"
#include "platform/stop_signals.h"
#include "shell/alarm_lines.h"
#include "shell/input_poll.h"
#include "shell/station.h"
#include "signals/signal_outputs.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace k4 {

namespace {

// Event lines as the printer would get them, in UTF-8 for a terminal or a log.
class StandardOutputLines final : public EventLineSink {
public:
    void printEventLine(std::string_view line) override {
        std::string text = Utf8FromMazovia(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
};

} // namespace

int runHeadless(Station& station) {
    // Taken before anything else can start a program that would inherit it.
    ServiceNotifier service = ServiceNotifier::fromEnvironment();
    StandardOutputLines lines;
    station.setEventLineSink(&lines);
    if (station.start() != 0) {
        station.setEventLineSink(nullptr);
        // Whatever box told the reason, the journal gets the failure as an error.
        tellStderr(JournalPriority::Error, "kestrel4: start stacji nie powiódł się (powód powyżej)");
        return 1;
    }
    watchStopSignals();
    // The alarm sounds and the display programs' service, as with a window;
    // no audio device or no session bus is told once and the station runs
    // on. The event lines stay on standard output.
    SignalOutputs outputs(station.config(), station.messages(), station.alarms(), station.database().dataDir(),
                          SignalOutputs::soundKindFromEnvironment());
    outputs.displayService().setLineOf([&station](const AlarmRecord& alarm) {
        return alarmLineText(alarm, &station.events(), station.config().mode);
    });
    // Up: the start entry is in the history and the inputs are open.
    service.ready("Stacja pracuje");
    tellStderr(JournalPriority::Notice, "kestrel4: stacja pracuje");

    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&station, &service] {
        if (stopSignalled()) {
            QCoreApplication::quit();
            return;
        }
        station.tick();
        // Only a tick that came back feeds the watchdog: one that hangs in a
        // line or a file lets the service manager restart the station.
        service.heartbeat(station.clock().tickMs());
    });
    timer.start(InputPoller::kTickMs);
    QCoreApplication::exec();
    timer.stop();
    service.stopping("Koniec pracy stacji");
    station.stop();
    station.setEventLineSink(nullptr);
    tellStderr(JournalPriority::Notice, "kestrel4: koniec pracy stacji (zapisany w historii)");
    return 0;
}

} // namespace k4
