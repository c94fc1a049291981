#pragma once

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "accounts/accounts.h"
#include "core/digest.h"
#include "core/file_util.h"
#include "core/options.h"
#include "cycle/msg_list_controller.h"
#include "dovecot_helper/dovecot.h"
#include "platform/event_loop_dispatcher.h"
#include "platform/sound_player.h"
#include "platform/yes_no_question.h"
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/temp_folder.h"

namespace quobel::testing {

// The desktop's answers to the controller's requests: the list's selection, the reader, the bar
// and the Yes/No question, recording what it was asked.
class FakeDesktop : public TListSelection,
                    public TReaderShow,
                    public TBarControl,
                    public YesNoQuestion {
  public:
    std::vector<TMailItem*> Selected;  // last row first, as the list reports them
    std::vector<std::string> Readers;  // the keys of the items shown in a reader
    bool Answer = true;
    int Questions = 0;
    int PopUps = 0;

    std::vector<TMailItem*> SelectedItems() override { return Selected; }
    void ShowInReader(TMailItem& item, bool) override { Readers.push_back(item.UIDL); }
    void PopUp() override { ++PopUps; }
    void PopDown() override {}
    void Repaint() override {}
    bool AskYesNo(const std::string&, const std::string&) override {
        ++Questions;
        return Answer;
    }
};

// A message list over one box, as the main window keeps it: rows for mail filed into the box,
// rows leaving with their items, the reader pane cleared when the box runs empty.
class ListedRows {
  public:
    ListedRows(TCycleEvents& events, TMailBox& listed) : listed_(listed) {
        subscriptions_.push_back(
            events.MailFiled.Subscribe([this](TMailBox& box, const std::vector<TMailItem*>& items) {
                if (&box == &listed_) {
                    Rows.insert(Rows.end(), items.begin(), items.end());
                }
            }));
        subscriptions_.push_back(
            events.ItemRemoving.Subscribe([this](TMailItem& item) { std::erase(Rows, &item); }));
        subscriptions_.push_back(events.BoxEmptied.Subscribe([this](TMailBox& box) {
            if (&box == &listed_) {
                ReaderCleared = true;
            }
        }));
    }

    std::vector<TMailItem*> Rows;
    bool ReaderCleared = false;

  private:
    TMailBox& listed_;
    std::vector<TSubscription> subscriptions_;
};

// Whether the Tasks window would be on screen: shown for errors and for tasks the user waits
// for, closed when the queue has run empty without errors.
class TasksShown : public TTaskQueueObserver {
  public:
    TasksShown(TCycleEvents& events, TTasks& queue, const TErrors& errors)
        : queue_(queue), errors_(errors) {
        subscriptions_.push_back(events.TasksWanted.Subscribe([this] { Visible = true; }));
        subscriptions_.push_back(events.ErrorLogged.Subscribe([this](const TError& error) {
            Errors.push_back(error.Message);
            Visible = true;
        }));
        queue_.AddObserver(*this);
    }
    ~TasksShown() { queue_.RemoveObserver(*this); }
    TasksShown(const TasksShown&) = delete;
    TasksShown& operator=(const TasksShown&) = delete;

    void TaskQueueChanged(TTasks& queue) override {
        if (queue.Count() == 0 && errors_.Count() == 0) {
            Visible = false;
        }
    }

    bool Visible = false;
    std::vector<std::string> Errors;  // as they were logged

  private:
    TTasks& queue_;
    const TErrors& errors_;
    std::vector<TSubscription> subscriptions_;
};

class FakeSound : public SoundPlayer {
  public:
    std::vector<std::string> Played;
    void PlayAsync(const std::string& fileName) override { Played.push_back(fileName); }
};

// A data folder with accounts on the test's Dovecot, the store, and a controller over them.
struct CycleWorld {
    TempFolder Data;
    std::string AccountsFolder = Data.File("accounts");
    TEventLoopDispatcher Dispatcher;
    TAccounts Accounts{AccountsFolder};
    TOptions Options{Data.File("settings.ini")};
    TMailBoxes MailBoxes{&Accounts};
    TErrors Errors;
    FakeDesktop Desktop;
    FakeSound Sound;
    std::unique_ptr<TTasks> Tasks = std::make_unique<TTasks>(Dispatcher);
    std::unique_ptr<TMsgListController> Controller;

    CycleWorld() {
        ForceFolders(AccountsFolder);
        TMailBox& inbox = MailBoxes.OpenStore(Data.File("mailbox"));
        inbox.EnsureLoaded();
        Controller = std::make_unique<TMsgListController>(TMsgListController::Services{
            Accounts, *Tasks, MailBoxes, Errors, Options, Dispatcher, Sound, AccountsFolder});
        Controller->Inbox = &inbox;
        Controller->Desktop = {&Desktop, &Desktop, &Desktop, &Desktop};
    }

    ~CycleWorld() {
        Controller.reset();
        Tasks.reset();
    }

    TMailBox& Inbox() { return *Controller->Inbox; }

    TAccount& AddAccount(const std::string& user, const std::string& password) {
        TAccount& account = Accounts.Add(false);
        account.ID = Md5Hex(user);
        account.Name = user;
        account.Synchronize = true;
        account.POP.Host = Dovecot().Host;
        account.POP.Port = Dovecot().Pop3Port;
        account.POP.Username = user;
        account.POP.Password = password;
        return account;
    }

    bool RunUntilIdle() {
        return Dispatcher.RunUntil([&] { return Tasks->Count() == 0; }, std::chrono::minutes(1));
    }

    void WriteSetting(const char* section, const char* key, const std::string& value) {
        OptionsScope scope(Options);
        scope.Ini().WriteString(section, key, value);
    }
};

inline std::string SampleMessage(int n) {
    return "From: Sender " + std::to_string(n) + " <s" + std::to_string(n) +
           "@example.org>\r\nTo: me@example.org\r\nSubject: message " + std::to_string(n) +
           "\r\nDate: Tue, 01 Dec 2026 10:0" + std::to_string(n % 10) +
           ":00 +0000\r\n\r\nBody of message " + std::to_string(n) + "\r\n";
}

}  // namespace quobel::testing
