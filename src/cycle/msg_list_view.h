#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quobel {

class TAccount;
class TCustomTask;
class TError;
class TMailItem;

// What the check cycle and the message operations need of the main window and the windows it
// owns (message list, folder tree, reader pane, Tasks window, bar, reader windows). The window
// implements it and forwards its commands to the controller; no mail logic lives behind it.
class TMsgListView {
  public:
    virtual ~TMsgListView() = default;

    // The message list, which shows the current mailbox's items. Rows change inside an update;
    // when the outermost update ends the list re-sorts by its sort column.
    virtual void BeginListUpdate() = 0;
    virtual void EndListUpdate() = 0;
    // Adds a row for the item and scrolls it into view.
    virtual void AddRow(TMailItem& item) = 0;
    // Removes the item's row; when it is the focused row, the focus moves to a neighbour first.
    virtual void DeleteRow(TMailItem& item) = 0;
    // The items of the selected rows, last row first.
    virtual std::vector<TMailItem*> SelectedRows() = 0;

    virtual void RepaintFolderTree() = 0;
    // Invalidates every row of the folder tree and of the message list.
    virtual void RepaintLists() = 0;
    virtual void ClearReaderPane() = 0;
    // The commands that act on messages (delete, mark read/unread, ...), for an empty mailbox.
    virtual void EnableMessageCommands(bool enabled) = 0;
    // Status panel of the running task: "2|Checking for new mail..." or a plain text.
    virtual void SetTaskStatus(const std::string& panelText) = 0;
    // The per-account entries of the Check mail drop-down (and the bar's check menu).
    virtual void SetAccountsMenu(const std::vector<TAccount*>& accounts) = 0;
    virtual void SetCheckTimer(int32_t intervalMilliseconds, bool enabled) = 0;

    // The Tasks window.
    virtual void TasksAddTask(TCustomTask& task) = 0;
    virtual TCustomTask* TasksFirstTask() = 0;
    virtual void TasksDeleteFirstTask() = 0;
    virtual void TasksClose() = 0;
    virtual void TasksSetStatus(const std::string& accountName, const std::string& text) = 0;
    virtual void TasksSetProgress(int64_t maximum, int64_t position) = 0;
    virtual void TasksAddError(const TError& error) = 0;
    // Shows the window on its errors page with the detail area expanded.
    virtual void TasksShowErrors() = 0;
    // Shows the window on its tasks page.
    virtual void TasksShowTasks() = 0;

    // The bar; each does nothing while there is no bar.
    virtual void BarPopUp() = 0;
    virtual void BarPopDown() = 0;
    virtual void BarRepaint() = 0;

    // Reader windows.
    virtual void CloseReadersOf(TMailItem& item) = 0;
    // Shows the item in a new reader window, or in the one shared reader window.
    virtual void ShowInReader(TMailItem& item, bool newWindow) = 0;

    // A modal Yes/No question owned by the window; true for Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
};

}  // namespace quobel
