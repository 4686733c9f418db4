#pragma once
// The one set of message routines: every notice, question and wait of the
// station goes through here, so every box has the same captions, the same
// code-page treatment of stored texts and the same result codes.
#include "platform/operator_ui.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace k4 {

class File;

// Result codes shared by every box.
enum : int {
    kResultOk = 10,
    kResultCancel = 11,
    kResultYes = 12,
    kResultNo = 13,
};

// Style bits of ShowNotice.
enum : unsigned {
    kNoticeAlarm = 0x0001,       // caption "Błąd", stop icon, class-0 alarm sound
    kNoticeInfo = 0x0002,        // plain information
    kNoticeError = 0x1000,       // shown after "Błąd "
    kNoticeMemory = 0x2000,      // shown after "Brak pamięci "
    kNoticeWindowsText = 0x4000, // already CP1250, not converted
};

// Button sets and captions of AskChoice.
enum : unsigned {
    kChoiceOk = 0x400,
    kChoiceOkCancel = 0xC00,
    kChoiceYesNoCancel = 0xB00,
    kChoiceError = 0x001,
    kChoiceInformation = 0x002,
};

// The alarm sound that an alarm-style notice plays while it is up.
class AlarmSoundControl {
public:
    virtual ~AlarmSoundControl() = default;
    virtual void playSound(int alarmClass) = 0;
    virtual void stopSound() = 0;
    virtual void resumeAlarmSound(bool immediately) = 0;
};

// A call site that the timer may reach again while its box is still up keeps
// one of these, so the same box is never stacked on itself. 13 means on
// screen; otherwise it holds the result of the last box.
struct MessageGuard {
    int value = 0;
    bool onScreen() const { return value == kResultNo; }
};

class Messages {
public:
    explicit Messages(OperatorUi& ui);

    OperatorUi& ui() { return ui_; }
    void setAlarmSound(AlarmSoundControl* sound) { sound_ = sound; }
    // The station's input poll (base link and the next module), run by
    // PollDuringWork; none until the station registers it.
    void setInputPoll(std::function<void()> poll) { inputPoll_ = std::move(poll); }

    // text: stored Mazovia text (CP1250 with kNoticeWindowsText).
    // 10 after OK, otherwise 13.
    int ShowNotice(std::string_view text, unsigned style);
    // The same behind a guard: nothing is shown while the guard's box is up.
    int ShowNotice(MessageGuard& guard, std::string_view text, unsigned style);
    // printf rules over a Mazovia format, at most 1023 characters, shown as
    // plain information.
    int ShowNoticeFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // 12 for Yes, 13 for No; No is the default button.
    int AskYesNo(std::string_view text);
    // 10 OK, 11 Cancel, 12 Yes, 13 No; a box closed otherwise gives 11.
    int AskChoice(std::string_view text, unsigned kind);

    // Serves the inputs once in the middle of a long operation and leaves the
    // given file where it was.
    void PollDuringWork(File* file = nullptr);

    // The text exactly as a box shows it (UTF-8): Mazovia converted unless
    // windowsText, every 0x03 marker a blank, cut at a NUL byte.
    static std::string shownText(std::string_view text, bool windowsText);

private:
    OperatorUi& ui_;
    AlarmSoundControl* sound_ = nullptr;
    std::function<void()> inputPoll_;
};

// The wait window while the object lives. The text is CP1250 with the 0x03
// marker as its first byte; the window shows what follows the marker.
class WaitDlg {
public:
    WaitDlg(OperatorUi& ui, std::string_view cp1250Text);
    ~WaitDlg();
    WaitDlg(const WaitDlg&) = delete;
    WaitDlg& operator=(const WaitDlg&) = delete;

private:
    OperatorUi& ui_;
};

} // namespace k4
