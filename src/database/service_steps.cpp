#include "database/service_steps.h"

#include "database/codepage.h"
#include "platform/file.h"

#include <algorithm>
#include <cstdlib>

namespace k4 {

namespace {

// The next line of data from at, without its line end.
bool nextLine(const std::string& data, size_t& at, std::string& line) {
    if (at >= data.size()) return false;
    size_t end = data.find('\n', at);
    if (end == std::string::npos) end = data.size();
    line = data.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at = end + 1;
    return true;
}

} // namespace

void ServiceSteps::Clear() {
    for (auto& text : texts_) text.clear();
    loaded_ = false;
}

int ServiceSteps::Load(const DataDir& dir) {
    Clear();
    std::string data;
    if (!readWholeFile(dir.file(kServiceStepsFile), data, nullptr)) return -1;
    size_t at = 0;
    std::string line;
    if (!nextLine(data, at, line)) return -1;
    char* end = nullptr;
    const long page = std::strtol(line.c_str(), &end, 10);
    if (end == line.c_str() || (page != kCp852 && page != kIso8859_2 && page != kCp1250)) return -1;
    for (auto& text : texts_) {
        if (!nextLine(data, at, line)) {
            Clear();
            return -1;
        }
        // A longer line is cut, and its rest does not become the next step.
        text = line.substr(0, std::min(kServiceStepLength, line.find('\0')));
        ConvertCodePage(text, -static_cast<int>(page));
    }
    loaded_ = true;
    return 0;
}

std::string ServiceSteps::windowsText(int i) const {
    std::string text = texts_[static_cast<size_t>(i)];
    ConvertCodePage(text, kCp1250);
    return text;
}

} // namespace k4
