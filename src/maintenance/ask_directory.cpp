#include "maintenance/ask_directory.h"

#include "database/text_edge.h"

#include <filesystem>

namespace k4 {

int AskDirectory(Messages& messages, const std::string& title, const std::string& label, std::string& directory,
                 bool create) {
    // The directory dialog has one line of caption: the title, and the
    // label after it when it fits.
    const std::string caption = label.empty() ? title : title + " - " + label;
    std::optional<std::string> chosen = messages.ui().askDirectory(caption, directory);
    if (!chosen) return 1;
    std::string dir = *chosen;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    std::error_code ec;
    bool usable = !dir.empty() && std::filesystem::is_directory(dir, ec);
    if (!usable && create && !dir.empty()) {
        std::filesystem::create_directories(dir, ec);
        usable = !ec && std::filesystem::is_directory(dir, ec);
    }
    if (!usable) {
        messages.ShowNotice(mz("otwarcia katalogu\n" + dir), kNoticeError);
        return -1;
    }
    directory = dir;
    return 0;
}

} // namespace k4
