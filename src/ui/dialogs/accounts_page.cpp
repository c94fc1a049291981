#include "ui/dialogs/accounts_page.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <vector>

#include "accounts/accounts.h"
#include "core/file_util.h"
#include "ui/common/qt_text.h"
#include "ui/dialogs/account_dialog.h"
#include "ui/dialogs/color_picker.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel {
namespace {

constexpr const char* kLayoutFileName = "accheaders.dat";

// A row of the accounts list: it refers to its account and sorts by the page's sort column.
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
        return Q(layout_.SortColumn == TAccountsPage::kColumnHost ? Account.POP.Host
                                                                  : Account.Name);
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

TAccountsPage::TAccountsPage(TAccounts& accounts, std::string dataFolder, TDialogPrompts& prompts,
                             QWidget* parent)
    : TOptionsPage(parent),
      accounts_(accounts),
      dataFolder_(std::move(dataFolder)),
      prompts_(prompts) {
    tvAccounts = new QTreeWidget(this);
    tvAccounts->setColumnCount(2);
    tvAccounts->setHeaderLabels({tr("Name"), tr("Host")});
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

    actAdd = new QAction(tr("&Add"), this);
    actAdd->setToolTip(tr("Add account"));
    actEdit = new QAction(tr("&Edit"), this);
    actEdit->setToolTip(tr("Edit account"));
    actRemove = new QAction(tr("&Remove"), this);
    actRemove->setToolTip(tr("Remove account"));
    actSetDefault = new QAction(tr("Set as &default"), this);
    actSetDefault->setToolTip(tr("Set as default"));
    actEdit->setEnabled(false);
    actRemove->setEnabled(false);
    actSetDefault->setEnabled(false);
    connect(actAdd, &QAction::triggered, this, [this] { Guarded(&TAccountsPage::actAddExecute); });
    connect(actEdit, &QAction::triggered, this,
            [this] { Guarded(&TAccountsPage::actEditExecute); });
    connect(actRemove, &QAction::triggered, this,
            [this] { Guarded(&TAccountsPage::actRemoveExecute); });
    connect(actSetDefault, &QAction::triggered, this,
            [this] { Guarded(&TAccountsPage::actSetDefaultExecute); });

    cmdAdd = CommandButton(actAdd, this);
    cmdEdit = CommandButton(actEdit, this);
    cmdRemove = CommandButton(actRemove, this);
    cmdSetDefault = CommandButton(actSetDefault, this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdEdit);
    buttons->addWidget(cmdRemove);
    buttons->addWidget(cmdSetDefault);
    buttons->addStretch();
    auto* tab = new QHBoxLayout(this);
    tab->addWidget(tvAccounts, 1);
    tab->addLayout(buttons);

    connect(header, &QHeaderView::sectionClicked, this, &TAccountsPage::HeaderClicked);
    connect(tvAccounts, &QTreeWidget::currentItemChanged, this,
            &TAccountsPage::UpdateAccountActions);
    connect(tvAccounts, &QTreeWidget::itemDoubleClicked, this, [this] { actEdit->trigger(); });
    tvAccounts->installEventFilter(this);
}

void TAccountsPage::Load(const TIniFile& /*ini*/) {
    tvAccounts->clear();
    for (size_t i = 0; i < accounts_.Count(); ++i) {
        AddRow(accounts_.Items(i));
    }
    TVirtualTreeHelper::LoadLayout(layout_, JoinPath(dataFolder_, kLayoutFileName));
    ApplyLayoutToHeader();
    SortRows();
    UpdateAccountActions();
}

void TAccountsPage::Save(TIniFile& /*ini*/) {}

void TAccountsPage::SaveLayout() {
    TakeLayoutFromHeader();
    TVirtualTreeHelper::SaveLayout(layout_, JoinPath(dataFolder_, kLayoutFileName));
}

void TAccountsPage::UpdateAccountActions() {
    const TAccount* account = AccountOf(tvAccounts->currentItem());
    actEdit->setEnabled(account != nullptr);
    actRemove->setEnabled(account != nullptr);
    actSetDefault->setEnabled(account != nullptr && !account->Default);
}

TAccount* TAccountsPage::AccountOf(const QTreeWidgetItem* row) const {
    const auto* accountRow = dynamic_cast<const TAccountRow*>(row);
    return accountRow != nullptr ? &accountRow->Account : nullptr;
}

QTreeWidgetItem* TAccountsPage::RowOf(const TAccount& account) const {
    for (int i = 0; i < tvAccounts->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = tvAccounts->topLevelItem(i);
        if (AccountOf(row) == &account) {
            return row;
        }
    }
    return nullptr;
}

QTreeWidgetItem* TAccountsPage::AddRow(TAccount& account) {
    auto* row = new TAccountRow(tvAccounts, account, layout_);
    ShowRow(*row);
    return row;
}

void TAccountsPage::ShowRow(QTreeWidgetItem& row) const {
    const TAccount* account = AccountOf(&row);
    if (account == nullptr) {
        return;
    }
    QString name = Q(account->Name);
    if (account->Default) {
        name += tr(" (default)");
    }
    row.setText(kColumnName, name);
    row.setText(kColumnHost, Q(account->POP.Host));
    row.setIcon(kColumnName, ColorSquare(account->SkinColor));
}

void TAccountsPage::ShowAllRows() const {
    for (int i = 0; i < tvAccounts->topLevelItemCount(); ++i) {
        ShowRow(*tvAccounts->topLevelItem(i));
    }
}

void TAccountsPage::SortRows() {
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

void TAccountsPage::HeaderClicked(int column) {
    // The header only reports left clicks.
    if (TVirtualTreeHelper::HeaderClick(layout_, column, TMouseButton::Left)) {
        SortRows();
    }
}

void TAccountsPage::ApplyLayoutToHeader() {
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

void TAccountsPage::TakeLayoutFromHeader() {
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

std::string TAccountsPage::AccountsFolder() const {
    return JoinPath(dataFolder_, "accounts");
}

void TAccountsPage::actAddExecute() {
    TfrmAccount dialog(prompts_, window());
    dialog.Tokens = Tokens;
    dialog.SetAccountColor(kNoSkinColor);
    if (prompts_.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    TAccount& account = accounts_.Add(true);
    dialog.ReadAccount(account);
    if (accounts_.Count() == 1) {
        account.Default = true;
    }
    accountsChanged_ = true;
    // The row comes first so that the list shows what the registry holds even when the file
    // cannot be written.
    AddRow(account);
    SortRows();
    UpdateAccountActions();
    ForceFolders(AccountsFolder());
    accounts_.Passwords().Replace(account);
    accounts_.Save(account, AccountsFolder());
}

void TAccountsPage::actEditExecute() {
    QTreeWidgetItem* row = tvAccounts->currentItem();
    TAccount* account = AccountOf(row);
    if (account == nullptr) {
        return;
    }
    TfrmAccount dialog(prompts_, window());
    dialog.Tokens = Tokens;
    dialog.ShowAccount(*account);
    if (prompts_.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    dialog.ReadAccount(*account);
    accountsChanged_ = true;
    ShowRow(*row);
    SortRows();
    ForceFolders(AccountsFolder());
    accounts_.Passwords().Replace(*account);
    accounts_.Save(*account, AccountsFolder());
}

void TAccountsPage::actRemoveExecute() {
    QTreeWidgetItem* row = tvAccounts->currentItem();
    TAccount* account = AccountOf(row);
    if (account == nullptr) {
        return;
    }
    if (!prompts_.AskYesNo(
            window(), tr("Remove account"),
            tr("Are you sure you want to remove the account '%1'?").arg(Q(account->Name)))) {
        return;
    }
    if (account->Default && accounts_.Count() > 1) {
        // The default passes to the next account when the first one goes, else to the previous.
        size_t index = 0;
        while (index < accounts_.Count() && &accounts_.Items(index) != account) {
            ++index;
        }
        if (index < accounts_.Count()) {
            accounts_.Items(index == 0 ? 1 : index - 1).Default = true;
        }
    }
    accountsChanged_ = true;
    std::unique_ptr<QTreeWidgetItem> removedRow(row);  // its destructor takes it off the list
    removedRow.reset();
    accounts_.Delete(*account, AccountsFolder());
    ShowAllRows();
    UpdateAccountActions();
}

void TAccountsPage::actSetDefaultExecute() {
    const TAccount* focused = AccountOf(tvAccounts->currentItem());
    if (focused == nullptr) {
        return;
    }
    for (size_t i = 0; i < accounts_.Count(); ++i) {
        accounts_.Items(i).Default = &accounts_.Items(i) == focused;
    }
    accountsChanged_ = true;
    ShowAllRows();
    UpdateAccountActions();
}

bool TAccountsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tvAccounts && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            actEdit->trigger();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            actRemove->trigger();
            return true;
        }
    }
    return TOptionsPage::eventFilter(watched, event);
}

void TAccountsPage::Guarded(void (TAccountsPage::*command)()) {
    RunReportingFailure(prompts_, window(), [this, command] { (this->*command)(); });
}

}  // namespace quobel
