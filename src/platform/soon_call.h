#pragma once
// A piece of work run soon on the event loop, behind whatever is already
// waiting there (the window's input first). Asked for any number of times
// before it runs, it runs once; asked for while it runs, it runs once more
// afterwards, again behind what came meanwhile. Without a running event loop
// it never runs.
#include <functional>
#include <memory>

class QObject;

namespace k4 {

class SoonCall {
public:
    // work answers whether it left something undone; it is then run again.
    explicit SoonCall(std::function<bool()> work);
    ~SoonCall();
    SoonCall(const SoonCall&) = delete;
    SoonCall& operator=(const SoonCall&) = delete;

    void request();
    // Queued on an event loop that is known to run it (it has run before).
    bool willRun() const { return queued_ && hasRun_; }

private:
    void post();
    void run();

    std::function<bool()> work_;
    std::unique_ptr<QObject> context_; // queued calls go with it
    bool queued_ = false;
    bool running_ = false;
    bool again_ = false;
    bool hasRun_ = false;
};

} // namespace k4
