#include "ui/reader/reader_headers.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QFileIconProvider>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeDatabase>
#include <QTabBar>
#include <QUrl>

#include "core/clamp_int.h"
#include "core/format_size.h"
#include "message/qb_message.h"
#include "store/mail_item.h"
#include "ui/common/qt_text.h"
#include "ui/reader/fra_reader.h"

namespace quobel {
namespace {

// The lookup service; the rest of the address is the proxy's query.
constexpr const char* kWhoisService = "https://www.geektools.com";

// The desktop's icon for a file of that name: by the type its name suggests.
QIcon FileIcon(const QString& fileName) {
    static const QFileIconProvider provider;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    return QIcon::fromTheme(
        type.iconName(),
        QIcon::fromTheme(type.genericIconName(), provider.icon(QAbstractFileIconProvider::File)));
}

}  // namespace

const char* const TReaderHeaders::kOpenCaption = QT_TR_NOOP("&Open");
const char* const TReaderHeaders::kSaveAsCaption = QT_TR_NOOP("Save as\u2026");
const char* const TReaderHeaders::kSaveAllCaption = QT_TR_NOOP("Save all\u2026");

TReaderHeaders::TReaderHeaders(Widgets widgets, TfraReader& reader, QObject* parent)
    : QObject(parent), w_(widgets), reader_(reader) {
    mnuAttachments = new QMenu(w_.Attachments);
    mnuAttachments->setObjectName(QStringLiteral("mnuAttachments"));
    if (auto* button = w_.Attachments) {
        connect(button, &QAbstractButton::clicked, this, [this, button] {
            mnuAttachments->popup(button->mapToGlobal(QPoint(0, button->height())));
        });
    }
    mnuSource = new QMenu(w_.SourceIP);
    mnuSource->setObjectName(QStringLiteral("mnuSource"));
    mnuSourceCopy = mnuSource->addAction(tr("&Copy"));
    connect(mnuSourceCopy, &QAction::triggered, this, &TReaderHeaders::mnuSourceCopyClick);
    w_.SourceIP->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w_.SourceIP, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { mnuSource->popup(w_.SourceIP->mapToGlobal(at)); });
    w_.SourceIP->setTextFormat(Qt::RichText);
    w_.SourceIP->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    w_.SourceIP->setOpenExternalLinks(false);
    connect(w_.SourceIP, &QLabel::linkActivated, this, [this](const QString& link) {
        if (OnOpenURL) {
            OnOpenURL(link.toStdString());
        }
    });
    connect(w_.Tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0) {
            reader_.SetActivePage(w_.Tabs->tabData(index).toInt());
        }
    });
}

QString TReaderHeaders::WhoisLink(const QString& ip) {
    // Encoded, so that whatever a message puts between the brackets stays one query value.
    return QString::fromLatin1(kWhoisService) + QStringLiteral("/cgi-bin/proxy.cgi?query=") +
           QString::fromLatin1(QUrl::toPercentEncoding(ip, ".:")) +
           QStringLiteral("&targetnic=auto");
}

void TReaderHeaders::SetFieldText(QWidget* field, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(field)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

QString TReaderHeaders::FieldText(const QWidget* field) {
    if (const auto* label = qobject_cast<const QLabel*>(field)) {
        return label->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(field)) {
        return edit->text();
    }
    return {};
}

void TReaderHeaders::Clear() {
    for (QWidget* field : {w_.From, w_.To, w_.CC, w_.Recipient}) {
        SetFieldText(field, QString());
    }
    SetSourceIP(QString());
    const QSignalBlocker block(w_.Tabs);
    while (w_.Tabs->count() > 0) {
        w_.Tabs->removeTab(0);
    }
}

void TReaderHeaders::Fill() {
    const TMailItem* item = reader_.Item();
    {
        const QSignalBlocker block(w_.Tabs);
        while (w_.Tabs->count() > 0) {
            w_.Tabs->removeTab(0);
        }
        w_.Tabs->setTabData(w_.Tabs->addTab(tr(" Text ")), TfraReader::kTextPage);
        w_.Tabs->setTabData(w_.Tabs->addTab(tr(" Source ")), TfraReader::kSourcePage);
        w_.Tabs->setCurrentIndex(reader_.ActivePage() == TfraReader::kSourcePage ? 1 : 0);
    }
    w_.Attachments->setVisible(item != nullptr && item->Attachments);
    SetFieldText(w_.From, item ? Q(item->CachedData.From) : QString());
    SetFieldText(w_.To, item ? Q(item->CachedData.To) : QString());
    SetFieldText(w_.CC, item ? Q(item->CachedData.CC) : QString());
    QString recipient;
    QString ip;
    if (const TQBMessage* message = reader_.Message()) {
        const auto& received = message->Received;
        recipient =
            Q(!received[0].ForAddress.empty() ? received[0].ForAddress : received[1].ForAddress);
        ip = Q(!received[0].SourceIP.empty() ? received[0].SourceIP : received[1].SourceIP);
    }
    SetFieldText(w_.Recipient, recipient);
    SetSourceIP(ip);
    FillAttachments();
}

void TReaderHeaders::FillAttachments() {
    // The entries' submenus are children of the menu, not of the entries.
    for (QAction* entry : mnuAttachments->actions()) {
        if (QMenu* actions = entry->menu()) {
            actions->deleteLater();
        }
    }
    mnuAttachments->clear();
    const TMailItem* item = reader_.Item();
    const TQBMessage* message = reader_.Message();
    if (item == nullptr || !item->Attachments || message == nullptr) {
        return;
    }
    for (size_t i = 0; i < message->Parts.size(); ++i) {
        const TQBMessagePart& part = message->Parts[i];
        if (!part.IsAttachment) {
            continue;
        }
        const QString name = Q(part.FileName);
        const auto size = ClampToInt32(static_cast<int64_t>(part.DataSize()));
        QString caption =
            name + QStringLiteral(" (") + Q(FormatSize(size, false)) + QStringLiteral(")");
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));  // no mnemonics from names
        QAction* entry = mnuAttachments->addAction(FileIcon(name), caption);
        const int index = static_cast<int>(i);
        entry->setData(index);
        // What to do with it: the entry's own submenu.
        auto* actions = new QMenu(mnuAttachments);
        actions->setObjectName(QStringLiteral("mnuAttachment%1").arg(index));
        const auto add = [&](const QString& text, TAttachmentCommand command) {
            QAction* action = actions->addAction(text);
            connect(action, &QAction::triggered, this, [this, command, index] {
                if (OnAttachment) {
                    OnAttachment(command, index);
                }
            });
        };
        add(tr(kOpenCaption), TAttachmentCommand::Open);
        add(tr(kSaveAsCaption), TAttachmentCommand::SaveAs);
        actions->addSeparator();
        add(tr(kSaveAllCaption), TAttachmentCommand::SaveAll);
        entry->setMenu(actions);
    }
}

void TReaderHeaders::SetSourceIP(const QString& ip) {
    sourceIP_ = ip;
    if (ip.isEmpty()) {
        w_.SourceIP->clear();
        w_.SourceIP->setToolTip(QString());
        return;
    }
    // The address comes from the message: escaped, it can only ever be text.
    const QString link = WhoisLink(ip);
    w_.SourceIP->setText(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(link.toHtmlEscaped(), ip.toHtmlEscaped()));
    w_.SourceIP->setToolTip(link.toHtmlEscaped());
}

void TReaderHeaders::mnuSourceCopyClick() {
    // The host may have emptied the field itself.
    if (sourceIP_.isEmpty() || w_.SourceIP->text().isEmpty()) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(sourceIP_);
}

}  // namespace quobel
