#include "platform/operator_ui.h"

#include <cstdio>

namespace k4 {

namespace {
const char* answerName(BoxAnswer a) {
    switch (a) {
    case BoxAnswer::Ok: return "OK";
    case BoxAnswer::Cancel: return "Anuluj";
    case BoxAnswer::Yes: return "Tak";
    case BoxAnswer::No: return "Nie";
    case BoxAnswer::None: break;
    }
    return "-";
}
} // namespace

BoxAnswer ConsoleOperatorUi::showBox(const BoxRequest& box) {
    std::fprintf(stderr, "[%s] %s (-> %s)\n", box.caption.c_str(), box.text.c_str(),
                 answerName(box.defaultButton));
    std::fflush(stderr);
    return box.defaultButton;
}

void ConsoleOperatorUi::showWait(const std::string& text) {
    std::fprintf(stderr, "[Poczekaj!] %s\n", text.c_str());
    std::fflush(stderr);
}

void ConsoleOperatorUi::hideWait() {}

std::optional<std::string> ConsoleOperatorUi::askDirectory(const std::string& caption,
                                                           const std::string&) {
    std::fprintf(stderr, "[%s] (katalog: brak odpowiedzi)\n", caption.c_str());
    return std::nullopt;
}

std::optional<std::string> ConsoleOperatorUi::askText(const std::string& caption,
                                                      const std::string& prompt,
                                                      const std::string&) {
    std::fprintf(stderr, "[%s] %s (brak odpowiedzi)\n", caption.c_str(), prompt.c_str());
    return std::nullopt;
}

} // namespace k4
