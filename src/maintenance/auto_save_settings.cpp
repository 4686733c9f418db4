#include "maintenance/auto_save_settings.h"

#include "database/text_edge.h"
#include "maintenance/ask_directory.h"

#include <cstring>
#include <filesystem>

namespace k4 {

int applyAutoSaveSettings(Config& config, AutoDump& dump, Messages& messages, bool enabled, bool changeDirectory) {
    ConfigBlock& block = config.block();
    const bool wasOn = (block.autosave_flags & 1) != 0;
    std::error_code ec;
    const std::string current = dump.dumpDirectory();
    const bool ask = changeDirectory || (enabled && (current.empty() || !std::filesystem::is_directory(current, ec)));
    if (ask) {
        std::string chosen = current;
        const int asked = AskDirectory(messages, "Zrzut automatyczny", "Nazwa katalogu kopii bazy:", chosen, true);
        if (asked != 0) return asked;
        const std::string stored = mz(chosen);
        if (stored.size() >= sizeof block.autosave_dir) {
            messages.ShowNotice(mz("Nazwa katalogu zrzutu jest za długa (najwyżej 59 znaków):\n" + chosen),
                                kNoticeInfo);
            return -1;
        }
        std::memset(block.autosave_dir, 0, sizeof block.autosave_dir);
        std::memcpy(block.autosave_dir, stored.data(), stored.size());
    }
    block.autosave_flags = static_cast<uint16_t>(enabled ? (block.autosave_flags | 1) : (block.autosave_flags & ~1));
    if (config.SaveConfig(0) != 0) {
        messages.ShowNotice(mz("zapisu konfiguracji"), kNoticeError);
        return -1;
    }
    // A new directory is checked again, and the night booked anew.
    if (wasOn != enabled || (enabled && ask)) dump.run(true, !enabled);
    return 0;
}

} // namespace k4
