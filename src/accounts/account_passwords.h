#pragma once

#include <functional>
#include <string>

#include "accounts/account.h"
#include "core/user_text.h"

namespace quobel {

class TSecretStore;

// What the error log says, once, when the keyring cannot be used; the reason is its details.
inline constexpr const char* kKeyringUnavailable = USER_TEXT(
    "Quobel", "Passwords are kept in the account files: the desktop keyring is not available");

// Keeps the accounts' passwords in the desktop keyring when one is reachable (key = the account
// ID), else scrambled in the account files as they always were. The first time the keyring
// cannot be reached it is not asked again, and the reason is reported once. Accounts that sign
// in with an access token are left alone: they need no password.
class TAccountPasswords {
  public:
    // Without a store every password stays in its file.
    explicit TAccountPasswords(TSecretStore* store = nullptr);

    // After the account file was read: a password that lives in the keyring is fetched from it.
    // Throws Error when the keyring holds none for the account. An unreachable keyring leaves
    // the password empty (and is reported).
    void Fetch(TAccount& account);
    // Before the account file is written: a password still in the file moves to the keyring.
    void Keep(TAccount& account);
    // A password was typed: it replaces the one in the keyring, or lives in the file when no
    // keyring is reachable. An empty one leaves the account's password where it was.
    void Replace(TAccount& account);
    // The account is removed: so is its keyring entry.
    void Forget(const TAccount& account);

    // Whom to tell, once, why the keyring is not used. A reason found before is told at once.
    void OnUnavailable(std::function<void(const std::string& reason)> report);
    // Why the keyring is not used, or empty while it is (or has not been asked yet).
    const std::string& UnavailableReason() const { return reason_; }

  private:
    bool Usable() const { return store_ != nullptr && reason_.empty(); }
    // Stores the account's password; false (and reported) when the keyring cannot be reached.
    bool TryStore(const TAccount& account);
    void Unavailable(const std::string& reason);

    TSecretStore* store_;
    std::string reason_;
    bool reported_ = false;
    std::function<void(const std::string&)> report_;
};

}  // namespace quobel
