#pragma once

#include <memory>
#include <string>
#include <vector>

#include "accounts/account.h"

namespace quobel {

// An account file that could not be read whole, to be reported once by the caller.
struct TAccountLoadFault {
    std::string FileName;
    std::string Message;
};

// The registry of accounts, one file per account in the accounts folder.
class TAccounts {
  public:
    explicit TAccounts(std::string accountsFolder = {});

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

    // Loads every "*.qba" file of the folder (in name order). A file whose password cannot be
    // unscrambled still loads (see LoadAccount); its fault is returned with the others.
    std::vector<TAccountLoadFault> LoadFromFolder(const std::string& folder);
    // Writes every account to folder + "/" + ID + ".qba".
    void SaveAll(const std::string& folder) const;

    static std::string FileNameOf(const std::string& folder, const TAccount& account);

  private:
    std::string folder_;
    std::vector<std::unique_ptr<TAccount>> items_;
};

}  // namespace quobel
