// The check, fetch and delete tasks against Dovecot.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "core/digest.h"
#include "core/file_util.h"
#include "dovecot_helper/dovecot.h"
#include "retrieval/pop_delete.h"
#include "retrieval/pop_list.h"
#include "retrieval/pop_retrieve.h"
#include "support/task_harness.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::Dovecot;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::PutMessage;
using testing::TaskHarness;

const char kPassword[] = "secret";

TAccount AccountFor(const std::string& user) {
    TAccount account;
    account.ID = Md5Hex(user);
    account.POP.Host = Dovecot().Host;
    account.POP.Port = Dovecot().Pop3Port;
    account.POP.Username = user;
    account.POP.Password = kPassword;
    return account;
}

std::string Message(int n, size_t bodyBytes = 0) {
    std::string text = "Subject: message " + std::to_string(n) + "\n\n";
    while (text.size() < bodyBytes) {
        text += std::string(78, static_cast<char>('a' + n)) + "\n";
    }
    return text + "end\n";
}

std::vector<std::string> ServerLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find('\n', start);
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The unique ids the server will list: they must sort in delivery order.
std::vector<std::string> Deliver(const std::string& user, int count, size_t bigIndex = 0,
                                 size_t bigBytes = 0) {
    std::vector<std::string> ids;
    for (int i = 1; i <= count; ++i) {
        ids.push_back("m" + std::to_string(i));
        PutMessage(user, ids.back(), Message(i, static_cast<size_t>(i) == bigIndex ? bigBytes : 0));
    }
    return ids;
}

TEST(DovecotTaskTest, CheckDeliversOnlyNewMessages) {
    const std::string user = CreateMailUser("check", kPassword);
    const std::vector<std::string> ids = Deliver(user, 3);
    TaskHarness h;
    TAccount account = AccountFor(user);
    account.UIDL.Add(Md5Hex(ids[0]));
    account.UIDL.Add(Md5Hex(ids[2]));
    TPOPList& check = h.Tasks->Add<TPOPList>(account);
    h.Watch(check, "check");
    std::vector<std::string> newKeys;
    std::vector<std::string> header;
    std::vector<std::string> serverKeys;
    check.OnNewMessage = [&](TPOPList& sender, const std::string& key, int64_t size) {
        newKeys.push_back(key);
        header = sender.HeaderLines;
        EXPECT_EQ(size, static_cast<int64_t>(Message(2).size() + ServerLines(Message(2)).size()));
    };
    check.OnServerList = [&](TPOPList&, const std::vector<std::string>& keys) {
        serverKeys = keys;
    };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    EXPECT_THAT(newKeys, ElementsAre(Md5Hex(ids[1])));
    EXPECT_THAT(header, ElementsAre("Subject: message 2", ""));
    EXPECT_THAT(serverKeys, ElementsAre(Md5Hex(ids[0]), Md5Hex(ids[1]), Md5Hex(ids[2])));
    EXPECT_EQ(h.Errors.Count(), 0u);
    EXPECT_EQ(h.Log.front(), "check status 0 Connecting to " + Dovecot().Host + "...");
}

TEST(DovecotTaskTest, CheckOfAnEmptyServer) {
    const std::string user = CreateMailUser("emptycheck", kPassword);
    TaskHarness h;
    const TAccount account = AccountFor(user);
    TPOPList& check = h.Tasks->Add<TPOPList>(account);
    int newMessages = 0;
    std::optional<std::vector<std::string>> serverKeys;
    check.OnNewMessage = [&](TPOPList&, const std::string&, int64_t) { ++newMessages; };
    check.OnServerList = [&](TPOPList&, const std::vector<std::string>& keys) {
        serverKeys = keys;
    };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    EXPECT_EQ(newMessages, 0);
    ASSERT_TRUE(serverKeys.has_value());
    EXPECT_THAT(*serverKeys, IsEmpty());
}

TEST(DovecotTaskTest, FetchReportsProgressByTenths) {
    const std::string user = CreateMailUser("fetch", kPassword);
    const std::vector<std::string> ids = Deliver(user, 5, 3, 1000000);
    TaskHarness h;
    const TAccount account = AccountFor(user);
    TPOPRetrieve& fetch = h.Tasks->Add<TPOPRetrieve>(account);
    h.Watch(fetch, "fetch");
    fetch.TargetKey = Md5Hex(ids[2]);
    std::optional<std::vector<std::string>> lines;
    fetch.OnRetrieved = [&](TPOPRetrieve&, const std::vector<std::string>* got) {
        if (got) {
            lines = *got;
        }
    };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, ServerLines(Message(3, 1000000)));
    // Once per tenth of the size (the last tenth may end with the final chunk), then position 0.
    ASSERT_GE(h.Progress.size(), 9u);
    EXPECT_LE(h.Progress.size(), 11u);
    const int64_t size = fetch.Max;
    EXPECT_GT(size, 1000000);
    for (size_t i = 0; i + 1 < h.Progress.size(); ++i) {
        EXPECT_EQ(h.Progress[i].second, size);
        EXPECT_GE(h.Progress[i].first, static_cast<int64_t>(i + 1) * (size / 10));
    }
    EXPECT_EQ(h.Progress.back().first, 0);
    EXPECT_THAT(h.Log, ElementsAre("fetch status 0 Connecting to " + Dovecot().Host + "...",
                                   "fetch status 2 Searching for message...",
                                   "fetch status 3 Retrieving message size...",
                                   "fetch status 3 Retrieving message...", "fetch status 5 ",
                                   "fetch finished"));
}

TEST(DovecotTaskTest, FetchOfAMessageRemovedByAnotherClient) {
    const std::string user = CreateMailUser("removed", kPassword);
    const std::vector<std::string> ids = Deliver(user, 2);
    {
        TQBPOP3 other;
        testing::Configure(other, user, kPassword);
        other.Connect();
        other.DeleteOnServer(2);
        other.Disconnect();
    }
    TaskHarness h;
    const TAccount account = AccountFor(user);
    TPOPRetrieve& fetch = h.Tasks->Add<TPOPRetrieve>(account);
    h.Watch(fetch, "fetch");
    fetch.TargetKey = Md5Hex(ids[1]);
    int events = 0;
    fetch.OnRetrieved = [&](TPOPRetrieve&, const std::vector<std::string>* got) {
        ++events;
        EXPECT_EQ(got, nullptr);
    };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    EXPECT_EQ(events, 1);
    EXPECT_EQ(h.Errors.Count(), 0u);
}

// A check and a delete of one account share one login; the deletion takes effect when that
// session ends. A second account object connects anew.
TEST(DovecotTaskTest, TasksOfOneAccountShareALogin) {
    const std::string user = CreateMailUser("share", kPassword);
    const std::vector<std::string> ids = Deliver(user, 2);
    TaskHarness h;
    const TAccount account = AccountFor(user);
    const TAccount twin = AccountFor(user);
    TPOPList& check = h.Tasks->Add<TPOPList>(account);
    TPOPDelete& del = h.Tasks->Add<TPOPDelete>(account);
    TPOPList& recheck = h.Tasks->Add<TPOPList>(twin);
    h.Watch(check, "check");
    h.Watch(del, "delete");
    h.Watch(recheck, "recheck");
    TQBPOP3* firstSession = check.Connection.get();
    TQBPOP3* deleteSession = nullptr;
    del.DeleteKeys = {Md5Hex(ids[0]), Md5Hex("not there")};
    std::vector<std::string> deleted;
    del.OnDeleted = [&](TPOPDelete& sender, const std::string& key) {
        deleted.push_back(key);
        deleteSession = sender.Connection.get();
    };
    int firstNew = 0;
    check.OnNewMessage = [&](TPOPList&, const std::string&, int64_t) { ++firstNew; };
    std::vector<std::string> remaining;
    recheck.OnServerList = [&](TPOPList&, const std::vector<std::string>& keys) {
        remaining = keys;
    };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    EXPECT_EQ(firstNew, 2);
    EXPECT_EQ(deleteSession, firstSession);
    EXPECT_THAT(deleted, ElementsAre(Md5Hex(ids[0]), Md5Hex("not there")));
    EXPECT_THAT(remaining, ElementsAre(Md5Hex(ids[1])));
    const std::string connecting = " status 0 Connecting to " + Dovecot().Host + "...";
    EXPECT_THAT(h.Log, ElementsAre("check" + connecting, "check status 2 Checking for new mail...",
                                   "check finished", "delete status 2 Searching for message...",
                                   "delete status 3 Removing message...", "delete status 5 ",
                                   "delete finished", "recheck" + connecting,
                                   "recheck status 2 Checking for new mail...", "recheck status 5 ",
                                   "recheck finished"));
    EXPECT_EQ(h.Errors.Count(), 0u);
}

TEST(DovecotTaskTest, WrongPasswordIsAConnectionError) {
    const std::string user = CreateMailUser("wrongpass", kPassword);
    TaskHarness h;
    TAccount account = AccountFor(user);
    account.POP.Password = "wrong";
    TPOPList& check = h.Tasks->Add<TPOPList>(account);
    h.Watch(check, "check");
    check.OnServerList = [](TPOPList&, const std::vector<std::string>&) { ADD_FAILURE(); };
    h.Tasks->StartNext();
    ASSERT_TRUE(h.RunUntilIdle());
    ASSERT_EQ(h.Errors.Count(), 1u);
    EXPECT_EQ(h.Errors.Items(0).Message, "Could not connect to " + Dovecot().Host + "!");
    EXPECT_EQ(h.Errors.Items(0).Details,
              "[AUTH] Authentication failed.\r\n"
              "The user name or password was not accepted; check them in the account.");
}

}  // namespace
}  // namespace quobel
