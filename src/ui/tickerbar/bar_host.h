#pragma once

#include <vector>

namespace quobel {

class TAccount;
class TMailItem;

// What the bar asks of the main window: the message operations, the main window's visibility,
// the checks and the program's commands.
class TBarHost {
  public:
    virtual ~TBarHost() = default;

    // Shows the item in a reader window and marks it read.
    virtual void OpenMessage(TMailItem& item) = 0;
    virtual void MarkMessageRead(TMailItem& item, bool notify) = 0;
    // Queues the item's deletion (or removes it at once); StartNext then runs the queue.
    virtual void DeleteMessage(TMailItem& item) = 0;
    virtual void StartNext() = 0;

    virtual bool MainWindowVisible() = 0;
    virtual void HideToTray() = 0;
    virtual void LeaveTray() = 0;

    // "Check mail" for all accounts, and for one.
    virtual void CheckAllAccounts() = 0;
    virtual void CheckAccount(TAccount& account) = 0;
    // The accounts in list order, for the check menu.
    virtual std::vector<TAccount*> Accounts() = 0;

    virtual void ShowOptions() = 0;
    // Starts a new message in the user's mail program (the main window's Compose).
    virtual void ComposeMail() = 0;
    // Ends the program.
    virtual void CloseProgram() = 0;
};

}  // namespace quobel
