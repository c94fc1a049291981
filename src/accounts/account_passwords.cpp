#include "accounts/account_passwords.h"

#include <utility>

#include "core/error.h"
#include "platform/secret_store.h"

namespace quobel {
namespace {

// What the keyring manager shows for an account's entry.
std::string LabelOf(const TAccount& account) {
    return "Quobel: " + (account.Name.empty() ? account.ID : account.Name);
}

// An account that signs in with an access token needs no password: the keyring is not asked
// for it (which might prompt to unlock) and a missing one is no fault. A password kept from
// before stays where it is, for when the account goes back to it.
bool UsesPassword(const TAccount& account) {
    return account.POP.Authentication == TAuthentication::Password;
}

}  // namespace

TAccountPasswords::TAccountPasswords(TSecretStore* store) : store_(store) {}

void TAccountPasswords::Fetch(TAccount& account) {
    if (account.PasswordPlace != TPasswordPlace::Keyring || !UsesPassword(account)) {
        return;
    }
    account.POP.Password.clear();
    if (store_ == nullptr) {
        Unavailable("No keyring is used");
        return;
    }
    if (!Usable()) {
        return;
    }
    std::optional<std::string> found;
    try {
        found = store_->Lookup(account.ID);
    } catch (const Error& error) {
        Unavailable(error.what());
        return;
    }
    if (!found) {
        throw Error("The password is not in the desktop keyring");
    }
    account.POP.Password = std::move(*found);
}

void TAccountPasswords::Keep(TAccount& account) {
    if (account.PasswordPlace != TPasswordPlace::File || account.PasswordUnreadable() ||
        account.POP.Password.empty() || !UsesPassword(account) || !Usable()) {
        return;
    }
    if (TryStore(account)) {
        account.PasswordPlace = TPasswordPlace::Keyring;
    }
}

void TAccountPasswords::Replace(TAccount& account) {
    if (account.POP.Password.empty() || !UsesPassword(account)) {
        return;
    }
    account.PasswordPlace =
        Usable() && TryStore(account) ? TPasswordPlace::Keyring : TPasswordPlace::File;
}

void TAccountPasswords::Forget(const TAccount& account) {
    if (account.PasswordPlace != TPasswordPlace::Keyring || !Usable()) {
        return;
    }
    try {
        store_->Remove(account.ID);
    } catch (const Error& error) {
        Unavailable(error.what());
    }
}

void TAccountPasswords::OnUnavailable(std::function<void(const std::string&)> report) {
    report_ = std::move(report);
    if (!reason_.empty() && !reported_ && report_) {
        reported_ = true;
        report_(reason_);
    }
}

bool TAccountPasswords::TryStore(const TAccount& account) {
    try {
        store_->Store(account.ID, LabelOf(account), account.POP.Password);
        return true;
    } catch (const Error& error) {
        Unavailable(error.what());
        return false;
    }
}

void TAccountPasswords::Unavailable(const std::string& reason) {
    if (!reason_.empty()) {
        return;
    }
    reason_ = reason.empty() ? "The keyring failed" : reason;
    if (!reported_ && report_) {
        reported_ = true;
        report_(reason_);
    }
}

}  // namespace quobel
