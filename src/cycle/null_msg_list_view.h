#pragma once

#include "cycle/msg_list_view.h"

namespace quobel {

// A view with no windows behind it, for runs without a desktop (the command-line check,
// benchmarks): everything is ignored and questions are answered No. Override what to watch.
class TNullMsgListView : public TMsgListView {
  public:
    void BeginListUpdate() override {}
    void EndListUpdate() override {}
    void AddRow(TMailItem&) override {}
    void DeleteRow(TMailItem&) override {}
    std::vector<TMailItem*> SelectedRows() override { return {}; }
    void RepaintFolderTree() override {}
    void RepaintLists() override {}
    void ClearReaderPane() override {}
    void EnableMessageCommands(bool) override {}
    void SetTaskStatus(const std::string&) override {}
    void SetAccountsMenu(const std::vector<TAccount*>&) override {}
    void SetCheckTimer(int32_t, bool) override {}
    void TasksAddTask(TCustomTask&) override {}
    TCustomTask* TasksFirstTask() override { return nullptr; }
    void TasksDeleteFirstTask() override {}
    void TasksClose() override {}
    void TasksSetStatus(const std::string&, const std::string&) override {}
    void TasksSetProgress(int64_t, int64_t) override {}
    void TasksAddError(const TError&) override {}
    void TasksShowErrors() override {}
    void TasksShowTasks() override {}
    void BarPopUp() override {}
    void BarPopDown() override {}
    void BarRepaint() override {}
    void CloseReadersOf(TMailItem&) override {}
    void ShowInReader(TMailItem&, bool) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

}  // namespace quobel
