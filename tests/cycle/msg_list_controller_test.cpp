// The controller's own bookkeeping, without a server: read states and unread counters from every
// path, items whose account left the registry, and the events the windows follow.
#include "cycle/msg_list_controller.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "accounts/accounts.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/options.h"
#include "platform/event_loop_dispatcher.h"
#include "platform/sound_player.h"
#include "retrieval/errors.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::TempFolder;

class Silence : public SoundPlayer {
  public:
    void PlayAsync(const std::string&) override {}
};

// The desktop's answers: a selection, a reader and a bar that count what they are asked.
class RecordingDesktop : public TListSelection, public TReaderShow, public TBarControl {
  public:
    std::vector<TMailItem*> Selected;
    int Shown = 0;
    int Repaints = 0;
    int PopDowns = 0;
    std::vector<TMailItem*> SelectedItems() override { return Selected; }
    void ShowInReader(TMailItem&, bool) override { ++Shown; }
    void PopUp() override {}
    void PopDown() override { ++PopDowns; }
    void Repaint() override { ++Repaints; }
};

// A data folder with an Inbox and an archive box, and a controller over them. No task ever
// reaches the network: every connection fails at once.
struct ControllerWorld {
    TempFolder Data;
    std::string AccountsFolder = Data.File("accounts");
    TEventLoopDispatcher Dispatcher;
    TAccounts Accounts{AccountsFolder};
    TOptions Options{Data.File("settings.ini")};
    TMailBoxes MailBoxes{&Accounts};
    TErrors Errors;
    Silence Sound;
    RecordingDesktop Desktop;
    std::unique_ptr<TTasks> Tasks = std::make_unique<TTasks>(Dispatcher);
    std::unique_ptr<TMsgListController> Controller;
    TMailBox* Inbox = nullptr;
    TMailBox* Archive = nullptr;

    ControllerWorld() {
        ForceFolders(AccountsFolder);
        Inbox = &MailBoxes.OpenStore(Data.File("mailbox"));
        Inbox->EnsureLoaded();
        Archive = &MailBoxes.Add();
        Archive->Name = "Archive";
        Archive->Path = Data.File("mailbox/Archive");
        Archive->WriteSettings();
        Archive->EnsureLoaded();
        Controller = std::make_unique<TMsgListController>(TMsgListController::Services{
            Accounts, *Tasks, MailBoxes, Errors, Options, Dispatcher, Sound, AccountsFolder});
        Controller->Inbox = Inbox;
        Controller->Desktop.Selection = &Desktop;
        Controller->Desktop.Reader = &Desktop;
        Controller->Desktop.Bar = &Desktop;
        Controller->TaskConnector = [](const TConnectRequest&) -> std::unique_ptr<TTransport> {
            throw Error("no network in this test");
        };
    }

    ~ControllerWorld() {
        Controller.reset();
        Tasks.reset();
    }

    TMailItem& AddItem(TMailBox& box, const std::string& key, bool read,
                       const std::string& accountID = {}) {
        TMailItem& item = box.Items.Add();
        item.UIDL = key;
        item.Folder = box.Path;
        item.Cache = key + ".qbe";
        item.Read = read;
        item.Online = true;
        item.AccountID = accountID;
        item.Changed();
        box.Unread += read ? 0 : 1;
        return item;
    }

    bool RunUntilIdle() {
        return Dispatcher.RunUntil([&] { return Tasks->Count() == 0; }, std::chrono::minutes(1));
    }
};

// Counts the events of the counters and rows.
struct EventCounts {
    int ItemChanged = 0;
    int UnreadChanged = 0;
    std::vector<TSubscription> Subscriptions;

    explicit EventCounts(TCycleEvents& events) {
        Subscriptions.push_back(
            events.ItemChanged.Subscribe([this](TMailItem&) { ++ItemChanged; }));
        Subscriptions.push_back(
            events.UnreadChanged.Subscribe([this](TMailBox&) { ++UnreadChanged; }));
    }
};

TEST(ControllerReadState, EveryPathKeepsItemCountersTableAndWindowsInStep) {
    enum class Path { SetRead, Open, MarkNotify, MarkQuiet, MarkSelected };
    struct Case {
        const char* name;
        Path path;
        bool read;  // what the path makes of the item
        bool startRead;
        bool inInbox;
        int repaints;  // of the bar
        int popDowns;
        int shown;  // in a reader
    };
    const Case cases[] = {
        {"SetRead marks read", Path::SetRead, true, false, true, 0, 0, 0},
        {"SetRead marks unread", Path::SetRead, false, true, true, 0, 0, 0},
        {"SetRead of a read item", Path::SetRead, true, true, true, 0, 0, 0},
        {"opening an unread item", Path::Open, true, false, true, 0, 0, 1},
        {"opening a read item", Path::Open, true, true, true, 0, 0, 1},
        {"opening in another box", Path::Open, true, false, false, 0, 0, 1},
        {"marking read, notified", Path::MarkNotify, true, false, true, 1, 1, 0},
        {"marking read, notified, other box", Path::MarkNotify, true, false, false, 1, 1, 0},
        {"marking a read item, notified", Path::MarkNotify, true, true, true, 0, 0, 0},
        {"marking read, quiet", Path::MarkQuiet, true, false, true, 0, 0, 0},
        {"marking the selection read", Path::MarkSelected, true, false, true, 1, 0, 0},
        {"marking the selection unread", Path::MarkSelected, false, true, true, 1, 0, 0},
        {"marking a read selection read", Path::MarkSelected, true, true, true, 1, 0, 0},
        {"marking unread in another box", Path::MarkSelected, false, true, false, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerWorld world;
        // An unread bystander in the archive: only the Inbox's counter decides about the bar.
        TMailBox& box = c.inInbox ? *world.Inbox : *world.Archive;
        TMailItem& item = world.AddItem(box, "target", c.startRead);
        world.AddItem(*world.Archive, "bystander", false);
        world.Inbox->SaveTable();
        world.Archive->SaveTable();
        const int inboxBefore = world.Inbox->Unread;
        const int archiveBefore = world.Archive->Unread;
        EventCounts events(world.Controller->Events);

        switch (c.path) {
            case Path::SetRead:
                world.Controller->SetRead(item, c.read);
                break;
            case Path::Open:
                world.Controller->OpenMessage(item);
                break;
            case Path::MarkNotify:
                world.Controller->MarkMessageRead(item, true);
                break;
            case Path::MarkQuiet:
                world.Controller->MarkMessageRead(item, false);
                break;
            case Path::MarkSelected:
                world.Desktop.Selected = {&item};
                world.Controller->MarkSelected(c.read);
                break;
        }

        const bool changed = c.startRead != c.read;
        const int delta = changed ? (c.read ? -1 : +1) : 0;
        EXPECT_EQ(item.Read, c.read);
        EXPECT_EQ(world.Inbox->Unread, inboxBefore + (c.inInbox ? delta : 0));
        EXPECT_EQ(world.Archive->Unread, archiveBefore + (c.inInbox ? 0 : delta));
        EXPECT_EQ(events.ItemChanged, changed ? 1 : 0);
        EXPECT_EQ(events.UnreadChanged, changed ? 1 : 0);
        EXPECT_EQ(world.Desktop.Repaints, c.repaints);
        EXPECT_EQ(world.Desktop.PopDowns, c.popDowns);
        EXPECT_EQ(world.Desktop.Shown, c.shown);

        // The table on disk follows with the next burst.
        world.Dispatcher.ProcessPending();
        TMailBox reread(&world.Accounts);
        reread.LoadTable(box.Path);
        ASSERT_GE(reread.Items.Count(), 1u);
        EXPECT_EQ(reread.Items.Items(0).Read, c.read);
        EXPECT_EQ(reread.Unread, box.Unread);
    }
}

TEST(ControllerAccounts, ItemsFindTheirAccountByIDAndARemovedOneFetchesNothing) {
    struct Case {
        const char* name;
        bool removed;
        bool readded;  // an account with the same ID joins the registry again
        bool emptyID;
        bool fetches;  // a fetch and a server delete are queued
    };
    const Case cases[] = {
        {"account in the registry", false, false, false, true},
        {"account removed", true, false, false, false},
        {"account removed and added again", true, true, false, true},
        {"item without account", false, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerWorld world;
        TAccount& account = world.Accounts.Add(false);
        account.ID = std::string(32, 'c');
        account.Name = "Work";
        const std::string id = account.ID;
        TMailItem& kept = world.AddItem(*world.Inbox, "kept", true, c.emptyID ? "" : id);
        TMailItem& gone = world.AddItem(*world.Inbox, "gone", true, c.emptyID ? "" : id);
        if (c.removed) {
            world.Accounts.Remove(account);
        }
        if (c.readded) {
            world.Accounts.Add(false).ID = id;
        }
        const TAccount* registered = c.emptyID ? nullptr : world.Accounts.FindByID(id);
        EXPECT_EQ(kept.Account(), registered);
        EXPECT_EQ(world.Inbox->Items.Peek(0).Account, registered);

        int fetched = 0;
        EXPECT_EQ(world.Controller->FetchMessage(kept, [&](TMailItem&, bool) { ++fetched; }),
                  c.fetches);
        EXPECT_EQ(world.Tasks->Count(), c.fetches ? 1u : 0u);
        world.Controller->DeleteMessage(gone);
        EXPECT_EQ(world.Tasks->Count(), c.fetches ? 2u : 0u);
        // Without an account the message can only go locally, at once.
        EXPECT_EQ(world.Inbox->Items.Count(), c.fetches ? 2u : 1u);
        world.Tasks->StartNext();
        ASSERT_TRUE(world.RunUntilIdle());
        EXPECT_EQ(fetched, 0);  // the connection failed: listed, the item left as it was
        EXPECT_EQ(world.Errors.Count(), c.fetches ? 2u : 0u);

        // The table keeps the account's ID whatever the registry says.
        world.Inbox->SaveTable();
        TMailBox reread;
        reread.LoadTable(world.Inbox->Path);
        ASSERT_GE(reread.Items.Count(), 1u);
        EXPECT_EQ(reread.Items.Items(0).AccountID, c.emptyID ? "" : id);
    }
}

TEST(ControllerEvents, RemovalTellsTheWindowsBeforeTheItemGoesAndWhenTheBoxIsEmpty) {
    ControllerWorld world;
    world.AddItem(*world.Inbox, "one", false);
    world.AddItem(*world.Inbox, "two", true);
    std::vector<std::string> told;
    const TSubscription removing = world.Controller->Events.ItemRemoving.Subscribe(
        [&](TMailItem& item) { told.push_back("removing " + item.UIDL); });
    const TSubscription emptied = world.Controller->Events.BoxEmptied.Subscribe(
        [&](TMailBox& box) { told.push_back("emptied " + box.Name); });
    const TSubscription unread = world.Controller->Events.UnreadChanged.Subscribe(
        [&](TMailBox& box) { told.push_back("unread " + std::to_string(box.Unread)); });
    world.Inbox->Items.Items(0).Online = false;
    world.Controller->DeleteMessage(world.Inbox->Items.Items(0));
    world.Inbox->Items.Items(0).Online = false;
    world.Controller->DeleteMessage(world.Inbox->Items.Items(0));
    EXPECT_EQ(told, (std::vector<std::string>{"removing one", "unread 0", "removing two",
                                              "emptied " + world.Inbox->Name}));
    EXPECT_EQ(world.Inbox->Items.Count(), 0u);
}

TEST(CycleEvent, HandlersComeAndGoSafely) {
    struct Case {
        const char* name;
        bool firstLeavesDuringCall;
        bool secondLeavesDuringCall;
        std::vector<std::string> firstRaise, secondRaise;
    };
    const Case cases[] = {
        {"both stay", false, false, {"a", "b"}, {"a", "b"}},
        {"the first leaves in its call", true, false, {"a", "b"}, {"b"}},
        {"the first makes the second leave", false, true, {"a"}, {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCycleEvent<const std::string&> event;
        std::vector<std::string> calls;
        TSubscription first, second;
        first = event.Subscribe([&](const std::string&) {
            calls.push_back("a");
            if (c.firstLeavesDuringCall) {
                first.Reset();
            }
            if (c.secondLeavesDuringCall) {
                second.Reset();
            }
        });
        second = event.Subscribe([&](const std::string&) { calls.push_back("b"); });
        event.Raise("x");
        EXPECT_EQ(calls, c.firstRaise);
        calls.clear();
        event.Raise("y");
        EXPECT_EQ(calls, c.secondRaise);
    }
    // A subscription that outlives its event lets go quietly.
    TSubscription late;
    {
        TCycleEvent<> event;
        late = event.Subscribe([] {});
    }
    late.Reset();
}

}  // namespace
}  // namespace quobel
