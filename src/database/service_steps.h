#pragma once
// "obsluga.txt": the eight alarm-service steps of the alarm service window.
// Line 1 holds the code page the file was written in (1, 2 or 4); lines 2
// to 9 the eight texts.
#include "platform/data_dir.h"

#include <array>
#include <string>

namespace k4 {

constexpr int kServiceSteps = 8;
constexpr size_t kServiceStepLength = 79;
constexpr const char* kServiceStepsFile = "obsluga.txt";

class ServiceSteps {
public:
    // 0, or -1 when the file is missing, names no usable code page or has
    // fewer than eight texts. On -1 the texts are empty.
    int Load(const DataDir& dir);
    void Clear();

    // Step i (0..7) in Mazovia, at most 79 characters.
    const std::string& text(int i) const { return texts_[static_cast<size_t>(i)]; }
    // The same as a window shows it (CP1250).
    std::string windowsText(int i) const;
    bool loaded() const { return loaded_; }

private:
    std::array<std::string, kServiceSteps> texts_;
    bool loaded_ = false;
};

} // namespace k4
