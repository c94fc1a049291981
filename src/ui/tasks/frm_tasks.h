#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace quobel {

class TOptions;

// The Tasks window: the account and status of the task that reported last, its progress, the
// queue of tasks and the error log. It only shows what the main window hands it; its one piece
// of behaviour is the collapsible detail area, remembered in General/TaskDetails.
class TfrmTasks : public QDialog {
    Q_OBJECT
  public:
    TfrmTasks(TOptions& options, QWidget* parent = nullptr);

    QLabel* lblAccount = nullptr;
    QLabel* lblStatus = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* cmdHide = nullptr;
    QPushButton* cmdDetails = nullptr;
    QTabWidget* pcTasks = nullptr;
    QTreeWidget* tvTasks = nullptr;
    QTreeWidget* tvErrors = nullptr;

    void SetAccount(const QString& text);
    void SetStatus(const QString& text);
    // Maximum first, then position; painted at once.
    void SetProgress(int maximum, int position);

    // A row per queued task, in queue order; the head (the running task) has the triangle.
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
    // Shows the window; the first time it is placed centred over the given window.
    void ShowOver(QWidget* owner);
    std::function<void()> OnClearErrors;

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc presses "&Hide".
    void reject() override;

  private:
    // "&Details": collapses or expands the detail area and remembers the choice.
    void cmdDetailsClick();
    void MarkHead();

    TOptions& options_;
    int fullHeight_ = 0;
    int collapsedHeight_ = 0;
    bool placed_ = false;
};

}  // namespace quobel
