#include "cycle/msg_list_controller.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <random>

#include "accounts/accounts.h"
#include "core/clamp_int.h"
#include "core/date_time.h"
#include "core/digest.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/options.h"
#include "core/server_certificate.h"
#include "core/unique_file_name.h"
#include "core/user_text.h"
#include "cycle/new_mail_queue.h"
#include "platform/sound_player.h"
#include "platform/ui_dispatcher.h"
#include "platform/yes_no_question.h"
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "retrieval/pop_delete.h"
#include "retrieval/pop_list.h"
#include "retrieval/pop_retrieve.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "store/parsed_header.h"

namespace quobel {
namespace {

constexpr int32_t kMinute = 60000;
// How often a check saves its progress while the table only needs its new rows appended.
constexpr std::chrono::milliseconds kAppendingSaveInterval{250};

// A task's failure and its cause on one line: each line break in a server's reply becomes one
// space.
std::string OneLine(const std::string& text, const std::string& cause) {
    const std::string joined = cause.empty() ? text : text + " " + cause;
    std::string line;
    line.reserve(joined.size());
    for (const char c : joined) {
        const bool lineBreak = c == '\r' || c == '\n';
        if (!lineBreak) {
            line += c;
        } else if (!line.empty() && line.back() != ' ') {
            line += ' ';
        }
    }
    return line;
}

}  // namespace

std::string NextCheckText(std::chrono::system_clock::time_point next) {
    const std::time_t time = std::chrono::system_clock::to_time_t(next);
    std::tm local{};
    localtime_r(&time, &local);
    std::array<char, 16> clock{};
    std::strftime(clock.data(), clock.size(), "%H:%M:%S", &local);
    return FormatUserText(kNextCheckText, {clock.data()});
}

std::string DeleteConfirmationText(bool single) {
    return single ? USER_TEXT("Quobel",
                              "Are you sure you want to delete this message?\r\n\r\n"
                              "Note: the message will be deleted directly from the server, you "
                              "will not be able to recover it!")
                  : USER_TEXT("Quobel",
                              "Are you sure you want to delete the selected message(s)?\r\n\r\n"
                              "Note: the message will be deleted directly from the server, you "
                              "will not be able to recover it!");
}

TMsgListController::TMsgListController(Services services)
    : s_(std::move(services)), self_(std::make_shared<TMsgListController*>(this)) {
    std::random_device random;
    cacheSalt_ = std::to_string(random()) + std::to_string(random());
}

TMsgListController::~TMsgListController() = default;

TMsgListController::CheckTimer TMsgListController::ApplyCheckTimer() {
    OptionsScope scope(s_.Options);
    CheckTimer timer;
    const int64_t minutes = scope.Read(settings::kInterval);
    timer.IntervalMilliseconds = ClampToInt32(minutes * kMinute);
    timer.Enabled = scope.Read(settings::kCheck);
    return timer;
}

bool TMsgListController::Checking() const {
    return s_.Tasks.HasTaskOfClass<TPOPList>();
}

bool TMsgListController::actSynchronize() {
    if (Checking()) {
        return false;
    }
    NewMail = false;
    for (size_t i = 0; i < s_.Accounts.Count(); ++i) {
        TAccount& account = s_.Accounts.Items(i);
        if (account.Synchronize) {
            QueueCheck(account);
        }
    }
    s_.Tasks.StartNext();
    return true;
}

void TMsgListController::CheckAccount(TAccount& account) {
    QueueCheck(account);
    s_.Tasks.StartNext();
}

void TMsgListController::QueueCheck(TAccount& account) {
    // A server that asked for a delay between logins is not asked again sooner: the account
    // waits, and the status says until when.
    if (const auto next = nextLogin_.find(account.ID);
        next != nextLogin_.end() && Clock() < next->second) {
        Events.TaskStatus.Raise(account.Name, NextCheckText(next->second), kStatusNone);
        return;
    }
    TPOPList& task = s_.Tasks.Add<TPOPList>(account);
    HookTask(task);
    task.AllowPipelining = AllowPipelining;
    // New mail is parsed on the task's thread and filed in batches: the check never waits for
    // the windows.
    std::weak_ptr<TMsgListController*> alive = self_;
    const TAccount* source = &account;
    auto queue =
        TNewMailQueue::Create(s_.Dispatcher, [alive, source](std::vector<TParsedHeader>& batch) {
            if (const auto self = alive.lock()) {
                (*self)->FileNewMail(source, batch);
            }
        });
    // A table not read yet (a check run without windows) is read while the headers arrive.
    task.OnNewFound = [alive, &dispatcher = s_.Dispatcher](TPOPList&, size_t) {
        dispatcher.Post([alive] {
            if (const auto self = alive.lock(); self && (*self)->Inbox != nullptr) {
                (*self)->Inbox->StartLoading();
            }
        });
    };
    task.OnHeaderArrived = [queue](TPOPList&, const std::string& key, int64_t size,
                                   std::vector<std::string>& lines) {
        queue->Arrived(key, size, lines);
    };
    task.OnServerList = [this](TPOPList& sender, const std::vector<std::string>& keys) {
        TaskServerList(sender, keys);
    };
    task.OnFinished = [this](TCustomTask& sender) { CheckFinished(sender); };
}

bool TMsgListController::TrustCertificate(const std::string& accountId,
                                          const TServerCertificate& certificate) {
    TAccount* account = accountId.empty() ? nullptr : s_.Accounts.FindByID(accountId);
    if (account == nullptr || certificate.KeyPin.empty()) {
        return false;
    }
    account->TrustedKey = {certificate.Host, certificate.KeyPin};
    try {
        ForceFolders(s_.AccountsFolder);
        s_.Accounts.Save(*account, s_.AccountsFolder);
    } catch (const std::exception& failure) {
        // The key counts for this session all the same; the entry says it will not last.
        LogError(USER_TEXT("Quobel", "Could not save the account!"), failure.what(), account->ID);
    }
    CheckAccount(*account);
    return true;
}

std::vector<TAccount*> TMsgListController::BuildAccountsMenu() {
    std::vector<TAccount*> accounts;
    for (size_t i = 0; i < s_.Accounts.Count(); ++i) {
        accounts.push_back(&s_.Accounts.Items(i));
    }
    Events.AccountsListed.Raise(accounts);
    return accounts;
}

void TMsgListController::HookTask(TCustomTask& task) {
    if (TaskConnector && task.Connection) {
        task.Connection->Connector = TaskConnector;
    }
    if (auto* session = dynamic_cast<TPOPTask*>(&task)) {
        session->Tokens = s_.Tokens;
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

TAccount* TMsgListController::RegistryAccount(const TCustomTask& task) {
    return RegistryAccount(task.SourceAccount);
}

TAccount* TMsgListController::RegistryAccount(const TAccount* source) {
    // Compared by address only: an account removed from the registry while its task waited
    // must not be touched.
    for (size_t i = 0; i < s_.Accounts.Count(); ++i) {
        if (&s_.Accounts.Items(i) == source) {
            return &s_.Accounts.Items(i);
        }
    }
    return nullptr;
}

TAccount* TMsgListController::AccountOf(const TMailItem& item) {
    return item.AccountID.empty() ? nullptr : s_.Accounts.FindByID(item.AccountID);
}

void TMsgListController::TaskNewMessage(TPOPList& task, const std::string& key, int64_t size) {
    std::vector<TParsedHeader> batch{ParseHeaderBlock(key, size, task.HeaderLines)};
    FileNewMail(task.SourceAccount, batch);
}

void TMsgListController::FileNewMail(const TAccount* source, std::vector<TParsedHeader>& batch) {
    TAccount* account = RegistryAccount(source);
    try {
        if (Inbox == nullptr) {
            throw Error("There is no Inbox to file new messages in");
        }
        // A table that cannot be read refuses new messages: they are offered again next time,
        // instead of filed where they could never be saved.
        Inbox->EnsureLoaded();
    } catch (const std::exception& failure) {
        RefuseMail(source, account, batch,
                   USER_TEXT("Quobel", "Could not retrieve message header!"), failure.what());
        return;
    }
    // A row saved before a crash whose key was not: the message is known by its row.
    std::vector<const TParsedHeader*> fresh;
    fresh.reserve(batch.size());
    for (const TParsedHeader& parsed : batch) {
        if (account != nullptr && Inbox->HasRowOf(parsed.Key, account->ID)) {
            if (!account->UIDL.Contains(parsed.Key)) {
                account->UIDL.Add(parsed.Key);
            }
        } else {
            fresh.push_back(&parsed);
        }
    }
    // The header blocks go to the box's header log in one write, before any row names them: a
    // batch whose blocks cannot be written is not filed, and its keys stay unknown.
    std::vector<std::string> names;
    std::vector<std::pair<std::string, std::string_view>> blocks;
    names.reserve(fresh.size());
    blocks.reserve(fresh.size());
    for (const TParsedHeader* parsed : fresh) {
        names.push_back(NewCacheName());
        blocks.emplace_back(names.back(), parsed->Source);
    }
    try {
        Inbox->HeaderLog().Append(blocks);
    } catch (const std::exception& failure) {
        std::vector<TParsedHeader> refused;
        refused.reserve(fresh.size());
        for (const TParsedHeader* parsed : fresh) {
            refused.push_back(*parsed);
        }
        // Told as every failed write is: what could not be written to.
        RefuseMail(source, account, refused, failure.what(), "");
        return;
    }
    std::vector<TMailItem*> filed;
    filed.reserve(fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i) {
        const TParsedHeader& parsed = *fresh[i];
        TMailItem& item = NewItem(account, parsed, names[i]);
        if (account != nullptr) {
            account->UIDL.Add(parsed.Key);
        }
        item.Changed();
        filed.push_back(&item);
    }
    if (filed.empty()) {
        return;
    }
    NewMail = true;
    ChangeUnread(*Inbox, static_cast<int32_t>(filed.size()));
    BoxChanged(*Inbox);
    brought_.insert(brought_.end(), filed.begin(), filed.end());
    Events.MailFiled.Raise(*Inbox, filed);
    if (account != nullptr) {
        SaveProgressWhenDue(*account);
    }
    // The rows go to the journal while the check waits for the server, so that the save at its
    // end has little more than a sync to do.
    Inbox->WriteAddedRowsAhead();
}

void TMsgListController::SaveProgressWhenDue(TAccount& account) {
    const auto now = std::chrono::steady_clock::now();
    if (!progress_.Started) {
        progress_ = {true, false, now};
        return;
    }
    // Appending the new rows to the table's journal is cheap: then the check saves more often,
    // which also leaves less to save when it ends.
    const auto interval = Inbox != nullptr && Inbox->OnlyRowsAdded()
                              ? std::min(ProgressSaveInterval, kAppendingSaveInterval)
                              : ProgressSaveInterval;
    if (progress_.Failed || now - progress_.Saved < interval) {
        return;
    }
    progress_.Saved = now;
    // Tables first: a key is saved only once its row is. A failure is logged once per check;
    // the check's end tries again.
    if (!SaveChangedBoxes()) {
        progress_.Failed = true;
        return;
    }
    try {
        s_.Accounts.Save(account, s_.AccountsFolder);
    } catch (const std::exception& failure) {
        progress_.Failed = true;
        LogError(USER_TEXT("Quobel", "Could not save the account!"), failure.what(), account.ID);
    }
}

std::string TMsgListController::NewCacheName() {
    // The clock alone repeats within a batch, and the header log makes no file to tell: a
    // counter keeps the names of one run apart, and the run's random salt those of runs whose
    // clocks read alike (a clock set back), without asking the disk once per message.
    return Md5Hex(FloatToGeneralText(Now()) + "#" + cacheSalt_ + "#" +
                  std::to_string(++cacheNames_)) +
           ".qbe";
}

TMailItem& TMsgListController::NewItem(const TAccount* account, const TParsedHeader& parsed,
                                       const std::string& cacheName) {
    TMailItem& item = Inbox->Items.Add();
    item.Downloaded = false;
    item.Read = false;
    item.Attachments = false;
    item.Folder = Inbox->Path;
    item.Cache = cacheName;
    item.AccountID = account != nullptr ? account->ID : std::string();
    item.UIDL = parsed.Key;
    item.Online = true;
    item.SetSize(ClampToInt32(parsed.Size < 0 ? 0 : parsed.Size));
    item.FillFromParsed(parsed);
    return item;
}

void TMsgListController::RefuseMail(const TAccount* source, const TAccount* account,
                                    const std::vector<TParsedHeader>& refused,
                                    const std::string& message, const std::string& details) {
    std::set<std::string>& unfiled = unfiled_[source];
    for (const TParsedHeader& parsed : refused) {
        unfiled.insert(parsed.Key);
    }
    LogError(message, details, account != nullptr ? account->ID : std::string());
}

void TMsgListController::TaskServerList(TPOPList& task, const std::vector<std::string>& keys) {
    // A message that arrived but could not be filed stays unknown: the next check offers it
    // again.
    std::set<std::string> unfiled;
    if (const auto found = unfiled_.find(task.SourceAccount); found != unfiled_.end()) {
        unfiled.swap(found->second);
        unfiled_.erase(found);
    }
    TAccount* account = RegistryAccount(task);
    if (account == nullptr) {
        return;
    }
    if (unfiled.empty()) {
        account->UIDL.Assign(keys);
        return;
    }
    std::vector<std::string> known;
    known.reserve(keys.size());
    for (const std::string& key : keys) {
        if (!unfiled.contains(key)) {
            known.push_back(key);
        }
    }
    account->UIDL.Assign(known);
}

void TMsgListController::CheckFinished(TCustomTask& task) {
    unfiled_.erase(task.SourceAccount);
    progress_ = {};
    if (const auto* check = dynamic_cast<const TPOPList*>(&task);
        check != nullptr && check->LoginDelaySeconds.value_or(0) > 0) {
        // Counted from the check's end, which is after its login: never sooner than allowed.
        nextLogin_[check->Account.ID] = Clock() + std::chrono::seconds(*check->LoginDelaySeconds);
    }
    std::vector<TMailItem*> brought;
    brought.swap(brought_);
    TAccount* account = RegistryAccount(task);
    if (NewMail) {
        const TAnnounceSettings announce = TAnnounceSettings::Read(s_.Options);
        const std::string soundFile =
            account != nullptr ? announce.ArrivalSound(*account, MinuteNow()) : std::string();
        if (!soundFile.empty() && FileExists(soundFile)) {
            s_.Sound.PlayAsync(soundFile);
        }
        // An account kept off the bar does not bring it up.
        if (Desktop.Bar != nullptr && (account == nullptr || account->ShowOnBar)) {
            Desktop.Bar->PopUp();
        }
        if (SaveChangedBoxes()) {
            SaveAccounts();
        }
    }
    NewMail = false;
    if (account != nullptr && !brought.empty()) {
        Events.MailBrought.Raise(*account, brought);
    }
    TaskFinished(task);
}

void TMsgListController::TaskFinished(TCustomTask&) {
    SaveChangedBoxes();
    // The Tasks window follows the queue itself: the task leaves it right after this.
    if (Desktop.Bar != nullptr) {
        Desktop.Bar->Repaint();
    }
}

void TMsgListController::TaskStatus(TCustomTask& task, const std::string& text, uint8_t kind) {
    Events.TaskStatus.Raise(task.Account.Name, text, kind);
}

void TMsgListController::TaskProgress(TCustomTask&, int64_t position, int64_t maximum) {
    std::weak_ptr<TMsgListController*> alive = self_;
    s_.Dispatcher.Post([alive, position, maximum] {
        if (const auto self = alive.lock()) {
            (*self)->Events.TaskProgress.Raise(maximum, position);
        }
    });
}

void TMsgListController::TaskError(TCustomTask& task, const std::string& text, const Error& error) {
    LogError(text, error.what(), task.Account.ID, error.Certificate());
}

void TMsgListController::LogError(const std::string& message, const std::string& details,
                                  const std::string& accountId,
                                  std::shared_ptr<const TServerCertificate> certificate) {
    TError& entry = s_.Errors.Add();
    entry.Message = message;
    entry.Details = details;
    entry.AccountID = accountId;
    entry.Certificate = std::move(certificate);
    Events.ErrorLogged.Raise(entry);
}

void TMsgListController::actDelete() {
    if (!ConfirmDelete(false)) {
        return;
    }
    const std::vector<TMailItem*> selected = Desktop.Selection != nullptr
                                                 ? Desktop.Selection->SelectedItems()
                                                 : std::vector<TMailItem*>();
    for (TMailItem* item : selected) {
        DeleteMessage(*item);
    }
    if (s_.Tasks.Count() > 0) {
        Events.TasksWanted.Raise();
        s_.Tasks.StartNext();
    }
}

void TMsgListController::DeleteMessages(const std::vector<TMailItem*>& items) {
    if (items.empty() || !ConfirmDelete(items.size() == 1)) {
        return;
    }
    for (TMailItem* item : items) {
        DeleteMessage(*item);
    }
    if (s_.Tasks.Count() > 0) {
        Events.TasksWanted.Raise();
        s_.Tasks.StartNext();
    }
}

bool TMsgListController::ConfirmDelete(bool single) {
    bool ask = true;
    {
        OptionsScope scope(s_.Options);
        ask = scope.Read(settings::kConfirmDelete);
    }
    if (!ask) {
        return true;
    }
    return Desktop.Question != nullptr &&
           Desktop.Question->AskYesNo(USER_TEXT("Quobel", "Delete"),
                                      DeleteConfirmationText(single));
}

void TMsgListController::DeleteMessage(TMailItem& item) {
    // An item whose account is no longer known cannot reach its server: it can only go locally.
    TAccount* account = AccountOf(item);
    if (item.Online && account != nullptr) {
        TPOPDelete& task = s_.Tasks.Add<TPOPDelete>(*account);
        task.DeleteKeys.push_back(item.UIDL);
        HookTask(task);
        task.OnDeleted = [this](TPOPDelete& sender, const std::string& key) {
            TaskMessageDeleted(sender, key);
        };
        return;
    }
    RemoveLocally(item);
}

void TMsgListController::RemoveLocally(TMailItem& item) {
    TMailBox* box = item.Collection().Box;
    std::erase(brought_, &item);
    Events.ItemRemoving.Raise(item);
    if (!item.Read && box != nullptr) {
        ChangeUnread(*box, -1);
    }
    item.Delete();
    if (box != nullptr) {
        AfterRemoval(*box);
    }
}

void TMsgListController::AfterRemoval(TMailBox& box) {
    if (box.Items.Count() == 0) {
        Events.BoxEmptied.Raise(box);
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
    TAccount* account = AccountOf(*found);
    if (account != nullptr && account->UIDL.Contains(key)) {
        account->UIDL.Remove(key);
        s_.Accounts.Save(*account, s_.AccountsFolder);
    }
    RemoveLocally(*found);
}

void TMsgListController::ChangeUnread(TMailBox& box, int32_t delta) {
    box.Unread += delta;
    Events.UnreadChanged.Raise(box);
}

bool TMsgListController::FetchMessage(TMailItem& item, TFetchDone done, TFetchFailed failed) {
    TAccount* account = AccountOf(item);
    if (account == nullptr) {
        return false;
    }
    for (PendingFetch& pending : fetches_) {
        if (pending.Account == account && pending.Key == item.UIDL) {
            pending.Waiting.push_back(std::move(done));
            pending.Failing.push_back(std::move(failed));
            Events.TasksWanted.Raise();
            return true;
        }
    }
    TPOPRetrieve& task = s_.Tasks.Add<TPOPRetrieve>(*account);
    task.TargetKey = item.UIDL;
    HookTask(task);
    task.OnRetrieved = [this](TPOPRetrieve& sender, const std::vector<std::string>* lines) {
        FetchEnded(sender, lines);
    };
    // A task that could not connect brings no result: its waiters hear of the failure when it
    // ends.
    task.OnFinished = [this](TCustomTask& sender) {
        const auto pending = std::ranges::find_if(
            fetches_, [&](const PendingFetch& p) { return p.Task == &sender; });
        if (pending != fetches_.end()) {
            const std::vector<TFetchFailed> failing = std::move(pending->Failing);
            fetches_.erase(pending);
            FetchFailed(static_cast<const TPOPRetrieve&>(sender), failing);
        }
        TaskFinished(sender);
    };
    fetches_.push_back({&task, account, item.UIDL, {std::move(done)}, {std::move(failed)}});
    Events.TasksWanted.Raise();
    s_.Tasks.StartNext();
    return true;
}

void TMsgListController::FetchEnded(TPOPRetrieve& task, const std::vector<std::string>* lines) {
    std::vector<TFetchDone> waiting;
    std::vector<TFetchFailed> failing;
    const auto pending =
        std::ranges::find_if(fetches_, [&](const PendingFetch& p) { return p.Task == &task; });
    if (pending != fetches_.end()) {
        waiting = std::move(pending->Waiting);
        failing = std::move(pending->Failing);
        fetches_.erase(pending);
    }
    // A failure on the way (the server's list, the size, the transfer) has been listed. Lines
    // received before it are not the message, and a message that was not found because the
    // list could not be read may well be there: the item stays as it was and is fetched again
    // the next time it is shown.
    if (!task.ErrorText.empty()) {
        FetchFailed(task, failing);
        return;
    }
    TMailItem* item = FindItem(RegistryAccount(task), task.TargetKey);
    if (item == nullptr) {
        return;  // deleted while its message was on the way
    }
    try {
        StoreFetched(*item, lines);
    } catch (const std::exception& failure) {
        TaskError(task, USER_TEXT("Quobel", "Could not store message!"), AsError(failure));
        return;
    }
    for (const TFetchDone& done : waiting) {
        if (done) {
            done(*item, lines != nullptr);
        }
    }
}

void TMsgListController::FetchFailed(const TPOPRetrieve& task,
                                     const std::vector<TFetchFailed>& failing) {
    // A stopped task (the program is ending) reports nothing.
    if (task.ErrorText.empty()) {
        return;
    }
    TMailItem* item = FindItem(RegistryAccount(task), task.TargetKey);
    if (item == nullptr) {
        return;
    }
    const std::string line = OneLine(task.ErrorText, task.ErrorObject.what());
    for (const TFetchFailed& failed : failing) {
        if (failed) {
            failed(*item, line);
        }
    }
}

TMailItem* TMsgListController::FindItem(const TAccount* account, const std::string& key) {
    if (account == nullptr) {
        return nullptr;  // its account has left the registry: its items fetch nothing
    }
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

bool TMsgListController::SetRead(TMailItem& item, bool read) {
    if (item.Read == read) {
        return false;
    }
    item.Read = read;
    item.Changed();
    if (TMailBox* box = item.Collection().Box) {
        ChangeUnread(*box, read ? -1 : +1);
        BoxChanged(*box);
    }
    Events.ItemChanged.Raise(item);
    return true;
}

void TMsgListController::OpenMessage(TMailItem& item) {
    SetRead(item, true);
    bool newWindow = true;
    {
        OptionsScope scope(s_.Options);
        newWindow = scope.Read(settings::kNewWindow);
    }
    if (Desktop.Reader != nullptr) {
        Desktop.Reader->ShowInReader(item, newWindow);
    }
}

void TMsgListController::MarkMessageRead(TMailItem& item, bool notify) {
    if (!SetRead(item, true) || !notify) {
        return;
    }
    if (Desktop.Bar == nullptr) {
        return;
    }
    Desktop.Bar->Repaint();
    if (Inbox != nullptr && Inbox->Unread <= 0) {
        Desktop.Bar->PopDown();
    }
}

void TMsgListController::MarkSelected(bool read) {
    if (Desktop.Selection == nullptr) {
        return;
    }
    for (TMailItem* item : Desktop.Selection->SelectedItems()) {
        SetRead(*item, read);
    }
    if (Desktop.Bar != nullptr) {
        Desktop.Bar->Repaint();
    }
}

void TMsgListController::FocusMessage(TMailItem& item) {
    if (Desktop.Focus != nullptr) {
        Desktop.Focus->FocusMessage(item);
    }
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

bool TMsgListController::SaveChangedBoxes() {
    saveScheduled_ = false;
    bool saved = true;
    for (auto next = changedBoxes_.begin(); next != changedBoxes_.end();) {
        try {
            if ((*next)->Loaded) {
                (*next)->SaveTable();
            }
            next = changedBoxes_.erase(next);
        } catch (const std::exception& failure) {
            // The box stays pending: the next save writes it whole, once there is room.
            saved = false;
            LogError(failure.what(), "");
            ++next;
        }
    }
    return saved;
}

void TMsgListController::SaveAccounts() {
    try {
        s_.Accounts.SaveChanged(s_.AccountsFolder);
    } catch (const std::exception& failure) {
        LogError(failure.what(), "");
    }
}

void TMsgListController::Shutdown() {
    // First, so that it happens even when a save fails below.
    s_.Tasks.TerminateTasks();
    // A table that cannot be saved stops here: saving the account files then would make its
    // new messages' keys known while the messages are missing from the box. They are fetched
    // again at the next start instead.
    if (SaveChangedBoxes()) {
        SaveAccounts();
    }
    try {
        if (WriteTablesWholeAtExit) {
            s_.MailBoxes.SaveAddedRowsWhole();
        }
    } catch (const std::exception& failure) {
        // The journal keeps the rows: the next start reads them.
        LogError(failure.what(), "");
    }
    try {
        s_.MailBoxes.WriteAllUnread();
    } catch (const std::exception& failure) {
        LogError(failure.what(), "");
    }
}

}  // namespace quobel
