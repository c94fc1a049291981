// The check cycle and the message operations against Dovecot, with a fake desktop and recorders
// of the events the windows follow.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "accounts/account_file.h"
#include "core/ini_file.h"
#include "cycle_fixture.h"
#include "store/mem_table.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::CycleWorld;
using testing::ListedRows;
using testing::PutMessage;
using testing::SampleMessage;
using testing::TasksShown;

TEST(CheckCycleTest, FullCheckFilesNewMailAndRemembersIt) {
    CycleWorld world;
    const std::string user = CreateMailUser("cyc", "pw");
    for (int n = 1; n <= 3; ++n) {
        PutMessage(user, "uid" + std::to_string(n), SampleMessage(n));
    }
    TAccount& account = world.AddAccount(user, "pw");
    ListedRows list(world.Controller->Events, world.Inbox());
    TasksShown tasks(world.Controller->Events, *world.Tasks, world.Errors);
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());

    TMailBox& inbox = world.Inbox();
    ASSERT_EQ(inbox.Items.Count(), 3u);
    EXPECT_EQ(inbox.Unread, 3);
    EXPECT_EQ(list.Rows.size(), 3u);
    const TMailItem& first = inbox.Items.Items(0);
    EXPECT_EQ(first.UIDL, Md5Hex("uid1"));
    EXPECT_EQ(first.CachedData.Subject, "message 1");
    EXPECT_EQ(first.Account(), &account);
    EXPECT_TRUE(first.Online);
    EXPECT_FALSE(first.Downloaded);
    // The header block is kept in the box's header log; no cache file is made per message.
    EXPECT_FALSE(FileExists(first.CacheFileName()));
    std::string cached;
    first.ReadCacheFile(cached);
    EXPECT_THAT(cached, ::testing::StartsWith("From: Sender 1"));
    EXPECT_THAT(cached, ::testing::EndsWith("+0000\r\n\r\n"));  // the header block only
    EXPECT_EQ(world.Desktop.PopUps, 1);
    EXPECT_FALSE(tasks.Visible);

    // The account file knows the three keys, and the table on disk has their rows.
    TAccount saved;
    LoadAccount(saved, TAccounts::FileNameOf(world.AccountsFolder, account));
    EXPECT_EQ(saved.UIDL.Count(), 3u);
    TMailBox reread(&world.Accounts);
    reread.LoadTable(inbox.Path);
    ASSERT_EQ(reread.Items.Count(), 3u);
    for (size_t i = 0; i < saved.UIDL.Count(); ++i) {
        EXPECT_EQ(reread.Items.Items(i).UIDL, saved.UIDL[i]);
    }

    // Nothing is new the second time.
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(inbox.Items.Count(), 3u);
    EXPECT_EQ(world.Desktop.PopUps, 1);
}

TEST(CheckCycleTest, KeysOfMessagesGoneFromTheServerAreDropped) {
    CycleWorld world;
    const std::string user = CreateMailUser("cycgone", "pw");
    PutMessage(user, "keep", SampleMessage(1));
    TAccount& account = world.AddAccount(user, "pw");
    account.UIDL.Assign({Md5Hex("keep"), Md5Hex("vanished")});
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(world.Inbox().Items.Count(), 0u);
    EXPECT_EQ(account.UIDL.Keys(), std::vector<std::string>{Md5Hex("keep")});
}

TEST(CheckCycleTest, FullCheckIsRefusedWhileOneIsQueuedButSingleChecksAreNot) {
    CycleWorld world;
    const std::string user = CreateMailUser("cycguard", "pw");
    TAccount& account = world.AddAccount(user, "pw");
    world.Controller->actSynchronize();
    EXPECT_EQ(world.Tasks->Count(), 1u);
    world.Controller->actSynchronize();
    EXPECT_EQ(world.Tasks->Count(), 1u);
    world.Controller->CheckAccount(account);
    EXPECT_EQ(world.Tasks->Count(), 2u);
    ASSERT_TRUE(world.RunUntilIdle());
}

TEST(CheckCycleTest, SoundPlaysAfterEachAccountThatBroughtMail) {
    CycleWorld world;
    const std::string sound = world.Data.File("new.wav");
    WriteFileAtomic(sound, "RIFF");
    world.WriteSetting("General", "Sound", "1");
    world.WriteSetting("General", "SoundFile", sound);
    const std::string withMail = CreateMailUser("cycsnd1", "pw");
    const std::string empty = CreateMailUser("cycsnd2", "pw");
    const std::string alsoMail = CreateMailUser("cycsnd3", "pw");
    PutMessage(withMail, "a", SampleMessage(1));
    PutMessage(alsoMail, "b", SampleMessage(2));
    world.AddAccount(withMail, "pw");
    world.AddAccount(empty, "pw");
    world.AddAccount(alsoMail, "pw");
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(world.Sound.Played, (std::vector<std::string>{sound, sound}));
    EXPECT_EQ(world.Inbox().Items.Count(), 2u);
}

TEST(CheckCycleTest, NewMailWhileAnotherBoxIsListedCountsButAddsNoRow) {
    CycleWorld world;
    TMailBox& other = world.MailBoxes.Add();
    other.Name = "Archive";
    other.Path = world.Data.File("mailbox/Archive");
    other.WriteSettings();
    other.EnsureLoaded();
    ListedRows list(world.Controller->Events, other);
    const std::string user = CreateMailUser("cycother", "pw");
    PutMessage(user, "x", SampleMessage(1));
    world.AddAccount(user, "pw");
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(world.Inbox().Unread, 1);
    EXPECT_TRUE(list.Rows.empty());
}

TEST(CheckCycleTest, DeletingQueuesTasksForServerMessagesAndRemovesLocalOnesAtOnce) {
    CycleWorld world;
    const std::string user = CreateMailUser("cycdel", "pw");
    PutMessage(user, "d1", SampleMessage(1));
    PutMessage(user, "d2", SampleMessage(2));
    PutMessage(user, "d3", SampleMessage(3));
    TAccount& account = world.AddAccount(user, "pw");
    ListedRows list(world.Controller->Events, world.Inbox());
    TasksShown tasks(world.Controller->Events, *world.Tasks, world.Errors);
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    TMailBox& inbox = world.Inbox();
    ASSERT_EQ(inbox.Items.Count(), 3u);
    TMailItem& local = inbox.Items.Items(1);
    local.Online = false;
    const std::string localCache = local.CacheFileName();
    world.Desktop.Selected = {&inbox.Items.Items(2), &inbox.Items.Items(1), &inbox.Items.Items(0)};

    world.Controller->actDelete();
    EXPECT_EQ(world.Desktop.Questions, 1);
    EXPECT_EQ(world.Tasks->Count(), 2u);
    EXPECT_TRUE(tasks.Visible);
    EXPECT_EQ(inbox.Items.Count(), 2u);  // the local one is gone at once
    EXPECT_FALSE(FileExists(localCache));
    EXPECT_EQ(inbox.Unread, 2);

    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(inbox.Items.Count(), 0u);
    EXPECT_TRUE(list.Rows.empty());
    EXPECT_EQ(inbox.Unread, 0);
    EXPECT_EQ(account.UIDL.Count(), 1u);  // the local-only one was never deleted on the server
    TAccount saved;
    LoadAccount(saved, TAccounts::FileNameOf(world.AccountsFolder, account));
    EXPECT_EQ(saved.UIDL.Keys(), std::vector<std::string>{Md5Hex("d2")});
    EXPECT_TRUE(list.ReaderCleared);

    // The next check finds only the message that stayed on the server.
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(inbox.Items.Count(), 0u);
}

TEST(CheckCycleTest, DeletingWithoutConfirmationAsksNothing) {
    CycleWorld world;
    world.WriteSetting("Confirmations", "Delete", "0");
    TMailItem& item = world.Inbox().Items.Add();
    item.UIDL = Md5Hex("local");
    item.Folder = world.Inbox().Path;
    item.Cache = "local.qbe";
    item.Read = true;
    world.Desktop.Selected = {&item};
    world.Controller->actDelete();
    EXPECT_EQ(world.Desktop.Questions, 0);
    EXPECT_EQ(world.Inbox().Items.Count(), 0u);
    world.Desktop.Answer = false;
    world.WriteSetting("Confirmations", "Delete", "1");
    EXPECT_FALSE(world.Controller->ConfirmDelete(true));
    EXPECT_EQ(world.Desktop.Questions, 1);
}

TEST(CheckCycleTest, ADeleteThatCannotConnectKeepsTheItemAndListsTheError) {
    CycleWorld world;
    TAccount& account = world.AddAccount("nobody", "pw");
    account.POP.Port = 1;  // nothing listens there
    TMailItem& item = world.Inbox().Items.Add();
    item.UIDL = Md5Hex("x");
    item.Online = true;
    item.AccountID = account.ID;
    item.Folder = world.Inbox().Path;
    item.Cache = "x.qbe";
    TasksShown tasks(world.Controller->Events, *world.Tasks, world.Errors);
    world.Desktop.Selected = {&item};
    world.Controller->actDelete();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(world.Inbox().Items.Count(), 1u);
    ASSERT_EQ(world.Errors.Count(), 1u);
    EXPECT_EQ(world.Errors.Items(0).Message, "Could not connect to " + account.POP.Host + "!");
    EXPECT_TRUE(tasks.Visible);
}

TEST(CheckCycleTest, OpeningAndMarkingChangeOnlyTheUnreadCountsThatMoved) {
    CycleWorld world;
    TMailBox& inbox = world.Inbox();
    for (int i = 0; i < 4; ++i) {
        TMailItem& item = inbox.Items.Add();
        item.UIDL = Md5Hex(std::to_string(i));
        item.Read = i % 2 == 1;
        item.Changed();
    }
    inbox.Unread = 2;
    world.Controller->OpenMessage(inbox.Items.Items(1));  // already read
    EXPECT_EQ(inbox.Unread, 2);
    world.Controller->OpenMessage(inbox.Items.Items(0));
    EXPECT_EQ(inbox.Unread, 1);
    EXPECT_TRUE(inbox.Items.Items(0).Read);
    EXPECT_EQ(world.Desktop.Readers.back(), Md5Hex("0"));

    // Items 0, 1 and 3 are read, 2 is not: marking all four unread adds three.
    world.Desktop.Selected = {&inbox.Items.Items(3), &inbox.Items.Items(2), &inbox.Items.Items(1),
                              &inbox.Items.Items(0)};
    world.Controller->MarkSelected(false);
    EXPECT_EQ(inbox.Unread, 4);
    world.Desktop.Selected = {&inbox.Items.Items(2), &inbox.Items.Items(0)};
    world.Controller->MarkSelected(true);
    EXPECT_EQ(inbox.Unread, 2);
    world.Controller->MarkMessageRead(inbox.Items.Items(2), true);  // already read
    EXPECT_EQ(inbox.Unread, 2);

    // The changes reach the table file with the next burst.
    world.Dispatcher.ProcessPending();
    TMailBox reread(&world.Accounts);
    reread.LoadTable(inbox.Path);
    ASSERT_EQ(reread.Items.Count(), 4u);
    EXPECT_TRUE(reread.Items.Items(0).Read);
    EXPECT_FALSE(reread.Items.Items(1).Read);
}

}  // namespace
}  // namespace quobel
