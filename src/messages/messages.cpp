#include "messages/messages.h"

#include "database/codepage.h"
#include "database/text_edge.h"
#include "platform/file.h"

#include <cstdarg>
#include <cstdio>

namespace k4 {

namespace {

const std::string kCaptionInformation = "Informacja";
const std::string kCaptionError = "Błąd";
const std::string kCaptionWarning = "Ostrzeżenie";

} // namespace

Messages::Messages(OperatorUi& ui) : ui_(ui) {}

std::string Messages::shownText(std::string_view text, bool windowsText) {
    std::string buffer(text.substr(0, text.find('\0')));
    if (!windowsText) ConvertCodePage(buffer, kCp1250);
    for (char& c : buffer)
        if (c == '\x03') c = ' ';
    return Utf8FromCp1250(buffer);
}

int Messages::ShowNotice(std::string_view text, unsigned style) {
    BoxRequest box;
    box.caption = kCaptionInformation;
    box.icon = BoxIcon::None;
    if (style & kNoticeAlarm) {
        box.caption = kCaptionError;
        box.icon = BoxIcon::Stop;
        if (sound_) sound_->playSound(0);
    }

    // The prefixes are stored text like the message itself, so a joined text
    // is converted as a whole.
    std::string buffer;
    if (style & kNoticeError) {
        buffer = "\x03" + mz("Błąd ");
        buffer += text;
        style &= ~kNoticeError;
        if ((style & ~kNoticeWindowsText) == 0) style = kNoticeInfo;
    } else if (style & kNoticeMemory) {
        buffer = "\x03" + mz("Brak pamięci ");
        buffer += text;
        style &= ~kNoticeMemory;
        if ((style & ~kNoticeWindowsText) == 0) style = kNoticeInfo;
    } else {
        buffer = text;
    }

    box.text = shownText(buffer, (style & kNoticeWindowsText) != 0);
    box.buttons = BoxButtons::Ok;
    box.defaultButton = BoxAnswer::Ok;
    box.topmost = true;
    const BoxAnswer answer = ui_.showBox(box);

    if (style & kNoticeAlarm) {
        if (sound_) {
            sound_->stopSound();
            sound_->resumeAlarmSound(false);
        }
    }
    return answer == BoxAnswer::Ok ? kResultOk : kResultNo;
}

int Messages::ShowNotice(MessageGuard& guard, std::string_view text, unsigned style) {
    if (guard.onScreen()) return kResultNo;
    guard.value = kResultNo;
    const int result = ShowNotice(text, style);
    // A box that could not be shown answers 13 too; the guard must not keep
    // that value, or the call site would stay silent for the rest of the run.
    guard.value = result == kResultNo ? 0 : result;
    return result;
}

int Messages::ShowNoticeFormat(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return ShowNotice(buffer, kNoticeInfo);
}

int Messages::AskYesNo(std::string_view text) {
    BoxRequest box;
    box.text = shownText(text, false);
    box.caption = kCaptionWarning;
    box.buttons = BoxButtons::YesNo;
    box.defaultButton = BoxAnswer::No;
    box.topmost = true;
    return ui_.showBox(box) == BoxAnswer::Yes ? kResultYes : kResultNo;
}

int Messages::AskChoice(std::string_view text, unsigned kind) {
    BoxRequest box;
    box.text = shownText(text, false);
    switch (kind) {
    case kChoiceOkCancel: box.buttons = BoxButtons::OkCancel; break;
    case kChoiceYesNoCancel: box.buttons = BoxButtons::YesNoCancel; break;
    default: box.buttons = BoxButtons::Ok; break;
    }
    // The standard box makes its first button the default.
    box.defaultButton = box.buttons == BoxButtons::YesNoCancel ? BoxAnswer::Yes : BoxAnswer::Ok;
    box.caption = kCaptionWarning;
    if (kind & kChoiceError) box.caption = kCaptionError;
    if (kind & kChoiceInformation) box.caption = kCaptionInformation;
    box.topmost = true;
    switch (ui_.showBox(box)) {
    case BoxAnswer::Ok: return kResultOk;
    case BoxAnswer::Yes: return kResultYes;
    case BoxAnswer::No: return kResultNo;
    case BoxAnswer::Cancel:
    case BoxAnswer::None: break;
    }
    return kResultCancel;
}

void Messages::PollDuringWork(File* file) {
    const int64_t position = file ? file->position() : 0;
    if (inputPoll_) inputPoll_();
    if (file) file->seek(position);
}

WaitDlg::WaitDlg(OperatorUi& ui, std::string_view cp1250Text) : ui_(ui) {
    ui_.showWait(Utf8FromCp1250(cp1250Text.empty() ? cp1250Text : cp1250Text.substr(1)));
}

WaitDlg::~WaitDlg() { ui_.hideWait(); }

} // namespace k4
