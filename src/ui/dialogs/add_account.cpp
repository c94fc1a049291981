#include "ui/dialogs/add_account.h"

#include <QDialog>

#include "accounts/accounts.h"
#include "core/file_util.h"
#include "ui/dialogs/account_dialog.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel {

TAccount* AddAccountByDialog(TDialogPrompts& prompts, TAccounts& accounts,
                             const std::string& accountsFolder, QWidget* parent,
                             TAccessTokenSource* tokens) {
    TfrmAccount dialog(prompts, parent);
    dialog.Tokens = tokens;
    dialog.SetAccountColor(kNoSkinColor);
    if (prompts.RunModal(dialog) != QDialog::Accepted) {
        return nullptr;
    }
    TAccount& account = accounts.Add(true);
    dialog.ReadAccount(account);
    if (accounts.Count() == 1) {
        account.Default = true;
    }
    ForceFolders(accountsFolder);
    accounts.Save(account, accountsFolder);
    return &account;
}

}  // namespace quobel
