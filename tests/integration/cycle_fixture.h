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
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/temp_folder.h"

namespace quobel::testing {

// The main window as the controller sees it, recording what it is asked to do.
class FakeView : public TMsgListView {
  public:
    std::vector<TMailItem*> Rows;      // the message list's rows
    std::vector<TMailItem*> Selected;  // last row first, as the list reports them
    std::vector<TCustomTask*> TaskRows;
    std::vector<std::string> Log;
    bool TasksVisible = false;
    bool Answer = true;
    int Questions = 0;
    int PopUps = 0;

    void BeginListUpdate() override {}
    void EndListUpdate() override {}
    void AddRow(TMailItem& item) override { Rows.push_back(&item); }
    void DeleteRow(TMailItem& item) override { std::erase(Rows, &item); }
    std::vector<TMailItem*> SelectedRows() override { return Selected; }
    void RepaintFolderTree() override {}
    void RepaintLists() override {}
    void ClearReaderPane() override { Log.push_back("clear reader"); }
    void EnableMessageCommands(bool enabled) override {
        Log.push_back(enabled ? "commands on" : "commands off");
    }
    void SetTaskStatus(const std::string& text) override { Log.push_back("status " + text); }
    void SetAccountsMenu(const std::vector<TAccount*>&) override {}
    void SetCheckTimer(int32_t, bool) override {}
    void TasksAddTask(TCustomTask& task) override { TaskRows.push_back(&task); }
    TCustomTask* TasksFirstTask() override { return TaskRows.empty() ? nullptr : TaskRows[0]; }
    void TasksDeleteFirstTask() override { TaskRows.erase(TaskRows.begin()); }
    void TasksClose() override { TasksVisible = false; }
    void TasksSetStatus(const std::string&, const std::string&) override {}
    void TasksSetProgress(int64_t, int64_t) override {}
    void TasksAddError(const TError& error) override { Log.push_back("error " + error.Message); }
    void TasksShowErrors() override { TasksVisible = true; }
    void TasksShowTasks() override { TasksVisible = true; }
    void BarPopUp() override { ++PopUps; }
    void BarPopDown() override {}
    void BarRepaint() override {}
    void CloseReadersOf(TMailItem&) override {}
    void ShowInReader(TMailItem& item, bool) override { Log.push_back("reader " + item.UIDL); }
    bool AskYesNo(const std::string&, const std::string&) override {
        ++Questions;
        return Answer;
    }
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
    FakeView View;
    FakeSound Sound;
    std::unique_ptr<TTasks> Tasks = std::make_unique<TTasks>(Dispatcher);
    std::unique_ptr<TMsgListController> Controller;

    CycleWorld() {
        ForceFolders(AccountsFolder);
        TMailBox& inbox = MailBoxes.OpenStore(Data.File("mailbox"));
        inbox.EnsureLoaded();
        Controller = std::make_unique<TMsgListController>(TMsgListController::Services{
            Accounts, *Tasks, MailBoxes, Errors, Options, Dispatcher, Sound, View, AccountsFolder});
        Controller->Inbox = &inbox;
        Controller->CurrentBox = &inbox;
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
