#include "cycle/msg_list_controller.h"

#include <algorithm>

#include "accounts/account_file.h"
#include "accounts/accounts.h"
#include "core/clamp_int.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/options.h"
#include "core/unique_file_name.h"
#include "platform/sound_player.h"
#include "platform/ui_dispatcher.h"
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "retrieval/pop_delete.h"
#include "retrieval/pop_list.h"
#include "retrieval/pop_retrieve.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "store/mail_item.h"

namespace quobel {
namespace {

constexpr int32_t kMinute = 60000;

// The list update of the view, ended on every path.
class ListUpdate {
  public:
    explicit ListUpdate(TMsgListView& view) : view_(view) { view_.BeginListUpdate(); }
    ~ListUpdate() { view_.EndListUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

  private:
    TMsgListView& view_;
};

}  // namespace

std::string DeleteConfirmationText(bool single) {
    return std::string("Are you sure you want to delete ") +
           (single ? "this message?" : "the selected message(s)?") + "\r\n\r\n" +
           "Note: the message will be deleted directly " +
           "from the server, you will not be able to recover it!";
}

TMsgListController::TMsgListController(Services services)
    : s_(std::move(services)), self_(std::make_shared<TMsgListController*>(this)) {}

TMsgListController::~TMsgListController() = default;

TMsgListController::CheckTimer TMsgListController::ApplyCheckTimer() {
    OptionsScope scope(s_.Options);
    CheckTimer timer;
    const int64_t minutes = scope.Read(settings::kInterval);
    timer.IntervalMilliseconds = ClampToInt32(minutes * kMinute);
    timer.Enabled = scope.Read(settings::kCheck);
    s_.View.SetCheckTimer(timer.IntervalMilliseconds, timer.Enabled);
    return timer;
}

void TMsgListController::actSynchronize() {
    if (s_.Tasks.HasTaskOfClass<TPOPList>()) {
        return;
    }
    NewMail = false;
    for (size_t i = 0; i < s_.Accounts.Count(); ++i) {
        TAccount& account = s_.Accounts.Items(i);
        if (account.Synchronize) {
            QueueCheck(account);
        }
    }
    s_.Tasks.StartNext();
}

void TMsgListController::CheckAccount(TAccount& account) {
    QueueCheck(account);
    s_.Tasks.StartNext();
}

void TMsgListController::QueueCheck(TAccount& account) {
    TPOPList& task = s_.Tasks.Add<TPOPList>(account);
    HookTask(task);
    task.OnNewMessage = [this](TPOPList& sender, const std::string& key, int64_t size) {
        TaskNewMessage(sender, key, size);
    };
    task.OnServerList = [this](TPOPList& sender, const std::vector<std::string>& keys) {
        TaskServerList(sender, keys);
    };
    task.OnFinished = [this](TCustomTask& sender) { CheckFinished(sender); };
    ShowTask(task);
}

std::vector<TAccount*> TMsgListController::BuildAccountsMenu() {
    std::vector<TAccount*> accounts;
    for (size_t i = 0; i < s_.Accounts.Count(); ++i) {
        accounts.push_back(&s_.Accounts.Items(i));
    }
    s_.View.SetAccountsMenu(accounts);
    return accounts;
}

void TMsgListController::HookTask(TCustomTask& task) {
    if (TaskConnector && task.Connection) {
        task.Connection->Connector = TaskConnector;
    }
    task.OnStatus = [this](TCustomTask& sender, const std::string& text, uint8_t kind) {
        TaskStatus(sender, text, kind);
    };
    // Runs on the task's thread: only the posted call touches the windows.
    task.OnProgress = [this](TCustomTask& sender, int64_t position, int64_t maximum) {
        TaskProgress(sender, position, maximum);
    };
    task.OnError = [this](TCustomTask& sender, const std::string& text, const Error& error) {
        TaskError(sender, text, error);
    };
    task.OnFinished = [this](TCustomTask& sender) { TaskFinished(sender); };
}

void TMsgListController::ShowTask(TCustomTask& task) {
    s_.View.TasksAddTask(task);
}

TAccount* TMsgListController::RegistryAccount(const TCustomTask& task) {
    // Compared by address only: an account removed from the registry while its task waited
    // must not be touched.
    for (size_t i = 0; i < s_.Accounts.Count(); ++i) {
        if (&s_.Accounts.Items(i) == task.SourceAccount) {
            return &s_.Accounts.Items(i);
        }
    }
    return nullptr;
}

void TMsgListController::TaskNewMessage(TPOPList& task, const std::string& key, int64_t size) {
    if (Inbox == nullptr) {
        throw Error("There is no Inbox to file new messages in");
    }
    // A table that cannot be read refuses the message: the check reports it as an error and
    // offers it again next time, instead of filing it where it could never be saved.
    Inbox->EnsureLoaded();
    NewMail = true;
    TMailItem& item = Inbox->Items.Add();
    ChangeUnread(*Inbox, +1);
    item.Downloaded = false;
    item.Read = false;
    item.Attachments = false;
    item.Folder = Inbox->Path;
    item.Cache = UniqueFileName(Inbox->Path, ".qbe") + ".qbe";
    item.Account = RegistryAccount(task);
    item.UIDL = key;
    item.Online = true;
    item.SetSize(ClampToInt32(size < 0 ? 0 : size));
    if (item.Account != nullptr) {
        item.Account->UIDL.Add(key);
    }
    item.LoadFromHeaderLines(task.HeaderLines);
    item.SaveMessage();
    item.Changed();
    BoxChanged(*Inbox);
    if (Inbox == CurrentBox) {
        ListUpdate update(s_.View);
        s_.View.AddRow(item);
    }
}

void TMsgListController::TaskServerList(TPOPList& task, const std::vector<std::string>& keys) {
    if (TAccount* account = RegistryAccount(task)) {
        account->UIDL.Assign(keys);
    }
}

void TMsgListController::CheckFinished(TCustomTask& task) {
    if (NewMail) {
        bool sound = false;
        std::string soundFile;
        {
            OptionsScope scope(s_.Options);
            sound = scope.Read(settings::kSound);
            soundFile = scope.Read(settings::kSoundFile);
        }
        if (sound && !soundFile.empty() && FileExists(soundFile)) {
            s_.Sound.PlayAsync(soundFile);
        }
        s_.View.BarPopUp();
        SaveChangedBoxes();
        s_.Accounts.SaveAll(s_.AccountsFolder);
    }
    NewMail = false;
    TaskFinished(task);
}

void TMsgListController::TaskFinished(TCustomTask& task) {
    SaveChangedBoxes();
    if (s_.View.TasksFirstTask() == &task) {
        s_.View.TasksDeleteFirstTask();
    }
    if (s_.Tasks.Count() == 1 && s_.Errors.Count() == 0) {
        s_.View.TasksClose();
    }
    s_.View.BarRepaint();
}

void TMsgListController::TaskStatus(TCustomTask& task, const std::string& text, uint8_t kind) {
    s_.View.SetTaskStatus(kind <= 4 ? std::to_string(kind) + "|" + text : text);
    s_.View.TasksSetStatus(task.Account.Name, text);
}

void TMsgListController::TaskProgress(TCustomTask&, int64_t position, int64_t maximum) {
    std::weak_ptr<TMsgListController*> alive = self_;
    s_.Dispatcher.Post([alive, position, maximum] {
        if (const auto self = alive.lock()) {
            (*self)->s_.View.TasksSetProgress(maximum, position);
        }
    });
}

void TMsgListController::TaskError(TCustomTask&, const std::string& text, const Error& error) {
    TError& entry = s_.Errors.Add();
    entry.Message = text;
    entry.Details = error.what();
    s_.View.TasksAddError(entry);
    s_.View.TasksShowErrors();
}

void TMsgListController::actDelete() {
    if (!ConfirmDelete(false)) {
        return;
    }
    for (TMailItem* item : s_.View.SelectedRows()) {
        DeleteMessage(*item);
    }
    if (s_.Tasks.Count() > 0) {
        s_.View.TasksShowTasks();
        s_.Tasks.StartNext();
    }
}

bool TMsgListController::ConfirmDelete(bool single) {
    bool ask = true;
    {
        OptionsScope scope(s_.Options);
        ask = scope.Read(settings::kConfirmDelete);
    }
    return !ask || s_.View.AskYesNo("Delete", DeleteConfirmationText(single));
}

void TMsgListController::DeleteMessage(TMailItem& item) {
    // An item whose account is no longer known cannot reach its server: it can only go locally.
    if (item.Online && item.Account != nullptr) {
        TPOPDelete& task = s_.Tasks.Add<TPOPDelete>(*item.Account);
        task.DeleteKeys.push_back(item.UIDL);
        HookTask(task);
        task.OnDeleted = [this](TPOPDelete& sender, const std::string& key) {
            TaskMessageDeleted(sender, key);
        };
        ShowTask(task);
        return;
    }
    RemoveLocally(item);
}

void TMsgListController::RemoveLocally(TMailItem& item) {
    TMailBox* box = item.Collection().Box;
    ListUpdate update(s_.View);
    s_.View.CloseReadersOf(item);
    if (box == CurrentBox) {
        s_.View.DeleteRow(item);
    }
    if (!item.Read && box != nullptr) {
        ChangeUnread(*box, -1);
    }
    item.Delete();
    if (box != nullptr) {
        AfterRemoval(*box);
    }
}

void TMsgListController::AfterRemoval(TMailBox& box) {
    if (box.Items.Count() == 0 && &box == CurrentBox) {
        s_.View.ClearReaderPane();
        s_.View.EnableMessageCommands(false);
    }
    BoxChanged(box);
}

void TMsgListController::TaskMessageDeleted(TPOPDelete&, const std::string& key) {
    if (Inbox == nullptr) {
        return;
    }
    TMailItem* found = nullptr;
    // Peeking leaves the items that are not made yet as they are.
    for (size_t i = Inbox->Items.Count(); i-- > 0;) {
        if (Inbox->Items.Peek(i).UIDL == key) {
            found = &Inbox->Items.Items(i);
            break;
        }
    }
    if (found == nullptr) {
        return;
    }
    if (TAccount* account = found->Account; account != nullptr && account->UIDL.Contains(key)) {
        account->UIDL.Remove(key);
        SaveAccount(*account, TAccounts::FileNameOf(s_.AccountsFolder, *account));
    }
    RemoveLocally(*found);
}

void TMsgListController::ChangeUnread(TMailBox& box, int32_t delta) {
    box.Unread += delta;
    s_.View.RepaintFolderTree();
}

bool TMsgListController::FetchMessage(TMailItem& item, TFetchDone done) {
    if (item.Account == nullptr) {
        return false;
    }
    for (PendingFetch& pending : fetches_) {
        if (pending.Account == item.Account && pending.Key == item.UIDL) {
            pending.Waiting.push_back(std::move(done));
            s_.View.TasksShowTasks();
            return true;
        }
    }
    TPOPRetrieve& task = s_.Tasks.Add<TPOPRetrieve>(*item.Account);
    task.TargetKey = item.UIDL;
    HookTask(task);
    task.OnRetrieved = [this](TPOPRetrieve& sender, const std::vector<std::string>* lines) {
        FetchEnded(sender, lines);
    };
    // A task that could not connect brings no result: its waiters are dropped when it ends.
    task.OnFinished = [this](TCustomTask& sender) {
        std::erase_if(fetches_, [&](const PendingFetch& p) { return p.Task == &sender; });
        TaskFinished(sender);
    };
    fetches_.push_back({&task, item.Account, item.UIDL, {std::move(done)}});
    ShowTask(task);
    s_.View.TasksShowTasks();
    s_.Tasks.StartNext();
    return true;
}

void TMsgListController::FetchEnded(TPOPRetrieve& task, const std::vector<std::string>* lines) {
    std::vector<TFetchDone> waiting;
    const auto pending =
        std::ranges::find_if(fetches_, [&](const PendingFetch& p) { return p.Task == &task; });
    if (pending != fetches_.end()) {
        waiting = std::move(pending->Waiting);
        fetches_.erase(pending);
    }
    // A failure on the way (the server's list, the size, the transfer) has been listed. Lines
    // received before it are not the message, and a message that was not found because the
    // list could not be read may well be there: the item stays as it was and is fetched again
    // the next time it is shown.
    if (!task.ErrorText.empty()) {
        return;
    }
    TMailItem* item = FindItem(task.SourceAccount, task.TargetKey);
    if (item == nullptr) {
        return;  // deleted while its message was on the way
    }
    try {
        StoreFetched(*item, lines);
    } catch (const std::exception& failure) {
        TaskError(task, "Could not store message!", AsError(failure));
        return;
    }
    for (const TFetchDone& done : waiting) {
        if (done) {
            done(*item, lines != nullptr);
        }
    }
}

TMailItem* TMsgListController::FindItem(const TAccount* account, const std::string& key) {
    for (size_t b = 0; b < s_.MailBoxes.Count(); ++b) {
        TMailBox& box = s_.MailBoxes.Items(b);
        if (!box.Loaded) {
            continue;
        }
        for (size_t i = box.Items.Count(); i-- > 0;) {
            const TMailItemPeek peek = box.Items.Peek(i);
            if (peek.Account == account && peek.UIDL == key) {
                return &box.Items.Items(i);
            }
        }
    }
    return nullptr;
}

void TMsgListController::StoreFetched(TMailItem& item, const std::vector<std::string>* lines) {
    if (lines != nullptr) {
        const std::string text = JoinLines(*lines);
        // The message as it came, then the terminator line, which the parser takes off again.
        // Written before the item says it is downloaded: a failed write leaves the header
        // block, and the item is fetched again.
        item.WriteCacheFile(text + (text.empty() ? "\r\n.\r\n" : ".\r\n"));
        item.SetSize(ClampToInt32(static_cast<int64_t>(text.size())));
    }
    item.Downloaded = true;
    item.Changed();
    if (TMailBox* box = item.Collection().Box) {
        BoxChanged(*box);
    }
}

void TMsgListController::OpenMessage(TMailItem& item) {
    if (!item.Read) {
        item.Read = true;
        if (TMailBox* box = item.Collection().Box) {
            ChangeUnread(*box, -1);
        }
    }
    s_.View.RepaintFolderTree();
    item.Changed();
    if (TMailBox* box = item.Collection().Box) {
        BoxChanged(*box);
    }
    RepaintLists();
    bool newWindow = true;
    {
        OptionsScope scope(s_.Options);
        newWindow = scope.Read(settings::kNewWindow);
    }
    s_.View.ShowInReader(item, newWindow);
}

void TMsgListController::MarkMessageRead(TMailItem& item, bool notify) {
    if (item.Read) {
        return;
    }
    item.Read = true;
    item.Changed();
    TMailBox* box = item.Collection().Box;
    if (box != nullptr) {
        ChangeUnread(*box, -1);
        BoxChanged(*box);
    }
    if (notify) {
        RepaintLists();
        s_.View.BarRepaint();
        if (Inbox != nullptr && Inbox->Unread <= 0) {
            s_.View.BarPopDown();
        }
    }
}

void TMsgListController::MarkSelected(bool read) {
    for (TMailItem* item : s_.View.SelectedRows()) {
        if (item->Read == read) {
            continue;
        }
        item->Read = read;
        item->Changed();
        if (TMailBox* box = item->Collection().Box) {
            box->Unread += read ? -1 : +1;
            BoxChanged(*box);
        }
    }
    if (CurrentBox != nullptr) {
        BoxChanged(*CurrentBox);
    }
    s_.View.RepaintFolderTree();
    RepaintLists();
    s_.View.BarRepaint();
}

void TMsgListController::RepaintLists() {
    s_.View.RepaintLists();
}

void TMsgListController::BoxChanged(TMailBox& box) {
    changedBoxes_.insert(&box);
    // While a check is queued or running, its new messages arrive one event after another:
    // the boxes are saved when it finishes (and before its account files are saved), not once
    // per message.
    if (saveScheduled_ || s_.Tasks.HasTaskOfClass<TPOPList>()) {
        return;
    }
    saveScheduled_ = true;
    std::weak_ptr<TMsgListController*> alive = self_;
    s_.Dispatcher.Post([alive] {
        if (const auto self = alive.lock()) {
            (*self)->SaveChangedBoxes();
        }
    });
}

void TMsgListController::SaveChangedBoxes() {
    saveScheduled_ = false;
    std::set<TMailBox*> boxes;
    boxes.swap(changedBoxes_);
    for (TMailBox* box : boxes) {
        if (box->Loaded) {
            box->SaveTable();
        }
    }
}

void TMsgListController::Shutdown() {
    // First, so that it happens even when a save fails below.
    s_.Tasks.TerminateTasks();
    // A table that cannot be saved stops here: saving the account files then would make its
    // new messages' keys known while the messages are missing from the box.
    SaveChangedBoxes();
    s_.Accounts.SaveAll(s_.AccountsFolder);
    s_.MailBoxes.WriteAllUnread();
}

}  // namespace quobel
