#pragma once

#include <QMainWindow>
#include <string>
#include <vector>

#include "core/form_size.h"
#include "message/mailto_reply.h"
#include "ui/common/command_set.h"
#include "ui/common/qt_placed_window.h"
#include "ui/reader/attachment_actions.h"
#include "ui/reader/fra_reader.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTabBar;
class QToolButton;

namespace quobel {

class TfrmExtReader;
class TMailItem;
class TOptions;
class TReaderHeaders;

// What a reader window needs of the main window.
class TReaderWindowHost {
  public:
    virtual ~TReaderWindowHost() = default;

    virtual TfraReader::Services PaneServices() = 0;
    virtual TOptions& Options() = 0;
    // The items of the main list's rows, in display order.
    virtual std::vector<TMailItem*> ListItems() = 0;
    // The single-message delete confirmation, owned by the window; true to go on.
    virtual bool ConfirmDelete(QWidget& owner) = 0;
    // Queues the deletion of a message still on the server, or removes it at once.
    virtual void DeleteMessage(TMailItem& item) = 0;
    // When tasks are queued: starts the queue and shows the Tasks window.
    virtual void StartQueuedTasks() = 0;
    virtual void MarkMessageRead(TMailItem& item) = 0;
    virtual void OpenURL(const std::string& url) = 0;
    // Writing mail in the user's mail program: the command on the item (none for Compose), the
    // pane showing it, or a "mailto:" link of a message (the text after the scheme).
    virtual void WriteMail(TMailCommand command, TMailItem* item, const TfraReader* pane,
                           QWidget& owner) = 0;
    virtual void WriteMailTo(const std::string& address, QWidget& owner) = 0;
    // An entry of the attachments menu, on the shown message.
    virtual void AttachmentCommand(TAttachmentCommand command, const TQBMessage& message,
                                   int partIndex, QWidget& owner) = 0;
    virtual void Beep() = 0;
    // The window is closing (it is destroyed afterwards).
    virtual void ReaderClosed(TfrmExtReader& window) = 0;
};

// A window of its own for one message: the reader pane with a fuller header panel, commands to
// step through the main list's messages and to delete the shown message. It closes by itself
// when its message is deleted and is destroyed when it closes.
class TfrmExtReader : public QMainWindow {
    Q_OBJECT
  public:
    explicit TfrmExtReader(TReaderWindowHost& host, QWidget* parent = nullptr);
    ~TfrmExtReader() override;

    void ShowItem(TMailItem& item);
    TMailItem* ShownItem() const { return reader_->Item(); }
    // The reader pane (its events are the window's; tests watch them).
    TfraReader& Pane() const { return *reader_; }
    // After the options dialog: the pane's reader font.
    void ApplySettings();

    // The position of the item in the list, searched from the end; -1 when absent.
    static int IndexOfItem(const std::vector<TMailItem*>& list, const TMailItem* item);

    // One of the window's commands (DeleteShown, FirstMessage ... LastMessage, CloseReader, the
    // compose family and AntiSpamShown).
    QAction& Command(TCommandId id) const { return commands_[id]; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateActions();
    void CreateWidgets();
    void ReaderMessageShown();
    void ShowAt(const std::vector<TMailItem*>& items, int index);
    void actFirstExecute();
    void actPreviousExecute();
    void actNextExecute();
    void actLastExecute();
    void actDeleteExecute();
    void WriteMail(TMailCommand command);

    TReaderWindowHost& host_;
    TCommandSet commands_;
    QtPlacedWindow placed_;
    TOrvaneFormSize orvaneFormSize;
    TfraReader* reader_ = nullptr;
    TReaderHeaders* headers_ = nullptr;
    QToolBar* tbMain = nullptr;
    QWidget* pnlHeaders = nullptr;
    QLineEdit *txtFrom = nullptr, *txtTo = nullptr, *txtCC = nullptr, *txtRecipient = nullptr;
    QLineEdit *txtSubject = nullptr, *txtDate = nullptr;
    QLabel* lblSourceField = nullptr;
    QToolButton* tbAttachments = nullptr;
    QWidget* pnlReader = nullptr;
    QTabBar* tsParts = nullptr;
};

}  // namespace quobel
