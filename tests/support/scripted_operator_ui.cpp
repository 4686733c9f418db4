#include "support/scripted_operator_ui.h"

namespace k4::test {

BoxAnswer ScriptedOperatorUi::showBox(const BoxRequest& box) {
    boxes.push_back(box);
    if (whileShown) whileShown(box);
    if (answers.empty()) return box.defaultButton;
    BoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedOperatorUi::showWait(const std::string& text) {
    waits.push_back(text);
    waitVisible = true;
}

void ScriptedOperatorUi::hideWait() {
    ++waitsHidden;
    waitVisible = false;
}

std::optional<std::string> ScriptedOperatorUi::askDirectory(const std::string&, const std::string&) {
    if (directoryAnswers.empty()) return std::nullopt;
    auto answer = directoryAnswers.front();
    directoryAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedOperatorUi::askText(const std::string&, const std::string&,
                                                       const std::string&) {
    if (textAnswers.empty()) return std::nullopt;
    auto answer = textAnswers.front();
    textAnswers.pop_front();
    return answer;
}

} // namespace k4::test
