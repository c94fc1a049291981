// The fetch of a whole message for a reader, against Dovecot.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/unique_file_name.h"
#include "cycle_fixture.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::CycleWorld;
using testing::PutMessage;
using testing::SampleMessage;

// An item known by its header only, as a check files it.
TMailItem& HeaderOnlyItem(CycleWorld& world, TAccount& account, const std::string& uid) {
    TMailItem& item = world.Inbox().Items.Add();
    item.Folder = world.Inbox().Path;
    item.Cache = UniqueFileName(item.Folder, ".qbe") + ".qbe";
    item.AccountID = account.ID;
    item.UIDL = Md5Hex(uid);
    item.Online = true;
    item.WriteCacheFile("Subject: header only\r\n\r\n");
    return item;
}

struct Result {
    TMailItem* Item = nullptr;
    bool Received = false;
    int Calls = 0;
};

TMsgListController::TFetchDone Record(Result& result) {
    return [&result](TMailItem& item, bool received) {
        result.Item = &item;
        result.Received = received;
        ++result.Calls;
    };
}

TEST(FetchForReaderTest, MessageIsStoredForItsItemAsItCame) {
    CycleWorld world;
    const std::string user = CreateMailUser("fetch", "pw");
    const std::string message = SampleMessage(1) + ".a line that starts with a dot\r\n";
    PutMessage(user, "m1", message);
    TAccount& account = world.AddAccount(user, "pw");
    TMailItem& item = HeaderOnlyItem(world, account, "m1");
    testing::TasksShown tasks(world.Controller->Events, *world.Tasks, world.Errors);

    Result first, second;
    ASSERT_TRUE(world.Controller->FetchMessage(item, Record(first)));
    ASSERT_TRUE(world.Controller->FetchMessage(item, Record(second)));  // joins the first
    EXPECT_EQ(world.Tasks->Count(), 1u);
    EXPECT_TRUE(tasks.Visible);
    ASSERT_TRUE(world.RunUntilIdle());

    EXPECT_EQ(first.Calls, 1);
    EXPECT_EQ(second.Calls, 1);
    EXPECT_EQ(first.Item, &item);
    EXPECT_TRUE(first.Received);
    EXPECT_TRUE(item.Downloaded);
    std::string cached;
    ASSERT_TRUE(ReadWholeFile(item.CacheFileName(), cached));
    EXPECT_EQ(cached, message + ".\r\n");
    EXPECT_EQ(item.Size, static_cast<int32_t>(message.size()));

    // The table on disk says so too.
    world.Controller->SaveChangedBoxes();
    TMailBox reread(&world.Accounts);
    reread.LoadTable(world.Inbox().Path);
    ASSERT_EQ(reread.Items.Count(), 1u);
    EXPECT_TRUE(reread.Items.Items(0).Downloaded);
}

TEST(FetchForReaderTest, MessageGoneFromTheServerMarksTheItemDownloaded) {
    CycleWorld world;
    const std::string user = CreateMailUser("fetchgone", "pw");
    PutMessage(user, "other", SampleMessage(2));
    TAccount& account = world.AddAccount(user, "pw");
    TMailItem& item = HeaderOnlyItem(world, account, "vanished");
    Result result;
    ASSERT_TRUE(world.Controller->FetchMessage(item, Record(result)));
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(result.Calls, 1);
    EXPECT_FALSE(result.Received);
    EXPECT_TRUE(item.Downloaded);
    std::string cached;
    ASSERT_TRUE(ReadWholeFile(item.CacheFileName(), cached));
    EXPECT_EQ(cached, "Subject: header only\r\n\r\n");
}

TEST(FetchForReaderTest, FailedLoginLeavesTheItemToBeFetchedAgain) {
    CycleWorld world;
    const std::string user = CreateMailUser("fetchfail", "pw");
    PutMessage(user, "m1", SampleMessage(3));
    TAccount& account = world.AddAccount(user, "wrong");
    TMailItem& item = HeaderOnlyItem(world, account, "m1");
    Result result;
    ASSERT_TRUE(world.Controller->FetchMessage(item, Record(result)));
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(result.Calls, 0);
    EXPECT_FALSE(item.Downloaded);
    EXPECT_EQ(world.Errors.Count(), 1u);

    account.POP.Password = "pw";  // a later showing fetches it
    ASSERT_TRUE(world.Controller->FetchMessage(item, Record(result)));
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(result.Calls, 1);
    EXPECT_TRUE(item.Downloaded);
}

TEST(FetchForReaderTest, ItemDeletedOrWithoutAccountGetsNothing) {
    CycleWorld world;
    const std::string user = CreateMailUser("fetchdel", "pw");
    PutMessage(user, "m1", SampleMessage(4));
    TAccount& account = world.AddAccount(user, "pw");

    TMailItem& orphan = HeaderOnlyItem(world, account, "m1");
    orphan.AccountID.clear();
    Result none;
    EXPECT_FALSE(world.Controller->FetchMessage(orphan, Record(none)));
    EXPECT_EQ(world.Tasks->Count(), 0u);
    orphan.Delete();

    TMailItem& item = HeaderOnlyItem(world, account, "m1");
    const std::string cacheFile = item.CacheFileName();
    Result result;
    ASSERT_TRUE(world.Controller->FetchMessage(item, Record(result)));
    item.Delete();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(result.Calls, 0);
    EXPECT_FALSE(FileExists(cacheFile));
}

}  // namespace
}  // namespace quobel
