// What a check announces, against Dovecot: the messages each account's check brought, and the
// arrival sound by the quiet hours, "Do not disturb" and the account's own settings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cycle_fixture.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::CycleWorld;
using testing::PutMessage;
using testing::SampleMessage;

constexpr int32_t At(int32_t hour) {
    return hour * 60;
}

TEST(AnnounceCycleTest, EachAccountsCheckTellsTheMessagesItBrought) {
    CycleWorld world;
    const std::string work = CreateMailUser("anwork", "pw");
    const std::string home = CreateMailUser("anhome", "pw");
    for (int n = 1; n <= 3; ++n) {
        PutMessage(work, "w" + std::to_string(n), SampleMessage(n));
    }
    PutMessage(home, "h1", SampleMessage(4));
    world.AddAccount(work, "pw");
    world.AddAccount(home, "pw");
    std::vector<std::pair<std::string, std::vector<std::string>>> told;
    TSubscription subscription = world.Controller->Events.MailBrought.Subscribe(
        [&](TAccount& account, const std::vector<TMailItem*>& items) {
            std::vector<std::string> subjects;
            for (const TMailItem* item : items) {
                subjects.push_back(item->CachedData.Subject);
            }
            told.emplace_back(account.Name, subjects);
        });
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    using Told = std::pair<std::string, std::vector<std::string>>;
    EXPECT_THAT(told, ::testing::ElementsAre(Told{work, {"message 1", "message 2", "message 3"}},
                                             Told{home, {"message 4"}}));

    // A check that brings nothing tells nothing; the next message is told alone.
    told.clear();
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_TRUE(told.empty());
    PutMessage(work, "w5", SampleMessage(5));
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_THAT(told, ::testing::ElementsAre(Told{work, {"message 5"}}));
}

TEST(AnnounceCycleTest, TheArrivalSoundKeepsQuietHoursAcrossMidnightAndFollowsTheAccount) {
    struct Case {
        const char* name;
        bool quietHours;
        int32_t now;
        bool doNotDisturb;
        bool announce;
        bool ownSound;
        const char* played;  // "" for none
    };
    const Case cases[] = {
        {"in the day", true, At(12), false, true, false, "global.wav"},
        {"quiet, before midnight", true, At(23), false, true, false, ""},
        {"quiet, after midnight", true, At(3), false, true, false, ""},
        {"the quiet hours' end", true, At(7), false, true, false, "global.wav"},
        {"quiet hours off at night", false, At(23), false, true, false, "global.wav"},
        {"do not disturb", false, At(12), true, true, false, ""},
        {"account not announced", false, At(12), false, false, false, ""},
        {"the account's own sound", false, At(12), false, true, true, "own.wav"},
        {"own sound, quiet", true, At(1), false, true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CycleWorld world;
        const std::string global = world.Data.File("global.wav");
        const std::string own = world.Data.File("own.wav");
        for (const std::string& file : {global, own}) {
            WriteFileAtomic(file, "RIFF");
        }
        {
            OptionsScope scope(world.Options);
            scope.Write(settings::kSound, true);
            scope.Write(settings::kSoundFile, global);
            scope.Write(settings::kQuietHours, c.quietHours);
            scope.Write(settings::kQuietFrom, At(22));
            scope.Write(settings::kQuietTo, At(7));
            scope.Write(settings::kDoNotDisturb, c.doNotDisturb);
        }
        world.Controller->MinuteNow = [now = c.now] { return now; };
        const std::string user = CreateMailUser("ansound", "pw");
        PutMessage(user, "s1", SampleMessage(1));
        TAccount& account = world.AddAccount(user, "pw");
        account.Announce = c.announce;
        account.SoundFile = c.ownSound ? own : std::string();
        world.Controller->actSynchronize();
        ASSERT_TRUE(world.RunUntilIdle());
        ASSERT_EQ(world.Inbox().Unread, 1);  // the mail arrives whatever the sound does
        if (*c.played == '\0') {
            EXPECT_TRUE(world.Sound.Played.empty());
        } else {
            EXPECT_THAT(world.Sound.Played, ::testing::ElementsAre(world.Data.File(c.played)));
        }
    }
}

TEST(AnnounceCycleTest, AnAccountKeptOffTheBarDoesNotBringItOut) {
    CycleWorld world;
    const std::string user = CreateMailUser("anbar", "pw");
    PutMessage(user, "b1", SampleMessage(1));
    world.AddAccount(user, "pw").ShowOnBar = false;
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    EXPECT_EQ(world.Inbox().Unread, 1);
    EXPECT_EQ(world.Desktop.PopUps, 0);
}

}  // namespace
}  // namespace quobel
