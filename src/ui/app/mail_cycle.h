#pragma once

#include <QObject>
#include <memory>
#include <vector>

#include "cycle/msg_list_controller.h"
#include "retrieval/tasks.h"
#include "ui/common/qt_dispatcher.h"
#include "ui/common/qt_platform.h"
#include "ui/dialogs/oauth_sign_in_widget.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel {

struct TQuobelContext;
class TfrmMsgList;
class TfrmTasks;
class TReaderWindows;
class TBarOwner;

// What the controller asks of the desktop, answered by the main window's list, the reader
// windows and the bar. Readers and bar are absent while the cycle is being built or torn down.
class TDesktopOfCycle : public TListSelection,
                        public TReaderShow,
                        public TBarControl,
                        public TMessageFocus {
  public:
    explicit TDesktopOfCycle(TfrmMsgList& window) : window_(window) {}

    std::vector<TMailItem*> SelectedItems() override;
    void ShowInReader(TMailItem& item, bool newWindow) override;
    void FocusMessage(TMailItem& item) override;
    void PopUp() override;
    void PopDown() override;
    void Repaint() override;

    TReaderWindows* Readers = nullptr;
    TBarOwner* BarOwner = nullptr;

  private:
    TfrmMsgList& window_;
};

// The check cycle of the running program: the task queue, its dispatcher, the controller and
// the window's commands hooked to it. Members go in reverse order: the queue first (its
// threads end and no task event is delivered any more), then the controller, then the
// dispatcher.
class TMailCycle {
  public:
    TMailCycle(TQuobelContext& context, TfrmMsgList& window, TfrmTasks& tasks);
    ~TMailCycle();
    TMailCycle(const TMailCycle&) = delete;
    TMailCycle& operator=(const TMailCycle&) = delete;

    TMsgListController& Controller() { return *controller_; }
    TTasks& Tasks() { return *tasks_; }
    TReaderWindows& Readers() { return *readers_; }
    TBarOwner& Bar() { return *bar_; }

    // After the window's creation: the Inbox, the check timer and the accounts menu.
    void Start();
    // After Start: the bar opens when it was open at the last exit.
    void OpenBar();

  private:
    // The controller's check timer and accounts menu, set on the window (and the bar's menu).
    void ApplyCheckTimer();
    void SetAccountsMenu(const std::vector<TAccount*>& accounts);
    void HookCommands();
    void actOptionsExecute();
    // A left press on the status panel: the Tasks window on its tasks page while tasks are
    // queued, else on its errors page while errors are logged, else nothing.
    void StatusClick();
    // The first-run line's button: the account dialog for a new account.
    void AddAccount();
    // The Tasks window's "Sign in again…": the account's OAuth 2.0 sign-in in a small dialog,
    // then a check of the account when it succeeded.
    void SignInAgain(const std::string& accountId);
    TMailItem* FocusedItem() const;

    TQuobelContext& context_;
    TfrmMsgList& window_;
    QtUiDispatcher dispatcher_;
    QtSoundPlayer sound_;
    TQtDialogPrompts prompts_;
    QtYesNoQuestion question_;
    TDesktopOfCycle desktop_;
    TfrmTasks& tasksWindow_;
    // For the account dialogs' and the Tasks window's sign-in.
    TOAuthSignInServices signIn_;
    std::unique_ptr<TMsgListController> controller_;
    std::unique_ptr<TTasks> tasks_;
    std::unique_ptr<TReaderWindows> readers_;
    std::unique_ptr<TBarOwner> bar_;
    // The readers' part of the events; after the controller in this list, so they go first.
    std::vector<TSubscription> subscriptions_;
};

}  // namespace quobel
