#include "platform/operator_ui.h"

#include "platform/journal_stream.h"

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

// An error box is an error in the journal, a warning a warning.
JournalPriority priorityOf(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Stop: return JournalPriority::Error;
    case BoxIcon::Warning: return JournalPriority::Warning;
    case BoxIcon::Question: return JournalPriority::Notice;
    case BoxIcon::Information:
    case BoxIcon::None: break;
    }
    return JournalPriority::Info;
}
} // namespace

BoxAnswer ConsoleOperatorUi::showBox(const BoxRequest& box) {
    tellStderr(priorityOf(box.icon),
               "[" + box.caption + "] " + box.text + " (-> " + answerName(box.defaultButton) + ")");
    return box.defaultButton;
}

void ConsoleOperatorUi::showWait(const std::string& text) {
    tellStderr(JournalPriority::Info, "[Poczekaj!] " + text);
}

void ConsoleOperatorUi::hideWait() {}

std::optional<std::string> ConsoleOperatorUi::askDirectory(const std::string& caption,
                                                           const std::string&) {
    tellStderr(JournalPriority::Notice, "[" + caption + "] (katalog: brak odpowiedzi)");
    return std::nullopt;
}

std::optional<std::string> ConsoleOperatorUi::askText(const std::string& caption,
                                                      const std::string& prompt,
                                                      const std::string&) {
    tellStderr(JournalPriority::Notice, "[" + caption + "] " + prompt + " (brak odpowiedzi)");
    return std::nullopt;
}

} // namespace k4
