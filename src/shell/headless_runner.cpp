#include "shell/headless_runner.h"

#include "database/text_edge.h"
#include "history/event_line_sink.h"
#include "shell/input_poll.h"
#include "shell/station.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace k4 {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) { stopRequested = 1; }

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
    StandardOutputLines lines;
    station.setEventLineSink(&lines);
    if (station.start() != 0) {
        station.setEventLineSink(nullptr);
        return 1;
    }
    stopRequested = 0;
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&station] {
        if (stopRequested) {
            QCoreApplication::quit();
            return;
        }
        station.tick();
    });
    timer.start(InputPoller::kTickMs);
    QCoreApplication::exec();
    timer.stop();
    station.stop();
    station.setEventLineSink(nullptr);
    return 0;
}

} // namespace k4
