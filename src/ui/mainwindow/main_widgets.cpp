#include "ui/mainwindow/main_widgets.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/common/icons.h"
#include "ui/mainwindow/folder_list_model.h"
#include "ui/mainwindow/message_list_model.h"
#include "ui/mainwindow/status_panel.h"

namespace quobel {
namespace {

constexpr int kLeftPaneWidth = 185;
constexpr int kHeadersHeight = 57;

}  // namespace

TMainWidgets BuildMainWidgets(QMainWindow& window, TFolderListModel& folders,
                              TMessageListModel& messages) {
    TMainWidgets w{};
    // Header strip: folder icon and name.
    w.pnlHeader = new QWidget;
    w.pnlHeader->setObjectName(QStringLiteral("pnlHeader"));
    w.pnlHeader->setFixedHeight(23);
    w.pnlHeader->setAutoFillBackground(true);
    QPalette strip = w.pnlHeader->palette();
    strip.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    strip.setColor(QPalette::WindowText, Qt::white);
    w.pnlHeader->setPalette(strip);
    w.imgBoxIcon = new QLabel;
    w.imgBoxIcon->setObjectName(QStringLiteral("imgBoxIcon"));
    w.imgBoxIcon->setPixmap(TIcons::MailBoxes()[0].pixmap(16, 16));
    w.lblBoxName = new QLabel;
    w.lblBoxName->setObjectName(QStringLiteral("lblBoxName"));
    QFont boxFont(QStringLiteral("Tahoma"));
    boxFont.setPixelSize(16);
    boxFont.setBold(true);
    w.lblBoxName->setFont(boxFont);
    auto* headerRow = new QHBoxLayout(w.pnlHeader);
    headerRow->setContentsMargins(4, 0, 4, 0);
    headerRow->addWidget(w.imgBoxIcon);
    headerRow->addWidget(w.lblBoxName, 1);

    // Left pane: folder tree above the contacts list.
    w.tvBoxList = new QTreeView;
    w.tvBoxList->setObjectName(QStringLiteral("tvBoxList"));
    w.tvBoxList->setModel(&folders);
    w.tvBoxList->setRootIsDecorated(false);
    w.tvBoxList->setItemDelegate(new TFolderDelegate(w.tvBoxList));
    w.tvBoxList->setContextMenuPolicy(Qt::PreventContextMenu);
    w.tvContacts = new QTreeWidget;
    w.tvContacts->setObjectName(QStringLiteral("tvContacts"));
    w.tvContacts->setHeaderLabels({QCoreApplication::translate("MainWindow", "Contacts")});
    w.tvContacts->setRootIsDecorated(false);
    w.spltLeft = new QSplitter(Qt::Vertical);
    w.spltLeft->setObjectName(QStringLiteral("spltLeft"));
    w.spltLeft->addWidget(w.tvBoxList);
    w.spltLeft->addWidget(w.tvContacts);
    w.spltLeft->setStretchFactor(0, 1);
    w.spltLeft->setStretchFactor(1, 0);
    w.spltLeft->setChildrenCollapsible(false);

    // Right pane: the message list above the reader panel.
    w.tvMailBox = new QTreeView;
    w.tvMailBox->setObjectName(QStringLiteral("tvMailBox"));
    w.tvMailBox->setModel(&messages);
    w.tvMailBox->setRootIsDecorated(false);
    w.tvMailBox->setUniformRowHeights(true);
    w.tvMailBox->setAllColumnsShowFocus(true);
    w.tvMailBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    w.tvMailBox->setSelectionBehavior(QAbstractItemView::SelectRows);
    w.tvMailBox->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* header = w.tvMailBox->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setMinimumSectionSize(16);
    header->setContextMenuPolicy(Qt::CustomContextMenu);

    // The first-run line sits above the list, in the list's part of the splitter.
    w.pnlFirstRun = new QWidget;
    w.pnlFirstRun->setObjectName(QStringLiteral("pnlFirstRun"));
    w.lblFirstRun = new QLabel(QCoreApplication::translate("MainWindow", kNoAccountYet));
    w.lblFirstRun->setObjectName(QStringLiteral("lblFirstRun"));
    w.cmdAddAccount = new QPushButton(QCoreApplication::translate("MainWindow", "&Add account..."));
    w.cmdAddAccount->setObjectName(QStringLiteral("cmdAddAccount"));
    auto* firstRunRow = new QHBoxLayout(w.pnlFirstRun);
    firstRunRow->setContentsMargins(8, 6, 8, 6);
    firstRunRow->addWidget(w.lblFirstRun, 1);
    firstRunRow->addWidget(w.cmdAddAccount);
    w.pnlFirstRun->setVisible(false);
    auto* pnlList = new QWidget;
    pnlList->setObjectName(QStringLiteral("pnlList"));
    auto* listLayout = new QVBoxLayout(pnlList);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    listLayout->addWidget(w.pnlFirstRun);
    listLayout->addWidget(w.tvMailBox, 1);

    w.pnlReader = new QWidget;
    w.pnlReader->setObjectName(QStringLiteral("pnlReader"));
    w.pnlHeaders = new QWidget;
    w.pnlHeaders->setObjectName(QStringLiteral("pnlHeaders"));
    w.pnlHeaders->setFixedHeight(kHeadersHeight);
    auto* fields = new QGridLayout(w.pnlHeaders);
    fields->setContentsMargins(4, 2, 4, 2);
    fields->setVerticalSpacing(0);
    const auto field = [&](const QString& caption, int row, int column) {
        fields->addWidget(new QLabel(caption), row, column);
        auto* value = new QLabel;
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fields->addWidget(value, row, column + 1);
        return value;
    };
    w.lblFrom = field(QCoreApplication::translate("MainWindow", "From:"), 0, 0);
    w.lblTo = field(QCoreApplication::translate("MainWindow", "To:"), 1, 0);
    w.lblCC = field(QCoreApplication::translate("MainWindow", "CC:"), 2, 0);
    w.lblRecipient = field(QCoreApplication::translate("MainWindow", "Recipient:"), 0, 2);
    w.lblSourceIP = field(QCoreApplication::translate("MainWindow", "Source IP:"), 1, 2);
    w.lblSourceIP->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    w.cmdAttachments = new QPushButton(TIcons::Mail()[2], QString());
    w.cmdAttachments->setObjectName(QStringLiteral("cmdAttachments"));
    w.cmdAttachments->setVisible(false);
    fields->addWidget(w.cmdAttachments, 0, 4, 3, 1, Qt::AlignTop);
    w.pnlReaderHost = new QWidget;
    w.pnlReaderHost->setObjectName(QStringLiteral("pnlReaderHost"));
    auto* hostLayout = new QVBoxLayout(w.pnlReaderHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    w.tsParts = new QTabBar;
    w.tsParts->setObjectName(QStringLiteral("tsParts"));
    w.tsParts->setShape(QTabBar::RoundedSouth);
    w.pnlProgress = new QWidget;
    w.pnlProgress->setObjectName(QStringLiteral("pnlProgress"));
    w.pbDecode = new QProgressBar;
    w.pbDecode->setObjectName(QStringLiteral("pbDecode"));
    w.pbDecode->setTextVisible(false);
    w.pbDecode->setFixedWidth(150);
    auto* progressLayout = new QHBoxLayout(w.pnlProgress);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(w.pbDecode);
    w.pnlProgress->setVisible(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(w.tsParts, 1);
    bottom->addWidget(w.pnlProgress);
    auto* readerLayout = new QVBoxLayout(w.pnlReader);
    readerLayout->setContentsMargins(0, 0, 0, 0);
    readerLayout->setSpacing(0);
    readerLayout->addWidget(w.pnlHeaders);
    readerLayout->addWidget(w.pnlReaderHost, 1);
    readerLayout->addLayout(bottom);

    w.spltReader = new QSplitter(Qt::Vertical);
    w.spltReader->setObjectName(QStringLiteral("spltReader"));
    w.spltReader->addWidget(pnlList);
    w.spltReader->addWidget(w.pnlReader);
    w.spltReader->setStretchFactor(0, 1);
    w.spltReader->setStretchFactor(1, 0);
    w.spltReader->setChildrenCollapsible(false);

    w.spltMain = new QSplitter(Qt::Horizontal);
    w.spltMain->setObjectName(QStringLiteral("spltMain"));
    w.spltMain->addWidget(w.spltLeft);
    w.spltMain->addWidget(w.spltReader);
    w.spltMain->setStretchFactor(0, 0);
    w.spltMain->setStretchFactor(1, 1);
    w.spltMain->setSizes({kLeftPaneWidth, 560});

    auto* central = new QWidget;
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(w.pnlHeader);
    centralLayout->addWidget(w.spltMain, 1);
    window.setCentralWidget(central);

    w.sbHint = new QLabel;
    w.sbHint->setObjectName(QStringLiteral("sbHint"));
    w.sbHint->setFixedWidth(250);
    w.sbStatus = new TStatusPanel;
    w.sbStatus->setObjectName(QStringLiteral("sbStatus"));
    window.statusBar()->addWidget(w.sbHint);
    window.statusBar()->addWidget(w.sbStatus, 1);
    return w;
}

}  // namespace quobel
