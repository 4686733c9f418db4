#include "shell/single_instance.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <QLockFile>

namespace k4 {

SingleInstance::SingleInstance(const std::string& lockPath)
    : lock_(std::make_unique<QLockFile>(QString::fromStdString(lockPath))) {
    // Only a dead owner's lock is stale, never an old live one.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (!held_) held_ = lock_->tryLock(0);
    return held_;
}

void reportAlreadyRunning(Messages& messages) {
    messages.ShowNotice(mz("Program został już uruchomiony!"), kNoticeInfo);
}

} // namespace k4
