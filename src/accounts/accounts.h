#pragma once

#include <memory>
#include <string>
#include <vector>

#include "accounts/account.h"
#include "accounts/account_passwords.h"

namespace quobel {

// An account file that could not be read whole, to be reported once by the caller.
struct TAccountLoadFault {
    std::string FileName;
    std::string Message;
};

// The registry of accounts, one file per account in the accounts folder, their passwords in the
// desktop keyring (secrets) when one is given and reachable.
class TAccounts {
  public:
    explicit TAccounts(std::string accountsFolder = {}, TSecretStore* secrets = nullptr);

    size_t Count() const { return items_.size(); }
    TAccount& Items(size_t index) { return *items_[index]; }
    const TAccount& Items(size_t index) const { return *items_[index]; }

    // The folder new identifiers are made unique in, and where LoadFromFolder last loaded from.
    const std::string& Folder() const { return folder_; }

    // Appends a new empty account; with freshId its ID is a file name not yet used there.
    TAccount& Add(bool freshId);
    // Searches from the last account to the first; letter case counts.
    TAccount* FindByID(std::string_view id);
    void Remove(const TAccount& account);
    void Clear() { items_.clear(); }

    // Loads every "*.qba" file of the folder (in name order), with the passwords kept in the
    // keyring. A file whose password cannot be read still loads (see LoadAccount); its fault is
    // returned with the others.
    std::vector<TAccountLoadFault> LoadFromFolder(const std::string& folder);
    // Writes every account to folder + "/" + ID + ".qba", moving passwords still in the files to
    // the keyring.
    void SaveAll(const std::string& folder);
    // The same for the accounts whose files are out of date: their known keys changed since
    // they were read or written, or their password can move to the keyring.
    void SaveChanged(const std::string& folder);
    // Writes one account the same way.
    void Save(TAccount& account, const std::string& folder);
    // Removes the account, its file in folder and its keyring entry.
    void Delete(const TAccount& account, const std::string& folder);

    TAccountPasswords& Passwords() { return passwords_; }

    static std::string FileNameOf(const std::string& folder, const TAccount& account);

  private:
    std::string folder_;
    TAccountPasswords passwords_;
    std::vector<std::unique_ptr<TAccount>> items_;
};

}  // namespace quobel
