#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "accounts/account.h"
#include "retrieval/custom_task.h"

namespace quobel {

class TTasks;
class TUiDispatcher;

// Whoever shows the queue (the Tasks window): told after every change of the queue's content,
// a task appended or a task that left the head.
class TTaskQueueObserver {
  public:
    virtual void TaskQueueChanged(TTasks& queue) = 0;

  protected:
    ~TTaskQueueObserver() = default;
};

// The queue of background tasks: they run one at a time, in queue order, each on its own
// thread. User-interface thread only. The queue owns its tasks: a task is destroyed once its
// thread has ended, and destroying the queue stops every task, aborts their connections and
// waits for their threads (closing the dispatcher, which must be done serving by then).
class TTasks {
  public:
    explicit TTasks(TUiDispatcher& dispatcher);
    ~TTasks();
    TTasks(const TTasks&) = delete;
    TTasks& operator=(const TTasks&) = delete;

    // Appends a suspended task of the class for the account, with its own copy of the account.
    // The caller sets its events and work, then calls StartNext.
    template <class Task>
    Task& Add(const TAccount& account) {
        auto task = std::make_unique<Task>(dispatcher_);
        Task& result = *task;
        result.SourceAccount = &account;
        result.Account = account;
        Append(std::move(task));
        return result;
    }

    // Starts the head task unless it runs already.
    void StartNext();

    template <class Task>
    bool HasTaskOfClass() const {
        for (const auto& task : items_) {
            if (dynamic_cast<const Task*>(task.get())) {
                return true;
            }
        }
        return false;
    }

    // Cancels the head task, the one running (or about to start): see TCustomTask::Cancel.
    // False when the queue is empty.
    bool CancelRunning();

    // Asks every queued task, running or waiting, to stop.
    void TerminateTasks();

    size_t Count() const { return items_.size(); }
    TCustomTask& Items(size_t index) { return *items_[index]; }

    // The observer is told of every change until it is removed; it must be removed before it
    // goes. Not told while the queue is destroyed.
    void AddObserver(TTaskQueueObserver& observer);
    void RemoveObserver(TTaskQueueObserver& observer);

  private:
    void Append(std::unique_ptr<TCustomTask> task);
    void HandOver(TCustomTask& head, bool& handedOver);
    void Dequeue(TCustomTask& head);
    // Destroys the dequeued tasks whose threads have ended.
    void Reap();
    void NotifyChanged();

    TUiDispatcher& dispatcher_;
    std::vector<std::unique_ptr<TCustomTask>> items_;
    std::vector<std::unique_ptr<TCustomTask>> dequeued_;
    std::vector<TTaskQueueObserver*> observers_;
};

}  // namespace quobel
