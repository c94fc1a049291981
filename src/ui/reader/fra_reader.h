#pragma once

#include <QFont>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "core/font_record.h"

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;

namespace quobel {

class PasswordQuery;
class TMailBox;
class TMailItem;
class TOptions;
class TQBMessage;
class TReaderTextView;

// The pane that shows one message: the text to read (the plain-text part, or the HTML part
// reduced to text, decrypted when it was encrypted with a password) on its Text page and the
// message as it came on its Source page. A message known only by its header is fetched first;
// meanwhile the pane shows a waiting text. The main window embeds one, every reader window its
// own; the host switches the pages with its tab strip and fills its header panel when
// OnMessageShown is raised.
class TfraReader : public QWidget {
    Q_OBJECT
  public:
    // What the pane needs from the program around it.
    struct Services {
        TOptions& Options;
        // The password prompt; null: every prompt counts as cancelled.
        PasswordQuery* Password = nullptr;
        using TFetchDone = std::function<void(TMailItem& item, bool received)>;
        // The fetch failed: its error on one line.
        using TFetchFailed = std::function<void(TMailItem& item, const std::string& error)>;
        // Queues the download of an item's whole message; `done` runs on this thread once it was
        // stored for its item. False when the item cannot be fetched (it has no account).
        std::function<bool(TMailItem& item, TFetchDone done, TFetchFailed failed)> FetchMessage;
        // An item's row changed: its mailbox table is saved.
        std::function<void(TMailBox& box)> BoxChanged;
        // A failure while showing a fetched message (no caller is there to report it).
        std::function<void(const std::string& text)> ReportError;
    };

    enum class TState { Empty, Waiting, Removed, Failed, Showing };
    static constexpr int kTextPage = 0;
    static constexpr int kSourcePage = 1;

    explicit TfraReader(Services services, QWidget* parent = nullptr);
    ~TfraReader() override;

    // Shows the item: from its cache file when it is downloaded, else the waiting text and a
    // fetch. Failures to read or parse the cache file are passed on; the views keep what was
    // set so far.
    void ShowItem(TMailItem& item);
    // Shows a parsed message's text on the Text page.
    void DisplayMessage(const TQBMessage& message);
    // Empties both views, forgets the item and the message, and makes the Text page active.
    void Clear();
    // Reloads the text view's font from the settings ("Reader.Font").
    void ApplySettings();

    TMailItem* Item() const { return item_; }
    // The parsed message; null before a downloaded item was shown.
    const TQBMessage* Message() const { return message_.get(); }
    TState State() const { return state_; }
    bool Encrypted() const { return encrypted_; }

    int ActivePage() const;
    void SetActivePage(int page);
    // The text of the Text page and of the Source page (also while they are still filling).
    QString Text() const;
    QString SourceText() const;

    // Components.
    QStackedWidget* pcMessage;
    QWidget* tsText;
    QWidget* tsSource;
    TReaderTextView* rtfText;
    TReaderTextView* rtfSource;
    // Over the Text page after a failed fetch: the error and a "Try again" link.
    QLabel* lblFetchFailed;
    QMenu* mnuReader;
    QAction* mnuCopy;
    QAction* mnuSelectAll;

    std::function<void(TfraReader& sender)> OnMessageShown;
    std::function<void(TfraReader& sender, const std::string& url)> OnOpenURL;
    std::function<void(TfraReader& sender, const std::string& address)> OnMailTo;

    static const char* const kWaitingText;
    static const char* const kRemovedText;

  private:
    void ShowNotice(const char* text, TState state);
    void FetchDone(TMailItem& item, bool received);
    void FetchFailed(TMailItem& item, const std::string& error);
    void LinkClicked(const QString& link);
    TReaderTextView& ActiveView() const;
    void UseReaderFont();
    void MessageShown();

    Services services_;
    TMailItem* item_ = nullptr;
    std::unique_ptr<TQBMessage> message_;
    TFontRecord readerFont_;
    bool encrypted_ = false;
    TState state_ = TState::Empty;
    // Weakly held by pending fetches: a pane freed before its fetch ends hears nothing of it.
    std::shared_ptr<TfraReader*> self_;
};

}  // namespace quobel
