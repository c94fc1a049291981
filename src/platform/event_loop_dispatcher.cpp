#include "platform/event_loop_dispatcher.h"

#include "core/error.h"

namespace quobel {

TEventLoopDispatcher::TEventLoopDispatcher() : loopThread_(std::this_thread::get_id()) {}

TEventLoopDispatcher::~TEventLoopDispatcher() {
    Close();
}

void TEventLoopDispatcher::RunAndWait(const std::function<void()>& call) {
    if (OnLoopThread()) {
        // Waiting for ourselves would never end.
        call();
        return;
    }
    auto job = std::make_shared<Job>();
    job->Call = call;
    job->Waited = true;
    std::unique_lock lock(mutex_);
    if (closed_) {
        throw Error("The user interface has closed.");
    }
    jobs_.push_back(job);
    queued_.notify_all();
    finished_.wait(lock, [&] { return job->Done || closed_; });
    if (!job->Done) {
        throw Error("The user interface has closed.");
    }
    if (job->Failed) {
        throw Error(job->Failure);
    }
}

void TEventLoopDispatcher::Post(std::function<void()> call) {
    auto job = std::make_shared<Job>();
    job->Call = std::move(call);
    std::lock_guard lock(mutex_);
    if (!closed_) {
        jobs_.push_back(std::move(job));
        queued_.notify_all();
    }
}

void TEventLoopDispatcher::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    jobs_.clear();
    finished_.notify_all();
}

std::shared_ptr<TEventLoopDispatcher::Job> TEventLoopDispatcher::Next(
    std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    queued_.wait_for(lock, wait, [&] { return !jobs_.empty(); });
    if (jobs_.empty()) {
        return nullptr;
    }
    std::shared_ptr<Job> job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
}

void TEventLoopDispatcher::Run(const std::shared_ptr<Job>& job) {
    bool failed = false;
    std::string failure;
    try {
        job->Call();
    } catch (const std::exception& error) {
        failed = true;
        failure = error.what();
    } catch (...) {
        failed = true;
        failure = "Unknown failure";
    }
    // A posted call's failure ends here: nobody waits to receive it.
    std::lock_guard lock(mutex_);
    job->Failed = failed && job->Waited;
    job->Failure = std::move(failure);
    job->Done = true;
    finished_.notify_all();
}

bool TEventLoopDispatcher::RunUntil(const std::function<bool()>& done,
                                    std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return done();
        }
        if (std::shared_ptr<Job> job = Next(std::min(left, std::chrono::milliseconds(5)))) {
            Run(job);
        }
    }
    return true;
}

void TEventLoopDispatcher::ProcessPending() {
    while (std::shared_ptr<Job> job = Next(std::chrono::milliseconds(0))) {
        Run(job);
    }
}

}  // namespace quobel
