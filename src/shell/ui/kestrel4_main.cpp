// The operator station.
#include "platform/qt_serial_line.h"
#include "shell/headless_runner.h"
#include "shell/station.h"
#include "shell/ui/qt_operator_ui.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Options {
    std::string dataDir = ".";
    bool headless = false;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            options.headless = true;
        } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
            options.dataDir = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("kestrel4 [--data KATALOG] [--headless]\n"
                        "  --data KATALOG  katalog danych stacji (domyślnie bieżący)\n"
                        "  --headless      bez ekranu: komunikaty na stderr, wiersze zdarzeń na stdout\n");
            return false;
        } else {
            std::fprintf(stderr, "kestrel4: nieznany argument %s (--help)\n", argv[i]);
            return false;
        }
    }
    return true;
}

int run(k4::OperatorUi& ui, const Options& options) {
    k4::SystemClock clock;
    k4::SystemSerialPortList ports;
    k4::Station station({k4::DataDir(options.dataDir), ui, clock, ports,
                         [] { return std::make_unique<k4::QtSerialLine>(); },
                         [](int status) { std::exit(status); }});
    return k4::runHeadless(station);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 1;
    if (options.headless) {
        QCoreApplication app(argc, argv);
        k4::ConsoleOperatorUi ui;
        return run(ui, options);
    }
    QApplication app(argc, argv);
    k4::QtOperatorUi ui;
    return run(ui, options);
}
