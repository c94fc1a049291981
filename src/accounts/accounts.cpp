#include "accounts/accounts.h"

#include <dirent.h>

#include <algorithm>

#include "accounts/account_file.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/unique_file_name.h"

namespace quobel {
namespace {

constexpr std::string_view kExtension = ".qba";

std::vector<std::string> ListAccountFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > kExtension.size() && name.ends_with(kExtension) &&
            FileExists(JoinPath(folder, name))) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TAccounts::TAccounts(std::string accountsFolder, TSecretStore* secrets)
    : folder_(std::move(accountsFolder)), passwords_(secrets) {}

TAccount& TAccounts::Add(bool freshId) {
    auto account = std::make_unique<TAccount>();
    if (freshId) {
        account->ID = UniqueFileName(folder_, std::string(kExtension));
    }
    items_.push_back(std::move(account));
    return *items_.back();
}

TAccount* TAccounts::FindByID(std::string_view id) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if ((*it)->ID == id) {
            return it->get();
        }
    }
    return nullptr;
}

void TAccounts::Remove(const TAccount& account) {
    std::erase_if(items_,
                  [&](const std::unique_ptr<TAccount>& item) { return item.get() == &account; });
}

std::vector<TAccountLoadFault> TAccounts::LoadFromFolder(const std::string& folder) {
    folder_ = folder;
    std::vector<TAccountLoadFault> faults;
    for (const std::string& name : ListAccountFiles(folder)) {
        TAccount& account = Add(false);
        account.ID = name.substr(0, name.size() - kExtension.size());
        const std::string path = JoinPath(folder, name);
        try {
            LoadAccount(account, path);
            passwords_.Fetch(account);
        } catch (const Error& error) {
            faults.push_back({path, error.what()});
        }
    }
    return faults;
}

void TAccounts::SaveAll(const std::string& folder) {
    for (const auto& account : items_) {
        Save(*account, folder);
    }
}

void TAccounts::SaveChanged(const std::string& folder) {
    for (const auto& account : items_) {
        if (!account->UIDL.Unsaved()) {
            // Only a password that did move to the keyring needs the file rewritten.
            const TPasswordPlace before = account->PasswordPlace;
            passwords_.Keep(*account);
            if (account->PasswordPlace == before) {
                continue;
            }
        }
        Save(*account, folder);
    }
}

void TAccounts::Save(TAccount& account, const std::string& folder) {
    passwords_.Keep(account);
    SaveAccount(account, FileNameOf(folder, account));
    account.UIDL.MarkSaved();
}

void TAccounts::Delete(const TAccount& account, const std::string& folder) {
    passwords_.Forget(account);
    DeleteFileIfExists(FileNameOf(folder, account));
    Remove(account);
}

std::string TAccounts::FileNameOf(const std::string& folder, const TAccount& account) {
    return JoinPath(folder, account.ID + std::string(kExtension));
}

}  // namespace quobel
