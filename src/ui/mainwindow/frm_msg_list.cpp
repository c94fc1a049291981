#include "ui/mainwindow/frm_msg_list.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <utility>

#include "core/file_util.h"
#include "core/ini_file.h"
#include "cycle/startup_load.h"
#include "platform/url_opener.h"
#include "store/mail_box.h"
#include "ui/app/quobel_context.h"
#include "ui/common/help_key.h"
#include "ui/common/icons.h"
#include "ui/mainwindow/list_header.h"
#include "ui/mainwindow/main_menus.h"
#include "ui/mainwindow/main_toolbar.h"
#include "ui/mainwindow/main_widgets.h"
#include "ui/mainwindow/status_panel.h"
#include "ui/mainwindow/tray_icon.h"
#include "ui/tasks/frm_tasks.h"

namespace quobel {
namespace {

constexpr int kPreviewDelayMs = 500;

}  // namespace

TfrmMsgList::TfrmMsgList(TQuobelContext& context, TfrmTasks& tasks, UrlOpener& urlOpener,
                         QWidget* parent)
    : QMainWindow(parent),
      context_(context),
      tasks_(tasks),
      urlOpener_(urlOpener),
      commands_(MakeMainWindowCommands(*this)),
      placed_(*this),
      orvaneFormSize(placed_, std::string(settings::kMsgListPlacement.Section)) {
    setObjectName(QStringLiteral("frmMsgList"));
    SetHelpSection(*this, "main");
    setWindowTitle(QStringLiteral("Quobel"));
    setWindowIcon(TIcons::Application());
    TrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };

    tmrCheck_ = new QTimer(this);
    tmrCheck_->setObjectName(QStringLiteral("tmrCheck"));
    tmrBox_ = new QTimer(this);
    tmrBox_->setSingleShot(true);
    tmrBox_->setInterval(kPreviewDelayMs);
    tmrMessage_ = new QTimer(this);
    tmrMessage_->setSingleShot(true);
    tmrMessage_->setInterval(kPreviewDelayMs);
    connect(tmrCheck_, &QTimer::timeout, this,
            [this] { commands_[TCommandId::Synchronize].trigger(); });
    connect(tmrBox_, &QTimer::timeout, this, &TfrmMsgList::tmrBoxTimer);
    connect(tmrMessage_, &QTimer::timeout, this, &TfrmMsgList::tmrMessageTimer);

    messages_.SetSource(&mailRows_);
    folders_.SetSource(&boxRows_);
    ConnectCommands();
    w_ = BuildMainWidgets(*this, folders_, messages_);
    SetUpColumns();
    ConnectWidgets();
    BuildMainMenuBar(*menuBar(), commands_);
    mnuList_ = BuildMessageListMenu(*this, commands_);
    mnuAccounts_ = new QMenu(this);
    mnuAccounts_->setObjectName(QStringLiteral("mnuAccounts"));
    BuildMainToolBar(*this, commands_, *mnuAccounts_);
    tray_ = new TTrayIcon(*this, commands_, context_.Options);
    tray_->OnOpen = [this] { mnuTrayOpenClick(); };
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
    w_.tvMailBox->setModel(nullptr);
    w_.tvBoxList->setModel(nullptr);
}

void TfrmMsgList::ConnectCommands() {
    using enum TCommandId;
    const TCommandSet& c = commands_;
    connect(&c[Preview], &QAction::triggered, this, &TfrmMsgList::actPreviewExecute);
    connect(&c[Contacts], &QAction::triggered, this, &TfrmMsgList::actContactsExecute);
    connect(&c[Hide], &QAction::triggered, this, &TfrmMsgList::actHideExecute);
    connect(&c[CloseProgram], &QAction::triggered, this, &QWidget::close);
    connect(&c[NextRow], &QAction::triggered, this, &TfrmMsgList::actNextExecute);
    connect(&c[PreviousRow], &QAction::triggered, this, &TfrmMsgList::actPreviousExecute);
    connect(&c[SelectAll], &QAction::triggered, this, &TfrmMsgList::actSelectAllExecute);
    connect(&c[BoxList], &QAction::triggered, this, &TfrmMsgList::actBoxListExecute);
    connect(&c[BoxMessages], &QAction::triggered, this, &TfrmMsgList::actBoxMessagesExecute);
    connect(&c[ShowTasks], &QAction::triggered, this, &TfrmMsgList::ShowTasks);
    connect(&c[HelpContents], &QAction::triggered, this,
            [this] { urlOpener_.OpenUrl(helpFile_.toStdString()); });
}

void TfrmMsgList::SetUpColumns() {
    // Without a saved layout (LoadLayout keeps this one) the design widths fit the list's font.
    layout_ = FitToFont(MessageListDesignLayout(), w_.tvMailBox->font());
    ApplyColumns(layout_, *w_.tvMailBox->header());
    messages_.SetSort(layout_.SortColumn, layout_.SortDirection);
    UpdateSortIndicator();
    UpdateEnvelopeColumn();
}

void TfrmMsgList::ConnectWidgets() {
    QHeaderView* header = w_.tvMailBox->header();
    connect(w_.sbStatus, &TStatusPanel::Pressed, this, [this] {
        if (OnStatusClick) {
            OnStatusClick();
        }
    });

    connect(w_.tvBoxList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmMsgList::FolderFocusChanged);
    connect(w_.tvMailBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmMsgList::MessageFocusChanged);
    connect(w_.tvMailBox, &QTreeView::doubleClicked, &commands_[TCommandId::Open],
            &QAction::trigger);
    connect(w_.tvMailBox, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        mnuList_->popup(w_.tvMailBox->viewport()->mapToGlobal(at));
    });
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { HeaderClick(column, TMouseButton::Left); });
    connect(header, &QWidget::customContextMenuRequested, this, &TfrmMsgList::HeaderMenu);
    connect(header, &QHeaderView::sectionMoved, this, &TfrmMsgList::UpdateEnvelopeColumn);
    connect(w_.spltReader, &QSplitter::splitterMoved, this, [this] {
        if (!w_.pnlReader->isHidden()) {
            readerHeight_ = w_.spltReader->sizes().value(1);
        }
    });
    connect(w_.spltLeft, &QSplitter::splitterMoved, this, [this] {
        if (!w_.tvContacts->isHidden()) {
            contactsHeight_ = w_.spltLeft->sizes().value(1);
        }
    });
    connect(w_.cmdAddAccount, &QPushButton::clicked, this, [this] {
        if (OnAddAccount) {
            OnAddAccount();
        }
    });
    w_.tvBoxList->viewport()->installEventFilter(this);
    w_.tvMailBox->viewport()->installEventFilter(this);
    w_.tvMailBox->installEventFilter(this);
}

// --- what the neighbours use ---------------------------------------------------------------------

void TfrmMsgList::SetAccountsMenu(const std::vector<TMenuEntry>& entries) {
    mnuAccounts_->clear();
    for (const TMenuEntry& entry : entries) {
        QAction* action = mnuAccounts_->addAction(entry.Caption);
        connect(action, &QAction::triggered, this, [chosen = entry.Chosen] {
            if (chosen) {
                chosen();
            }
        });
    }
}

void TfrmMsgList::SetCheckTimer(int intervalMilliseconds, bool enabled) {
    tmrCheck_->setInterval(intervalMilliseconds);
    if (enabled) {
        tmrCheck_->start();
    } else {
        tmrCheck_->stop();
    }
}

bool TfrmMsgList::CheckTimerActive() const {
    return tmrCheck_->isActive();
}

void TfrmMsgList::ShowTasks() {
    tasks_.ShowTasksPage();
    tasks_.ShowOver(this);
}

TReaderPaneArea TfrmMsgList::ReaderPaneArea() const {
    return {w_.pnlReaderHost, w_.tsParts, w_.cmdAttachments, w_.lblFrom,
            w_.lblTo,         w_.lblCC,   w_.lblRecipient,   w_.lblSourceIP};
}

// --- creation and destruction ------------------------------------------------------------------

void TfrmMsgList::FormCreate() {
    helpFile_ = QString::fromStdString(JoinPath(context_.App.ProgramFolder(), "Quobel.html"));
    heightSplit_.LastHeight = -1;
    while (w_.tsParts->count() > 0) {
        w_.tsParts->removeTab(0);
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
        QTimer::singleShot(0, this, [text] { QMessageBox::warning(nullptr, tr("Error"), text); });
    }

    bool preview = true;
    bool contacts = true;
    {
        OptionsScope scope(context_.Options);
        preview = scope.Read(settings::kPreview);
        contacts = scope.Read(settings::kContacts);
        readerHeight_ = scope.Read(settings::kReaderHeight, readerHeight_);
        contactsHeight_ = scope.Read(settings::kContactsHeight, contactsHeight_);
    }
    ApplyHeights();
    commands_[TCommandId::Preview].setChecked(!preview);
    commands_[TCommandId::Preview].trigger();
    commands_[TCommandId::Contacts].setChecked(!contacts);
    commands_[TCommandId::Contacts].trigger();

    LoadLayout();

    ImmediateFocus = true;
    commands_[TCommandId::BoxList].trigger();
    if (folders_.Count() > 0) {
        FocusFolder(folders_.KeyAt(0));
    }
}

void TfrmMsgList::AfterStartup() {
    if (tmrCheck_->isActive()) {
        commands_[TCommandId::Synchronize].trigger();
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
        scope.Write(settings::kReaderHeight, readerHeight_);
        scope.Write(settings::kContactsHeight, contactsHeight_);
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
        w_.tvBoxList->selectionModel()->setCurrentIndex(folders_.index(row),
                                                        QItemSelectionModel::ClearAndSelect);
    }
}

TRowKey TfrmMsgList::FocusedFolder() const {
    const QModelIndex current = w_.tvBoxList->currentIndex();
    return current.isValid() ? folders_.KeyAt(current.row()) : nullptr;
}

void TfrmMsgList::RepaintFolderRow(TRowKey key) {
    folders_.RepaintRow(key);
}

void TfrmMsgList::SetBoxName(const QString& name) {
    w_.lblBoxName->setText(name);
}

void TfrmMsgList::FolderFocusChanged() {
    if (ImmediateFocus) {
        tmrBoxTimer();
    } else {
        tmrBox_->start();
    }
    ImmediateFocus = false;
}

void TfrmMsgList::tmrBoxTimer() {
    tmrBox_->stop();
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
    commands_[TCommandId::BoxMessages].trigger();
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
    w_.cmdAttachments->setVisible(false);
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
    w_.cmdAttachments->setVisible(false);
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
    const QModelIndex current = w_.tvMailBox->currentIndex();
    return current.isValid() ? messages_.KeyAt(current.row()) : nullptr;
}

void TfrmMsgList::FocusRow(TRowKey key) {
    const int row = messages_.RowOf(key);
    if (row < 0) {
        return;
    }
    w_.tvMailBox->selectionModel()->setCurrentIndex(
        messages_.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    w_.tvMailBox->scrollTo(messages_.index(row, 0));
}

void TfrmMsgList::FocusNeighbour() {
    const QModelIndex current = w_.tvMailBox->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const QItemSelectionModel* selection = w_.tvMailBox->selectionModel();
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
    const QItemSelectionModel* selection = w_.tvMailBox->selectionModel();
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
        w_.tvMailBox->scrollTo(messages_.index(row, 0));
    }
}

void TfrmMsgList::RepaintLists() {
    folders_.RepaintAll();
    messages_.RepaintAll();
}

void TfrmMsgList::MessageFocusChanged() {
    EnableMessageCommands(true);
    if (!commands_[TCommandId::Preview].isChecked() ||
        !commands_[TCommandId::Preview].isEnabled()) {
        return;  // ImmediateFocus stays for the next focus change
    }
    if (!w_.tvMailBox->currentIndex().isValid()) {
        ClearHeaders();
    } else if (!(QGuiApplication::keyboardModifiers() &
                 (Qt::ControlModifier | Qt::ShiftModifier))) {
        if (ImmediateFocus) {
            tmrMessageTimer();
        } else {
            tmrMessage_->start();
        }
    }
    ImmediateFocus = false;
}

void TfrmMsgList::tmrMessageTimer() {
    tmrMessage_->stop();
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
    const QModelIndex current = w_.tvMailBox->currentIndex();
    if (!current.isValid() || messages_.Count() == 0) {
        return;
    }
    const int next = current.row() + 1 < messages_.Count() ? current.row() + 1 : 0;
    ImmediateFocus = true;
    FocusRow(messages_.KeyAt(next));
}

void TfrmMsgList::actPreviousExecute() {
    const QModelIndex current = w_.tvMailBox->currentIndex();
    if (!current.isValid() || messages_.Count() == 0) {
        return;
    }
    const int previous = current.row() > 0 ? current.row() - 1 : messages_.Count() - 1;
    ImmediateFocus = true;
    FocusRow(messages_.KeyAt(previous));
}

void TfrmMsgList::actSelectAllExecute() {
    w_.tvMailBox->selectAll();
}

// --- columns and sorting ----------------------------------------------------------------------

void TfrmMsgList::HeaderClick(int column, TMouseButton button) {
    if (TVirtualTreeHelper::HeaderClick(layout_, column, button)) {
        messages_.SetSort(layout_.SortColumn, layout_.SortDirection);
        UpdateSortIndicator();
    }
}

void TfrmMsgList::UpdateSortIndicator() {
    w_.tvMailBox->header()->setSortIndicator(layout_.SortColumn,
                                             layout_.SortDirection == TSortDirection::Descending
                                                 ? Qt::DescendingOrder
                                                 : Qt::AscendingOrder);
}

void TfrmMsgList::UpdateEnvelopeColumn() {
    messages_.SetEnvelopeColumn(FirstTextColumn(*w_.tvMailBox->header()));
}

void TfrmMsgList::ShowColumn(int column, bool shown) {
    QHeaderView* header = w_.tvMailBox->header();
    ReadColumns(*header, layout_);  // keeps the width of a column about to be hidden
    header->setSectionHidden(column, !shown);
    UpdateEnvelopeColumn();
}

void TfrmMsgList::HeaderMenu(const QPoint& at) {
    QHeaderView* header = w_.tvMailBox->header();
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
    ReadColumns(*w_.tvMailBox->header(), layout_);
    return layout_;
}

void TfrmMsgList::LoadLayout() {
    const std::string file = JoinPath(context_.App.DataFolder(), "listhdrs.dat");
    ReadColumns(*w_.tvMailBox->header(), layout_);
    TVirtualTreeHelper::LoadLayout(layout_, file);
    ApplyColumns(layout_, *w_.tvMailBox->header());
    messages_.SetSort(layout_.SortColumn, layout_.SortDirection);
    UpdateSortIndicator();
    UpdateEnvelopeColumn();
}

void TfrmMsgList::SaveLayout() {
    TVirtualTreeHelper::SaveLayout(Layout(), JoinPath(context_.App.DataFolder(), "listhdrs.dat"));
}

// --- reader panel -----------------------------------------------------------------------------

void TfrmMsgList::ClearHeaders() {
    for (QLabel* label : {w_.lblFrom, w_.lblTo, w_.lblCC, w_.lblRecipient, w_.lblSourceIP}) {
        label->clear();
    }
    while (w_.tsParts->count() > 0) {
        w_.tsParts->removeTab(0);
    }
}

void TfrmMsgList::ShowFirstRun(bool noAccount) {
    w_.pnlFirstRun->setVisible(noAccount);
}

bool TfrmMsgList::FirstRunShown() const {
    return !w_.pnlFirstRun->isHidden();
}

void TfrmMsgList::SayNoAccount() {
    SetStatusText(QCoreApplication::translate("MainWindow", kNoAccountYet));
    ShowFirstRun(true);
}

void TfrmMsgList::EnableMessageCommands(bool enabled) {
    using enum TCommandId;
    // Redirect stays disabled: a mailto: URI cannot ask for it.
    for (const TCommandId id : {DeleteSelected, MarkRead, MarkUnread, Reply, ReplyAll, Forward,
                                AntiSpamSelected, SenderAddress, SenderAllow}) {
        commands_[id].setEnabled(enabled);
    }
}

void TfrmMsgList::DecodeStart(int maximum) {
    w_.pbDecode->setValue(0);
    w_.pbDecode->setMaximum(maximum);
    w_.pnlProgress->setVisible(true);
    w_.pnlProgress->repaint();
    w_.tvMailBox->setEnabled(false);
}

void TfrmMsgList::DecodeProgress(int position) {
    w_.pbDecode->setValue(position);
    w_.pbDecode->repaint();
}

void TfrmMsgList::DecodeEnd() {
    w_.pnlProgress->setVisible(false);
    w_.tvMailBox->setEnabled(true);
    if (isVisible()) {
        w_.tvMailBox->setFocus();
    }
}

void TfrmMsgList::actPreviewExecute(bool checked) {
    w_.pnlReader->setVisible(checked);
    ApplyHeights();
    {
        OptionsScope scope(context_.Options);
        scope.Write(settings::kPreview, checked);
    }
    if (checked && w_.tvMailBox->currentIndex().isValid()) {
        tmrMessageTimer();
    }
}

void TfrmMsgList::actContactsExecute(bool checked) {
    w_.tvContacts->setVisible(checked);
    ApplyHeights();
    OptionsScope scope(context_.Options);
    scope.Write(settings::kContacts, checked);
}

void TfrmMsgList::ApplyHeights() {
    const auto apply = [](QSplitter* splitter, int lower) {
        const QList<int> sizes = splitter->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        if (total > 0 && !splitter->widget(1)->isHidden()) {
            splitter->setSizes({std::max(0, total - lower), lower});
        }
    };
    apply(w_.spltReader, readerHeight_);
    apply(w_.spltLeft, contactsHeight_);
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
            if (w_.tvMailBox->currentIndex().isValid()) {
                w_.tvMailBox->scrollTo(w_.tvMailBox->currentIndex());
            }
        });
    }
}

// --- status bar -------------------------------------------------------------------------------

void TfrmMsgList::SetStatusText(const QString& text) {
    w_.sbStatus->SetText(text);
}

QString TfrmMsgList::StatusText() const {
    return w_.sbStatus->Text();
}

bool TfrmMsgList::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // The long hint goes to panel 0 only; panel 1 keeps the task status.
        w_.sbHint->setText(static_cast<QStatusTipEvent*>(event)->tip());
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
    tray_->Show();
    hide();
    if (tasks_.isVisible()) {
        tasks_.hide();
    }
}

void TfrmMsgList::HideToTray() {
    if (!inTray_) {
        commands_[TCommandId::Hide].trigger();
    }
}

void TfrmMsgList::mnuTrayOpenClick() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    tray_->Hide();
    inTray_ = false;
}

void TfrmMsgList::LeaveTray() {
    if (inTray_) {
        tray_->OpenEntry().trigger();
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
                commands_[TCommandId::Hide].trigger();
            }
        });
    }
}

void TfrmMsgList::closeEvent(QCloseEvent* event) {
    tray_->Hide();
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
        (watched == w_.tvBoxList->viewport() || watched == w_.tvMailBox->viewport())) {
        ImmediateFocus = true;
    } else if (event->type() == QEvent::KeyPress && watched == w_.tvMailBox) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commands_[TCommandId::Open].trigger();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            commands_[TCommandId::DeleteSelected].trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace quobel
