// The operator station. Until its reception is in place this program checks
// the installation it is pointed at and says plainly that it cannot receive.
#include "config/config.h"
#include "config/param_sys.h"
#include "database/text_edge.h"
#include "platform/data_dir.h"
#include "platform/operator_ui.h"
#include "shell/messages.h"
#include "shell/ui/qt_operator_ui.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
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
    k4::Messages messages(ui);
    k4::DataDir dir(options.dataDir);
    k4::Config config(dir);
    if (config.LoadConfig(1) != 0) {
        messages.ShowNotice("\n\nNiepoprawna inicjalizacja programu\n", k4::kNoticeInfo);
        std::fprintf(stderr, "kestrel4: %s\n", config.lastError().c_str());
        return 1;
    }
    for (const auto& line : k4::ParamSys(config.block(), dir).lines())
        std::printf("%s\n", k4::Utf8FromMazovia(line).c_str());
    messages.ShowNotice(k4::mz("\x03Odbiór meldunków nie jest jeszcze dostępny w tej wersji stacji."),
                        k4::kNoticeInfo);
    return 2;
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
