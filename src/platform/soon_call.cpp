#include "platform/soon_call.h"

#include <QMetaObject>
#include <QObject>

namespace k4 {

SoonCall::SoonCall(std::function<bool()> work) : work_(std::move(work)), context_(std::make_unique<QObject>()) {}

SoonCall::~SoonCall() = default;

void SoonCall::request() {
    // A request made while the work runs (bytes that came during it) is
    // posted when it ends, so it queues behind what was posted meanwhile.
    if (running_) {
        again_ = true;
        return;
    }
    if (!queued_) post();
}

void SoonCall::post() {
    queued_ = true;
    QMetaObject::invokeMethod(context_.get(), [this] { run(); }, Qt::QueuedConnection);
}

void SoonCall::run() {
    queued_ = false;
    hasRun_ = true;
    running_ = true;
    again_ = false;
    const bool more = work_ && work_();
    running_ = false;
    if ((more || again_) && !queued_) post();
}

} // namespace k4
