#pragma once
// The operator's side of the station with a display: standard message boxes,
// the wait window, the directory and text prompts.
#include "platform/operator_ui.h"

#include <memory>

class QWidget;

namespace k4 {

class TWaitForm;

class QtOperatorUi final : public OperatorUi {
public:
    // parent: the window the boxes are shown over (the main window once it
    // exists); the wait window is created here, once.
    explicit QtOperatorUi(QWidget* parent = nullptr);
    ~QtOperatorUi() override;

    void setParentWindow(QWidget* parent) { parent_ = parent; }

    BoxAnswer showBox(const BoxRequest& box) override;
    void showWait(const std::string& text) override;
    void hideWait() override;
    std::optional<std::string> askDirectory(const std::string& caption,
                                            const std::string& startDir) override;
    std::optional<std::string> askText(const std::string& caption, const std::string& prompt,
                                       const std::string& initial) override;

    TWaitForm* waitForm() { return waitForm_.get(); }

private:
    QWidget* parent_;
    std::unique_ptr<TWaitForm> waitForm_;
};

} // namespace k4
