#pragma once
// The operator of the tests: records every box exactly as it would be shown
// and answers from a script; an empty script takes the default button.
#include "platform/operator_ui.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace k4::test {

class ScriptedOperatorUi final : public OperatorUi {
public:
    std::vector<BoxRequest> boxes;
    std::deque<BoxAnswer> answers;
    // Runs while a box is "on screen", as the timer does under a modal box.
    std::function<void(const BoxRequest&)> whileShown;

    std::vector<std::string> waits; // texts of showWait, in order
    int waitsHidden = 0;
    bool waitVisible = false;

    std::deque<std::optional<std::string>> directoryAnswers;
    std::deque<std::optional<std::string>> textAnswers;

    BoxAnswer showBox(const BoxRequest& box) override;
    void showWait(const std::string& text) override;
    void hideWait() override;
    std::optional<std::string> askDirectory(const std::string& caption,
                                            const std::string& startDir) override;
    std::optional<std::string> askText(const std::string& caption, const std::string& prompt,
                                       const std::string& initial) override;
};

} // namespace k4::test
