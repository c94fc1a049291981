#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/ui_dispatcher.h"

namespace quobel {

// A plain event loop on the thread that created it (a test's thread, or a program without
// windows): calls wait in a queue until that thread runs them with RunUntil or ProcessPending.
class TEventLoopDispatcher : public TUiDispatcher {
  public:
    TEventLoopDispatcher();
    ~TEventLoopDispatcher() override;

    void RunAndWait(const std::function<void()>& call) override;
    void Post(std::function<void()> call) override;
    void Close() override;

    // On the loop's thread: runs queued calls until done() holds or the time is up; returns
    // done(). done() is checked after each call and at least every few milliseconds.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // Runs the calls queued now.
    void ProcessPending();

  private:
    struct Job {
        std::function<void()> Call;
        bool Waited = false;
        bool Done = false;
        // The failure's text: the exception object itself stays on the thread that made it.
        bool Failed = false;
        std::string Failure;
    };

    bool OnLoopThread() const { return std::this_thread::get_id() == loopThread_; }
    // Takes the next job, waiting up to the time given; null when there is none.
    std::shared_ptr<Job> Next(std::chrono::milliseconds wait);
    void Run(const std::shared_ptr<Job>& job);

    const std::thread::id loopThread_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<std::shared_ptr<Job>> jobs_;
    bool closed_ = false;
};

}  // namespace quobel
