#pragma once
// What the core asks of the person at the station: a box with buttons, the
// wait window, a directory or a line of text. The window code answers with
// real dialogs, the headless station on the console, tests from a script.
// All texts here are UTF-8, already converted from their stored code page.
#include <optional>
#include <string>

namespace k4 {

enum class BoxIcon { None, Stop, Warning, Information, Question };
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxAnswer { None, Ok, Cancel, Yes, No };

struct BoxRequest {
    std::string text;
    std::string caption;
    BoxIcon icon = BoxIcon::None;
    BoxButtons buttons = BoxButtons::Ok;
    BoxAnswer defaultButton = BoxAnswer::Ok;
    bool topmost = true;
};

class OperatorUi {
public:
    virtual ~OperatorUi() = default;
    // Runs the box modally; None when it could not be shown or was closed
    // without a button.
    virtual BoxAnswer showBox(const BoxRequest& box) = 0;
    // The wait window: shown at once, before the long work starts.
    virtual void showWait(const std::string& text) = 0;
    virtual void hideWait() = 0;
    // A directory chosen by the operator, or nothing when cancelled.
    virtual std::optional<std::string> askDirectory(const std::string& caption,
                                                    const std::string& startDir) = 0;
    // A line of text typed by the operator, or nothing when cancelled.
    virtual std::optional<std::string> askText(const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& initial) = 0;
};

// The headless station: every box goes to standard error with its caption and
// takes its default button; prompts take nothing.
class ConsoleOperatorUi final : public OperatorUi {
public:
    BoxAnswer showBox(const BoxRequest& box) override;
    void showWait(const std::string& text) override;
    void hideWait() override;
    std::optional<std::string> askDirectory(const std::string& caption,
                                            const std::string& startDir) override;
    std::optional<std::string> askText(const std::string& caption, const std::string& prompt,
                                       const std::string& initial) override;
};

} // namespace k4
