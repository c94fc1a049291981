#pragma once

#include <functional>

namespace quobel {

// Runs calls on the user-interface thread for worker threads.
class TUiDispatcher {
  public:
    virtual ~TUiDispatcher() = default;

    // Runs the call on the user-interface thread and waits until it has run; an error the call
    // raises is raised again here (as an Error with its text). Called on the user-interface thread itself, it runs the call
    // at once. Fails with an Error, without running the call, once the dispatcher is closed.
    virtual void RunAndWait(const std::function<void()>& call) = 0;
    // Queues the call for the user-interface thread and returns at once.
    virtual void Post(std::function<void()> call) = 0;
    // At exit, on the user-interface thread: calls not yet run are dropped, and workers waiting
    // for them are released with an error, so that they can end while nobody serves them.
    virtual void Close() = 0;
};

}  // namespace quobel
