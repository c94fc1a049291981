#include "ui/dialogs/options_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "accounts/account_file.h"
#include "accounts/accounts.h"
#include "core/file_util.h"
#include "core/options.h"
#include "platform/sound_player.h"
#include "ui/common/qt_font.h"
#include "ui/common/qt_text.h"
#include "ui/dialogs/account_dialog.h"
#include "ui/dialogs/color_picker.h"
#include "ui/dialogs/options_file_edit.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel {
namespace {

constexpr const char* kLayoutFileName = "accheaders.dat";

// A row of the accounts list: it refers to its account and sorts by the dialog's sort column.
class TAccountRow : public QTreeWidgetItem {
  public:
    TAccountRow(QTreeWidget* tree, TAccount& account, const TListLayout& layout)
        : QTreeWidgetItem(tree), Account(account), layout_(layout) {}

    bool operator<(const QTreeWidgetItem& other) const override {
        const auto& that = static_cast<const TAccountRow&>(other);
        return QString::compare(SortKey(), that.SortKey(), Qt::CaseInsensitive) < 0;
    }

    TAccount& Account;

  private:
    QString SortKey() const {
        return Q(layout_.SortColumn == TfrmOptions::kColumnHost ? Account.POP.Host : Account.Name);
    }

    const TListLayout& layout_;
};

// The account's colour as a 16 x 16 square in a one-pixel black frame; an account without a
// colour of its own shows the frame only.
QIcon ColorSquare(uint32_t color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, 15, 15);
    if (color != kNoSkinColor) {
        painter.fillRect(1, 1, 14, 14, ColorToQColor(color));
    }
    return QIcon(pixmap);
}

QSpinBox* SpinBox(int minimum, int maximum, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    return box;
}

QPushButton* CommandButton(QAction* action, QWidget* parent) {
    auto* button = new QPushButton(action->text(), parent);
    button->setToolTip(action->toolTip());
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

}  // namespace

TfrmOptions::TfrmOptions(TOptionsDialogContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    setWindowTitle(QStringLiteral("Options"));
    setProperty("helpContext", 3);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    pcOptions = new QTabWidget(this);
    tsNotification = new QWidget(pcOptions);
    tsBar = new QWidget(pcOptions);
    tsAntiSpam = new QWidget(pcOptions);
    tsAccounts = new QWidget(pcOptions);
    tsConfirmations = new QWidget(pcOptions);
    pcOptions->addTab(tsNotification, QStringLiteral("General"));
    pcOptions->addTab(tsBar, QStringLiteral("Bar"));
    pcOptions->addTab(tsAntiSpam, QStringLiteral("Anti-Spam"));
    pcOptions->addTab(tsAccounts, QStringLiteral("Accounts"));
    pcOptions->addTab(tsConfirmations, QStringLiteral("Confirmations"));

    BuildGeneralTab();
    BuildBarTab();
    BuildAccountsTab();
    BuildConfirmationsTab();

    cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    cmdOk->setDefault(true);
    cmdApply = new QPushButton(QStringLiteral("&Apply"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    connect(cmdOk, &QPushButton::clicked, this, [this] {
        if (Guarded([this] { cmdOkClick(); })) {
            accept();
        }
    });
    connect(cmdApply, &QPushButton::clicked, this, [this] { Guarded([this] { cmdOkClick(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pcOptions);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Creation: the Anti-Spam tab has no function here; the first tab is the active one.
    pcOptions->setTabVisible(pcOptions->indexOf(tsAntiSpam), false);
    pcOptions->setCurrentIndex(0);

    // The accounts list: rows in registry order, then the saved layout, then sorted.
    for (size_t i = 0; i < context_.Accounts.Count(); ++i) {
        AddRow(context_.Accounts.Items(i));
    }
    TVirtualTreeHelper::LoadLayout(layout_, JoinPath(context_.DataFolder, kLayoutFileName));
    ApplyLayoutToHeader();
    SortRows();

    ReadSettings();
    UpdateEnabling();
    UpdateAccountActions();
}

void TfrmOptions::BuildGeneralTab() {
    auto* delivery = new QGroupBox(QStringLiteral("Email delivery"), tsNotification);
    chkInterval = new QCheckBox(QStringLiteral("&Check for new messages every"), delivery);
    seInterval = SpinBox(1, 120, delivery);
    chkSound = new QCheckBox(QStringLiteral("Play &sound when new messages arrive..."), delivery);
    feSound = new TFileNameEdit(context_.Prompts, QStringLiteral("Select sound file"),
                                QStringLiteral("Sound files (*.wav)"), delivery);
    cmdSoundPreview = new QToolButton(delivery);
    cmdSoundPreview->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdSoundPreview->setToolTip(QStringLiteral("Preview sound"));
    auto* deliveryLayout = new QGridLayout(delivery);
    deliveryLayout->addWidget(chkInterval, 0, 0);
    deliveryLayout->addWidget(seInterval, 0, 1);
    deliveryLayout->addWidget(new QLabel(QStringLiteral("minute(s)..."), delivery), 0, 2);
    deliveryLayout->addWidget(chkSound, 1, 0, 1, 4);
    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(feSound, 1);
    soundRow->addWidget(cmdSoundPreview);
    deliveryLayout->addLayout(soundRow, 2, 0, 1, 4);
    deliveryLayout->setColumnStretch(3, 1);

    auto* reader = new QGroupBox(QStringLiteral("Reader options"), tsNotification);
    chkSmilies = new QCheckBox(QStringLiteral("Display &smilies in reader"), reader);
    chkNewWindow = new QCheckBox(QStringLiteral("Re-use external readers &windows"), reader);
    chkAlwaysText =
        new QCheckBox(QStringLiteral("Always display &text (ignores HTML parts)"), reader);
    lblReaderFontPreview = new QLabel(reader);
    lblReaderFontPreview->setFrameShape(QFrame::StyledPanel);
    lblReaderFontPreview->setMinimumWidth(200);
    cmdReaderFont = new QPushButton(QStringLiteral("&Change"), reader);
    auto* readerLayout = new QGridLayout(reader);
    readerLayout->addWidget(chkSmilies, 0, 0, 1, 2);
    readerLayout->addWidget(chkNewWindow, 1, 0, 1, 2);
    readerLayout->addWidget(chkAlwaysText, 2, 0, 1, 2);
    readerLayout->addWidget(lblReaderFontPreview, 3, 0);
    readerLayout->addWidget(cmdReaderFont, 3, 1);
    readerLayout->setColumnStretch(0, 1);

    auto* signature = new QGroupBox(QStringLiteral("Signature"), tsNotification);
    cmdEditSig = new QPushButton(QStringLiteral("&Edit signature"), signature);
    chkSigReply = new QCheckBox(QStringLiteral("&Do not add signature when replying or forwarding"),
                                signature);
    auto* signatureLayout = new QGridLayout(signature);
    signatureLayout->addWidget(
        new QLabel(QStringLiteral("Your signature will be added to outgoing messages:"), signature),
        0, 0);
    signatureLayout->addWidget(cmdEditSig, 0, 1);
    signatureLayout->addWidget(chkSigReply, 1, 0, 1, 2);

    auto* tab = new QVBoxLayout(tsNotification);
    tab->addWidget(delivery);
    tab->addWidget(reader);
    tab->addWidget(signature);
    tab->addStretch();

    connect(chkInterval, &QCheckBox::toggled, this, &TfrmOptions::UpdateEnabling);
    connect(chkSound, &QCheckBox::toggled, this, &TfrmOptions::UpdateEnabling);
    connect(cmdSoundPreview, &QToolButton::clicked, this,
            [this] { Guarded([this] { cmdSoundPreviewClick(); }); });
    connect(cmdReaderFont, &QPushButton::clicked, this,
            [this] { Guarded([this] { cmdReaderFontClick(); }); });
}

void TfrmOptions::BuildBarTab() {
    auto* general = new QGroupBox(QStringLiteral("General"), tsBar);
    chkBarHide = new QCheckBox(QStringLiteral("Auto-&hide bar"), general);
    chkBarScroll = new QCheckBox(QStringLiteral("&Scroll messages after"), general);
    seBarScroll = SpinBox(INT_MIN, INT_MAX, general);
    auto* generalLayout = new QGridLayout(general);
    generalLayout->addWidget(chkBarHide, 0, 0, 1, 3);
    generalLayout->addWidget(chkBarScroll, 1, 0);
    generalLayout->addWidget(seBarScroll, 1, 1);
    generalLayout->addWidget(new QLabel(QStringLiteral("second(s)..."), general), 1, 2);
    generalLayout->setColumnStretch(3, 1);

    auto* skin = new QGroupBox(QStringLiteral("Skin"), tsBar);
    lstSkins = new QListWidget(skin);
    lstSkins->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* skinLayout = new QVBoxLayout(skin);
    skinLayout->addWidget(lstSkins);

    auto* tab = new QVBoxLayout(tsBar);
    tab->addWidget(general);
    tab->addWidget(skin, 1);
}

void TfrmOptions::BuildAccountsTab() {
    tvAccounts = new QTreeWidget(tsAccounts);
    tvAccounts->setColumnCount(2);
    tvAccounts->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Host")});
    tvAccounts->setRootIsDecorated(false);
    tvAccounts->setUniformRowHeights(true);
    tvAccounts->setAllColumnsShowFocus(true);
    tvAccounts->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvAccounts->setSelectionMode(QAbstractItemView::SingleSelection);
    tvAccounts->setIconSize(QSize(16, 16));
    tvAccounts->setSortingEnabled(false);  // sorting follows the header rule below
    QHeaderView* header = tvAccounts->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionsMovable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSortIndicatorShown(true);
    header->resizeSection(kColumnName, 160);
    header->resizeSection(kColumnHost, 125);

    layout_.SortColumn = kColumnName;
    layout_.SortDirection = TSortDirection::Ascending;
    layout_.Columns = {TListColumn{true, 160, 0, true, true},
                       TListColumn{true, 125, 1, true, true}};

    actAdd = new QAction(QStringLiteral("&Add"), this);
    actAdd->setToolTip(QStringLiteral("Add account"));
    actEdit = new QAction(QStringLiteral("&Edit"), this);
    actEdit->setToolTip(QStringLiteral("Edit account"));
    actRemove = new QAction(QStringLiteral("&Remove"), this);
    actRemove->setToolTip(QStringLiteral("Remove account"));
    actSetDefault = new QAction(QStringLiteral("Set as &default"), this);
    actSetDefault->setToolTip(QStringLiteral("Set as default"));
    actEdit->setEnabled(false);
    actRemove->setEnabled(false);
    actSetDefault->setEnabled(false);
    connect(actAdd, &QAction::triggered, this, [this] { Guarded([this] { actAddExecute(); }); });
    connect(actEdit, &QAction::triggered, this, [this] { Guarded([this] { actEditExecute(); }); });
    connect(actRemove, &QAction::triggered, this,
            [this] { Guarded([this] { actRemoveExecute(); }); });
    connect(actSetDefault, &QAction::triggered, this,
            [this] { Guarded([this] { actSetDefaultExecute(); }); });

    cmdAdd = CommandButton(actAdd, tsAccounts);
    cmdEdit = CommandButton(actEdit, tsAccounts);
    cmdRemove = CommandButton(actRemove, tsAccounts);
    cmdSetDefault = CommandButton(actSetDefault, tsAccounts);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdEdit);
    buttons->addWidget(cmdRemove);
    buttons->addWidget(cmdSetDefault);
    buttons->addStretch();
    auto* tab = new QHBoxLayout(tsAccounts);
    tab->addWidget(tvAccounts, 1);
    tab->addLayout(buttons);

    connect(header, &QHeaderView::sectionClicked, this, &TfrmOptions::HeaderClicked);
    connect(tvAccounts, &QTreeWidget::currentItemChanged, this, &TfrmOptions::UpdateAccountActions);
    connect(tvAccounts, &QTreeWidget::itemDoubleClicked, this, [this] { actEdit->trigger(); });
    tvAccounts->installEventFilter(this);
}

void TfrmOptions::BuildConfirmationsTab() {
    imgConfirm = new QLabel(tsConfirmations);
    imgConfirm->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    chkConfirmDelete =
        new QCheckBox(QStringLiteral("Confirm &deleting message(s)..."), tsConfirmations);
    auto* tab = new QGridLayout(tsConfirmations);
    tab->addWidget(imgConfirm, 0, 0, Qt::AlignTop);
    tab->addWidget(chkConfirmDelete, 0, 1, Qt::AlignTop);
    tab->setColumnStretch(1, 1);
    tab->setRowStretch(1, 1);
}

void TfrmOptions::ReadSettings() {
    OptionsScope scope(context_.Options);
    const TIniFile& ini = scope.Ini();
    chkInterval->setChecked(ini.ReadBool("General", "Check", true));
    seInterval->setValue(ini.ReadInteger("General", "Interval", 5));
    chkSound->setChecked(ini.ReadBool("General", "Sound", false));
    feSound->SetFileName(Q(ini.ReadString("General", "SoundFile", "")));
    chkSmilies->setChecked(ini.ReadBool("General", "Smilies", false));
    // The box shows the negation of the key; here the key's default is false.
    chkNewWindow->setChecked(!ini.ReadBool("Reader", "NewWindow", false));
    chkAlwaysText->setChecked(ini.ReadBool("Reader", "AlwaysText", false));
    chkSigReply->setChecked(ini.ReadBool("General", "NoReplySig", false));
    // Here auto-hide defaults to on, unlike where the bar applies a skin.
    chkBarHide->setChecked(ini.ReadBool("Bar", "AutoHide", true));
    chkBarScroll->setChecked(ini.ReadBool("Bar", "Scroll", true));
    seBarScroll->setValue(ini.ReadInteger("Bar", "ScrollTime", 5));
    chkConfirmDelete->setChecked(ini.ReadBool("Confirmations", "Delete", true));
    context_.Options.ReadFont("Reader.Font", readerFont_);
    ShowReaderFont();

    lstSkins->clear();
    for (int i = 0; i < context_.Skins.Count(); ++i) {
        lstSkins->addItem(Q(context_.Skins.Name(i)));
    }
    const int current = context_.Skins.CurrentIndex();
    if (current >= 0 && current < lstSkins->count()) {
        lstSkins->setCurrentRow(current);
    } else {
        lstSkins->setCurrentRow(-1);
        lstSkins->clearSelection();
    }
}

void TfrmOptions::ShowReaderFont() {
    lblReaderFontPreview->setFont(ToQFont(readerFont_));
    QPalette palette = lblReaderFontPreview->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(readerFont_.Color));
    lblReaderFontPreview->setPalette(palette);
    lblReaderFontPreview->setText(Q(readerFont_.Name) + QStringLiteral(", ") +
                                  QString::number(readerFont_.Size) + QStringLiteral("pt"));
}

void TfrmOptions::UpdateEnabling() {
    seInterval->setEnabled(chkInterval->isChecked());
    feSound->setEnabled(chkSound->isChecked());
    cmdSoundPreview->setEnabled(chkSound->isChecked());
}

void TfrmOptions::UpdateAccountActions() {
    const QTreeWidgetItem* row = tvAccounts->currentItem();
    const TAccount* account = AccountOf(row);
    actEdit->setEnabled(account != nullptr);
    actRemove->setEnabled(account != nullptr);
    actSetDefault->setEnabled(account != nullptr && !account->Default);
}

TAccount* TfrmOptions::AccountOf(const QTreeWidgetItem* row) const {
    const auto* accountRow = dynamic_cast<const TAccountRow*>(row);
    return accountRow != nullptr ? &accountRow->Account : nullptr;
}

QTreeWidgetItem* TfrmOptions::RowOf(const TAccount& account) const {
    for (int i = 0; i < tvAccounts->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = tvAccounts->topLevelItem(i);
        if (AccountOf(row) == &account) {
            return row;
        }
    }
    return nullptr;
}

QTreeWidgetItem* TfrmOptions::AddRow(TAccount& account) {
    auto* row = new TAccountRow(tvAccounts, account, layout_);
    ShowRow(*row);
    return row;
}

void TfrmOptions::ShowRow(QTreeWidgetItem& row) const {
    const TAccount* account = AccountOf(&row);
    if (account == nullptr) {
        return;
    }
    QString name = Q(account->Name);
    if (account->Default) {
        name += QStringLiteral(" (default)");
    }
    row.setText(kColumnName, name);
    row.setText(kColumnHost, Q(account->POP.Host));
    row.setIcon(kColumnName, ColorSquare(account->SkinColor));
}

void TfrmOptions::ShowAllRows() const {
    for (int i = 0; i < tvAccounts->topLevelItemCount(); ++i) {
        ShowRow(*tvAccounts->topLevelItem(i));
    }
}

void TfrmOptions::SortRows() {
    QHeaderView* header = tvAccounts->header();
    const int column = layout_.SortColumn;
    if (column < 0 || column >= tvAccounts->columnCount()) {
        header->setSortIndicatorShown(false);
        return;
    }
    const Qt::SortOrder order = layout_.SortDirection == TSortDirection::Descending
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    header->setSortIndicatorShown(true);
    tvAccounts->sortItems(column, order);
    header->setSortIndicator(column, order);
}

void TfrmOptions::HeaderClicked(int column) {
    // The header only reports left clicks.
    if (TVirtualTreeHelper::HeaderClick(layout_, column, TMouseButton::Left)) {
        SortRows();
    }
}

void TfrmOptions::ApplyLayoutToHeader() {
    QHeaderView* header = tvAccounts->header();
    const int count = std::min(static_cast<int>(layout_.Columns.size()), header->count());
    std::vector<int> byPosition;
    for (int i = 0; i < count; ++i) {
        const TListColumn& column = layout_.Columns[static_cast<size_t>(i)];
        header->setSectionHidden(i, !column.Visible);
        if (column.Width > 0) {
            header->resizeSection(i, column.Width);
        }
        byPosition.push_back(i);
    }
    std::stable_sort(byPosition.begin(), byPosition.end(), [this](int a, int b) {
        return layout_.Columns[static_cast<size_t>(a)].Position <
               layout_.Columns[static_cast<size_t>(b)].Position;
    });
    for (int position = 0; position < count; ++position) {
        const int logical = byPosition[static_cast<size_t>(position)];
        header->moveSection(header->visualIndex(logical), position);
    }
}

void TfrmOptions::TakeLayoutFromHeader() {
    const QHeaderView* header = tvAccounts->header();
    const int count = std::min(static_cast<int>(layout_.Columns.size()), header->count());
    for (int i = 0; i < count; ++i) {
        TListColumn& column = layout_.Columns[static_cast<size_t>(i)];
        column.Visible = !header->isSectionHidden(i);
        if (column.Visible) {
            column.Width = header->sectionSize(i);
        }
        column.Position = header->visualIndex(i);
    }
}

std::string TfrmOptions::AccountFileName(const TAccount& account) const {
    return TAccounts::FileNameOf(JoinPath(context_.DataFolder, "accounts"), account);
}

void TfrmOptions::FillAccountDialog(TfrmAccount& dialog, const TAccount& account) const {
    dialog.txtAccount->setText(Q(account.Name));
    dialog.txtName->setText(Q(account.From.Name));
    dialog.txtEmail->setText(Q(account.From.Email));
    dialog.SetAccountColor(account.SkinColor);
    dialog.chkActive->setChecked(account.Synchronize);
    dialog.txtPOPHost->setText(Q(account.POP.Host));
    dialog.SetSecurity(account.POP.TLS);
    dialog.sePOPPort->setValue(account.POP.Port);
    dialog.txtPOPUser->setText(Q(account.POP.Username));
    dialog.txtPOPPass->setText(Q(account.POP.Password));
    dialog.chkSecure->setChecked(account.POP.Secure);
    dialog.txtSMTPHost->setText(Q(account.SMTP.Host));
    dialog.seSMTPPort->setValue(account.SMTP.Port);
}

void TfrmOptions::ReadAccountDialog(const TfrmAccount& dialog, TAccount& account) const {
    account.Name = dialog.txtAccount->text().toStdString();
    account.From.Name = dialog.txtName->text().toStdString();
    account.From.Email = dialog.txtEmail->text().toStdString();
    account.SkinColor = dialog.AccountColor();
    account.Synchronize = dialog.chkActive->isChecked();
    account.POP.Host = dialog.txtPOPHost->text().toStdString();
    account.POP.TLS = dialog.Security();
    account.POP.Port = dialog.sePOPPort->value();
    account.POP.Username = dialog.txtPOPUser->text().toStdString();
    account.POP.Password = dialog.txtPOPPass->text().toStdString();
    if (!account.POP.Password.empty()) {
        // A new password replaces one that could not be read from the file.
        account.UnreadableStoredPassword.clear();
    }
    account.POP.Secure = dialog.chkSecure->isChecked();
    account.SMTP.Host = dialog.txtSMTPHost->text().toStdString();
    account.SMTP.Port = dialog.seSMTPPort->value();
}

void TfrmOptions::actAddExecute() {
    TfrmAccount dialog(context_.Prompts, this);
    dialog.SetAccountColor(kNoSkinColor);
    if (context_.Prompts.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    TAccounts& accounts = context_.Accounts;
    TAccount& account = accounts.Add(true);
    ReadAccountDialog(dialog, account);
    if (accounts.Count() == 1) {
        account.Default = true;
    }
    accountsChanged_ = true;
    // The row comes first so that the list shows what the registry holds even when the file
    // cannot be written.
    AddRow(account);
    SortRows();
    UpdateAccountActions();
    ForceFolders(JoinPath(context_.DataFolder, "accounts"));
    SaveAccount(account, AccountFileName(account));
}

void TfrmOptions::actEditExecute() {
    QTreeWidgetItem* row = tvAccounts->currentItem();
    TAccount* account = AccountOf(row);
    if (account == nullptr) {
        return;
    }
    TfrmAccount dialog(context_.Prompts, this);
    FillAccountDialog(dialog, *account);
    if (context_.Prompts.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    ReadAccountDialog(dialog, *account);
    accountsChanged_ = true;
    ShowRow(*row);
    SortRows();
    ForceFolders(JoinPath(context_.DataFolder, "accounts"));
    SaveAccount(*account, AccountFileName(*account));
}

void TfrmOptions::actRemoveExecute() {
    QTreeWidgetItem* row = tvAccounts->currentItem();
    TAccount* account = AccountOf(row);
    if (account == nullptr) {
        return;
    }
    if (!context_.Prompts.AskYesNo(this, QStringLiteral("Remove account"),
                                   QStringLiteral("Are you sure you want to remove the account '") +
                                       Q(account->Name) + QStringLiteral("'?"))) {
        return;
    }
    TAccounts& accounts = context_.Accounts;
    if (account->Default && accounts.Count() > 1) {
        // The default passes to the next account when the first one goes, else to the previous.
        size_t index = 0;
        while (index < accounts.Count() && &accounts.Items(index) != account) {
            ++index;
        }
        if (index < accounts.Count()) {
            accounts.Items(index == 0 ? 1 : index - 1).Default = true;
        }
    }
    accountsChanged_ = true;
    std::unique_ptr<QTreeWidgetItem> removedRow(row);  // its destructor takes it off the list
    removedRow.reset();
    DeleteFileIfExists(AccountFileName(*account));
    accounts.Remove(*account);
    ShowAllRows();
    UpdateAccountActions();
}

void TfrmOptions::actSetDefaultExecute() {
    const TAccount* focused = AccountOf(tvAccounts->currentItem());
    if (focused == nullptr) {
        return;
    }
    TAccounts& accounts = context_.Accounts;
    for (size_t i = 0; i < accounts.Count(); ++i) {
        accounts.Items(i).Default = &accounts.Items(i) == focused;
    }
    accountsChanged_ = true;
    ShowAllRows();
    UpdateAccountActions();
}

void TfrmOptions::cmdSoundPreviewClick() {
    const std::string fileName = feSound->FileName().toStdString();
    if (!FileExists(fileName)) {
        context_.Prompts.ShowError(this, QStringLiteral("Error"),
                                   QStringLiteral("The specified sound file does not exist!"));
        return;
    }
    context_.Sound.PlayAsync(fileName);
}

void TfrmOptions::cmdReaderFontClick() {
    QFont font = lblReaderFontPreview->font();
    if (!context_.Prompts.ChooseFont(this, font)) {
        return;
    }
    FromQFont(font, readerFont_);
    ShowReaderFont();
}

void TfrmOptions::cmdOkClick() {
    TOptions& options = context_.Options;
    OptionsScope scope(options);
    TIniFile& ini = scope.Ini();
    {
        // One file update for everything before the skin: a skin that fails to load stops the
        // rest, but what came before it stays written.
        TIniFile::Batch batch(ini);
        ini.WriteBool("General", "Check", chkInterval->isChecked());
        ini.WriteInteger("General", "Interval", seInterval->value());
        ini.WriteBool("General", "Sound", chkSound->isChecked());
        ini.WriteString("General", "SoundFile", feSound->FileName().toStdString());
        ini.WriteBool("General", "Smilies", chkSmilies->isChecked());
        ini.WriteBool("General", "NoReplySig", chkSigReply->isChecked());
        ini.WriteBool("Reader", "NewWindow", !chkNewWindow->isChecked());
        ini.WriteBool("Reader", "AlwaysText", chkAlwaysText->isChecked());
        options.WriteFont("Reader.Font", readerFont_);
        ini.WriteBool("Bar", "AutoHide", chkBarHide->isChecked());
        ini.WriteBool("Bar", "Scroll", chkBarScroll->isChecked());
        ini.WriteInteger("Bar", "ScrollTime", seBarScroll->value());
    }
    settingsWritten_ = true;
    const QList<QListWidgetItem*> selected = lstSkins->selectedItems();
    if (!selected.isEmpty()) {
        context_.Skins.SetCurrent(lstSkins->row(selected.front()));
        if (OnApplySkin) {
            OnApplySkin(*this);
        }
    }
    ini.WriteBool("Confirmations", "Delete", chkConfirmDelete->isChecked());
}

void TfrmOptions::done(int result) {
    Guarded([this] {
        TakeLayoutFromHeader();
        TVirtualTreeHelper::SaveLayout(layout_, JoinPath(context_.DataFolder, kLayoutFileName));
    });
    QDialog::done(result);
}

bool TfrmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tvAccounts) {
        switch (event->type()) {
            case QEvent::FocusIn:
                // Enter belongs to the list while it has the focus.
                cmdOk->setDefault(false);
                break;
            case QEvent::FocusOut:
                cmdOk->setDefault(true);
                break;
            case QEvent::KeyPress: {
                const auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                    actEdit->trigger();
                    return true;
                }
                if (key->key() == Qt::Key_Delete) {
                    actRemove->trigger();
                    return true;
                }
                break;
            }
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmOptions::Guarded(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        context_.Prompts.ShowFailure(this, QString::fromStdString(error.what()));
        return false;
    }
}

}  // namespace quobel
