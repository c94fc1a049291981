#include "retrieval/tasks.h"

#include <algorithm>

#include "platform/ui_dispatcher.h"

namespace quobel {

TTasks::TTasks(TUiDispatcher& dispatcher) : dispatcher_(dispatcher) {}

TTasks::~TTasks() {
    observers_.clear();
    TerminateTasks();
    for (auto* list : {&items_, &dequeued_}) {
        for (const auto& task : *list) {
            task->Terminate();
            task->AbortConnection();
        }
    }
    // A worker may wait for a call on this thread, which serves no more calls from now on.
    dispatcher_.Close();
    for (auto* list : {&items_, &dequeued_}) {
        for (const auto& task : *list) {
            task->WaitFor();
        }
    }
}

void TTasks::Append(std::unique_ptr<TCustomTask> task) {
    Reap();
    items_.push_back(std::move(task));
    NotifyChanged();
}

void TTasks::AddObserver(TTaskQueueObserver& observer) {
    observers_.push_back(&observer);
}

void TTasks::RemoveObserver(TTaskQueueObserver& observer) {
    std::erase(observers_, &observer);
}

void TTasks::NotifyChanged() {
    // A copy: an observer may remove itself while it is told.
    const std::vector<TTaskQueueObserver*> observers = observers_;
    for (TTaskQueueObserver* observer : observers) {
        observer->TaskQueueChanged(*this);
    }
}

void TTasks::StartNext() {
    Reap();
    if (items_.empty()) {
        return;
    }
    TCustomTask& head = *items_.front();
    if (head.Started()) {
        return;
    }
    head.OnHandOver = [this](TCustomTask& sender, bool& handedOver) {
        HandOver(sender, handedOver);
    };
    head.OnDequeue = [this](TCustomTask& sender) { Dequeue(sender); };
    head.Start();
}

bool TTasks::CancelRunning() {
    if (items_.empty()) {
        return false;
    }
    items_.front()->Cancel();
    return true;
}

void TTasks::TerminateTasks() {
    for (const auto& task : items_) {
        task->Terminate();
    }
}

void TTasks::HandOver(TCustomTask& head, bool& handedOver) {
    if (items_.size() < 2 || items_.front().get() != &head) {
        return;
    }
    TCustomTask& next = *items_[1];
    if (!next.CanHandOver || next.SourceAccount != head.SourceAccount || next.Started()) {
        return;
    }
    handedOver = true;
    // The receiver's own session, never connected, goes; the connected one takes its place.
    next.Connection = std::move(head.Connection);
}

void TTasks::Dequeue(TCustomTask& head) {
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [&](const auto& task) { return task.get() == &head; });
    if (found != items_.end()) {
        // Its thread is still in this call: it is destroyed once it has ended.
        dequeued_.push_back(std::move(*found));
        items_.erase(found);
        NotifyChanged();
    }
    StartNext();
}

void TTasks::Reap() {
    std::erase_if(dequeued_, [](const auto& task) {
        if (!task->Finished()) {
            return false;
        }
        task->WaitFor();
        return true;
    });
}

}  // namespace quobel
