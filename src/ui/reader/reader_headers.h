#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "ui/reader/attachment_actions.h"

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QTabBar;
class QWidget;

namespace quobel {

class TfraReader;

// The header panel of a reader pane's host (the main window's preview and every reader window):
// the tab strip that switches the pane's pages, the attachments button and its menu, the sender
// and recipient fields and the Source IP link to a web WHOIS lookup. Filled each time the pane
// has shown a message, a waiting or a removed text.
class TReaderHeaders : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QTabBar* Tabs;
        QAbstractButton* Attachments;
        // Text fields: labels or read-only line edits.
        QWidget* From;
        QWidget* To;
        QWidget* CC;
        QWidget* Recipient;
        QLabel* SourceIP;
    };

    TReaderHeaders(Widgets widgets, TfraReader& reader, QObject* parent = nullptr);

    // From the pane's item and message.
    void Fill();
    // Empties the fields and the Source IP link, and removes the tabs.
    void Clear();

    // The address of the WHOIS lookup of an IP address.
    static QString WhoisLink(const QString& ip);
    static void SetFieldText(QWidget* field, const QString& text);
    static QString FieldText(const QWidget* field);
    // The Source IP shown (empty when none).
    const QString& SourceIP() const { return sourceIP_; }

    QMenu* mnuAttachments;
    QMenu* mnuSource;
    QAction* mnuSourceCopy;

    // A click on the Source IP link.
    std::function<void(const std::string& url)> OnOpenURL;
    // An entry of an attachment's submenu: Open, Save as, Save all, with the attachment's part.
    std::function<void(TAttachmentCommand command, int partIndex)> OnAttachment;

    static const char* const kOpenCaption;
    static const char* const kSaveAsCaption;
    static const char* const kSaveAllCaption;

  private:
    void FillAttachments();
    void SetSourceIP(const QString& ip);
    void mnuSourceCopyClick();

    Widgets w_;
    TfraReader& reader_;
    QString sourceIP_;
};

}  // namespace quobel
