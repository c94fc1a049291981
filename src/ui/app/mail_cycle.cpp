#include "ui/app/mail_cycle.h"

#include <QAction>
#include <utility>

#include "accounts/account_passwords.h"
#include "core/file_util.h"
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/app/quobel_context.h"
#include "ui/common/qt_text.h"
#include "ui/dialogs/add_account.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/mainwindow/frm_msg_list.h"
#include "ui/reader/reader_windows.h"
#include "ui/tasks/frm_tasks.h"
#include "ui/tickerbar/bar_owner.h"

namespace quobel {
namespace {

TMailItem* ItemOf(TRowKey key) {
    // Rows are keyed by their items' keys; an item not made yet is made now.
    return &TMailItems::ItemOf(ItemKeyOf(key));
}

}  // namespace

std::vector<TMailItem*> TDesktopOfCycle::SelectedItems() {
    std::vector<TMailItem*> items;
    for (const TRowKey key : window_.SelectedRows()) {
        items.push_back(ItemOf(key));
    }
    return items;
}

void TDesktopOfCycle::ShowInReader(TMailItem& item, bool newWindow) {
    if (Readers != nullptr) {
        Readers->ShowInReader(item, newWindow);
    }
}

void TDesktopOfCycle::FocusMessage(TMailItem& item) {
    window_.BringUpMessage(item);
}

void TDesktopOfCycle::PopUp() {
    if (BarOwner != nullptr) {
        BarOwner->PopUp();
    }
}

void TDesktopOfCycle::PopDown() {
    if (BarOwner != nullptr) {
        BarOwner->PopDown();
    }
}

void TDesktopOfCycle::Repaint() {
    if (BarOwner != nullptr) {
        BarOwner->Repaint();
    }
}

TMailCycle::TMailCycle(TQuobelContext& context, TfrmMsgList& window, TfrmTasks& tasks)
    : context_(context),
      window_(window),
      question_(&window),
      desktop_(window),
      tasksWindow_(tasks) {
    tasks_ = std::make_unique<TTasks>(dispatcher_);
    controller_ = std::make_unique<TMsgListController>(TMsgListController::Services{
        context.Accounts, *tasks_, context.MailBoxes, context.Errors, context.Options, dispatcher_,
        sound_, JoinPath(context.App.DataFolder(), "accounts"), &context.Tokens});
    controller_->Desktop = {&question_, &desktop_, &desktop_, &desktop_, &desktop_};
    readers_ = std::make_unique<TReaderWindows>(window, context.Options, *controller_, *tasks_);
    desktop_.Readers = readers_.get();
    // The readers close before the list lets go of the row.
    subscriptions_.push_back(controller_->Events.ItemRemoving.Subscribe(
        [this](TMailItem& item) { readers_->CloseReadersOf(item); }));
    subscriptions_.push_back(controller_->Events.AccountsListed.Subscribe(
        [this](const std::vector<TAccount*>& accounts) { SetAccountsMenu(accounts); }));
    window.ObserveCycle(controller_->Events);
    tasks.ObserveCycle(controller_->Events, &window);
    tasks_->AddObserver(tasks);
    tasks.OnClearErrors = [this] { context_.Errors.Clear(); };
    tasks.OnCancelTask = [this] { tasks_->CancelRunning(); };
    tasks.OnTrustCertificate = [this](const std::string& accountId,
                                      const TServerCertificate& certificate) {
        return controller_->TrustCertificate(accountId, certificate);
    };
    bar_ = std::make_unique<TBarOwner>(context, window, *controller_, *tasks_);
    desktop_.BarOwner = bar_.get();
    HookCommands();
}

TMailCycle::~TMailCycle() {
    context_.Accounts.Passwords().OnUnavailable(nullptr);
    // The bar and the reader windows go first: they work through the controller and the
    // queue. Then the queue: its threads end before anything their events reach is freed.
    desktop_.BarOwner = nullptr;
    bar_.reset();
    subscriptions_.clear();
    desktop_.Readers = nullptr;
    readers_.reset();
    tasks_->RemoveObserver(tasksWindow_);
    tasksWindow_.OnTrustCertificate = nullptr;
    tasksWindow_.OnCancelTask = nullptr;
    tasks_.reset();
    controller_.reset();
}

void TMailCycle::ApplyCheckTimer() {
    const TMsgListController::CheckTimer timer = controller_->ApplyCheckTimer();
    window_.SetCheckTimer(timer.IntervalMilliseconds, timer.Enabled);
}

void TMailCycle::SetAccountsMenu(const std::vector<TAccount*>& accounts) {
    std::vector<TfrmMsgList::TMenuEntry> entries;
    for (TAccount* account : accounts) {
        entries.push_back(
            {Q(account->Name), [this, account] { controller_->CheckAccount(*account); }});
    }
    window_.SetAccountsMenu(entries);
    if (bar_ != nullptr) {
        bar_->RebuildCheckMenu();
    }
}

void TMailCycle::HookCommands() {
    using enum TCommandId;
    TMsgListController& controller = *controller_;
    const auto hook = [this](TCommandId id, auto&& run) {
        QObject::connect(&window_.Command(id), &QAction::triggered, &window_,
                         std::forward<decltype(run)>(run));
    };
    hook(Synchronize, [this, &controller] {
        if (context_.Accounts.Count() == 0) {
            window_.SayNoAccount();
            return;
        }
        controller.actSynchronize();
    });
    hook(DeleteSelected, [&controller] { controller.actDelete(); });
    hook(MarkRead, [&controller] { controller.MarkSelected(true); });
    hook(MarkUnread, [&controller] { controller.MarkSelected(false); });
    hook(Open, [this, &controller] {
        if (TMailItem* item = FocusedItem()) {
            controller.OpenMessage(*item);
        }
    });
    hook(Options, [this] { actOptionsExecute(); });
    window_.OnDestroying = [&controller] { controller.Shutdown(); };
    window_.OnStatusClick = [this] { StatusClick(); };
    window_.OnAddAccount = [this] { AddAccount(); };
    QObject::connect(&window_.Command(Bar), &QAction::triggered, bar_.get(),
                     [this](bool checked) { bar_->actBarExecute(checked); });
    QObject::connect(&window_, &TfrmMsgList::Closed, bar_.get(),
                     [this] { bar_->MainWindowClosing(); });
}

void TMailCycle::actOptionsExecute() {
    TSkinListOf<TSkins> skins(context_.Skins);
    TfrmOptions dialog({context_.Options, context_.Accounts, context_.App.DataFolder(), skins,
                        prompts_, sound_, &context_.Tokens},
                       &window_);
    dialog.OnApplySkin = [this](TfrmOptions&) { bar_->ApplySkin(); };
    const bool accepted = prompts_.RunModal(dialog) == QDialog::Accepted;
    if (accepted || dialog.SettingsWritten() || dialog.AccountsChanged()) {
        ApplyCheckTimer();
        controller_->BuildAccountsMenu();
        window_.RepaintLists();
    }
    if (accepted || dialog.SettingsWritten()) {
        readers_->ApplySettings();
    }
}

void TMailCycle::StatusClick() {
    if (tasks_->Count() > 0) {
        tasksWindow_.ShowTasksPage();
    } else if (context_.Errors.Count() > 0) {
        tasksWindow_.ShowErrorsPage();
    } else {
        return;
    }
    tasksWindow_.ShowOver(&window_);
}

void TMailCycle::AddAccount() {
    const size_t before = context_.Accounts.Count();
    RunReportingFailure(prompts_, &window_, [this] {
        AddAccountByDialog(prompts_, context_.Accounts,
                           JoinPath(context_.App.DataFolder(), "accounts"), &window_,
                           &context_.Tokens);
    });
    // An account whose file could not be written is still added: it is saved again at exit.
    if (context_.Accounts.Count() != before) {
        controller_->BuildAccountsMenu();
        ApplyCheckTimer();
    }
}

TMailItem* TMailCycle::FocusedItem() const {
    const TRowKey key = window_.FocusedRow();
    return key == nullptr ? nullptr : ItemOf(key);
}

void TMailCycle::OpenBar() {
    bar_->OpenAtStart();
}

void TMailCycle::Start() {
    TMsgListController& controller = *controller_;
    controller.Inbox = context_.MailBoxes.FindByType(0);
    ApplyCheckTimer();
    controller_->BuildAccountsMenu();
    // Only now: the accounts were read on the start-up thread, which may have found the keyring
    // unreachable; that reason is logged here.
    context_.Accounts.Passwords().OnUnavailable([&controller](const std::string& reason) {
        controller.LogError(kKeyringUnavailable, reason);
    });
    // Last: an Inbox whose table cannot be read is reported, and each new message is refused
    // (and offered again) until it can be.
    if (controller.Inbox != nullptr) {
        controller.Inbox->EnsureLoaded();
        // The tray's tooltip and the D-Bus interface start from the count read.
        controller.Events.UnreadChanged.Raise(*controller.Inbox);
    }
}

}  // namespace quobel
