#pragma once
// What the operator is told when the station cannot take its data
// directory's lock.
#include "platform/single_instance.h"

namespace k4 {

class Messages;

// "Program został już uruchomiony!"; the caller then ends without starting.
void reportAlreadyRunning(Messages& messages);
// The box for a refused lock: already running, or the reason the lock file
// could not be written (a full or read-only disk is no second copy).
void reportLockRefused(Messages& messages, const SingleInstance& instance);

} // namespace k4
