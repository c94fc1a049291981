#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

#include "core/form_size.h"
#include "core/list_layout.h"
#include "cycle/cycle_event.h"
#include "ui/common/command_set.h"
#include "ui/common/qt_placed_window.h"
#include "ui/mainwindow/folder_list_model.h"
#include "ui/mainwindow/height_split.h"
#include "ui/mainwindow/mail_rows.h"
#include "ui/mainwindow/main_widgets.h"
#include "ui/mainwindow/message_list_model.h"
#include "ui/mainwindow/reader_pane_area.h"

class QAction;
class QMenu;
class QTimer;

namespace quobel {

class TStartupLoad;
struct TCycleEvents;
class TMailItem;

struct TQuobelContext;
class TfrmTasks;
class TStatusPanel;
class TTrayIcon;
class UrlOpener;
class TMailBox;

// The main window: folder tree, message list, reader panel, every command of the program, the
// status bar and the tray icon. It presents the mailboxes and their items; the check cycle and
// the message operations drive it through the public methods below, hook the commands that work
// on mail (see Command) and the On... events.
class TfrmMsgList : public QMainWindow {
    Q_OBJECT
  public:
    TfrmMsgList(TQuobelContext& context, TfrmTasks& tasks, UrlOpener& urlOpener,
                QWidget* parent = nullptr);
    ~TfrmMsgList() override;

    // Creation steps that read files; an error stops the remaining steps (the caller reports
    // it), the widgets exist already.
    void FormCreate();
    // The accounts and the store are being read already: FormCreate takes them from `load`
    // instead of reading them itself.
    void UseStartupLoad(TStartupLoad& load) { startupLoad_ = &load; }
    // Once, after creation and before the event loop runs.
    void AfterStartup();

    // --- what the neighbours use ------------------------------------------------------------
    // One of the window's commands (its menus, tool bar and tray menu place them); the check
    // cycle hooks the mail commands (Synchronize, DeleteSelected, Open, MarkRead, MarkUnread,
    // Options, Bar, BoxMessages) and the bar follows the Bar command's check mark.
    QAction& Command(TCommandId id) const { return commands_[id]; }

    // The Check mail drop-down: one entry per account, in the order given.
    struct TMenuEntry {
        QString Caption;
        std::function<void()> Chosen;
    };
    void SetAccountsMenu(const std::vector<TMenuEntry>& entries);
    // The automatic check: when enabled, the timer runs the Check mail command every interval.
    void SetCheckTimer(int intervalMilliseconds, bool enabled);
    bool CheckTimerActive() const;
    // Shows the Tasks window on its task page, over this window.
    void ShowTasks();
    // Where the reader pane goes and the header fields around it.
    TReaderPaneArea ReaderPaneArea() const;

    // --- the view the mail operations drive ------------------------------------------------
    TFolderListModel& Folders() { return folders_; }
    TMessageListModel& Messages() { return messages_; }

    // Folder tree: all rows at once (sorted by type); focusing a row lists its mailbox (at once
    // after a click, after 500 ms of rest when reached by keyboard).
    void SetFolderRows(std::vector<TRowKey> keys);
    void FocusFolder(TRowKey key);
    TRowKey FocusedFolder() const;
    void RepaintFolderRow(TRowKey key);

    // Header strip above the list.
    void SetBoxName(const QString& name);

    // Message list. FillMessageRows lists a mailbox: all rows in one update, sorted, then the
    // newest row (first when descending, else last) focused and selected.
    void FillMessageRows(const std::vector<TRowKey>& keys);
    void BeginListUpdate() { messages_.BeginUpdate(); }
    void EndListUpdate() { messages_.EndUpdate(); }
    void AddMessageRow(TRowKey key);
    void RemoveMessageRow(TRowKey key);
    TRowKey FocusedRow() const;
    // Focuses the row and makes it the only selected row.
    void FocusRow(TRowKey key);
    // Moves the focus off the focused row before it disappears: to the nearest row that is not
    // selected, upwards first when sorted ascending, downwards first when descending.
    void FocusNeighbour();
    // The selected rows, from the last row of the list to the first.
    std::vector<TRowKey> SelectedRows() const;
    void ScrollToRow(TRowKey key);
    void RepaintLists();

    // Sorting and columns.
    void HeaderClick(int column, TMouseButton button);
    void ShowColumn(int column, bool shown);
    const TListLayout& Layout();
    void LoadLayout();
    void SaveLayout();

    // Reader panel.
    void ClearHeaders();
    void EnableMessageCommands(bool enabled);
    void DecodeStart(int maximum);
    void DecodeProgress(int position);
    void DecodeEnd();
    int ReaderHeight() const { return readerHeight_; }
    int ContactsHeight() const { return contactsHeight_; }

    // First run: while there is no account, a line above the list says so, with a button that
    // asks for one (OnAddAccount).
    void ShowFirstRun(bool noAccount);
    bool FirstRunShown() const;
    // The Check mail command found no account: the status panel says so and the line shows.
    void SayNoAccount();

    // Status bar panel 1: "kind|text" or plain text.
    void SetStatusText(const QString& text);
    QString StatusText() const;

    // Tray.
    bool InTray() const { return inTray_; }
    void HideToTray();
    void LeaveTray();
    // A later start of the program asked to see this window.
    void SecondInstance();
    TTrayIcon& Tray() const { return *tray_; }
    // Comes to the front (out of the tray) with the item's box listed and its row focused, so
    // that the preview shows it.
    void BringUpMessage(TMailItem& item);

    void ReaderOpenURL(const std::string& url);
    // The desktop's opener the window was made with.
    UrlOpener& Opener() const { return urlOpener_; }

    bool ImmediateFocus = false;
    // Whether the desktop has a status area; without one the window minimises normally.
    std::function<bool()> TrayAvailable;

    // The mailbox whose messages the list shows (none before the first listing). The one
    // place that knows it: the check cycle tells of every box, the window picks what it lists.
    TMailBox* CurrentBox = nullptr;

    // Follows the check cycle from now on: new rows for mail filed into the listed box, rows
    // leaving with their items, the folder tree's counters, the reader pane of an emptied list
    // and the task status panel.
    void ObserveCycle(TCycleEvents& events);

    // --- events for the mail operations ----------------------------------------------------
    // A message row came to rest: show it in the reader pane unless it shows it already.
    std::function<void(TRowKey message)> OnMessageFocused;
    // No message is focused any more: clear the reader pane.
    std::function<void()> OnClearReader;
    // Left press on the task status panel.
    std::function<void()> OnStatusClick;
    // The first-run line's button.
    std::function<void()> OnAddAccount;
    // Last step of the exit sequence: save the mail state (tables, account files, unread
    // counters) and stop the queued and running tasks.
    std::function<void()> OnDestroying;

  signals:
    // The window closed: the program ends.
    void Closed();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void ConnectCommands();
    void SetUpColumns();
    void ConnectWidgets();

    void actPreviewExecute(bool checked);
    void actContactsExecute(bool checked);
    void actHideExecute();
    void actNextExecute();
    void actPreviousExecute();
    void actSelectAllExecute();
    void actBoxListExecute();
    void actBoxMessagesExecute();
    void mnuTrayOpenClick();
    void FolderFocusChanged();
    void tmrBoxTimer();
    void MessageFocusChanged();
    void tmrMessageTimer();
    void HeaderMenu(const QPoint& at);
    void UpdateEnvelopeColumn();
    void UpdateSortIndicator();
    void ApplyHeights();
    void FormDestroy();
    void MailFiled(TMailBox& box, const std::vector<TMailItem*>& items);

    TQuobelContext& context_;
    TfrmTasks& tasks_;
    UrlOpener& urlOpener_;
    TMailItemRows mailRows_;
    TMailBoxRows boxRows_;
    TFolderListModel folders_;
    TMessageListModel messages_;
    TListLayout layout_;
    TCommandSet commands_;
    TMainWidgets w_{};
    QMenu* mnuAccounts_ = nullptr;  // the Check mail drop-down
    QMenu* mnuList_ = nullptr;      // the message list's context menu
    QTimer* tmrCheck_ = nullptr;
    QTimer* tmrBox_ = nullptr;
    QTimer* tmrMessage_ = nullptr;
    TTrayIcon* tray_ = nullptr;
    bool inTray_ = false;
    THeightSplit heightSplit_;
    int readerHeight_ = 196;
    bool shownOnce_ = false;
    int contactsHeight_ = 123;
    QtPlacedWindow placed_;
    TOrvaneFormSize orvaneFormSize;
    QString helpFile_;
    TStartupLoad* startupLoad_ = nullptr;
    std::vector<TSubscription> cycleSubscriptions_;
};

}  // namespace quobel
