// Reception end to end on pseudo-terminals at the speed of the line: a whole
// station (history written and synced, alarms raised) under its event loop
// and 100 ms timer, fed by simulated bases that send each frame at 9600 baud
// 8E1 and the next one as soon as the answer is in. Each figure is printed
// beside its reference:
// - frames per second of each base beside the limit of the line: the
//   frame's own bytes, the answer's pacing delay and 10 ms gap, and the
//   answer's last byte on the wire;
// - the delay of an event posted to the event loop while the bases flood it
//   (the window's input waits exactly like it), p50 and p99, beside 50 ms;
// - the processor time of an idle station beside 1 % of a core.
// Run from a directory on the disk the station would use.
#include "admin/installation.h"
#include "config/config.h"
#include "platform/operator_ui.h"
#include "platform/qt_serial_line.h"
#include "shell/station.h"
#include "sim/base_scenario.h"
#include "sim/pty_link.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBaud = 9600;
constexpr int kPacingMs = 5; // "Zwłoka nad." of a fresh installation

struct SilentUi final : k4::OperatorUi {
    k4::BoxAnswer showBox(const k4::BoxRequest& box) override { return box.defaultButton; }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

struct ListedPorts final : k4::SerialPortList {
    std::vector<std::string> paths;
    std::vector<std::string> presentPorts() override { return paths; }
};

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "reception_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A burglary report of an unknown panel: 19 bytes on the wire.
std::vector<uint8_t> reportFrame() {
    return k4::sim::baseFrameBytes({0x11, '2', '4', '9', '9', '9', 0x14, '1', '3', '0', '0', '1', '0', '0', '3'});
}

// Frames per second one base can get through the line at all.
double lineLimit() {
    const double byteMs = 11000.0 / kBaud;
    const double cycleMs = static_cast<double>(reportFrame().size()) * byteMs + kPacingMs + 10 + byteMs;
    return 1000.0 / cycleMs;
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "reception_bench: %s\n", what.c_str());
    std::exit(1);
}

// A fresh receiving centre with its bases on pseudo-terminals.
class Centre {
public:
    explicit Centre(int bases) {
        application();
        char pattern[] = "k4bench-XXXXXX";
        char* made = ::mkdtemp(pattern);
        char absolute[4096];
        if (!made || !::realpath(made, absolute)) fail("no scratch directory");
        dir_ = absolute;
        std::string error;
        if (!k4::admin::writeFreshInstallation(dir_, false, error)) fail(error);
        k4::Config config{k4::DataDir(dir_)};
        config.LoadConfig(1);
        config.block().mode = 2;
        config.block().data_port = 1;
        config.block().base2_port = static_cast<int16_t>(bases > 1 ? 2 : 0);
        config.block().send_delay = kPacingMs;
        config.SaveConfig(1);
        for (int i = 0; i < bases; ++i) {
            links_.push_back(std::make_unique<k4::sim::PtyLink>());
            const std::string path = dir_ + "/baza" + std::to_string(i + 1);
            if (!links_.back()->create(path, error)) fail(error);
            links_.back()->setLineSpeed(kBaud);
            ports_.paths.push_back(path);
        }
        station_ = std::make_unique<k4::Station>(k4::Station::Environment{
            k4::DataDir(dir_), ui_, clock_, ports_, [] { return std::make_unique<k4::QtSerialLine>(); },
            [](int) { fail("the station ended"); }});
        if (station_->start() != 0) fail("the station did not start in " + dir_);
        QObject::connect(&timer_, &QTimer::timeout, [this] { station_->tick(); });
        timer_.start(100);
    }
    ~Centre() {
        timer_.stop();
        station_->stop();
        station_.reset();
        links_.clear();
        std::system(("rm -rf " + dir_).c_str());
    }
    k4::sim::PtyLink& base(int i) { return *links_[static_cast<size_t>(i)]; }
    int bases() const { return static_cast<int>(links_.size()); }

    // Runs the station's event loop for the time given.
    static void runFor(std::chrono::milliseconds time) {
        QTimer::singleShot(static_cast<int>(time.count()), [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
    }

private:
    std::string dir_;
    SilentUi ui_;
    k4::SystemClock clock_;
    ListedPorts ports_;
    std::vector<std::unique_ptr<k4::sim::PtyLink>> links_;
    std::unique_ptr<k4::Station> station_;
    QTimer timer_;
};

// A base that sends report after report as fast as its line and the
// station's answers allow, counting the accepted ones once measuring began.
class FloodingBase {
public:
    explicit FloodingBase(k4::sim::PtyLink& link) : thread_([this, &link] { run(link); }) {}
    ~FloodingBase() {
        stop_ = true;
        thread_.join();
    }
    void startCounting() { counting_ = true; }
    int accepted() const { return accepted_; }
    int unanswered() const { return unanswered_; }

private:
    void run(k4::sim::PtyLink& link) {
        const auto frame = reportFrame();
        // The station flushes its port when it opens it.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        while (!stop_) {
            link.write(frame);
            const auto answer = link.readAnswer(std::chrono::milliseconds(500));
            if (!counting_) continue;
            if (answer == std::vector<uint8_t>{0x0A, 0x0D}) ++accepted_;
            else ++unanswered_;
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<bool> counting_{false};
    std::atomic<int> accepted_{0};
    std::atomic<int> unanswered_{0};
    std::thread thread_;
};

// Events posted to the event loop from outside at random moments, as the
// window system posts the operator's keys; each one notes how long it
// waited to be handled.
class PostedEventProbe final : public QObject {
public:
    struct Probe final : QEvent {
        explicit Probe(Clock::time_point at) : QEvent(kType), postedAt(at) {}
        Clock::time_point postedAt;
    };
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 17);

    PostedEventProbe() : poster_([this] { post(); }) {}
    ~PostedEventProbe() override {
        stop_ = true;
        poster_.join();
        QCoreApplication::removePostedEvents(this);
    }
    bool event(QEvent* e) override {
        if (e->type() != kType) return QObject::event(e);
        const auto waited = Clock::now() - static_cast<Probe*>(e)->postedAt;
        if (counting_) delaysMs_.push_back(std::chrono::duration<double, std::milli>(waited).count());
        return true;
    }
    void startCounting() { counting_ = true; }
    double percentile(double p) {
        if (delaysMs_.empty()) return -1;
        std::sort(delaysMs_.begin(), delaysMs_.end());
        return delaysMs_[static_cast<size_t>(p * static_cast<double>(delaysMs_.size() - 1))];
    }
    size_t count() const { return delaysMs_.size(); }

private:
    void post() {
        std::mt19937 random(17);
        std::uniform_int_distribution<int> pause(2, 12);
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            QCoreApplication::postEvent(this, new Probe(Clock::now()));
        }
    }
    std::atomic<bool> stop_{false};
    bool counting_ = false; // read and written on the event loop's thread only
    std::vector<double> delaysMs_;
    std::thread poster_;
};

void BM_Reception(benchmark::State& state) {
    const int bases = static_cast<int>(state.range(0));
    const auto measured = std::chrono::seconds(8);
    for (auto _ : state) {
        Centre centre(bases);
        std::vector<std::unique_ptr<FloodingBase>> senders;
        for (int i = 0; i < bases; ++i) senders.push_back(std::make_unique<FloodingBase>(centre.base(i)));
        PostedEventProbe probe;
        Centre::runFor(std::chrono::milliseconds(1000)); // the bases get going
        for (auto& s : senders) s->startCounting();
        probe.startCounting();
        const auto began = Clock::now();
        Centre::runFor(measured);
        const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
        const double limit = lineLimit();
        double worst = 1e9;
        int unanswered = 0;
        for (int i = 0; i < bases; ++i) {
            const double rate = senders[static_cast<size_t>(i)]->accepted() / seconds;
            worst = std::min(worst, rate);
            unanswered += senders[static_cast<size_t>(i)]->unanswered();
            state.counters["base" + std::to_string(i + 1) + "_frames_s"] = rate;
        }
        state.counters["limit_frames_s"] = limit;
        state.counters["worst_ratio"] = worst / limit;
        state.counters["unanswered"] = unanswered;
        state.counters["posted_p50_ms"] = probe.percentile(0.50);
        state.counters["posted_p99_ms"] = probe.percentile(0.99);
        state.counters["posted_max_ms"] = probe.percentile(1.0);
        state.counters["posted_goal_ms"] = 50;
        state.counters["posted_events"] = static_cast<double>(probe.count());
        senders.clear();
        Centre::runFor(std::chrono::milliseconds(600)); // the last answers go out
    }
}
BENCHMARK(BM_Reception)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond);

double processSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void BM_IdleStation(benchmark::State& state) {
    for (auto _ : state) {
        Centre centre(2);
        Centre::runFor(std::chrono::milliseconds(500));
        const double cpuBefore = processSeconds();
        const auto began = Clock::now();
        Centre::runFor(std::chrono::seconds(10));
        const double wall = std::chrono::duration<double>(Clock::now() - began).count();
        const double share = (processSeconds() - cpuBefore) / wall;
        state.counters["cpu_percent_of_core"] = share * 100;
        state.counters["goal_percent"] = 1;
        state.counters["ratio_to_goal"] = share * 100 / 1.0;
    }
}
BENCHMARK(BM_IdleStation)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
