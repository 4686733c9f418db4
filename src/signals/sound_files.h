#pragma once
// The sound file of each of the 16 categories, kept in the text file
// "sounds" of the data directory: one line per category, an empty line for
// no file. A slot holds at most 15 characters.
#include <array>
#include <string>

namespace k4 {

class SoundFiles {
public:
    static constexpr int kCategories = 16;
    static constexpr size_t kSlotLength = 15;

    explicit SoundFiles(std::string path) : path_(std::move(path)) {}

    // A missing file leaves every slot empty.
    void load();
    // Rewrites the file from the table; false when it cannot be written.
    bool save() const;

    const std::string& slot(int category) const { return slots_[static_cast<size_t>(category)]; }
    // Names longer than a slot are refused: false, the slot unchanged.
    bool setSlot(int category, const std::string& name);
    void clearSlot(int category) { slots_[static_cast<size_t>(category)].clear(); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::array<std::string, kCategories> slots_{};
};

} // namespace k4
