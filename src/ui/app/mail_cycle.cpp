#include "ui/app/mail_cycle.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <set>

#include "core/file_util.h"
#include "retrieval/custom_task.h"
#include "retrieval/errors.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/app/quobel_context.h"
#include "ui/common/qt_text.h"
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

TMainWindowView::TMainWindowView(TfrmMsgList& window, TfrmTasks& tasks)
    : window_(window), tasks_(tasks), question_(&window) {}

void TMainWindowView::BeginListUpdate() {
    window_.BeginListUpdate();
}
void TMainWindowView::EndListUpdate() {
    window_.EndListUpdate();
}

void TMainWindowView::AddRow(TMailItem& item) {
    window_.AddMessageRow(RowKeyOf(TMailItems::KeyOf(item)));
    window_.ScrollToRow(RowKeyOf(TMailItems::KeyOf(item)));
}

void TMainWindowView::DeleteRow(TMailItem& item) {
    if (window_.FocusedRow() == RowKeyOf(TMailItems::KeyOf(item))) {
        window_.FocusNeighbour();
    }
    window_.RemoveMessageRow(RowKeyOf(TMailItems::KeyOf(item)));
}

std::vector<TMailItem*> TMainWindowView::SelectedRows() {
    std::vector<TMailItem*> items;
    for (const TRowKey key : window_.SelectedRows()) {
        items.push_back(ItemOf(key));
    }
    return items;
}

void TMainWindowView::RepaintFolderTree() {
    window_.RepaintFolderRow(window_.FocusedFolder());
}
void TMainWindowView::RepaintLists() {
    window_.RepaintLists();
}
void TMainWindowView::ClearReaderPane() {
    if (Readers != nullptr) {
        Readers->ClearMainReader();
    } else {
        window_.ClearHeaders();
    }
}
void TMainWindowView::EnableMessageCommands(bool enabled) {
    window_.EnableMessageCommands(enabled);
}
void TMainWindowView::SetTaskStatus(const std::string& panelText) {
    window_.SetStatusText(Q(panelText));
}

void TMainWindowView::SetAccountsMenu(const std::vector<TAccount*>& accounts) {
    window_.mnuAccounts->clear();
    for (TAccount* account : accounts) {
        QAction* entry = window_.mnuAccounts->addAction(Q(account->Name));
        QObject::connect(entry, &QAction::triggered, &window_, [this, account] {
            if (OnCheckAccount) {
                OnCheckAccount(*account);
            }
        });
    }
    if (BarOwner != nullptr) {
        BarOwner->RebuildCheckMenu();
    }
}

void TMainWindowView::SetCheckTimer(int32_t intervalMilliseconds, bool enabled) {
    window_.tmrCheck->setInterval(intervalMilliseconds);
    if (enabled) {
        window_.tmrCheck->start();
    } else {
        window_.tmrCheck->stop();
    }
}

void TMainWindowView::TasksAddTask(TCustomTask& task) {
    taskRows_.push_back(&task);
    tasks_.AddTaskRow(Q(task.Description()), Q(task.Account.Name));
}

TCustomTask* TMainWindowView::TasksFirstTask() {
    return taskRows_.empty() ? nullptr : taskRows_.front();
}

void TMainWindowView::TasksDeleteFirstTask() {
    if (!taskRows_.empty()) {
        taskRows_.pop_front();
        tasks_.DeleteFirstTaskRow();
    }
}

void TMainWindowView::TasksClose() {
    tasks_.hide();
}

void TMainWindowView::TasksSetStatus(const std::string& accountName, const std::string& text) {
    tasks_.SetAccount(Q(accountName));
    tasks_.SetStatus(Q(text));
}

void TMainWindowView::TasksSetProgress(int64_t maximum, int64_t position) {
    // The bar counts in ints: large transfers are shown in kilobytes.
    const int64_t scale = maximum > INT32_MAX ? 1024 : 1;
    tasks_.SetProgress(static_cast<int>(maximum / scale), static_cast<int>(position / scale));
}

void TMainWindowView::TasksAddError(const TError& error) {
    tasks_.AddErrorRow(Q(error.Message), Q(error.TimeStr()), error.Time(), Q(error.Details));
}

void TMainWindowView::TasksShowErrors() {
    tasks_.ShowErrorsPage();
    if (!tasks_.DetailsShown()) {
        tasks_.cmdDetailsClick();
    }
    tasks_.ShowOver(&window_);
}

void TMainWindowView::TasksShowTasks() {
    tasks_.ShowTasksPage();
    tasks_.ShowOver(&window_);
}

void TMainWindowView::BarPopUp() {
    if (BarOwner != nullptr) {
        BarOwner->PopUp();
    }
}

void TMainWindowView::BarPopDown() {
    if (BarOwner != nullptr) {
        BarOwner->PopDown();
    }
}

void TMainWindowView::BarRepaint() {
    if (BarOwner != nullptr) {
        BarOwner->Repaint();
    }
}

void TMainWindowView::CloseReadersOf(TMailItem& item) {
    if (Readers != nullptr) {
        Readers->CloseReadersOf(item);
    }
}

void TMainWindowView::ShowInReader(TMailItem& item, bool newWindow) {
    if (Readers != nullptr) {
        Readers->ShowInReader(item, newWindow);
    }
}

bool TMainWindowView::AskYesNo(const std::string& caption, const std::string& text) {
    return question_.AskYesNo(caption, text);
}

TMailCycle::TMailCycle(TQuobelContext& context, TfrmMsgList& window, TfrmTasks& tasks)
    : context_(context), window_(window), view_(window, tasks) {
    tasks_ = std::make_unique<TTasks>(dispatcher_);
    controller_ = std::make_unique<TMsgListController>(TMsgListController::Services{
        context.Accounts, *tasks_, context.MailBoxes, context.Errors, context.Options, dispatcher_,
        sound_, view_, JoinPath(context.App.DataFolder(), "accounts")});
    view_.OnCheckAccount = [this](TAccount& account) { controller_->CheckAccount(account); };
    readers_ = std::make_unique<TReaderWindows>(window, context.Options, *controller_, *tasks_);
    view_.Readers = readers_.get();
    tasks.OnClearErrors = [this] { context_.Errors.Clear(); };
    bar_ = std::make_unique<TBarOwner>(context, window, *controller_, *tasks_);
    view_.BarOwner = bar_.get();
    HookCommands();
}

TMailCycle::~TMailCycle() {
    // The bar and the reader windows go first: they work through the controller and the
    // queue. Then the queue: its threads end before anything their events reach is freed.
    view_.BarOwner = nullptr;
    bar_.reset();
    view_.Readers = nullptr;
    readers_.reset();
    tasks_.reset();
    controller_.reset();
}

void TMailCycle::HookCommands() {
    TMsgListController& controller = *controller_;
    QObject::connect(window_.actSynchronize, &QAction::triggered, &window_,
                     [&controller] { controller.actSynchronize(); });
    QObject::connect(window_.tmrCheck, &QTimer::timeout, &window_,
                     [this] { window_.actSynchronize->trigger(); });
    // The window lists the focused folder first; the controller follows it.
    QObject::connect(window_.actBoxMessages, &QAction::triggered, &window_,
                     [this, &controller] { controller.CurrentBox = window_.CurrentBox; });
    QObject::connect(window_.actDelete, &QAction::triggered, &window_,
                     [&controller] { controller.actDelete(); });
    QObject::connect(window_.actMarkRead, &QAction::triggered, &window_,
                     [&controller] { controller.MarkSelected(true); });
    QObject::connect(window_.actMarkUnread, &QAction::triggered, &window_,
                     [&controller] { controller.MarkSelected(false); });
    QObject::connect(window_.actOpen, &QAction::triggered, &window_, [this, &controller] {
        if (TMailItem* item = FocusedItem()) {
            controller.OpenMessage(*item);
        }
    });
    QObject::connect(window_.actOptions, &QAction::triggered, &window_,
                     [this] { actOptionsExecute(); });
    window_.OnDestroying = [&controller] { controller.Shutdown(); };
    QObject::connect(window_.actBar, &QAction::triggered, bar_.get(),
                     [this](bool checked) { bar_->actBarExecute(checked); });
    QObject::connect(&window_, &TfrmMsgList::Closed, bar_.get(),
                     [this] { bar_->MainWindowClosing(); });
}

void TMailCycle::actOptionsExecute() {
    TSkinListOf<TSkins> skins(context_.Skins);
    TfrmOptions dialog(
        {context_.Options, context_.Accounts, context_.App.DataFolder(), skins, prompts_, sound_},
        &window_);
    dialog.OnApplySkin = [this](TfrmOptions&) { bar_->ApplySkin(); };
    const bool accepted = prompts_.RunModal(dialog) == QDialog::Accepted;
    if (dialog.AccountsChanged()) {
        ForgetRemovedAccounts();
    }
    if (accepted || dialog.SettingsWritten() || dialog.AccountsChanged()) {
        controller_->ApplyCheckTimer();
        controller_->BuildAccountsMenu();
        controller_->RepaintLists();
    }
    if (accepted || dialog.SettingsWritten()) {
        readers_->ApplySettings();
    }
}

void TMailCycle::ForgetRemovedAccounts() {
    std::set<const TAccount*> present;
    for (size_t i = 0; i < context_.Accounts.Count(); ++i) {
        present.insert(&context_.Accounts.Items(i));
    }
    for (size_t b = 0; b < context_.MailBoxes.Count(); ++b) {
        TMailItems& items = context_.MailBoxes.Items(b).Items;
        for (size_t i = 0; i < items.Count(); ++i) {
            if (!items.IsMade(i)) {
                continue;  // an item not made yet looks its account up when it is made
            }
            TMailItem& item = items.Items(i);
            if (item.Account != nullptr && !present.contains(item.Account)) {
                item.Account = nullptr;
            }
        }
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
    controller.CurrentBox = window_.CurrentBox;
    controller.ApplyCheckTimer();
    controller.BuildAccountsMenu();
    // Last: an Inbox whose table cannot be read is reported, and each new message is refused
    // (and offered again) until it can be.
    if (controller.Inbox != nullptr) {
        controller.Inbox->EnsureLoaded();
    }
}

}  // namespace quobel
