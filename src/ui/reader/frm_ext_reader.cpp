#include "ui/reader/frm_ext_reader.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/options.h"
#include "core/settings_table.h"
#include "store/mail_item.h"
#include "ui/common/command_set.h"
#include "ui/common/help_key.h"
#include "ui/common/icons.h"
#include "ui/reader/reader_headers.h"

namespace quobel {
namespace {

constexpr int kHeadersHeight = 75;
QString NoSubject() {
    return TfrmExtReader::tr("(No subject)");
}

}  // namespace

TfrmExtReader::TfrmExtReader(TReaderWindowHost& host, QWidget* parent)
    : QMainWindow(parent),
      host_(host),
      commands_(*this,
                {TCommandId::DeleteShown, TCommandId::FirstMessage, TCommandId::PreviousMessage,
                 TCommandId::NextMessage, TCommandId::LastMessage, TCommandId::CloseReader,
                 TCommandId::Compose, TCommandId::Reply, TCommandId::ReplyAll, TCommandId::Forward,
                 TCommandId::Redirect, TCommandId::AntiSpamShown}),
      placed_(*this),
      orvaneFormSize(placed_, std::string(settings::kReaderPlacement.Section)) {
    setObjectName(QStringLiteral("frmExtReader"));
    SetHelpSection(*this, "readerwindow");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(NoSubject());
    setWindowIcon(TIcons::Application());
    resize(482, 364);
    CreateActions();
    CreateWidgets();

    // The placement component lends itself the settings file for the duration of one access.
    orvaneFormSize.OnOpen = [this](TOrvaneFormSize&, TIniFile*& ini) {
        host_.Options().Open();
        ini = &host_.Options().Ini();
    };
    orvaneFormSize.OnClose = [this](TOrvaneFormSize&, TIniFile*& ini) {
        ini = nullptr;
        host_.Options().Close();
    };
    orvaneFormSize.Loaded();
}

TfrmExtReader::~TfrmExtReader() {
    try {
        orvaneFormSize.Destroying();
    } catch (const std::exception&) {
        // A settings file that cannot be written loses the placement only.
    }
}

void TfrmExtReader::CreateActions() {
    using enum TCommandId;
    const TCommandSet& c = commands_;
    c[DeleteShown].setEnabled(false);
    connect(&c[DeleteShown], &QAction::triggered, this, &TfrmExtReader::actDeleteExecute);
    connect(&c[FirstMessage], &QAction::triggered, this, &TfrmExtReader::actFirstExecute);
    connect(&c[PreviousMessage], &QAction::triggered, this, &TfrmExtReader::actPreviousExecute);
    connect(&c[NextMessage], &QAction::triggered, this, &TfrmExtReader::actNextExecute);
    connect(&c[LastMessage], &QAction::triggered, this, &TfrmExtReader::actLastExecute);
    connect(&c[CloseReader], &QAction::triggered, this, &QWidget::close);
    // Writing is the mail program's work; the commands on a message wait for one to be shown.
    connect(&c[Compose], &QAction::triggered, this, [this] { WriteMail(TMailCommand::Compose); });
    for (const auto& [id, command] :
         {std::pair{Reply, TMailCommand::Reply}, std::pair{ReplyAll, TMailCommand::ReplyAll},
          std::pair{Forward, TMailCommand::Forward}}) {
        c[id].setEnabled(false);
        connect(&c[id], &QAction::triggered, this, [this, command] { WriteMail(command); });
    }
    c[Redirect].setEnabled(false);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(&c[Compose]);
    file->addSeparator();
    file->addAction(&c[CloseReader]);
    QMenu* message = menuBar()->addMenu(tr("&Message"));
    message->addActions({&c[Reply], &c[ReplyAll], &c[Forward], &c[Redirect]});
    message->addSeparator();
    message->addActions({&c[DeleteShown], &c[AntiSpamShown]});
    message->addSeparator();
    message->addActions({&c[FirstMessage], &c[PreviousMessage], &c[NextMessage], &c[LastMessage]});

    tbMain = addToolBar(tr("Toolbar"));
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setMovable(false);
    tbMain->addAction(&c[Compose]);
    tbMain->addSeparator();
    tbMain->addActions({&c[Reply], &c[ReplyAll], &c[Forward], &c[Redirect]});
    tbMain->addSeparator();
    tbMain->addAction(&c[DeleteShown]);
    tbMain->addSeparator();
    tbMain->addAction(&c[AntiSpamShown]);
    tbMain->addSeparator();
    tbMain->addActions({&c[FirstMessage], &c[PreviousMessage], &c[NextMessage], &c[LastMessage]});
}

void TfrmExtReader::CreateWidgets() {
    pnlHeaders = new QWidget;
    pnlHeaders->setObjectName(QStringLiteral("pnlHeaders"));
    pnlHeaders->setFixedHeight(kHeadersHeight);
    auto* fields = new QGridLayout(pnlHeaders);
    fields->setContentsMargins(4, 2, 4, 2);
    fields->setVerticalSpacing(0);
    const auto field = [&](const char* name, const QString& caption, int row, int column) {
        fields->addWidget(new QLabel(caption), row, column);
        auto* value = new QLineEdit;
        value->setObjectName(QString::fromLatin1(name));
        value->setReadOnly(true);
        value->setFrame(false);
        fields->addWidget(value, row, column + 1);
        return value;
    };
    txtFrom = field("txtFrom", tr("From:"), 0, 0);
    txtTo = field("txtTo", tr("To:"), 1, 0);
    txtCC = field("txtCC", tr("CC:"), 2, 0);
    txtSubject = field("txtSubject", tr("Subject:"), 3, 0);
    txtRecipient = field("txtRecipient", tr("Recipient:"), 0, 2);
    fields->addWidget(new QLabel(tr("Source IP:")), 1, 2);
    lblSourceField = new QLabel;
    lblSourceField->setObjectName(QStringLiteral("lblSourceField"));
    fields->addWidget(lblSourceField, 1, 3);
    txtDate = field("txtDate", tr("Date:"), 2, 2);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    tbAttachments = new QToolButton;
    tbAttachments->setObjectName(QStringLiteral("tbAttachments"));
    tbAttachments->setIcon(TIcons::Mail()[2]);
    tbAttachments->setToolTip(tr("Attachments"));
    tbAttachments->setVisible(false);
    fields->addWidget(tbAttachments, 0, 4, 4, 1, Qt::AlignTop);

    pnlReader = new QWidget;
    pnlReader->setObjectName(QStringLiteral("pnlReader"));
    TfraReader::Services services = host_.PaneServices();
    reader_ = new TfraReader(std::move(services), pnlReader);
    // F1 in the text of a reader window is help on reader windows, not on the preview.
    SetHelpSection(*reader_, "readerwindow");
    tsParts = new QTabBar;
    tsParts->setObjectName(QStringLiteral("tsParts"));
    tsParts->setShape(QTabBar::RoundedSouth);
    auto* readerLayout = new QVBoxLayout(pnlReader);
    readerLayout->setContentsMargins(0, 0, 0, 0);
    readerLayout->setSpacing(0);
    readerLayout->addWidget(reader_, 1);
    readerLayout->addWidget(tsParts);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlHeaders);
    layout->addWidget(pnlReader, 1);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("sbStatus"));

    headers_ = new TReaderHeaders(
        {tsParts, tbAttachments, txtFrom, txtTo, txtCC, txtRecipient, lblSourceField}, *reader_,
        this);
    headers_->mnuSource->setObjectName(QStringLiteral("mnuSource"));
    headers_->OnOpenURL = [this](const std::string& url) { host_.OpenURL(url); };
    reader_->OnMessageShown = [this](TfraReader&) { ReaderMessageShown(); };
    reader_->OnOpenURL = [this](TfraReader&, const std::string& url) { host_.OpenURL(url); };
    reader_->OnMailTo = [this](TfraReader&, const std::string& address) {
        host_.WriteMailTo(address, *this);
    };
    headers_->OnAttachment = [this](TAttachmentCommand command, int partIndex) {
        if (const TQBMessage* message = reader_->Message()) {
            host_.AttachmentCommand(command, *message, partIndex, *this);
        }
    };
}

void TfrmExtReader::WriteMail(TMailCommand command) {
    host_.WriteMail(command, command == TMailCommand::Compose ? nullptr : ShownItem(), reader_,
                    *this);
}

void TfrmExtReader::ApplySettings() {
    reader_->ApplySettings();
}

void TfrmExtReader::ShowItem(TMailItem& item) {
    reader_->ShowItem(item);
}

void TfrmExtReader::ReaderMessageShown() {
    headers_->Fill();
    TMailItem* item = reader_->Item();
    if (item == nullptr) {
        return;
    }
    const QString subject = QString::fromStdString(item->CachedData.Subject);
    TReaderHeaders::SetFieldText(txtSubject, subject);
    TReaderHeaders::SetFieldText(txtDate, QString::fromStdString(item->CachedData.DateStr));
    setWindowTitle(subject.isEmpty() ? NoSubject() : subject);
    for (const TCommandId id :
         {TCommandId::DeleteShown, TCommandId::Reply, TCommandId::ReplyAll, TCommandId::Forward}) {
        commands_[id].setEnabled(true);
    }
    host_.MarkMessageRead(*item);
}

int TfrmExtReader::IndexOfItem(const std::vector<TMailItem*>& list, const TMailItem* item) {
    for (size_t i = list.size(); i-- > 0;) {
        if (list[i] == item) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TfrmExtReader::ShowAt(const std::vector<TMailItem*>& items, int index) {
    ShowItem(*items[static_cast<size_t>(index)]);
}

void TfrmExtReader::actFirstExecute() {
    const std::vector<TMailItem*> items = host_.ListItems();
    if (!items.empty() && items.front() != ShownItem()) {
        ShowAt(items, 0);
    }
}

void TfrmExtReader::actLastExecute() {
    const std::vector<TMailItem*> items = host_.ListItems();
    if (!items.empty() && items.back() != ShownItem()) {
        ShowAt(items, static_cast<int>(items.size()) - 1);
    }
}

void TfrmExtReader::actPreviousExecute() {
    const std::vector<TMailItem*> items = host_.ListItems();
    if (items.empty()) {
        return;
    }
    const int i = IndexOfItem(items, ShownItem());
    if (i < 0) {
        return;  // the shown message is not in the main list
    }
    if (i == 0) {
        host_.Beep();
        ShowAt(items, static_cast<int>(items.size()) - 1);
    } else {
        ShowAt(items, i - 1);
    }
}

void TfrmExtReader::actNextExecute() {
    const std::vector<TMailItem*> items = host_.ListItems();
    if (items.empty()) {
        return;
    }
    const int i = IndexOfItem(items, ShownItem());
    if (i < 0) {
        return;
    }
    if (i + 1 < static_cast<int>(items.size())) {
        ShowAt(items, i + 1);
    } else {
        host_.Beep();
        ShowAt(items, 0);
    }
}

void TfrmExtReader::actDeleteExecute() {
    TMailItem* item = ShownItem();
    if (item == nullptr || !host_.ConfirmDelete(*this)) {
        return;
    }
    const QPointer<TfrmExtReader> self(this);
    host_.DeleteMessage(*item);
    // A message removed at once has closed this window; one still on the server closes it
    // when its delete task reports it.
    if (self && isVisible()) {
        show();
        raise();
    }
    host_.StartQueuedTasks();
}

void TfrmExtReader::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        host_.ReaderClosed(*this);
    }
}

}  // namespace quobel
