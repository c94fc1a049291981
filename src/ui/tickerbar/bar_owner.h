#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "ui/tickerbar/bar_host.h"
#include "ui/tickerbar/frm_bar.h"

namespace quobel {

struct TQuobelContext;
class TfrmMsgList;
class TMsgListController;
class TTasks;

// The main window's side of the bar: its Bar command creates the bar over the Inbox with the
// current skin and shows it, and closes it again; the check cycle's calls (pop up, go back in,
// repaint, the check menu) reach it while it exists; its commands reach the main window and the
// check cycle. The bar frees itself when it closes.
class TBarOwner : public QObject, public TBarHost {
    Q_OBJECT
  public:
    TBarOwner(TQuobelContext& context, TfrmMsgList& window, TMsgListController& controller,
              TTasks& tasks);
    ~TBarOwner() override;

    // The desktop shell the bar is made with (tests give an in-memory one).
    TfrmBar::TShellFactory ShellFactory = TfrmBar::DesktopShell();

    TfrmBar* Bar() const { return bar_.get(); }

    // The Bar command: checked creates and shows the bar, unchecked closes it.
    void actBarExecute(bool checked);
    // At start-up: the bar opens when it was open at the last exit ("Bar"/"Visible").
    void OpenAtStart();
    // The main window is closing: "Bar"/"Visible" keeps whether the bar is open, then it closes.
    void MainWindowClosing();

    void PopUp();
    void PopDown();
    void Repaint();
    void RebuildCheckMenu();
    // After the options dialog chose a skin: the bar applies the current one (failures are
    // passed on).
    void ApplySkin();

    // TBarHost
    void OpenMessage(TMailItem& item) override;
    void MarkMessageRead(TMailItem& item, bool notify) override;
    void DeleteMessage(TMailItem& item) override;
    void StartNext() override;
    bool MainWindowVisible() override;
    void HideToTray() override;
    void LeaveTray() override;
    void CheckAllAccounts() override;
    void CheckAccount(TAccount& account) override;
    std::vector<TAccount*> Accounts() override;
    void ShowOptions() override;
    void ComposeMail() override;
    void CloseProgram() override;

  protected:
    // The drop-downs look pressed while the main window is shown: they follow its showing and
    // hiding.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateBar();
    // The chosen skin did not load (or does not exist) and `used` is drawn instead: an entry
    // in the error log names both.
    void ReportSkinFallback(const TSkin* used, const std::vector<std::string>& failures);
    void BarClosed(TfrmBar& bar);

    TQuobelContext& context_;
    TfrmMsgList& window_;
    TMsgListController& controller_;
    TTasks& tasks_;
    std::unique_ptr<TfrmBar> bar_;
    // A bar that closed, kept until its close event has returned.
    std::unique_ptr<TfrmBar> closed_;
};

}  // namespace quobel
