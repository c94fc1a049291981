// The hand-over of a check's new mail from its worker thread to the user-interface thread.
#include "cycle/new_mail_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/event_loop_dispatcher.h"

namespace quobel {
namespace {

std::vector<std::string> HeaderOf(int n) {
    return {"Subject: message " + std::to_string(n), "From: Ann <ann@example.org>", ""};
}

TEST(NewMailQueueTest, TheWorkerNeverWaitsAndTheUserInterfaceFilesEverythingInOrder) {
    TEventLoopDispatcher dispatcher;
    std::vector<std::vector<std::string>> batches;
    auto queue = TNewMailQueue::Create(dispatcher, [&](std::vector<TParsedHeader>& batch) {
        std::vector<std::string> subjects;
        for (const TParsedHeader& parsed : batch) {
            subjects.push_back(parsed.Key + " " + parsed.CachedData.Subject + " " +
                               parsed.FromAddr + " " + std::to_string(parsed.Size));
        }
        batches.push_back(subjects);
    });
    constexpr int kMessages = 500;
    // The user-interface thread serves nothing while the worker runs: a worker that waited for
    // it would never end.
    std::thread worker([&] {
        for (int n = 1; n <= kMessages; ++n) {
            queue->Arrived("key" + std::to_string(n), n, HeaderOf(n));
        }
    });
    worker.join();
    EXPECT_TRUE(batches.empty());
    dispatcher.ProcessPending();
    // Everything queued before the user-interface thread got to it is one batch.
    ASSERT_EQ(batches.size(), 1u);
    ASSERT_EQ(batches[0].size(), size_t{kMessages});
    for (int n = 1; n <= kMessages; ++n) {
        EXPECT_EQ(batches[0][n - 1], "key" + std::to_string(n) + " message " + std::to_string(n) +
                                         " ann@example.org " + std::to_string(n));
    }
    // What arrives later makes the next batch.
    queue->Arrived("late", -1, HeaderOf(0));
    dispatcher.ProcessPending();
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[1], std::vector<std::string>{"late message 0 ann@example.org -1"});
}

TEST(NewMailQueueTest, MailThatArrivedIsFiledAfterItsQueueIsGone) {
    TEventLoopDispatcher dispatcher;
    int filed = 0;
    {
        auto queue = TNewMailQueue::Create(
            dispatcher, [&](std::vector<TParsedHeader>& batch) { filed += int(batch.size()); });
        queue->Arrived("a", 1, HeaderOf(1));
    }
    dispatcher.ProcessPending();
    EXPECT_EQ(filed, 1);
}

}  // namespace
}  // namespace quobel
