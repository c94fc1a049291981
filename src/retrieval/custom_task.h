#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "accounts/account.h"
#include "core/error.h"
#include "core/user_text.h"
#include "retrieval/qbpop3.h"

namespace quobel {

class TUiDispatcher;

// Status kinds of a task: what the task is doing, for the image beside its status.
inline constexpr uint8_t kStatusConnecting = 0;
inline constexpr uint8_t kStatusChecking = 2;
inline constexpr uint8_t kStatusTransferring = 3;
inline constexpr uint8_t kStatusNone = 5;

// What the error log says of a task the user cancelled.
inline constexpr const char* kCancelledText = USER_TEXT("Quobel", "Cancelled");

// A background task: one worker thread that does its work (Run) with a POP3 session and talks to
// the rest of the system only through events. Every event but OnProgress runs on the
// user-interface thread while the worker waits, so handlers may touch anything there and read
// the task's fields. A task is created suspended and started by its queue (TTasks).
class TCustomTask {
  public:
    explicit TCustomTask(TUiDispatcher& dispatcher);
    // Waits for the worker thread; never called on it.
    virtual ~TCustomTask();
    TCustomTask(const TCustomTask&) = delete;
    TCustomTask& operator=(const TCustomTask&) = delete;

    std::unique_ptr<TQBPOP3> Connection;  // owned unless handed over
    bool UsesConnection = false;
    bool CanHandOver = false;
    TAccount Account;                         // the task's own copy
    const TAccount* SourceAccount = nullptr;  // the registry's account; never changed
    std::string StatusText;
    uint8_t StatusKind = kStatusNone;
    std::string ErrorText;
    Error ErrorObject{""};
    int64_t Position = 0;
    int64_t Max = 0;
    int64_t Step = 0;
    int64_t StepsReported = 0;
    bool HandedOver = false;

    std::function<void(TCustomTask& sender, const std::string& text, uint8_t kind)> OnStatus;
    std::function<void(TCustomTask& sender, const std::string& text, const Error& error)> OnError;
    // On the worker thread.
    std::function<void(TCustomTask& sender, int64_t position, int64_t max)> OnProgress;
    std::function<void(TCustomTask& sender)> OnFinished;
    std::function<void(TCustomTask& sender, bool& handedOver)> OnHandOver;
    std::function<void(TCustomTask& sender)> OnDequeue;

    // Prepares the session from Account.
    virtual void Configure() = 0;
    // The work, on the worker thread with a connected session; reports its own failures.
    virtual void Run() = 0;
    virtual std::string Description() const = 0;

    // The patterns of the texts naming the server (core/user_text.h).
    static constexpr const char* kConnectingText = USER_TEXT("Quobel", "Connecting to %1...");
    static constexpr const char* kConnectFailedText =
        USER_TEXT("Quobel", "Could not connect to %1!");

    // Starts the worker thread; no effect when it has been started before.
    void Start();
    bool Started() const { return thread_.joinable(); }
    // The worker has ended (its thread may still be joined).
    bool Finished() const { return finished_.load(); }
    // Asks the task to stop: its base events are no longer raised. Network work goes on.
    void Terminate() { stopped_.store(true); }
    bool Stopped() const { return stopped_.load(); }
    // Ends every wait of the task's session at once; for program exit. Any thread.
    void AbortConnection() noexcept;
    // The user gives up on the task: its session is aborted at once, the failure that brings
    // is logged once as "Cancelled", and the task ends as after any failure, so what it has
    // done stays done and the queue goes on. Any thread; the session is not handed over.
    void Cancel() noexcept;
    bool Cancelled() const { return cancelled_.load(); }
    // Waits for the worker thread to end.
    void WaitFor();

  protected:
    void ReportStatus(const std::string& text, uint8_t kind);
    void ReportError(const std::string& text, const Error& error);
    void SetMax(int64_t value);
    // Runs the call on the user-interface thread and waits; its error is raised again here.
    void Synchronize(const std::function<void()>& call);
    // Connects the configured session and logs in, on the worker thread.
    virtual void ConnectSession(TQBPOP3& session) { session.Connect(); }

  private:
    void Execute() noexcept;
    void Work(TQBPOP3& session, int64_t count);
    void RaiseProgress();

    TUiDispatcher& dispatcher_;
    std::thread thread_;
    std::atomic<bool> stopped_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> aborted_{false};
    std::atomic<bool> cancelled_{false};
    // Worker thread only: the cancellation has been logged.
    bool cancelReported_ = false;
    // The session while the worker uses it, for AbortConnection from another thread.
    std::atomic<TQBPOP3*> activeSession_{nullptr};
};

// The error object of any failure: an Error as it is, anything else by its text.
Error AsError(const std::exception& failure);

}  // namespace quobel
