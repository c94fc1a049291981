// The tasks against scripted servers: exact commands, event order and failure handling.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "core/date_time.h"
#include "core/digest.h"
#include "core/ini_file.h"
#include "core/strings.h"
#include "platform/memory_transport.h"
#include "retrieval/pop_delete.h"
#include "retrieval/pop_list.h"
#include "retrieval/pop_retrieve.h"
#include "support/loopback_listener.h"
#include "support/task_harness.h"

namespace quobel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TaskHarness;

// The greeting, CAPA refused, then USER and PASS accepted.
const std::string kLogin = "+OK hello\r\n-ERR\r\n+OK\r\n+OK in\r\n";

TAccount MakeAccount() {
    TAccount account;
    account.ID = "0123456789abcdef0123456789abcdef";
    account.POP.Host = "mail.example";
    account.POP.Port = 110;
    account.POP.Username = "u";
    account.POP.Password = "p";
    return account;
}

std::shared_ptr<TMemoryPeer> Script(TCustomTask& task, std::string serverBytes) {
    auto peer = std::make_shared<TMemoryPeer>();
    peer->ServerBytes = std::move(serverBytes);
    task.Connection->Connector = TMemoryTransport::ConnectorFor(peer);
    return peer;
}

TEST(UniqueIdLineTest, NumberAndKey) {
    struct Case {
        const char* line;
        bool parsed;
        int number;
        const char* uid;
    };
    const Case cases[] = {
        {"1 abc", true, 1, "abc"}, {"12 abc ", true, 12, "abc "}, {"x abc", true, 0, "abc"},
        {" abc", true, 0, "abc"},  {"3 a b", true, 3, "a b"},     {"-2 abc", true, -2, "abc"},
        {"abc", false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        int number = 99;
        std::string key;
        ASSERT_EQ(ParseUniqueIdLine(c.line, number, key), c.parsed);
        if (c.parsed) {
            EXPECT_EQ(number, c.number);
            EXPECT_EQ(key, Md5Hex(c.uid));
        }
    }
}

TEST(ErrorLogTest, EntriesKeepOrderAndTime) {
    TErrors errors;
    TError& first = errors.Add();
    first.Message = "Could not retrieve message header!";
    TDateTime time = 0;
    ASSERT_TRUE(TryEncodeDateTime({2024, 3, 1, 9, 5, 7, 0}, time));
    first.SetTime(time);
    EXPECT_EQ(first.TimeStr(), "09:05:07");
    errors.Add().Message = "second";
    ASSERT_EQ(errors.Count(), 2u);
    EXPECT_EQ(errors.Items(1).Message, "second");
    EXPECT_EQ(errors.Items(1).TimeStr().size(), 8u);
    errors.Clear();
    EXPECT_EQ(errors.Count(), 0u);
    errors.Add();
    EXPECT_EQ(errors.Count(), 1u);
}

TEST(EventLoopDispatcherTest, RunsCallsOnItsThreadAndReleasesWaitersWhenClosed) {
    TEventLoopDispatcher dispatcher;
    const std::thread::id loop = std::this_thread::get_id();
    bool ranHere = false;
    dispatcher.RunAndWait([&] { ranHere = std::this_thread::get_id() == loop; });
    EXPECT_TRUE(ranHere);  // on its own thread: at once, no deadlock

    std::string failure;
    bool ranOnLoop = false;
    std::thread worker([&] {
        try {
            dispatcher.RunAndWait([&] { ranOnLoop = std::this_thread::get_id() == loop; });
            dispatcher.RunAndWait([] { throw Error("handler failed"); });
        } catch (const Error& error) {
            failure = error.what();
        }
        dispatcher.Post([&] { ranOnLoop = false; });
        try {
            dispatcher.RunAndWait([] {});  // never served: the loop closes
        } catch (const Error& error) {
            failure += " / " + std::string(error.what());
        }
    });
    ASSERT_TRUE(dispatcher.RunUntil([&] { return ranOnLoop; }, std::chrono::minutes(1)));
    // Serve the failing call and the posted one, then close while the last call waits.
    ASSERT_TRUE(dispatcher.RunUntil([&] { return !ranOnLoop; }, std::chrono::minutes(1)));
    dispatcher.Close();
    worker.join();
    EXPECT_EQ(failure, "handler failed / The user interface has closed.");
}

TEST(CheckTaskTest, FailingHeaderOfOneMessageDoesNotLoseIt) {
    TaskHarness h;
    const TAccount account = MakeAccount();
    TPOPList& check = h.Tasks->Add<TPOPList>(account);
    h.Watch(check, "check");
    auto peer = Script(check, kLogin +
                                  "+OK\r\n1 one\r\n2 two\r\n3 three\r\n3 three\r\nnoblank\r\n.\r\n"
                                  "+OK 1 100\r\n+OK\r\nSubject: 1\r\n\r\n.\r\n"
                                  "+OK 2 200\r\n-ERR no top\r\n"
                                  "+OK 3 300\r\n+OK\r\nSubject: 3\r\n.\r\n"
                                  "+OK 3 300\r\n+OK\r\nSubject: 3\r\n.\r\n");
    std::vector<std::string> newKeys;
    std::vector<std::string> serverKeys;
    check.OnNewMessage = [&](TPOPList& sender, const std::string& key, int64_t size) {
        h.Log.push_back("check new " + std::to_string(size));
        newKeys.push_back(key);
        EXPECT_EQ(sender.HeaderLines.front(), "Subject: " + std::to_string(size / 100));
    };
    check.OnServerList = [&](TPOPList&, const std::vector<std::string>& keys) {
        h.Log.push_back("check server list");
        serverKeys = keys;
    };
    EXPECT_EQ(check.Description(), "Checking for new messages...");
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());

    EXPECT_EQ(peer->ClientBytes,
              "CAPA\r\nUSER u\r\nPASS p\r\nUIDL\r\nLIST 1\r\nTOP 1 0\r\nLIST 2\r\nTOP 2 0\r\n"
              "LIST 3\r\nTOP 3 0\r\nLIST 3\r\nTOP 3 0\r\nQUIT\r\n");
    EXPECT_THAT(h.Log, ElementsAre("check status 0 Connecting to mail.example...",
                                   "check status 2 Checking for new mail...", "check new 100",
                                   "check error Could not retrieve message header!",
                                   "check new 300", "check new 300", "check server list",
                                   "check status 5 ", "check finished"));
    EXPECT_THAT(newKeys, ElementsAre(Md5Hex("one"), Md5Hex("three"), Md5Hex("three")));
    // The message whose header failed is left out, to be offered again next time.
    EXPECT_THAT(serverKeys,
                ElementsAre(Md5Hex("one"), Md5Hex("three"), Md5Hex("three"), "noblank"));
    ASSERT_EQ(h.Errors.Count(), 1u);
    EXPECT_EQ(h.Errors.Items(0).Details, "no top\r\n");
    EXPECT_THAT(h.Progress, ElementsAre(std::make_pair(int64_t{0}, int64_t{0})));
}

TEST(CheckTaskTest, KnownMessagesAreSkippedAndListingFailuresReported) {
    struct Case {
        const char* name;
        std::string server;
        const char* commands;  // after the login
        bool serverList;
        const char* error;
    };
    const Case cases[] = {
        {"known", "+OK\r\n1 one\r\n2 two\r\n.\r\n", "UIDL\r\nQUIT\r\n", true, ""},
        {"no UIDL", "-ERR unknown\r\n", "UIDL\r\nQUIT\r\n", true, ""},
        {"cut off", "+OK\r\n1 one\r\n", "UIDL\r\n", false, "Could not retrieve message list!"},
        {"garbage", "what?\r\n", "UIDL\r\nQUIT\r\n", false, "Could not retrieve message list!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskHarness h;
        TAccount account = MakeAccount();
        account.UIDL.Add(Md5Hex("one"));
        account.UIDL.Add(Md5Hex("two"));
        TPOPList& check = h.Tasks->Add<TPOPList>(account);
        h.Watch(check, "check");
        auto peer = Script(check, kLogin + c.server);
        bool listed = false;
        check.OnNewMessage = [&](TPOPList&, const std::string&, int64_t) { ADD_FAILURE(); };
        check.OnServerList = [&](TPOPList&, const std::vector<std::string>&) { listed = true; };
        h.Tasks->StartNext();
        ASSERT_TRUE(h.RunUntilIdle());
        EXPECT_EQ(peer->ClientBytes, std::string("CAPA\r\nUSER u\r\nPASS p\r\n") + c.commands);
        EXPECT_EQ(listed, c.serverList);
        EXPECT_EQ(h.Errors.Count() == 0 ? "" : h.Errors.Items(0).Message, std::string(c.error));
        EXPECT_EQ(h.Log.back(), "check finished");
    }
}

TEST(RetrieveTaskTest, FailuresAndMissingMessage) {
    struct Case {
        const char* name;
        std::string server;
        const char* error;
        std::optional<std::vector<std::string>> lines;
    };
    const std::string list = "+OK\r\n1 one\r\n2 two\r\n.\r\n";
    const Case cases[] = {
        {"found", list + "+OK 2 10\r\n+OK\r\na\r\n..b\r\n.\r\n", "",
         std::vector<std::string>{"a", ".b"}},
        {"not on server", "+OK\r\n1 one\r\n.\r\n", "", std::nullopt},
        {"RETR refused", list + "+OK 2 10\r\n-ERR gone\r\n", "", std::vector<std::string>{}},
        {"LIST refused", list + "-ERR no\r\n", "Could not retrieve message size!", std::nullopt},
        {"cut off", list + "+OK 2 10\r\n+OK\r\na\r\n", "Could not retrieve message!",
         std::vector<std::string>{"a"}},
        {"listing", "+OK\r\n1 one\r\n", "Could not retrieve message list!", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskHarness h;
        const TAccount account = MakeAccount();
        TPOPRetrieve& fetch = h.Tasks->Add<TPOPRetrieve>(account);
        h.Watch(fetch, "fetch");
        fetch.TargetKey = Md5Hex("two");
        Script(fetch, kLogin + c.server);
        int events = 0;
        fetch.OnRetrieved = [&](TPOPRetrieve&, const std::vector<std::string>* lines) {
            ++events;
            EXPECT_EQ(lines != nullptr, c.lines.has_value());
            if (lines && c.lines) {
                EXPECT_EQ(*lines, *c.lines);
            }
        };
        h.Tasks->StartNext();
        ASSERT_TRUE(h.RunUntilIdle());
        EXPECT_EQ(events, 1);
        EXPECT_EQ(h.Errors.Count() == 0 ? "" : h.Errors.Items(0).Message, std::string(c.error));
    }
}

TEST(DeleteTaskTest, KeysAreReportedBeforeDeletionOrAtTheEnd) {
    TaskHarness h;
    const TAccount account = MakeAccount();
    TPOPDelete& del = h.Tasks->Add<TPOPDelete>(account);
    h.Watch(del, "delete");
    del.DeleteKeys = {Md5Hex("absent1"), Md5Hex("two"), ToLowerAscii(Md5Hex("one")),
                      Md5Hex("absent2")};
    del.DeleteKeys[1] = ToUpperAscii(del.DeleteKeys[1]);  // keys match without regard to case
    auto peer = Script(del, kLogin + "+OK\r\n1 one\r\n2 two\r\n.\r\n+OK\r\n-ERR locked\r\n");
    del.OnDeleted = [&](TPOPDelete&, const std::string& key) {
        h.Log.push_back("deleted " + key.substr(0, 4) + " after " +
                        std::to_string(peer->ClientBytes.size()));
    };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    EXPECT_EQ(peer->ClientBytes,
              "CAPA\r\nUSER u\r\nPASS p\r\nUIDL\r\nDELE 1\r\nDELE 2\r\nQUIT\r\n");
    const auto at = [](const char* sent) { return std::to_string(std::string(sent).size()); };
    EXPECT_THAT(
        h.Log,
        ElementsAre("delete status 0 Connecting to mail.example...",
                    "delete status 2 Searching for message...",
                    "deleted " + Md5Hex("one").substr(0, 4) + " after " +
                        at("CAPA\r\nUSER u\r\nPASS p\r\nUIDL\r\n"),
                    "delete status 3 Removing message...",
                    "deleted " + ToUpperAscii(Md5Hex("two")).substr(0, 4) + " after " +
                        at("CAPA\r\nUSER u\r\nPASS p\r\nUIDL\r\nDELE 1\r\n"),
                    "delete status 3 Removing message...", "delete error Could not remove message!",
                    "deleted " + Md5Hex("absent2").substr(0, 4) + " after " +
                        at("CAPA\r\nUSER u\r\nPASS p\r\nUIDL\r\nDELE 1\r\nDELE 2\r\n"),
                    "deleted " + Md5Hex("absent1").substr(0, 4) + " after " +
                        at("CAPA\r\nUSER u\r\nPASS p\r\nUIDL\r\nDELE 1\r\nDELE 2\r\n"),
                    "delete status 5 ", "delete finished"));
}

TEST(DeleteTaskTest, FailedListingReportsNoKeyAsDeleted) {
    TaskHarness h;
    const TAccount account = MakeAccount();
    TPOPDelete& del = h.Tasks->Add<TPOPDelete>(account);
    h.Watch(del, "delete");
    del.DeleteKeys = {Md5Hex("one")};
    Script(del, kLogin + "+OK\r\n1 o");
    del.OnDeleted = [&](TPOPDelete&, const std::string&) { ADD_FAILURE(); };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    ASSERT_EQ(h.Errors.Count(), 1u);
    EXPECT_EQ(h.Errors.Items(0).Message, "Could not retrieve message list!");
    EXPECT_EQ(h.Errors.Items(0).Details, "Connection Closed Gracefully.");
}

TEST(TaskQueueTest, ConnectionFailureIsReportedAndTheQueueGoesOn) {
    const int port = testing::UnusedLoopbackPort();
    TaskHarness h;
    TAccount unreachable = MakeAccount();
    unreachable.POP.Host = "127.0.0.1";
    unreachable.POP.Port = port;
    const TAccount other = MakeAccount();
    TPOPDelete& first = h.Tasks->Add<TPOPDelete>(unreachable);
    first.DeleteKeys = {"k"};
    first.OnDeleted = [](TPOPDelete&, const std::string&) { ADD_FAILURE(); };
    h.Watch(first, "first");
    TPOPList& second = h.Tasks->Add<TPOPList>(other);
    h.Watch(second, "second");
    auto peer = Script(second, kLogin + "+OK\r\n.\r\n");
    EXPECT_TRUE(h.Tasks->HasTaskOfClass<TPOPList>());
    EXPECT_TRUE(h.Tasks->HasTaskOfClass<TPOPTask>());
    h.Tasks->StartNext();
    h.Tasks->StartNext();  // the head runs already: nothing changes
    ASSERT_TRUE(h.RunUntilIdle());
    EXPECT_FALSE(h.Tasks->HasTaskOfClass<TPOPList>());
    EXPECT_THAT(h.Log,
                ElementsAre("first status 0 Connecting to 127.0.0.1...",
                            "first error Could not connect to 127.0.0.1!", "first status 5 ",
                            "first finished", "second status 0 Connecting to mail.example...",
                            "second status 2 Checking for new mail...", "second status 5 ",
                            "second finished"));
    ASSERT_EQ(h.Errors.Count(), 1u);
    EXPECT_EQ(h.Errors.Items(0).Details, "Socket Error # 111\r\nConnection refused");
    EXPECT_EQ(peer->Connects, 1);
}

TEST(TaskQueueTest, SameAccountHandsTheSessionOver) {
    TaskHarness h;
    const TAccount account = MakeAccount();
    const TAccount sameData = account;  // another account object: no hand-over
    TPOPList& check = h.Tasks->Add<TPOPList>(account);
    TPOPDelete& del = h.Tasks->Add<TPOPDelete>(account);
    TPOPRetrieve& fetch = h.Tasks->Add<TPOPRetrieve>(sameData);
    h.Watch(check, "check");
    h.Watch(del, "delete");
    h.Watch(fetch, "fetch");
    auto peer = Script(check, kLogin + "+OK\r\n1 one\r\n.\r\n+OK 1 5\r\n+OK\r\nS: 1\r\n.\r\n" +
                                  "+OK\r\n1 one\r\n.\r\n+OK\r\n");
    auto unused = Script(del, "");
    auto fresh = Script(fetch, kLogin + "+OK\r\n.\r\n");
    check.OnNewMessage = [&](TPOPList&, const std::string&, int64_t) {};
    del.DeleteKeys = {Md5Hex("one")};
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    EXPECT_EQ(
        peer->ClientBytes,
        "CAPA\r\nUSER u\r\nPASS p\r\nUIDL\r\nLIST 1\r\nTOP 1 0\r\nUIDL\r\nDELE 1\r\nQUIT\r\n");
    EXPECT_EQ(unused->Connects, 0);
    EXPECT_EQ(fresh->Connects, 1);
    EXPECT_THAT(h.Log,
                ElementsAre("check status 0 Connecting to mail.example...",
                            "check status 2 Checking for new mail...", "check finished",
                            "delete status 2 Searching for message...",
                            "delete status 3 Removing message...", "delete status 5 ",
                            "delete finished", "fetch status 0 Connecting to mail.example...",
                            "fetch status 2 Searching for message...", "fetch status 5 ",
                            "fetch finished"));
}

TEST(TaskQueueTest, TerminateSuppressesBaseEventsAndStopsTheQueue) {
    TaskHarness h;
    const TAccount account = MakeAccount();
    TPOPList& check = h.Tasks->Add<TPOPList>(account);
    h.Watch(check, "check");
    Script(check,
           kLogin + "+OK\r\n1 one\r\n2 two\r\n.\r\n+OK 1 5\r\n+OK\r\n.\r\n+OK 2 5\r\n-ERR\r\n");
    TPOPList& next = h.Tasks->Add<TPOPList>(MakeAccount());
    h.Watch(next, "next");
    auto nextPeer = Script(next, kLogin);
    int newMessages = 0;
    bool listed = false;
    check.OnNewMessage = [&](TPOPList&, const std::string&, int64_t) {
        ++newMessages;
        h.Tasks->TerminateTasks();
    };
    check.OnServerList = [&](TPOPList&, const std::vector<std::string>&) { listed = true; };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.Dispatcher.RunUntil([&] { return check.Finished(); }, std::chrono::minutes(1)));
    h.Dispatcher.ProcessPending();
    // The work's own events still came; the base events (the error, the closing status,
    // OnFinished) did not, and the queue stays where it was.
    EXPECT_EQ(newMessages, 1);
    EXPECT_TRUE(listed);
    EXPECT_THAT(h.Log, ElementsAre("check status 0 Connecting to mail.example...",
                                   "check status 2 Checking for new mail..."));
    EXPECT_TRUE(h.Progress.empty());
    EXPECT_EQ(h.Tasks->Count(), 2u);
    EXPECT_EQ(nextPeer->Connects, 0);
}

TEST(TaskQueueTest, ExitIsPromptWhileATaskWaitsOnASilentServer) {
    testing::LoopbackListener listener(4);

    auto h = std::make_unique<TaskHarness>();
    TAccount account = MakeAccount();
    account.POP.Host = "127.0.0.1";
    account.POP.Port = listener.Port();
    TPOPList& check = h->Tasks->Add<TPOPList>(account);
    h->Watch(check, "check");
    h->Tasks->StartNext();
    // The greeting never comes: the worker blocks in its read (default five-minute time-out).
    ASSERT_TRUE(h->Dispatcher.RunUntil([&] { return !h->Log.empty(); }, std::chrono::minutes(1)));
    const auto start = std::chrono::steady_clock::now();
    h->Tasks->TerminateTasks();
    h->Tasks.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_THAT(h->Log, ElementsAre("check status 0 Connecting to 127.0.0.1..."));
    EXPECT_EQ(h->Errors.Count(), 0u);
}

}  // namespace
}  // namespace quobel
