#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/event_loop_dispatcher.h"
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "retrieval/tasks.h"

namespace quobel::testing {

// A queue on the test's thread, which plays the user-interface thread, recording the events of
// the tasks it watches in the order the owner sees them.
struct TaskHarness {
    TEventLoopDispatcher Dispatcher;
    std::unique_ptr<TTasks> Tasks = std::make_unique<TTasks>(Dispatcher);
    TErrors Errors;
    std::vector<std::string> Log;

    std::mutex ProgressMutex;
    std::vector<std::pair<int64_t, int64_t>> Progress;  // on worker threads

    void Watch(TCustomTask& task, const std::string& name) {
        task.OnStatus = [this, name](TCustomTask&, const std::string& text, uint8_t kind) {
            Log.push_back(name + " status " + std::to_string(kind) + " " + text);
        };
        task.OnError = [this, name](TCustomTask&, const std::string& text, const Error& error) {
            TError& entry = Errors.Add();
            entry.Message = text;
            entry.Details = error.what();
            Log.push_back(name + " error " + text);
        };
        task.OnProgress = [this](TCustomTask&, int64_t position, int64_t max) {
            std::lock_guard lock(ProgressMutex);
            Progress.emplace_back(position, max);
        };
        task.OnFinished = [this, name](TCustomTask&) { Log.push_back(name + " finished"); };
    }

    // Serves the tasks until the queue is empty (generous bound: a minute).
    bool RunUntilIdle() {
        return Dispatcher.RunUntil([&] { return Tasks->Count() == 0; }, std::chrono::minutes(1));
    }
};

}  // namespace quobel::testing
