#include "ui/mainwindow/frm_msg_list.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "core/file_util.h"
#include "core/ini_file.h"
#include "cycle/startup_load.h"
#include "platform/url_opener.h"
#include "store/mail_box.h"
#include "ui/app/quobel_context.h"
#include "ui/common/command_action.h"
#include "ui/common/icons.h"
#include "ui/mainwindow/list_header.h"
#include "ui/mainwindow/status_panel.h"
#include "ui/tasks/frm_tasks.h"

namespace quobel {
namespace {

constexpr int kPreviewDelayMs = 500;
constexpr int kLeftPaneWidth = 185;
constexpr int kHeadersHeight = 57;

}  // namespace

TfrmMsgList::TfrmMsgList(TQuobelContext& context, TfrmTasks& tasks, UrlOpener& urlOpener,
                         QWidget* parent)
    : QMainWindow(parent),
      context_(context),
      tasks_(tasks),
      urlOpener_(urlOpener),
      placed_(*this),
      orvaneFormSize(placed_, "MsgList") {
    setObjectName(QStringLiteral("frmMsgList"));
    setWindowTitle(QStringLiteral("Quobel"));
    setWindowIcon(TIcons::Application());
    TrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };

    tmrCheck = new QTimer(this);
    tmrBox = new QTimer(this);
    tmrBox->setSingleShot(true);
    tmrBox->setInterval(kPreviewDelayMs);
    tmrMessage = new QTimer(this);
    tmrMessage->setSingleShot(true);
    tmrMessage->setInterval(kPreviewDelayMs);
    connect(tmrBox, &QTimer::timeout, this, &TfrmMsgList::tmrBoxTimer);
    connect(tmrMessage, &QTimer::timeout, this, &TfrmMsgList::tmrMessageTimer);

    messages_.SetSource(&mailRows_);
    folders_.SetSource(&boxRows_);
    CreateActions();
    CreateWidgets();
    CreateMenus();
    CreateTray();
    resize(900, 600);

    // The placement component lends itself the settings file for the duration of one access.
    orvaneFormSize.OnOpen = [this](TOrvaneFormSize&, TIniFile*& ini) {
        context_.Options.Open();
        ini = &context_.Options.Ini();
    };
    orvaneFormSize.OnClose = [this](TOrvaneFormSize&, TIniFile*& ini) {
        ini = nullptr;
        context_.Options.Close();
    };
    orvaneFormSize.Loaded();
}

TfrmMsgList::~TfrmMsgList() {
    FormDestroy();
    try {
        orvaneFormSize.Destroying();
    } catch (const std::exception&) {
        // A settings file that cannot be written loses the placement only.
    }
    // The models are members and go before the views, which the base class deletes later.
    tvMailBox->setModel(nullptr);
    tvBoxList->setModel(nullptr);
}

QAction* TfrmMsgList::MakeAction(const char* name, const QString& caption, const QString& hint,
                                 const QKeySequence& shortcut, const QString& icon) {
    return MakeCommand(*this, name, caption, hint, shortcut, icon);
}

void TfrmMsgList::CreateActions() {
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    actSynchronize =
        MakeAction("actSynchronize", "&Check mail", "Send and receive|Check for new email",
                   key(Qt::CTRL | Qt::Key_M), "check_mail");
    actDelete =
        MakeAction("actDelete", "&Delete", "Delete|Delete the selected messages", {}, "delete");
    actOpen = MakeAction("actOpen", "&Open", "Open|Open the selected message");
    actMarkRead =
        MakeAction("actMarkRead", "Mark as &Read",
                   "Mark as read|Mark the selected messages as read", key(Qt::CTRL | Qt::Key_B));
    actMarkUnread = MakeAction("actMarkUnread", "Mark as &Unread",
                               "Mark as unread|Mark the selected messages as unread",
                               key(Qt::CTRL | Qt::Key_U));
    actSelectAll = MakeAction("actSelectAll", "Select &all", "Select all|Select all messages",
                              key(Qt::CTRL | Qt::Key_A));
    actSelectNone = MakeAction("actSelectNone", "Select &none", "Select none|Deselect all messages",
                               key(Qt::CTRL | Qt::Key_Z));
    actSelectSpam =
        MakeAction("actSelectSpam", "Select &spam",
                   "Select spam|Select all messages marked as spam", key(Qt::CTRL | Qt::Key_X));
    actPrevious = MakeAction("actPrevious", "&Previous", "Previous|Go to the previous message",
                             key(Qt::ALT | Qt::Key_Left));
    actNext =
        MakeAction("actNext", "&Next", "Next|Go to the next message", key(Qt::ALT | Qt::Key_Right));
    actPreview = MakeAction("actPreview", "Message &preview",
                            "Message preview|Show or hide the message preview");
    actPreview->setCheckable(true);
    actContacts =
        MakeAction("actContacts", "&Contacts list", "Contacts list|Show or hide the contacts list");
    actContacts->setCheckable(true);
    actBar = MakeAction("actBar", "Quobel &Bar", "Quobel Bar|Show the Quobel Bar");
    actBar->setCheckable(true);
    actOptions =
        MakeAction("actOptions", "&Options...", "Options|Change the Quobel options", {}, "options");
    actHide = MakeAction("actHide", "&Hide", "Hide|Hide Quobel to the system tray",
                         key(Qt::CTRL | Qt::Key_F4), "hide");
    actClose =
        MakeAction("actClose", "&Close", "Close|Close Quobel", key(Qt::ALT | Qt::Key_F4), "close");
    actShowTasks = MakeAction("actShowTasks", "&Show tasks", "Show tasks|Show the running tasks");
    actBoxList = MakeAction("actBoxList", "Refresh mailbox list",
                            "Refresh mailbox list|Refresh the list of mailboxes");
    actBoxMessages = MakeAction("actBoxMessages", "List messages in box",
                                "List messages|List the messages in the selected mailbox");
    actHelpContents = MakeAction("actHelpContents", "&Contents",
                                 "Contents|Show the contents of the help", {}, "help");

    actCompose = MakeAction("actCompose", "&Compose", "Compose|Write a new message",
                            key(Qt::CTRL | Qt::Key_N), "compose");
    actReply = MakeAction("actReply", "&Reply", "Reply|Reply to the sender",
                          key(Qt::CTRL | Qt::Key_R), "reply");
    actReplyAll = MakeAction("actReplyAll", "Reply to &all",
                             "Reply to all|Reply to the sender and all recipients",
                             key(Qt::CTRL | Qt::SHIFT | Qt::Key_R), "reply_all");
    actForward = MakeAction("actForward", "&Forward", "Forward|Forward the message",
                            key(Qt::CTRL | Qt::Key_F), "forward");
    actRedirect = MakeAction("actRedirect", "&Redirect", "Redirect|Redirect the message",
                             key(Qt::CTRL | Qt::Key_D), "redirect");
    actAntiSpam = MakeAction("actAntiSpam", "&Anti-spam", "Anti-spam|Mark the message as spam",
                             key(Qt::CTRL | Qt::Key_K), "antispam");
    actAddressBook =
        MakeAction("actAddressBook", "&Address book", "Address book|Open the address book",
                   key(Qt::CTRL | Qt::SHIFT | Qt::Key_B), "address_book");
    actSenderAddress = MakeAction("actSenderAddress", "Add sender to address book",
                                  "Add sender|Add the sender to the address book");
    actSenderAllow = MakeAction("actSenderAllow", "Add sender to allow list",
                                "Allow sender|Add the sender to the allow list");
    actContactsList =
        MakeAction("actContactsList", "List contacts", "List contacts|List the contacts");

    actDelete->setEnabled(false);
    actMarkRead->setEnabled(false);
    actMarkUnread->setEnabled(false);

    connect(actPreview, &QAction::triggered, this, &TfrmMsgList::actPreviewExecute);
    connect(actContacts, &QAction::triggered, this, &TfrmMsgList::actContactsExecute);
    connect(actHide, &QAction::triggered, this, &TfrmMsgList::actHideExecute);
    connect(actClose, &QAction::triggered, this, &QWidget::close);
    connect(actNext, &QAction::triggered, this, &TfrmMsgList::actNextExecute);
    connect(actPrevious, &QAction::triggered, this, &TfrmMsgList::actPreviousExecute);
    connect(actSelectAll, &QAction::triggered, this, &TfrmMsgList::actSelectAllExecute);
    connect(actBoxList, &QAction::triggered, this, &TfrmMsgList::actBoxListExecute);
    connect(actBoxMessages, &QAction::triggered, this, &TfrmMsgList::actBoxMessagesExecute);
    connect(actShowTasks, &QAction::triggered, this, [this] {
        tasks_.ShowTasksPage();
        tasks_.ShowOver(this);
    });
    connect(actHelpContents, &QAction::triggered, this,
            [this] { urlOpener_.OpenUrl(helpFile_.toStdString()); });
}

void TfrmMsgList::CreateMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(actCompose);
    file->addSeparator();
    file->addActions({actHide, actClose});

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->addActions({actPreview, actContacts, actBar});
    view->addSeparator();
    view->addActions({actSelectAll, actSelectNone, actSelectSpam});

    const auto messageEntries = [this](QMenu* menu) {
        menu->addAction(actOpen);
        menu->addSeparator();
        menu->addActions({actReply, actReplyAll, actForward, actRedirect});
        menu->addSeparator();
        menu->addActions({actDelete, actAntiSpam});
        menu->addSeparator();
        menu->addActions({actMarkRead, actMarkUnread});
        menu->addSeparator();
    };
    QMenu* message = bar->addMenu(QStringLiteral("&Message"));
    messageEntries(message);
    message->addActions({actSenderAllow, actSenderAddress});

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->addAction(actAddressBook);
    tools->addSeparator();
    tools->addAction(actOptions);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(actHelpContents);

    mnuList = new QMenu(this);
    mnuList->setObjectName(QStringLiteral("mnuList"));
    messageEntries(mnuList);
    mnuList->addActions({actSelectAll, actSelectNone, actSelectSpam});
    mnuList->addSeparator();
    mnuList->addActions({actSenderAllow, actSenderAddress});
    mnuList->setDefaultAction(actOpen);

    tbMain = addToolBar(QStringLiteral("Main"));
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setMovable(false);
    tbMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbMain->addAction(actCompose);
    tbMain->addSeparator();
    tbMain->addActions({actReply, actReplyAll, actForward, actRedirect});
    tbMain->addSeparator();
    tbMain->addAction(actDelete);
    tbMain->addSeparator();
    tbMain->addAction(actAntiSpam);
    tbMain->addSeparator();
    mnuAccounts = new QMenu(this);
    mnuAccounts->setObjectName(QStringLiteral("mnuAccounts"));
    auto* check = new QToolButton(tbMain);
    check->setDefaultAction(actSynchronize);
    check->setMenu(mnuAccounts);
    check->setPopupMode(QToolButton::MenuButtonPopup);
    check->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbMain->addWidget(check);
    tbMain->addSeparator();
    tbMain->addAction(actAddressBook);
    tbMain->addSeparator();
    tbMain->addAction(actOptions);
}

void TfrmMsgList::CreateWidgets() {
    // Header strip: folder icon and name.
    pnlHeader = new QWidget;
    pnlHeader->setObjectName(QStringLiteral("pnlHeader"));
    pnlHeader->setFixedHeight(23);
    pnlHeader->setAutoFillBackground(true);
    QPalette strip = pnlHeader->palette();
    strip.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    strip.setColor(QPalette::WindowText, Qt::white);
    pnlHeader->setPalette(strip);
    imgBoxIcon = new QLabel;
    imgBoxIcon->setObjectName(QStringLiteral("imgBoxIcon"));
    imgBoxIcon->setPixmap(TIcons::MailBoxes()[0].pixmap(16, 16));
    lblBoxName = new QLabel;
    lblBoxName->setObjectName(QStringLiteral("lblBoxName"));
    QFont boxFont(QStringLiteral("Tahoma"));
    boxFont.setPixelSize(16);
    boxFont.setBold(true);
    lblBoxName->setFont(boxFont);
    auto* headerRow = new QHBoxLayout(pnlHeader);
    headerRow->setContentsMargins(4, 0, 4, 0);
    headerRow->addWidget(imgBoxIcon);
    headerRow->addWidget(lblBoxName, 1);

    // Left pane: folder tree above the contacts list.
    tvBoxList = new QTreeView;
    tvBoxList->setObjectName(QStringLiteral("tvBoxList"));
    tvBoxList->setModel(&folders_);
    tvBoxList->setRootIsDecorated(false);
    tvBoxList->setItemDelegate(new TFolderDelegate(tvBoxList));
    tvBoxList->setContextMenuPolicy(Qt::PreventContextMenu);
    tvContacts = new QTreeWidget;
    tvContacts->setObjectName(QStringLiteral("tvContacts"));
    tvContacts->setHeaderLabels({QStringLiteral("Contacts")});
    tvContacts->setRootIsDecorated(false);
    spltLeft = new QSplitter(Qt::Vertical);
    spltLeft->setObjectName(QStringLiteral("spltLeft"));
    spltLeft->addWidget(tvBoxList);
    spltLeft->addWidget(tvContacts);
    spltLeft->setStretchFactor(0, 1);
    spltLeft->setStretchFactor(1, 0);
    spltLeft->setChildrenCollapsible(false);

    // Right pane: the message list above the reader panel.
    tvMailBox = new QTreeView;
    tvMailBox->setObjectName(QStringLiteral("tvMailBox"));
    tvMailBox->setModel(&messages_);
    tvMailBox->setRootIsDecorated(false);
    tvMailBox->setUniformRowHeights(true);
    tvMailBox->setAllColumnsShowFocus(true);
    tvMailBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvMailBox->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvMailBox->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* header = tvMailBox->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setMinimumSectionSize(16);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    layout_ = MessageListDesignLayout();
    ApplyColumns(layout_, *header);
    messages_.SetSort(layout_.SortColumn, layout_.SortDirection);
    UpdateSortIndicator();
    UpdateEnvelopeColumn();

    pnlReader = new QWidget;
    pnlReader->setObjectName(QStringLiteral("pnlReader"));
    pnlHeaders = new QWidget;
    pnlHeaders->setObjectName(QStringLiteral("pnlHeaders"));
    pnlHeaders->setFixedHeight(kHeadersHeight);
    auto* fields = new QGridLayout(pnlHeaders);
    fields->setContentsMargins(4, 2, 4, 2);
    fields->setVerticalSpacing(0);
    const auto field = [&](const QString& caption, int row, int column) {
        fields->addWidget(new QLabel(caption), row, column);
        auto* value = new QLabel;
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fields->addWidget(value, row, column + 1);
        return value;
    };
    lblFrom = field(QStringLiteral("From:"), 0, 0);
    lblTo = field(QStringLiteral("To:"), 1, 0);
    lblCC = field(QStringLiteral("CC:"), 2, 0);
    lblRecipient = field(QStringLiteral("Recipient:"), 0, 2);
    lblSourceIP = field(QStringLiteral("Source IP:"), 1, 2);
    lblSourceIP->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    cmdAttachments = new QPushButton(TIcons::Mail()[2], QString());
    cmdAttachments->setObjectName(QStringLiteral("cmdAttachments"));
    cmdAttachments->setVisible(false);
    fields->addWidget(cmdAttachments, 0, 4, 3, 1, Qt::AlignTop);
    pnlReaderHost = new QWidget;
    pnlReaderHost->setObjectName(QStringLiteral("pnlReaderHost"));
    auto* hostLayout = new QVBoxLayout(pnlReaderHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    tsParts = new QTabBar;
    tsParts->setObjectName(QStringLiteral("tsParts"));
    tsParts->setShape(QTabBar::RoundedSouth);
    pnlProgress = new QWidget;
    pnlProgress->setObjectName(QStringLiteral("pnlProgress"));
    pbDecode = new QProgressBar;
    pbDecode->setObjectName(QStringLiteral("pbDecode"));
    pbDecode->setTextVisible(false);
    pbDecode->setFixedWidth(150);
    auto* progressLayout = new QHBoxLayout(pnlProgress);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(pbDecode);
    pnlProgress->setVisible(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(tsParts, 1);
    bottom->addWidget(pnlProgress);
    auto* readerLayout = new QVBoxLayout(pnlReader);
    readerLayout->setContentsMargins(0, 0, 0, 0);
    readerLayout->setSpacing(0);
    readerLayout->addWidget(pnlHeaders);
    readerLayout->addWidget(pnlReaderHost, 1);
    readerLayout->addLayout(bottom);

    spltReader = new QSplitter(Qt::Vertical);
    spltReader->setObjectName(QStringLiteral("spltReader"));
    spltReader->addWidget(tvMailBox);
    spltReader->addWidget(pnlReader);
    spltReader->setStretchFactor(0, 1);
    spltReader->setStretchFactor(1, 0);
    spltReader->setChildrenCollapsible(false);

    spltMain = new QSplitter(Qt::Horizontal);
    spltMain->setObjectName(QStringLiteral("spltMain"));
    spltMain->addWidget(spltLeft);
    spltMain->addWidget(spltReader);
    spltMain->setStretchFactor(0, 0);
    spltMain->setStretchFactor(1, 1);
    spltMain->setSizes({kLeftPaneWidth, 560});

    auto* central = new QWidget;
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(pnlHeader);
    centralLayout->addWidget(spltMain, 1);
    setCentralWidget(central);

    sbHint = new QLabel;
    sbHint->setObjectName(QStringLiteral("sbHint"));
    sbHint->setFixedWidth(250);
    sbStatus = new TStatusPanel;
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    statusBar()->addWidget(sbHint);
    statusBar()->addWidget(sbStatus, 1);
    connect(sbStatus, &TStatusPanel::Pressed, this, [this] {
        if (OnStatusClick) {
            OnStatusClick();
        }
    });

    connect(tvBoxList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmMsgList::FolderFocusChanged);
    connect(tvMailBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmMsgList::MessageFocusChanged);
    connect(tvMailBox, &QTreeView::doubleClicked, actOpen, &QAction::trigger);
    connect(tvMailBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { mnuList->popup(tvMailBox->viewport()->mapToGlobal(at)); });
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { HeaderClick(column, TMouseButton::Left); });
    connect(header, &QWidget::customContextMenuRequested, this, &TfrmMsgList::HeaderMenu);
    connect(header, &QHeaderView::sectionMoved, this, &TfrmMsgList::UpdateEnvelopeColumn);
    connect(spltReader, &QSplitter::splitterMoved, this, [this] {
        if (!pnlReader->isHidden()) {
            readerHeight_ = spltReader->sizes().value(1);
        }
    });
    connect(spltLeft, &QSplitter::splitterMoved, this, [this] {
        if (!tvContacts->isHidden()) {
            contactsHeight_ = spltLeft->sizes().value(1);
        }
    });
    tvBoxList->viewport()->installEventFilter(this);
    tvMailBox->viewport()->installEventFilter(this);
    tvMailBox->installEventFilter(this);
}

void TfrmMsgList::CreateTray() {
    mnuTray = new QMenu(this);
    mnuTray->setObjectName(QStringLiteral("mnuTray"));
    mnuTrayOpen = mnuTray->addAction(QStringLiteral("&Open"));
    mnuTrayOpen->setObjectName(QStringLiteral("mnuTrayOpen"));
    mnuTray->setDefaultAction(mnuTrayOpen);
    mnuTray->addSeparator();
    mnuTray->addActions({actSynchronize, actOptions});
    mnuTray->addSeparator();
    mnuTray->addAction(actClose);
    connect(mnuTrayOpen, &QAction::triggered, this, &TfrmMsgList::mnuTrayOpenClick);

    trayIcon_ = new QSystemTrayIcon(TIcons::Application(), this);
    trayIcon_->setToolTip(QStringLiteral("Quobel 2"));
    trayIcon_->setContextMenu(mnuTray);
    connect(trayIcon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    mnuTrayOpen->trigger();
                }
            });
}

// --- creation and destruction ------------------------------------------------------------------

void TfrmMsgList::FormCreate() {
    helpFile_ = QString::fromStdString(JoinPath(context_.App.ProgramFolder(), "Quobel.html"));
    heightSplit_.LastHeight = -1;
    while (tsParts->count() > 0) {
        tsParts->removeTab(0);
    }

    std::vector<TAccountLoadFault> faults;
    if (startupLoad_ != nullptr) {
        TStartupLoad& load = *std::exchange(startupLoad_, nullptr);
        faults = load.Take();
    } else {
        const std::string accounts = JoinPath(context_.App.DataFolder(), "accounts");
        if (!FolderExists(accounts)) {
            ForceFolders(accounts);
        }
        faults = context_.Accounts.LoadFromFolder(accounts);
        context_.MailBoxes.OpenStore(JoinPath(context_.App.DataFolder(), "mailbox"));
    }
    if (!faults.empty()) {
        // The accounts are loaded; their owner is told which passwords have to be typed again.
        QString text;
        for (const TAccountLoadFault& fault : faults) {
            text += QString::fromStdString(fault.FileName + ": " + fault.Message) + '\n';
        }
        QTimer::singleShot(
            0, this, [text] { QMessageBox::warning(nullptr, QStringLiteral("Error"), text); });
    }

    bool preview = true;
    bool contacts = true;
    {
        OptionsScope scope(context_.Options);
        preview = scope.Ini().ReadBool("View", "Preview", true);
        contacts = scope.Ini().ReadBool("View", "Contacts", true);
        readerHeight_ = scope.Ini().ReadInteger("View", "ReaderHeight", readerHeight_);
        contactsHeight_ = scope.Ini().ReadInteger("View", "ContactsHeight", contactsHeight_);
    }
    ApplyHeights();
    actPreview->setChecked(!preview);
    actPreview->trigger();
    actContacts->setChecked(!contacts);
    actContacts->trigger();

    LoadLayout();

    ImmediateFocus = true;
    actBoxList->trigger();
    if (folders_.Count() > 0) {
        FocusFolder(folders_.KeyAt(0));
    }
}

void TfrmMsgList::AfterStartup() {
    if (tmrCheck->isActive()) {
        actSynchronize->trigger();
    }
}

void TfrmMsgList::FormDestroy() {
    // Each step runs even when an earlier one failed: losing the column layout must not lose
    // the accounts.
    const auto step = [](auto&& action) {
        try {
            action();
        } catch (const std::exception&) {
        }
    };
    step([this] {
        OptionsScope scope(context_.Options);
        TIniFile::Batch batch(scope.Ini());
        scope.Ini().WriteInteger("View", "ReaderHeight", readerHeight_);
        scope.Ini().WriteInteger("View", "ContactsHeight", contactsHeight_);
    });
    step([this] { SaveLayout(); });
    // The mail state (changed tables first, then the account files and the unread counters) is
    // saved by whoever drives the mail operations, in that order.
    step([this] {
        if (OnDestroying) {
            OnDestroying();
        }
    });
}

// --- folder tree ------------------------------------------------------------------------------

void TfrmMsgList::SetFolderRows(std::vector<TRowKey> keys) {
    folders_.SetRows(std::move(keys));
}

void TfrmMsgList::FocusFolder(TRowKey key) {
    const int row = folders_.RowOf(key);
    if (row >= 0) {
        tvBoxList->selectionModel()->setCurrentIndex(folders_.index(row),
                                                     QItemSelectionModel::ClearAndSelect);
    }
}

TRowKey TfrmMsgList::FocusedFolder() const {
    const QModelIndex current = tvBoxList->currentIndex();
    return current.isValid() ? folders_.KeyAt(current.row()) : nullptr;
}

void TfrmMsgList::RepaintFolderRow(TRowKey key) {
    folders_.RepaintRow(key);
}

void TfrmMsgList::SetBoxName(const QString& name) {
    lblBoxName->setText(name);
}

void TfrmMsgList::FolderFocusChanged() {
    if (ImmediateFocus) {
        tmrBoxTimer();
    } else {
        tmrBox->start();
    }
    ImmediateFocus = false;
}

void TfrmMsgList::tmrBoxTimer() {
    tmrBox->stop();
    const TRowKey folder = FocusedFolder();
    if (folder == nullptr) {
        return;
    }
    EnableMessageCommands(false);
    ClearHeaders();
    auto* box = &BoxOf(folder);
    if (box == CurrentBox) {
        return;
    }
    CurrentBox = box;
    actBoxMessages->trigger();
}

void TfrmMsgList::actBoxListExecute() {
    std::vector<TRowKey> keys;
    for (size_t i = 0; i < context_.MailBoxes.Count(); ++i) {
        keys.push_back(RowKeyOf(context_.MailBoxes.Items(i)));
    }
    SetFolderRows(std::move(keys));
}

void TfrmMsgList::actBoxMessagesExecute() {
    if (CurrentBox == nullptr) {
        return;
    }
    cmdAttachments->setVisible(false);
    if (OnClearReader) {
        OnClearReader();
    }
    SetBoxName(QString::fromStdString(CurrentBox->Name));
    CurrentBox->EnsureLoaded();
    std::vector<TRowKey> keys;
    keys.reserve(CurrentBox->Items.Count());
    for (size_t i = 0; i < CurrentBox->Items.Count(); ++i) {
        keys.push_back(RowKeyOf(CurrentBox->Items.KeyAt(i)));
    }
    FillMessageRows(keys);
}

// --- message list -----------------------------------------------------------------------------

void TfrmMsgList::FillMessageRows(const std::vector<TRowKey>& keys) {
    cmdAttachments->setVisible(false);
    messages_.BeginUpdate();
    messages_.Clear();
    for (const TRowKey key : keys) {
        messages_.AddRow(key);
    }
    messages_.EndUpdate();
    if (messages_.Count() > 0) {
        const bool descending = messages_.SortDirection() == TSortDirection::Descending;
        FocusRow(messages_.KeyAt(descending ? 0 : messages_.Count() - 1));
    }
}

void TfrmMsgList::AddMessageRow(TRowKey key) {
    messages_.AddRow(key);
}

void TfrmMsgList::RemoveMessageRow(TRowKey key) {
    messages_.RemoveRow(key);
}

TRowKey TfrmMsgList::FocusedRow() const {
    const QModelIndex current = tvMailBox->currentIndex();
    return current.isValid() ? messages_.KeyAt(current.row()) : nullptr;
}

void TfrmMsgList::FocusRow(TRowKey key) {
    const int row = messages_.RowOf(key);
    if (row < 0) {
        return;
    }
    tvMailBox->selectionModel()->setCurrentIndex(
        messages_.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tvMailBox->scrollTo(messages_.index(row, 0));
}

void TfrmMsgList::FocusNeighbour() {
    const QModelIndex current = tvMailBox->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const QItemSelectionModel* selection = tvMailBox->selectionModel();
    const auto unselected = [&](int row) { return !selection->isRowSelected(row, {}); };
    const int count = messages_.Count();
    const auto walk = [&](int step) {
        for (int row = current.row() + step; row >= 0 && row < count; row += step) {
            if (unselected(row)) {
                return row;
            }
        }
        return -1;
    };
    const bool descending = messages_.SortDirection() == TSortDirection::Descending;
    int found = walk(descending ? 1 : -1);
    if (found < 0) {
        found = walk(descending ? -1 : 1);
    }
    if (found >= 0) {
        FocusRow(messages_.KeyAt(found));
    }
}

std::vector<TRowKey> TfrmMsgList::SelectedRows() const {
    std::vector<TRowKey> rows;
    const QItemSelectionModel* selection = tvMailBox->selectionModel();
    for (int row = messages_.Count() - 1; row >= 0; --row) {
        if (selection->isRowSelected(row, {})) {
            rows.push_back(messages_.KeyAt(row));
        }
    }
    return rows;
}

void TfrmMsgList::ScrollToRow(TRowKey key) {
    const int row = messages_.RowOf(key);
    if (row >= 0) {
        tvMailBox->scrollTo(messages_.index(row, 0));
    }
}

void TfrmMsgList::RepaintLists() {
    folders_.RepaintAll();
    messages_.RepaintAll();
}

void TfrmMsgList::MessageFocusChanged() {
    EnableMessageCommands(true);
    if (!actPreview->isChecked() || !actPreview->isEnabled()) {
        return;  // ImmediateFocus stays for the next focus change
    }
    if (!tvMailBox->currentIndex().isValid()) {
        ClearHeaders();
    } else if (!(QGuiApplication::keyboardModifiers() &
                 (Qt::ControlModifier | Qt::ShiftModifier))) {
        if (ImmediateFocus) {
            tmrMessageTimer();
        } else {
            tmrMessage->start();
        }
    }
    ImmediateFocus = false;
}

void TfrmMsgList::tmrMessageTimer() {
    tmrMessage->stop();
    const TRowKey focused = FocusedRow();
    if (focused == nullptr) {
        if (OnClearReader) {
            OnClearReader();
        }
        return;
    }
    if (OnMessageFocused) {
        OnMessageFocused(focused);
    }
}

void TfrmMsgList::actNextExecute() {
    const QModelIndex current = tvMailBox->currentIndex();
    if (!current.isValid() || messages_.Count() == 0) {
        return;
    }
    const int next = current.row() + 1 < messages_.Count() ? current.row() + 1 : 0;
    ImmediateFocus = true;
    FocusRow(messages_.KeyAt(next));
}

void TfrmMsgList::actPreviousExecute() {
    const QModelIndex current = tvMailBox->currentIndex();
    if (!current.isValid() || messages_.Count() == 0) {
        return;
    }
    const int previous = current.row() > 0 ? current.row() - 1 : messages_.Count() - 1;
    ImmediateFocus = true;
    FocusRow(messages_.KeyAt(previous));
}

void TfrmMsgList::actSelectAllExecute() {
    tvMailBox->selectAll();
}

// --- columns and sorting ----------------------------------------------------------------------

void TfrmMsgList::HeaderClick(int column, TMouseButton button) {
    if (TVirtualTreeHelper::HeaderClick(layout_, column, button)) {
        messages_.SetSort(layout_.SortColumn, layout_.SortDirection);
        UpdateSortIndicator();
    }
}

void TfrmMsgList::UpdateSortIndicator() {
    tvMailBox->header()->setSortIndicator(layout_.SortColumn,
                                          layout_.SortDirection == TSortDirection::Descending
                                              ? Qt::DescendingOrder
                                              : Qt::AscendingOrder);
}

void TfrmMsgList::UpdateEnvelopeColumn() {
    messages_.SetEnvelopeColumn(FirstTextColumn(*tvMailBox->header()));
}

void TfrmMsgList::ShowColumn(int column, bool shown) {
    QHeaderView* header = tvMailBox->header();
    ReadColumns(*header, layout_);  // keeps the width of a column about to be hidden
    header->setSectionHidden(column, !shown);
    UpdateEnvelopeColumn();
}

void TfrmMsgList::HeaderMenu(const QPoint& at) {
    QHeaderView* header = tvMailBox->header();
    QMenu menu(this);
    const int shownCount = header->count() - header->hiddenSectionCount();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        QAction* entry = menu.addAction(
            messages_.headerData(column, Qt::Horizontal, Qt::DecorationRole).value<QIcon>(),
            messages_.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        entry->setCheckable(true);
        entry->setChecked(!header->isSectionHidden(column));
        entry->setEnabled(!(shownCount == 1 && entry->isChecked()));
        connect(entry, &QAction::toggled, this,
                [this, column](bool checked) { ShowColumn(column, checked); });
    }
    menu.exec(header->mapToGlobal(at));
}

const TListLayout& TfrmMsgList::Layout() {
    ReadColumns(*tvMailBox->header(), layout_);
    return layout_;
}

void TfrmMsgList::LoadLayout() {
    const std::string file = JoinPath(context_.App.DataFolder(), "listhdrs.dat");
    ReadColumns(*tvMailBox->header(), layout_);
    TVirtualTreeHelper::LoadLayout(layout_, file);
    ApplyColumns(layout_, *tvMailBox->header());
    messages_.SetSort(layout_.SortColumn, layout_.SortDirection);
    UpdateSortIndicator();
    UpdateEnvelopeColumn();
}

void TfrmMsgList::SaveLayout() {
    TVirtualTreeHelper::SaveLayout(Layout(), JoinPath(context_.App.DataFolder(), "listhdrs.dat"));
}

// --- reader panel -----------------------------------------------------------------------------

void TfrmMsgList::ClearHeaders() {
    for (QLabel* label : {lblFrom, lblTo, lblCC, lblRecipient, lblSourceIP}) {
        label->clear();
    }
    while (tsParts->count() > 0) {
        tsParts->removeTab(0);
    }
}

void TfrmMsgList::EnableMessageCommands(bool enabled) {
    for (QAction* action :
         {actDelete, actMarkRead, actMarkUnread, actReply, actReplyAll, actForward, actRedirect,
          actAntiSpam, actSenderAddress, actSenderAllow}) {
        action->setEnabled(enabled);
    }
}

void TfrmMsgList::DecodeStart(int maximum) {
    pbDecode->setValue(0);
    pbDecode->setMaximum(maximum);
    pnlProgress->setVisible(true);
    pnlProgress->repaint();
    tvMailBox->setEnabled(false);
}

void TfrmMsgList::DecodeProgress(int position) {
    pbDecode->setValue(position);
    pbDecode->repaint();
}

void TfrmMsgList::DecodeEnd() {
    pnlProgress->setVisible(false);
    tvMailBox->setEnabled(true);
    if (isVisible()) {
        tvMailBox->setFocus();
    }
}

void TfrmMsgList::actPreviewExecute(bool checked) {
    pnlReader->setVisible(checked);
    ApplyHeights();
    {
        OptionsScope scope(context_.Options);
        scope.Ini().WriteBool("View", "Preview", checked);
    }
    if (checked && tvMailBox->currentIndex().isValid()) {
        tmrMessageTimer();
    }
}

void TfrmMsgList::actContactsExecute(bool checked) {
    tvContacts->setVisible(checked);
    ApplyHeights();
    OptionsScope scope(context_.Options);
    scope.Ini().WriteBool("View", "Contacts", checked);
}

void TfrmMsgList::ApplyHeights() {
    const auto apply = [](QSplitter* splitter, int lower) {
        const QList<int> sizes = splitter->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        if (total > 0 && !splitter->widget(1)->isHidden()) {
            splitter->setSizes({std::max(0, total - lower), lower});
        }
    };
    apply(spltReader, readerHeight_);
    apply(spltLeft, contactsHeight_);
}

void TfrmMsgList::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The splitters have given the whole change to the list; the reader panel takes half.
    const int change = heightSplit_.Resize(height());
    if (change != 0) {
        readerHeight_ = std::max(0, readerHeight_ + change);
    }
    ApplyHeights();
}

void TfrmMsgList::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    ApplyHeights();
    if (!shownOnce_) {
        shownOnce_ = true;
        // The focused row was scrolled to before the list had its height; once the window is
        // laid out, bring it into view for real.
        QTimer::singleShot(0, this, [this] {
            if (tvMailBox->currentIndex().isValid()) {
                tvMailBox->scrollTo(tvMailBox->currentIndex());
            }
        });
    }
}

// --- status bar -------------------------------------------------------------------------------

void TfrmMsgList::SetStatusText(const QString& text) {
    sbStatus->SetText(text);
}

QString TfrmMsgList::StatusText() const {
    return sbStatus->Text();
}

bool TfrmMsgList::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // The long hint goes to panel 0 only; panel 1 keeps the task status.
        sbHint->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// --- tray -------------------------------------------------------------------------------------

void TfrmMsgList::actHideExecute() {
    if (inTray_) {
        return;
    }
    if (!TrayAvailable || !TrayAvailable()) {
        // Without a status area the window would vanish for good: minimise it instead.
        if (!isMinimized()) {
            showMinimized();
        }
        return;
    }
    inTray_ = true;
    trayIcon_->show();
    hide();
    if (tasks_.isVisible()) {
        tasks_.hide();
    }
}

void TfrmMsgList::HideToTray() {
    if (!inTray_) {
        actHide->trigger();
    }
}

void TfrmMsgList::mnuTrayOpenClick() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    trayIcon_->hide();
    inTray_ = false;
}

void TfrmMsgList::LeaveTray() {
    if (inTray_) {
        mnuTrayOpen->trigger();
    }
}

void TfrmMsgList::SecondInstance() {
    if (inTray_) {
        LeaveTray();
    } else if (isMinimized()) {
        // Minimised because there is no status area: the same request brings it back.
        mnuTrayOpenClick();
    }
}

void TfrmMsgList::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && !inTray_ && TrayAvailable &&
        TrayAvailable()) {
        // Hiding from inside the state change confuses some window managers: do it next.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized()) {
                actHide->trigger();
            }
        });
    }
}

void TfrmMsgList::closeEvent(QCloseEvent* event) {
    trayIcon_->hide();
    inTray_ = false;
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        emit Closed();
    }
}

void TfrmMsgList::ReaderOpenURL(const std::string& url) {
    urlOpener_.OpenUrl(url);
}

// --- keys and mouse in the lists --------------------------------------------------------------

bool TfrmMsgList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == tvBoxList->viewport() || watched == tvMailBox->viewport())) {
        ImmediateFocus = true;
    } else if (event->type() == QEvent::KeyPress && watched == tvMailBox) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            actOpen->trigger();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            actDelete->trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace quobel
