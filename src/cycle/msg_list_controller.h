#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cycle/msg_list_view.h"

namespace quobel {

class Error;
class SoundPlayer;
class TAccounts;
class TErrors;
class TMailBox;
class TMailBoxes;
class TOptions;
class TPOPDelete;
class TPOPList;
class TTasks;
class TUiDispatcher;

// The driver of the system: starts mail checks, receives every task event on the
// user-interface thread, files new messages into the Inbox, keeps the accounts' known keys up
// to date, deletes messages on the server and locally, and keeps read states and unread counts.
// It talks to the windows only through TMsgListView.
//
// Mailbox tables are not rewritten after every change: a change marks its box, and the boxes
// are saved once per burst of events (a call posted to the user-interface thread; during a
// check, the whole check of one account is the burst), before any account file is saved (so an
// account never knows a key whose message is missing from the box), when a task finishes, and
// at exit. A crash loses at most the last burst, whose keys were not saved either: those
// messages are offered again.
class TMsgListController {
  public:
    struct Services {
        TAccounts& Accounts;
        TTasks& Tasks;
        TMailBoxes& MailBoxes;
        TErrors& Errors;
        TOptions& Options;
        TUiDispatcher& Dispatcher;
        SoundPlayer& Sound;
        TMsgListView& View;
        std::string AccountsFolder;
    };

    explicit TMsgListController(Services services);
    ~TMsgListController();
    TMsgListController(const TMsgListController&) = delete;
    TMsgListController& operator=(const TMsgListController&) = delete;

    TMailBox* CurrentBox = nullptr;  // the mailbox the list shows
    TMailBox* Inbox = nullptr;       // every new message is filed here
    bool NewMail = false;

    struct CheckTimer {
        int32_t IntervalMilliseconds = 0;
        bool Enabled = false;
    };
    // Reads "General"/"Interval" and "General"/"Check" and sets the view's timer.
    CheckTimer ApplyCheckTimer();

    // A check of every account that takes part; refused while a check is queued or running.
    void actSynchronize();
    // A check of one account, queued whatever else is queued.
    void CheckAccount(TAccount& account);
    // The accounts for the Check mail drop-down, in list order; also handed to the view.
    std::vector<TAccount*> BuildAccountsMenu();

    // Attaches the common task events; ShowTask lists the task in the Tasks window.
    void HookTask(TCustomTask& task);
    void ShowTask(TCustomTask& task);

    void actDelete();
    bool ConfirmDelete(bool single);
    // Queues a delete task for a message still on the server, or removes it locally at once.
    // The caller starts the queue afterwards.
    void DeleteMessage(TMailItem& item);

    void OpenMessage(TMailItem& item);
    void MarkMessageRead(TMailItem& item, bool notify);
    void MarkSelected(bool read);
    void RepaintLists();

    // Writes every mailbox table changed since the last save.
    void SaveChangedBoxes();
    // For program exit: saves the changed tables, every account file and the unread counters,
    // and asks the queued tasks to stop.
    void Shutdown();

    // The task event handlers (public for the reader pane's fetch and for tests).
    void TaskStatus(TCustomTask& task, const std::string& text, uint8_t kind);
    void TaskProgress(TCustomTask& task, int64_t position, int64_t maximum);
    void TaskError(TCustomTask& task, const std::string& text, const Error& error);
    void TaskFinished(TCustomTask& task);
    void TaskNewMessage(TPOPList& task, const std::string& key, int64_t size);
    void TaskServerList(TPOPList& task, const std::vector<std::string>& keys);
    void CheckFinished(TCustomTask& task);
    void TaskMessageDeleted(TPOPDelete& task, const std::string& key);

    // A mailbox whose table changed: saved with the next burst.
    void BoxChanged(TMailBox& box);

  private:
    void QueueCheck(TAccount& account);
    // The registry's account the task was made for; null when it has left the registry.
    TAccount* RegistryAccount(const TCustomTask& task);
    void RemoveLocally(TMailItem& item);
    void AfterRemoval(TMailBox& box);
    void ChangeUnread(TMailBox& box, int32_t delta);

    Services s_;
    std::set<TMailBox*> changedBoxes_;
    bool saveScheduled_ = false;
    // Posted calls hold this weakly: a call that arrives after the controller is gone does
    // nothing.
    std::shared_ptr<TMsgListController*> self_;
};

// The text of the delete confirmation.
std::string DeleteConfirmationText(bool single);

}  // namespace quobel
