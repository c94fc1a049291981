#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cycle/cycle_event.h"
#include "retrieval/tasks.h"
#include "ui/dialogs/trust_certificate_dialog.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace quobel {

class TError;
class TOptions;
struct TCycleEvents;

// The Tasks window: the account and status of the task that reported last, its progress, the
// queue of tasks and the error log. It follows the task queue and the check cycle's events; its
// own behaviour is the collapsible detail area, remembered in General/TaskDetails, and closing
// once the queue has run empty without errors.
class TfrmTasks : public QDialog, public TTaskQueueObserver {
    Q_OBJECT
  public:
    TfrmTasks(TOptions& options, QWidget* parent = nullptr);

    QLabel* lblAccount = nullptr;
    QLabel* lblStatus = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* cmdHide = nullptr;
    QPushButton* cmdDetails = nullptr;
    // "Cancel": gives up on the running task; enabled while the queue holds one.
    QPushButton* cmdCancel = nullptr;
    QTabWidget* pcTasks = nullptr;
    QTreeWidget* tvTasks = nullptr;
    QTreeWidget* tvErrors = nullptr;
    // "Trust this certificate…": shown while the selected error carries a refused certificate.
    QPushButton* cmdTrust = nullptr;

    void SetAccount(const QString& text);
    void SetStatus(const QString& text);
    // Maximum first, then position; painted at once.
    void SetProgress(int maximum, int position);

    // A row per queued task, in queue order; the head (the running task) has the triangle. The
    // rows follow the queue; once it has run empty with no error listed, the window closes.
    void TaskQueueChanged(TTasks& queue) override;
    void AddTaskRow(const QString& description, const QString& account);
    void DeleteFirstTaskRow();
    int TaskRowCount() const;
    // A row per error log entry, kept in time order (oldest first); the hint shows the details.
    void AddErrorRow(const QString& message, const QString& timeStr, double time,
                     const QString& details);
    int ErrorRowCount() const;

    void ShowTasksPage();
    // The error page, with the detail area opened first when asked and collapsed.
    void ShowErrorsPage(bool expandDetails = false);
    bool DetailsShown() const;

    // "&Hide": empties the error page and the error log (through OnClearErrors), then closes.
    void cmdHideClick();
    // "Cancel": asks OnCancelTask to cancel the running task, which leaves the queue at once.
    void cmdCancelClick();
    std::function<void()> OnCancelTask;

    // Shows the window; the first time it is placed centred over the given window.
    void ShowOver(QWidget* owner);
    std::function<void()> OnClearErrors;

    // Asks the user about a certificate; the dialog unless a test replaces it.
    TTrustCertificateQuestion AskTrust = AskTrustCertificate;
    // The user trusts the certificate for the account (its ID); false when that account is gone.
    std::function<bool(const std::string& accountId, const TServerCertificate& certificate)>
        OnTrustCertificate;
    // Offers the selected error's certificate to be trusted, as "Trust this certificate…" does.
    void cmdTrustClick();

    // "Sign in again…": shown while the selected error says an account's OAuth 2.0 sign-in has
    // to be repeated; OnSignIn runs that sign-in for the account (its ID).
    QPushButton* cmdSignIn = nullptr;
    std::function<void(const std::string& accountId)> OnSignIn;
    void cmdSignInClick();

    // Follows the check cycle from now on: the reporting task's status and progress, errors
    // (shown on the errors page, the details expanded), and tasks the user waits for (shown on
    // the tasks page). The window shows itself over `owner` the first time.
    void ObserveCycle(TCycleEvents& events, QWidget* owner);
    // Lists the error and shows it, selected; a refused certificate it carries is offered.
    void ShowError(const TError& error);
    void ShowTasks();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc presses "&Hide".
    void reject() override;

  private:
    // "&Details": collapses or expands the detail area and remembers the choice.
    void cmdDetailsClick();
    void MarkHead();
    void UpdateTrustOffer();

    // What the error rows that carry a refused certificate offer.
    struct TrustOffer {
        std::string AccountID;
        std::shared_ptr<const TServerCertificate> Certificate;
    };
    std::map<const QTreeWidgetItem*, TrustOffer> trustOffers_;
    // The error rows that ask for a new sign-in, with their account's ID.
    std::map<const QTreeWidgetItem*, std::string> signInOffers_;

    TOptions& options_;
    int fullHeight_ = 0;
    int collapsedHeight_ = 0;
    bool placed_ = false;
    QWidget* owner_ = nullptr;
    std::vector<TSubscription> cycleSubscriptions_;
};

}  // namespace quobel
