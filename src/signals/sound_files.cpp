#include "signals/sound_files.h"

#include <fstream>

namespace k4 {

void SoundFiles::load() {
    for (auto& s : slots_) s.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;
    std::string line;
    for (auto& s : slots_) {
        if (!std::getline(in, line)) break;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A hand-edited line longer than a slot is cut, as the slot would.
        s = line.substr(0, kSlotLength);
    }
}

bool SoundFiles::save() const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const auto& s : slots_) out << s << '\n';
    out.flush();
    return static_cast<bool>(out);
}

bool SoundFiles::setSlot(int category, const std::string& name) {
    if (category < 0 || category >= kCategories) return false;
    if (name.size() > kSlotLength || name.find('\n') != std::string::npos) return false;
    slots_[static_cast<size_t>(category)] = name;
    return true;
}

} // namespace k4
