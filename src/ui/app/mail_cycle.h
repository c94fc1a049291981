#pragma once

#include <QObject>
#include <deque>
#include <memory>

#include "cycle/msg_list_controller.h"
#include "retrieval/tasks.h"
#include "ui/common/qt_dispatcher.h"
#include "ui/common/qt_platform.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel {

struct TQuobelContext;
class TfrmMsgList;
class TfrmTasks;
class TReaderWindows;
class TBarOwner;

// The main window and the Tasks window as the check cycle sees them.
class TMainWindowView : public TMsgListView {
  public:
    TMainWindowView(TfrmMsgList& window, TfrmTasks& tasks);

    void BeginListUpdate() override;
    void EndListUpdate() override;
    void AddRow(TMailItem& item) override;
    void DeleteRow(TMailItem& item) override;
    std::vector<TMailItem*> SelectedRows() override;
    void RepaintFolderTree() override;
    void RepaintLists() override;
    void ClearReaderPane() override;
    void EnableMessageCommands(bool enabled) override;
    void SetTaskStatus(const std::string& panelText) override;
    void SetAccountsMenu(const std::vector<TAccount*>& accounts) override;
    void SetCheckTimer(int32_t intervalMilliseconds, bool enabled) override;
    void TasksAddTask(TCustomTask& task) override;
    TCustomTask* TasksFirstTask() override;
    void TasksDeleteFirstTask() override;
    void TasksClose() override;
    void TasksSetStatus(const std::string& accountName, const std::string& text) override;
    void TasksSetProgress(int64_t maximum, int64_t position) override;
    void TasksAddError(const TError& error) override;
    void TasksShowErrors() override;
    void TasksShowTasks() override;
    void BarPopUp() override;
    void BarPopDown() override;
    void BarRepaint() override;
    void CloseReadersOf(TMailItem& item) override;
    void ShowInReader(TMailItem& item, bool newWindow) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;

    // A click on an entry of the accounts menu.
    std::function<void(TAccount& account)> OnCheckAccount;
    // The preview pane and the reader windows.
    TReaderWindows* Readers = nullptr;
    // The bar's side of the main window; null while the cycle is being built or torn down.
    TBarOwner* BarOwner = nullptr;

  private:
    TfrmMsgList& window_;
    TfrmTasks& tasks_;
    std::deque<TCustomTask*> taskRows_;
    QtYesNoQuestion question_;
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
    void HookCommands();
    void actOptionsExecute();
    // Items whose account was removed in the options dialog must not keep pointing at it.
    void ForgetRemovedAccounts();
    TMailItem* FocusedItem() const;

    TQuobelContext& context_;
    TfrmMsgList& window_;
    QtUiDispatcher dispatcher_;
    QtSoundPlayer sound_;
    TQtDialogPrompts prompts_;
    TMainWindowView view_;
    std::unique_ptr<TMsgListController> controller_;
    std::unique_ptr<TTasks> tasks_;
    std::unique_ptr<TReaderWindows> readers_;
    std::unique_ptr<TBarOwner> bar_;
};

}  // namespace quobel
