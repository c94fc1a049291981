#include "ui/reader/frm_ext_reader.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/options.h"
#include "store/mail_item.h"
#include "ui/common/command_action.h"
#include "ui/common/icons.h"
#include "ui/reader/reader_headers.h"

namespace quobel {
namespace {

constexpr int kHeadersHeight = 75;
const QString kNoSubject = QStringLiteral("(No subject)");

QKeySequence Key(QKeyCombination combination) {
    return QKeySequence(combination);
}

}  // namespace

TfrmExtReader::TfrmExtReader(TReaderWindowHost& host, QWidget* parent)
    : QMainWindow(parent), host_(host), placed_(*this), orvaneFormSize(placed_, "Reader") {
    setObjectName(QStringLiteral("frmExtReader"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kNoSubject);
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

QAction* TfrmExtReader::MakeAction(const char* name, const QString& caption, const QString& hint,
                                   const QKeySequence& shortcut) {
    return MakeCommand(*this, name, caption, hint, shortcut);
}

void TfrmExtReader::CreateActions() {
    actDelete = MakeAction("actDelete", QStringLiteral("&Delete"),
                           QStringLiteral("Delete|Delete this message"), Key(Qt::Key_Delete));
    actDelete->setIcon(TIcons::Tool(QStringLiteral("delete")));
    actDelete->setEnabled(false);
    actFirst = MakeAction("actFirst", QStringLiteral("&First message"),
                          QStringLiteral("First message|Open the first message in the list"),
                          Key(Qt::CTRL | Qt::ALT | Qt::Key_Left));
    actPrevious =
        MakeAction("actPrevious", QStringLiteral("&Previous message"),
                   QStringLiteral("Previous message|Open the previous message in the list"),
                   Key(Qt::ALT | Qt::Key_Left));
    actNext = MakeAction("actNext", QStringLiteral("&Next message"),
                         QStringLiteral("Next message|Open the next message in the list"),
                         Key(Qt::ALT | Qt::Key_Right));
    actLast = MakeAction("actLast", QStringLiteral("&Last message"),
                         QStringLiteral("Last message|Open the last message in the list"),
                         Key(Qt::CTRL | Qt::ALT | Qt::Key_Right));
    actClose = MakeAction("actClose", QStringLiteral("&Close"),
                          QStringLiteral("Close|Close this window"), Key(Qt::Key_Escape));
    actClose->setIcon(TIcons::Tool(QStringLiteral("close")));
    QStyle* style = this->style();
    actFirst->setIcon(style->standardIcon(QStyle::SP_MediaSkipBackward));
    actPrevious->setIcon(style->standardIcon(QStyle::SP_ArrowBack));
    actNext->setIcon(style->standardIcon(QStyle::SP_ArrowForward));
    actLast->setIcon(style->standardIcon(QStyle::SP_MediaSkipForward));

    // Present in menus and tool bar, without function in this program.
    actCompose =
        MakeAction("actCompose", QStringLiteral("&Compose"),
                   QStringLiteral("Compose|Write a new message"), Key(Qt::CTRL | Qt::Key_N));
    actReply = MakeAction("actReply", QStringLiteral("&Reply"),
                          QStringLiteral("Reply|Reply to the sender"), Key(Qt::CTRL | Qt::Key_R));
    actReplyAll = MakeAction("actReplyAll", QStringLiteral("Reply to &all"),
                             QStringLiteral("Reply to all|Reply to the sender and all recipients"),
                             Key(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    actForward =
        MakeAction("actForward", QStringLiteral("&Forward"),
                   QStringLiteral("Forward|Forward the message"), Key(Qt::CTRL | Qt::Key_F));
    actRedirect =
        MakeAction("actRedirect", QStringLiteral("&Redirect"),
                   QStringLiteral("Redirect|Redirect the message"), Key(Qt::CTRL | Qt::Key_D));
    actAntispam = MakeAction("actAntispam", QStringLiteral("&Anti-spam"),
                             QStringLiteral("Anti-spam|Mark the message as spam"));
    const std::pair<QAction*, const char*> icons[] = {
        {actCompose, "compose"}, {actReply, "reply"},       {actReplyAll, "reply_all"},
        {actForward, "forward"}, {actRedirect, "redirect"}, {actAntispam, "antispam"},
    };
    for (const auto& [action, icon] : icons) {
        action->setIcon(TIcons::Tool(QString::fromLatin1(icon)));
    }

    connect(actDelete, &QAction::triggered, this, &TfrmExtReader::actDeleteExecute);
    connect(actFirst, &QAction::triggered, this, &TfrmExtReader::actFirstExecute);
    connect(actPrevious, &QAction::triggered, this, &TfrmExtReader::actPreviousExecute);
    connect(actNext, &QAction::triggered, this, &TfrmExtReader::actNextExecute);
    connect(actLast, &QAction::triggered, this, &TfrmExtReader::actLastExecute);
    connect(actClose, &QAction::triggered, this, &QWidget::close);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(actCompose);
    file->addSeparator();
    file->addAction(actClose);
    QMenu* message = menuBar()->addMenu(QStringLiteral("&Message"));
    message->addActions({actReply, actReplyAll, actForward, actRedirect});
    message->addSeparator();
    message->addActions({actDelete, actAntispam});
    message->addSeparator();
    message->addActions({actFirst, actPrevious, actNext, actLast});

    tbMain = addToolBar(QStringLiteral("Toolbar"));
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setMovable(false);
    tbMain->addAction(actCompose);
    tbMain->addSeparator();
    tbMain->addActions({actReply, actReplyAll, actForward, actRedirect});
    tbMain->addSeparator();
    tbMain->addAction(actDelete);
    tbMain->addSeparator();
    tbMain->addAction(actAntispam);
    tbMain->addSeparator();
    tbMain->addActions({actFirst, actPrevious, actNext, actLast});
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
    txtFrom = field("txtFrom", QStringLiteral("From:"), 0, 0);
    txtTo = field("txtTo", QStringLiteral("To:"), 1, 0);
    txtCC = field("txtCC", QStringLiteral("CC:"), 2, 0);
    txtSubject = field("txtSubject", QStringLiteral("Subject:"), 3, 0);
    txtRecipient = field("txtRecipient", QStringLiteral("Recipient:"), 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("Source IP:")), 1, 2);
    lblSourceField = new QLabel;
    lblSourceField->setObjectName(QStringLiteral("lblSourceField"));
    fields->addWidget(lblSourceField, 1, 3);
    txtDate = field("txtDate", QStringLiteral("Date:"), 2, 2);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    tbAttachments = new QToolButton;
    tbAttachments->setObjectName(QStringLiteral("tbAttachments"));
    tbAttachments->setIcon(TIcons::Mail()[2]);
    tbAttachments->setToolTip(QStringLiteral("Attachments"));
    tbAttachments->setVisible(false);
    fields->addWidget(tbAttachments, 0, 4, 4, 1, Qt::AlignTop);

    pnlReader = new QWidget;
    pnlReader->setObjectName(QStringLiteral("pnlReader"));
    TfraReader::Services services = host_.PaneServices();
    Reader = new TfraReader(std::move(services), pnlReader);
    tsParts = new QTabBar;
    tsParts->setObjectName(QStringLiteral("tsParts"));
    tsParts->setShape(QTabBar::RoundedSouth);
    auto* readerLayout = new QVBoxLayout(pnlReader);
    readerLayout->setContentsMargins(0, 0, 0, 0);
    readerLayout->setSpacing(0);
    readerLayout->addWidget(Reader, 1);
    readerLayout->addWidget(tsParts);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlHeaders);
    layout->addWidget(pnlReader, 1);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("sbStatus"));

    Headers = new TReaderHeaders(
        {tsParts, tbAttachments, txtFrom, txtTo, txtCC, txtRecipient, lblSourceField}, *Reader,
        this);
    Headers->mnuSource->setObjectName(QStringLiteral("mnuSource"));
    Headers->OnOpenURL = [this](const std::string& url) { host_.OpenURL(url); };
    Reader->OnMessageShown = [this](TfraReader&) { ReaderMessageShown(); };
    Reader->OnOpenURL = [this](TfraReader&, const std::string& url) { host_.OpenURL(url); };
    // Composing mail from a "mailto:" link is not part of this program.
    Reader->OnMailTo = nullptr;
}

void TfrmExtReader::ShowItem(TMailItem& item) {
    Reader->ShowItem(item);
}

void TfrmExtReader::ReaderMessageShown() {
    Headers->Fill();
    TMailItem* item = Reader->Item();
    if (item == nullptr) {
        return;
    }
    const QString subject = QString::fromStdString(item->CachedData.Subject);
    TReaderHeaders::SetFieldText(txtSubject, subject);
    TReaderHeaders::SetFieldText(txtDate, QString::fromStdString(item->CachedData.DateStr));
    setWindowTitle(subject.isEmpty() ? kNoSubject : subject);
    actDelete->setEnabled(true);
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
