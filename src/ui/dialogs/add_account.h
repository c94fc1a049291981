#pragma once

#include <string>

class QWidget;

namespace quobel {

class TAccessTokenSource;
class TAccount;
class TAccounts;
class TDialogPrompts;

// Asks for a new account in the account dialog and, after OK, adds it to the registry (the first
// account becomes the default) and writes its file into the accounts folder. Returns the new
// account, or nullptr when the dialog was cancelled. A file that cannot be written throws; the
// account stays in the registry and is saved again at exit. The dialog's test gets the tokens
// of accounts that sign in with one from `tokens`.
TAccount* AddAccountByDialog(TDialogPrompts& prompts, TAccounts& accounts,
                             const std::string& accountsFolder, QWidget* parent,
                             TAccessTokenSource* tokens = nullptr);

}  // namespace quobel
