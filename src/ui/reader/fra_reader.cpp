#include "ui/reader/fra_reader.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "core/clamp_int.h"
#include "core/options.h"
#include "message/charset.h"
#include "message/encryption.h"
#include "message/encryption_state.h"
#include "message/qb_message.h"
#include "message/shown_text.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/common/help_key.h"
#include "ui/common/qt_font.h"
#include "ui/dialogs/color_picker.h"
#include "ui/reader/reader_text_view.h"

namespace quobel {
namespace {

const char* const kNoAccountText = QT_TRANSLATE_NOOP(
    "quobel::TfraReader",
    "This message cannot be downloaded: the account it came from no longer exists.");

// The wait cursor for the length of one operation, also when it fails.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Message bytes carry no declared charset as a whole: UTF-8 where they are valid UTF-8, else
// read as Windows-1252, so that every byte shows as some character.
QString BytesToQString(const std::string& bytes) {
    const std::string text = TextToUtf8(bytes, "");
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

const char* const TfraReader::kWaitingText =
    QT_TR_NOOP("Please wait, downloading the message from the server...");
const char* const TfraReader::kRemovedText =
    QT_TR_NOOP("The message has already been removed from the server...");

TfraReader::TfraReader(Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), self_(std::make_shared<TfraReader*>(this)) {
    setObjectName(QStringLiteral("fraReader"));
    SetHelpSection(*this, "reader");
    pcMessage = new QStackedWidget(this);
    pcMessage->setObjectName(QStringLiteral("pcMessage"));
    tsText = new QWidget;
    tsText->setObjectName(QStringLiteral("tsText"));
    tsSource = new QWidget;
    tsSource->setObjectName(QStringLiteral("tsSource"));
    rtfText = new TReaderTextView(tsText);
    rtfText->setObjectName(QStringLiteral("rtfText"));
    rtfText->Links = true;
    rtfText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    rtfSource = new TReaderTextView(tsSource);
    rtfSource->setObjectName(QStringLiteral("rtfSource"));
    rtfSource->setLineWrapMode(QPlainTextEdit::NoWrap);
    rtfSource->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rtfSource->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont sourceFont(QStringLiteral("Courier New"));
    sourceFont.setStyleHint(QFont::TypeWriter);
    sourceFont.setPointSize(8);
    rtfSource->setFont(sourceFont);
    lblFetchFailed = new QLabel(tsText);
    lblFetchFailed->setObjectName(QStringLiteral("lblFetchFailed"));
    lblFetchFailed->setTextFormat(Qt::RichText);
    lblFetchFailed->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                            Qt::LinksAccessibleByKeyboard);
    lblFetchFailed->setContentsMargins(4, 4, 4, 4);
    lblFetchFailed->setVisible(false);
    connect(lblFetchFailed, &QLabel::linkActivated, this, [this] {
        if (item_ != nullptr) {
            ShowItem(*item_);
        }
    });
    for (auto [page, view] : {std::pair{tsText, rtfText}, std::pair{tsSource, rtfSource}}) {
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        if (page == tsText) {
            layout->addWidget(lblFetchFailed);
        }
        layout->addWidget(view);
        pcMessage->addWidget(page);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pcMessage);

    mnuReader = new QMenu(this);
    mnuReader->setObjectName(QStringLiteral("mnuReader"));
    mnuCopy = mnuReader->addAction(tr("&Copy"));
    mnuCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuReader->addSeparator();
    mnuSelectAll = mnuReader->addAction(tr("Select &all"));
    mnuSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(mnuCopy, &QAction::triggered, this, [this] { ActiveView().copy(); });
    connect(mnuSelectAll, &QAction::triggered, this, [this] {
        ActiveView().FinishText();
        ActiveView().selectAll();
    });
    for (TReaderTextView* view : {rtfText, rtfSource}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            mnuReader->popup(view->viewport()->mapToGlobal(at));
        });
    }
    connect(rtfText, &TReaderTextView::LinkClicked, this, &TfraReader::LinkClicked);

    ApplySettings();
}

TfraReader::~TfraReader() = default;

void TfraReader::ApplySettings() {
    services_.Options.ReadFont(settings::kReaderFont, readerFont_);
    if (state_ != TState::Waiting && state_ != TState::Removed && state_ != TState::Failed) {
        UseReaderFont();
    }
}

void TfraReader::UseReaderFont() {
    rtfText->setFont(ToQFont(readerFont_));
    QPalette palette = rtfText->palette();
    const QPalette standard = QApplication::palette(rtfText);
    palette.setColor(QPalette::Base, standard.color(QPalette::Base));
    palette.setColor(QPalette::Text, ColorToQColor(readerFont_.Color));
    rtfText->setPalette(palette);
}

void TfraReader::Clear() {
    lblFetchFailed->setVisible(false);
    rtfText->SetText(QString());
    rtfSource->SetText(QString());
    item_ = nullptr;
    SetActivePage(kTextPage);
    message_.reset();
    encrypted_ = false;
    state_ = TState::Empty;
}

void TfraReader::ShowItem(TMailItem& item) {
    encrypted_ = false;
    const WaitCursor wait;
    Clear();
    item_ = &item;
    message_ = std::make_unique<TQBMessage>();
    if (!item.Downloaded) {
        if (item.Account() == nullptr) {
            ShowNotice(kNoAccountText, TState::Failed);
            return;
        }
        ShowNotice(kWaitingText, TState::Waiting);
        std::weak_ptr<TfraReader*> alive = self_;
        if (services_.FetchMessage) {
            services_.FetchMessage(
                item,
                [alive](TMailItem& fetched, bool received) {
                    if (const auto self = alive.lock()) {
                        (*self)->FetchDone(fetched, received);
                    }
                },
                [alive](TMailItem& failed, const std::string& error) {
                    if (const auto self = alive.lock()) {
                        (*self)->FetchFailed(failed, error);
                    }
                });
        }
        return;
    }
    std::string bytes;
    item.ReadCacheFile(bytes);
    const bool attachments = item.Attachments;
    item.LoadMessage(*message_);
    const bool ccMissing = item.CachedData.CC.empty() && !item.CCList.empty();
    if (item.Attachments != attachments || ccMissing ||
        static_cast<int64_t>(bytes.size()) != item.Size) {
        if (ccMissing) {
            // A row written before the table kept the CC text: the list shows it from now on.
            item.CachedData.CC = ContactNames(message_->CC);
        }
        item.SetSize(ClampToInt32(static_cast<int64_t>(bytes.size())));
        item.Changed();
        if (TMailBox* box = item.Collection().Box; box != nullptr && services_.BoxChanged) {
            services_.BoxChanged(*box);
        }
    }
    rtfSource->SetText(BytesToQString(bytes));
    bytes.clear();
    bytes.shrink_to_fit();
    DisplayMessage(*message_);
}

void TfraReader::DisplayMessage(const TQBMessage& message) {
    // A fresh cipher set and password for every showing: the password is asked at most once,
    // and no key material outlives the showing.
    const TdmEncryption ciphers;
    TEncryptionState encryption(ciphers, services_.Password);
    encryption.TestHeader(message.HeaderLines);
    encrypted_ = encryption.Encrypted;
    UseReaderFont();
    TShownTextFilter decrypt;
    if (encryption.Encrypted) {
        decrypt = [&encryption](const std::string& text) { return encryption.DecryptText(text); };
    }
    const std::string text = ShownText(message, decrypt);
    rtfText->SetText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    state_ = TState::Showing;
    if (ActivePage() == kSourcePage) {
        SetActivePage(kTextPage);
    }
    MessageShown();
}

void TfraReader::ShowNotice(const char* text, TState state) {
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    rtfText->setFont(font);
    QPalette palette = rtfText->palette();
    const QPalette standard = QApplication::palette(rtfText);
    palette.setColor(QPalette::Base, standard.color(QPalette::Button));
    palette.setColor(QPalette::Text, standard.color(QPalette::Disabled, QPalette::Text));
    rtfText->setPalette(palette);
    rtfText->SetText(tr(text));
    state_ = state;
    SetActivePage(kTextPage);
    MessageShown();
}

void TfraReader::FetchDone(TMailItem& item, bool received) {
    // The controller has stored the result for its item; the pane only shows it if it still
    // shows that item.
    if (item_ != &item) {
        return;
    }
    if (!received) {
        ShowNotice(kRemovedText, TState::Removed);
        return;
    }
    try {
        ShowItem(item);
    } catch (const std::exception& failure) {
        if (services_.ReportError) {
            services_.ReportError(failure.what());
        }
    }
}

void TfraReader::FetchFailed(TMailItem& item, const std::string& error) {
    if (item_ != &item) {
        return;
    }
    // The error comes from a server: it is shown as text, never as markup.
    const QString text = QString::fromUtf8(error.data(), static_cast<qsizetype>(error.size()));
    lblFetchFailed->setText(text.toHtmlEscaped() + tr(" &nbsp;<a href=\"retry\">Try again</a>"));
    ShowNotice("", TState::Failed);
    lblFetchFailed->setVisible(true);
}

void TfraReader::MessageShown() {
    if (OnMessageShown) {
        OnMessageShown(*this);
    }
}

void TfraReader::LinkClicked(const QString& link) {
    QString address;
    if (IsMailToLink(link, &address)) {
        if (OnMailTo) {
            OnMailTo(*this, address.toStdString());
        }
    } else if (OnOpenURL) {
        OnOpenURL(*this, link.toStdString());
    }
}

int TfraReader::ActivePage() const {
    return pcMessage->currentIndex();
}

void TfraReader::SetActivePage(int page) {
    pcMessage->setCurrentIndex(page);
}

TReaderTextView& TfraReader::ActiveView() const {
    return ActivePage() == kSourcePage ? *rtfSource : *rtfText;
}

QString TfraReader::Text() const {
    return rtfText->FullText();
}

QString TfraReader::SourceText() const {
    return rtfSource->FullText();
}

}  // namespace quobel
