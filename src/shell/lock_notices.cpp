#include "shell/lock_notices.h"

#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

void reportAlreadyRunning(Messages& messages) {
    messages.ShowNotice(mz("Program został już uruchomiony!"), kNoticeInfo);
}

void reportLockRefused(Messages& messages, const SingleInstance& instance) {
    if (instance.refusal() != SingleInstance::Refusal::CannotWrite) {
        reportAlreadyRunning(messages);
        return;
    }
    messages.ShowNotice(mz("\x03założenia blokady Kestrel4.lock w katalogu danych - " + instance.reason()),
                        kNoticeError);
}

} // namespace k4
