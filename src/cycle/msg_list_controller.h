#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/user_text.h"
#include "cycle/announcement_rules.h"
#include "cycle/cycle_events.h"
#include "cycle/desktop_requests.h"
#include "platform/transport.h"

namespace quobel {

class Error;
class SoundPlayer;
class TAccessTokenSource;
class TAccount;
class TAccounts;
class TCustomTask;
class TErrors;
class TMailBox;
class TMailBoxes;
class TOptions;
class TPOPDelete;
class TPOPList;
class TPOPRetrieve;
class TTasks;
class TUiDispatcher;
class YesNoQuestion;
struct TParsedHeader;
struct TServerCertificate;

// The desktop's side of the requests the controller makes; each may be absent.
struct TDesktopRequests {
    YesNoQuestion* Question = nullptr;  // absent: every question is answered No
    TListSelection* Selection = nullptr;
    TReaderShow* Reader = nullptr;
    TBarControl* Bar = nullptr;
    TMessageFocus* Focus = nullptr;
};

// The driver of the system: starts mail checks, receives every task event on the
// user-interface thread, files new messages into the Inbox, keeps the accounts' known keys up
// to date, deletes messages on the server and locally, and keeps read states and unread counts.
// It tells the windows what happened through Events, and asks the desktop through Desktop.
//
// Mailbox tables are not rewritten after every change: a change marks its box, and the boxes
// are saved once per burst of events (a call posted to the user-interface thread; during a
// check, what it filed in ProgressSaveInterval is the burst), always before any account file is
// saved (so an account never knows a key whose message is missing from the box), when a task
// finishes, and at exit. A crash loses at most the last burst, whose keys were not saved either:
// those messages are offered again. A row saved without its key (a crash between the two saves)
// is recognised by the next check, which then only learns the key.
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
        std::string AccountsFolder;
        // Where the tasks of accounts that sign in with a token get it; null: such an
        // account's check fails with a clear error.
        TAccessTokenSource* Tokens = nullptr;
    };

    explicit TMsgListController(Services services);
    ~TMsgListController();
    TMsgListController(const TMsgListController&) = delete;
    TMsgListController& operator=(const TMsgListController&) = delete;

    TMailBox* Inbox = nullptr;  // every new message is filed here
    bool NewMail = false;

    TCycleEvents Events;
    TDesktopRequests Desktop;

    struct CheckTimer {
        int32_t IntervalMilliseconds = 0;
        bool Enabled = false;
    };
    // Reads the check interval and whether checking is on; the caller sets its timer by it.
    CheckTimer ApplyCheckTimer();

    // A check of every account that takes part; refused (false) while a check is queued or
    // running. An account whose server asked for a delay between logins (LOGIN-DELAY) is left
    // out, here and in CheckAccount, until the delay has passed since its last check, and the
    // task status says when it may be checked again.
    bool actSynchronize();
    // Whether a check is queued or running.
    bool Checking() const;
    // A check of one account, queued whatever else is queued.
    void CheckAccount(TAccount& account);
    // The user trusts the server certificate an error entry carries: its key is pinned for the
    // entry's account and that host, the account file saved (a failure to is logged), and the
    // account checked again. False when the account is no longer in the registry.
    bool TrustCertificate(const std::string& accountId, const TServerCertificate& certificate);
    // The accounts for the Check mail drop-down, in list order; told as AccountsListed.
    std::vector<TAccount*> BuildAccountsMenu();

    // Attaches the common task events.
    void HookTask(TCustomTask& task);
    void actDelete();
    bool ConfirmDelete(bool single);
    // Deletes the items as the Delete command does, after its confirmation (a single item is
    // asked about as "this message"); starts the queue.
    void DeleteMessages(const std::vector<TMailItem*>& items);
    // Queues a delete task for a message still on the server, or removes it locally at once.
    // The caller starts the queue afterwards.
    void DeleteMessage(TMailItem& item);

    // The end of a reader's fetch: the item the fetched message was stored for, and whether the
    // server still had the message. Not called when the item is gone by then, nor when the
    // fetch failed: the failure is listed and the item stays as it was, to be fetched again.
    using TFetchDone = std::function<void(TMailItem& item, bool received)>;
    // A fetch that failed: the item it was for and the failure in one line (also listed in the
    // error log). Not called when the item is gone by then, nor when the task was stopped.
    using TFetchFailed = std::function<void(TMailItem& item, const std::string& error)>;
    // Queues the download of the whole message of an item known by its header only, lists the
    // task, shows the Tasks window and starts the queue. The result is stored for the item
    // whatever shows it by then. While a fetch of the same message is pending no second one is
    // queued: `done` joins the pending one. False when the item has no account to fetch from.
    bool FetchMessage(TMailItem& item, TFetchDone done, TFetchFailed failed = {});
    // Stores a fetch result for its item: the lines as the cache file (followed by the
    // terminator line), or, with none, the item marked downloaded so that it is not fetched
    // again.
    void StoreFetched(TMailItem& item, const std::vector<std::string>* lines);

    // Every change of a message's read state goes through here: the item and its row, its box's
    // unread counter (the Inbox's is the bar's and the tray's), the table's next save, and the
    // windows that show them. False when the item was so already: nothing changes then.
    bool SetRead(TMailItem& item, bool read);
    // Marks the item read and shows it in a reader.
    void OpenMessage(TMailItem& item);
    // Marks the item read; with `notify`, the bar shows it and goes down once the Inbox has no
    // unread message left (a run of marks notifies on its last one only).
    void MarkMessageRead(TMailItem& item, bool notify);
    // Marks the list's selected items read or unread.
    void MarkSelected(bool read);
    // Brings the main window up with the item focused and previewed.
    void FocusMessage(TMailItem& item);

    // Writes every mailbox table changed since the last save. A table that cannot be written is
    // logged and stays pending for the next save; false then, and no account file may be saved
    // after it, or its known keys would get ahead of the table's rows.
    bool SaveChangedBoxes();
    // For program exit: saves the changed tables, every account file and the unread counters,
    // and asks the queued tasks to stop. With WriteTablesWholeAtExit, a table whose added rows
    // are journalled is then written whole, so that its file alone holds every row (for an
    // older version of the program, or a copy of box.dat alone).
    void Shutdown();
    bool WriteTablesWholeAtExit = true;

    // The task event handlers (public for the reader pane's fetch and for tests).
    void TaskStatus(TCustomTask& task, const std::string& text, uint8_t kind);
    void TaskProgress(TCustomTask& task, int64_t position, int64_t maximum);
    void TaskError(TCustomTask& task, const std::string& text, const Error& error);
    // Adds an entry to the error log and tells the windows: what a task reported, or what no task
    // did (a skin that did not load, a file that could not be written, the desktop's services).
    // An account's entry names it; a refused handshake's carries the certificate to trust.
    void LogError(const std::string& message, const std::string& details,
                  const std::string& accountId = {},
                  std::shared_ptr<const TServerCertificate> certificate = nullptr);
    void TaskFinished(TCustomTask& task);
    // Files one new message whose header lines are the task's HeaderLines, as FileNewMail does.
    void TaskNewMessage(TPOPList& task, const std::string& key, int64_t size);
    // Files a batch of new messages of the check of `source` (the registry's account the task
    // was made for) into the Inbox, in order, and tells the windows once. A message that cannot
    // be filed is listed as an error and its key stays unknown.
    void FileNewMail(const TAccount* source, std::vector<TParsedHeader>& batch);
    void TaskServerList(TPOPList& task, const std::vector<std::string>& keys);
    void CheckFinished(TCustomTask& task);
    void TaskMessageDeleted(TPOPDelete& task, const std::string& key);

    // A mailbox whose table changed: saved with the next burst.
    void BoxChanged(TMailBox& box);

    // How the tasks' sessions connect; TCP when empty (tests put scripted servers here).
    TConnector TaskConnector;
    // Whether checks may pipeline their commands to servers that offer it.
    bool AllowPipelining = true;
    // During a long check the tables and then the account's known keys are saved this often, so
    // that a crash loses at most this much of the check's work; every 250 ms at most while the
    // Inbox only needs its new rows appended to its journal.
    std::chrono::milliseconds ProgressSaveInterval{3000};
    // The time now, for the servers' login delays (tests set the clock here).
    std::function<std::chrono::system_clock::time_point()> Clock = std::chrono::system_clock::now;
    // The local minute of the day, for the quiet hours (tests set the clock here).
    std::function<int32_t()> MinuteNow = LocalMinuteNow;

  private:
    void QueueCheck(TAccount& account);
    // The registry's account the task was made for; null when it has left the registry.
    TAccount* RegistryAccount(const TCustomTask& task);
    TAccount* RegistryAccount(const TAccount* source);
    // The registry's account of the item; null when it has none or the account was removed.
    TAccount* AccountOf(const TMailItem& item);
    // A new cache file name in the Inbox folder.
    std::string NewCacheName();
    // A new item in the Inbox for the message, its header block kept under the cache name.
    TMailItem& NewItem(const TAccount* account, const TParsedHeader& parsed,
                       const std::string& cacheName);
    // Saves the tables and then the account file once ProgressSaveInterval has passed since the
    // check's first batch or its last progress save.
    void SaveProgressWhenDue(TAccount& account);
    // The messages could not be filed: listed, and their keys stay unknown.
    void RefuseMail(const TAccount* source, const TAccount* account,
                    const std::vector<TParsedHeader>& refused, const std::string& message,
                    const std::string& details);
    void RemoveLocally(TMailItem& item);
    void AfterRemoval(TMailBox& box);
    void ChangeUnread(TMailBox& box, int32_t delta);
    void FetchEnded(TPOPRetrieve& task, const std::vector<std::string>* lines);
    // Tells the waiters of a failed fetch, once.
    void FetchFailed(const TPOPRetrieve& task, const std::vector<TFetchFailed>& failing);
    TMailItem* FindItem(const TAccount* account, const std::string& key);
    // Saves every account file that is out of date; a failure is logged.
    void SaveAccounts();

    struct PendingFetch {
        const TCustomTask* Task;
        const TAccount* Account;
        std::string Key;
        std::vector<TFetchDone> Waiting;
        std::vector<TFetchFailed> Failing;
    };

    Services s_;
    std::set<TMailBox*> changedBoxes_;
    bool saveScheduled_ = false;
    std::vector<PendingFetch> fetches_;
    // The messages the running check has filed so far.
    std::vector<TMailItem*> brought_;
    // Per running check (by the registry's account it was made for): the keys of the messages
    // that arrived but could not be filed.
    std::map<const TAccount*, std::set<std::string>> unfiled_;
    uint64_t cacheNames_ = 0;
    std::string cacheSalt_;
    // The running check's progress saves.
    struct ProgressSaves {
        bool Started = false;
        bool Failed = false;  // logged once; the check's end tries again
        std::chrono::steady_clock::time_point Saved;
    };
    ProgressSaves progress_;
    // Per account ID: the earliest time its server allows the next login.
    std::map<std::string, std::chrono::system_clock::time_point> nextLogin_;
    // Posted calls hold this weakly: a call that arrives after the controller is gone does
    // nothing.
    std::shared_ptr<TMsgListController*> self_;
};

// What the status says of an account left out of a check for its server's login delay.
inline constexpr const char* kNextCheckText =
    USER_TEXT("Quobel", "The server allows the next check of this account at %1.");
std::string NextCheckText(std::chrono::system_clock::time_point next);

// The text of the delete confirmation.
std::string DeleteConfirmationText(bool single);

}  // namespace quobel
