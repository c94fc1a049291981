#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "ui/reader/attachment_actions.h"
#include "ui/reader/frm_ext_reader.h"
#include "ui/reader/mail_writer.h"
#include "ui/reader/password_dialog.h"
#include "ui/reader/reader_headers.h"

namespace quobel {

class TfrmMsgList;
class TMsgListController;
class TTasks;

// The readers of the running program: the main window's preview pane with its header panel,
// and the reader windows opened from the main list (a new one per opened message, or one shared
// window). The check cycle asks it to show, clear and close readers; the reader windows ask it
// for what they need of the main window.
class TReaderWindows : public QObject, public TReaderWindowHost {
    Q_OBJECT
  public:
    TReaderWindows(TfrmMsgList& window, TOptions& options, TMsgListController& controller,
                   TTasks& tasks);
    ~TReaderWindows() override;

    // Shows the item in a new reader window, or in the shared one (created when missing).
    TfrmExtReader& ShowInReader(TMailItem& item, bool newWindow);
    // Closes every reader window showing the item, and empties the preview if it shows it.
    void CloseReadersOf(TMailItem& item);
    // Empties the preview pane and its header panel.
    void ClearMainReader();
    // After the options dialog: the reader font of every pane.
    void ApplySettings();

    TfraReader* MainReader() const { return mainReader_; }
    TReaderHeaders* MainHeaders() const { return mainHeaders_; }
    // The open reader windows, oldest first.
    std::vector<TfrmExtReader*> Windows() const;
    TfrmExtReader* SharedWindow() const { return shared_; }

    // Replaceable for tests: the password prompt, the Yes/No box, the beep, the error report.
    PasswordQuery* Password;
    std::function<bool(QWidget& owner, const std::string& caption, const std::string& text)>
        AskYesNo;
    std::function<void()> OnBeep;
    std::function<void(const std::string& text)> ReportError;

    // TReaderWindowHost
    TfraReader::Services PaneServices() override;
    TOptions& Options() override { return options_; }
    std::vector<TMailItem*> ListItems() override;
    bool ConfirmDelete(QWidget& owner) override;
    void DeleteMessage(TMailItem& item) override;
    void StartQueuedTasks() override;
    void MarkMessageRead(TMailItem& item) override;
    void OpenURL(const std::string& url) override;
    void WriteMail(TMailCommand command, TMailItem* item, const TfraReader* pane,
                   QWidget& owner) override;
    void WriteMailTo(const std::string& address, QWidget& owner) override;
    void AttachmentCommand(TAttachmentCommand command, const TQBMessage& message, int partIndex,
                           QWidget& owner) override;

    // Writing mail and the attachments' files (their dialogs are replaceable for tests).
    TMailWriter& Writer() { return writer_; }
    TAttachmentActions& Attachments() { return attachments_; }
    void Beep() override;
    void ReaderClosed(TfrmExtReader& window) override;

  private:
    void MessageFocused(TMailItem& item);
    void MainMessageShown();
    void HookWritingCommands(TfrmMsgList& window);

    QPointer<TfrmMsgList> window_;
    TOptions& options_;
    TMsgListController& controller_;
    TTasks& tasks_;
    TMailWriter writer_;
    // Its temporary folder of opened attachments goes with it, at the program's exit.
    TAttachmentActions attachments_;
    QtPasswordQuery passwordQuery_;
    // The panes ask through this, so that replacing Password reaches panes made before.
    class PasswordForwarder : public PasswordQuery {
      public:
        explicit PasswordForwarder(TReaderWindows& owner) : owner_(owner) {}
        bool Query(const std::string& caption, const std::string& prompt,
                   std::string& value) override {
            return owner_.Password != nullptr && owner_.Password->Query(caption, prompt, value);
        }

      private:
        TReaderWindows& owner_;
    } passwordForwarder_{*this};
    QPointer<TfraReader> mainReader_;
    QPointer<TReaderHeaders> mainHeaders_;
    std::vector<QPointer<TfrmExtReader>> windows_;
    QPointer<TfrmExtReader> shared_;
};

}  // namespace quobel
