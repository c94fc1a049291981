#pragma once

#include <QCoreApplication>
#include <string>

#include "core/list_layout.h"
#include "ui/dialogs/options_page.h"

class QAction;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quobel {

class TAccount;
class TAccounts;
class TDialogPrompts;
class TAccessTokenSource;
class TfrmAccount;

// The "Accounts" tab: the list of accounts with adding, editing, removing and choosing the
// default. Every change reaches the account registry and its file at once, whatever button
// later closes the dialog, so Save has nothing left to write.
class TAccountsPage : public TOptionsPage {
    Q_DECLARE_TR_FUNCTIONS(TAccountsPage)

  public:
    // Columns of the accounts list.
    static constexpr int kColumnName = 0;
    static constexpr int kColumnHost = 1;

    // The data folder holds "accounts/" and "accheaders.dat".
    TAccountsPage(TAccounts& accounts, std::string dataFolder, TDialogPrompts& prompts,
                  QWidget* parent);

    // Lists the accounts in registry order, then applies the saved layout and sorts.
    void Load(const TIniFile& ini) override;
    void Save(TIniFile& ini) override;
    // Keeps the list's column layout for the next opening. Throws when it cannot be written.
    void SaveLayout();

    // Where the account dialog's test gets the token of an account that signs in with one.
    TAccessTokenSource* Tokens = nullptr;

    // Whether an account was added, edited, removed or made the default.
    bool AccountsChanged() const { return accountsChanged_; }

    // The commands, callable directly (the buttons and keys run the same).
    void actAddExecute();
    void actEditExecute();
    void actRemoveExecute();
    void actSetDefaultExecute();

    const TListLayout& AccountsLayout() const { return layout_; }
    // The account a row refers to.
    TAccount* AccountOf(const QTreeWidgetItem* row) const;
    // The row of an account, or nullptr.
    QTreeWidgetItem* RowOf(const TAccount& account) const;

    QTreeWidget* tvAccounts;
    QAction* actAdd;
    QAction* actEdit;
    QAction* actRemove;
    QAction* actSetDefault;
    QPushButton* cmdAdd;
    QPushButton* cmdEdit;
    QPushButton* cmdRemove;
    QPushButton* cmdSetDefault;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QTreeWidgetItem* AddRow(TAccount& account);
    void ShowRow(QTreeWidgetItem& row) const;
    void ShowAllRows() const;
    void SortRows();
    void UpdateAccountActions();
    void ApplyLayoutToHeader();
    void TakeLayoutFromHeader();
    void HeaderClicked(int column);
    std::string AccountsFolder() const;
    void Guarded(void (TAccountsPage::*command)());

    TAccounts& accounts_;
    std::string dataFolder_;
    TDialogPrompts& prompts_;
    TListLayout layout_;
    bool accountsChanged_ = false;
};

}  // namespace quobel
