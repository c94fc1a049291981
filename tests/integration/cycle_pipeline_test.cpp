// A check against Dovecot, which offers PIPELINING, talking pipelined and one command at a time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "accounts/account_file.h"
#include "cycle_fixture.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::CycleWorld;
using testing::ListedRows;
using testing::PutMessage;
using testing::SampleMessage;

// Everything a check leaves behind, as text: each row with its header block, and the known keys
// of the account file.
std::vector<std::string> CheckOutcome(CycleWorld& world, const TAccount& account) {
    std::vector<std::string> outcome;
    TMailBox reread(&world.Accounts);
    reread.LoadTable(world.Inbox().Path);
    for (size_t i = 0; i < reread.Items.Count(); ++i) {
        const TMailItem& item = reread.Items.Items(i);
        std::string cached;
        item.ReadCacheFile(cached);
        outcome.push_back(item.UIDL + " " + item.CachedData.Subject + " " + item.CachedData.From +
                          " " + item.CachedData.DateStr + " " + item.SizeText + " " +
                          std::to_string(item.Read) + " | " + cached);
    }
    TAccount saved;
    LoadAccount(saved, TAccounts::FileNameOf(world.AccountsFolder, account));
    for (const std::string& key : saved.UIDL.Keys()) {
        outcome.push_back("known " + key);
    }
    return outcome;
}

TEST(PipelinedCheckTest, PipelinedAndOneAtATimeChecksLeaveTheSameRowsBlocksAndKeys) {
    const std::string user = CreateMailUser("pipe", "pw");
    constexpr int kMessages = 40;
    for (int n = 1; n <= kMessages; ++n) {
        PutMessage(user, "m" + std::to_string(n), SampleMessage(n));
    }
    std::vector<std::vector<std::string>> outcomes;
    for (const bool pipelining : {true, false}) {
        SCOPED_TRACE(pipelining ? "pipelined" : "one at a time");
        CycleWorld world;
        TAccount& account = world.AddAccount(user, "pw");
        // Some are known already: the new ones have gaps in their numbering.
        account.UIDL.Assign({Md5Hex("m3"), Md5Hex("m4"), Md5Hex("m20")});
        world.Controller->AllowPipelining = pipelining;
        ListedRows list(world.Controller->Events, world.Inbox());
        int broughtTold = 0;
        const TSubscription brought = world.Controller->Events.MailBrought.Subscribe(
            [&](TAccount&, const std::vector<TMailItem*>& items) {
                ++broughtTold;
                EXPECT_EQ(items, list.Rows);
            });
        world.Controller->actSynchronize();
        ASSERT_TRUE(world.RunUntilIdle());
        EXPECT_EQ(world.Errors.Count(), 0u);
        ASSERT_EQ(list.Rows.size(), size_t{kMessages - 3});
        EXPECT_EQ(world.Inbox().Unread, kMessages - 3);
        // Announced once for the whole check, however many batches filed it.
        EXPECT_EQ(world.Desktop.PopUps, 1);
        EXPECT_EQ(broughtTold, 1);
        outcomes.push_back(CheckOutcome(world, account));
        // The cache file names differ between the two runs: the compared text leaves them out.
        EXPECT_EQ(outcomes.back().size(), size_t{2 * kMessages - 3});
    }
    EXPECT_EQ(outcomes[0], outcomes[1]);
}

// A crash between the table's save and the account file's leaves rows whose keys the account
// does not know: the next check offers those messages again, and they are not filed twice.
TEST(PipelinedCheckTest, ARowSavedWithoutItsKeyIsRecognisedAndNotFiledTwice) {
    const std::string user = CreateMailUser("pipekey", "pw");
    for (int n = 1; n <= 6; ++n) {
        PutMessage(user, "r" + std::to_string(n), SampleMessage(n));
    }
    CycleWorld world;
    TAccount& account = world.AddAccount(user, "pw");
    ListedRows list(world.Controller->Events, world.Inbox());
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    ASSERT_EQ(list.Rows.size(), 6u);
    const std::vector<std::string> keys = account.UIDL.Keys();
    // The account as its file was before the check: two keys of six known.
    account.UIDL.Assign({keys[0], keys[3]});
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(world.Errors.Count(), 0u);
    EXPECT_EQ(list.Rows.size(), 6u);
    EXPECT_EQ(world.Inbox().Items.Count(), 6u);
    EXPECT_EQ(world.Inbox().Unread, 6);
    EXPECT_EQ(account.UIDL.Keys(), keys);
    EXPECT_EQ(world.Desktop.PopUps, 1);  // the second check brought nothing
}

}  // namespace
}  // namespace quobel
