// Account passwords against a real Secret Service: each test starts a private session bus with
// GNOME Keyring on it (support/private_keyring.h), or none at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "accounts/account_file.h"
#include "accounts/account_passwords.h"
#include "accounts/accounts.h"
#include "accounts/password_scrambler.h"
#include "core/file_util.h"
#include "core/ini_file.h"
#include "platform/secret_service_store.h"
#include "support/private_keyring.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::PrivateKeyring;
using testing::TempFolder;

// An account as an older Quobel wrote it: the password scrambled in the file, no marker.
void WriteFileAccount(const std::string& folder, const std::string& id,
                      const std::string& password) {
    TAccount account;
    account.ID = id;
    account.Name = "Account " + id;
    account.POP = {"pop.example.org",         995, "ann", password, false, TPOPSecurity::Tls,
                   TAuthentication::Password, {},  {}};
    ForceFolders(folder);
    SaveAccount(account, TAccounts::FileNameOf(folder, account));
}

std::string Stored(const std::string& path, const std::string& key) {
    return TIniFile(path).ReadString("POP", key, "(none)");
}

TEST(KeyringPasswords, SavedPasswordLivesInTheKeyringAndReadsBack) {
    const PrivateKeyring keyring;
    const TempFolder folder;
    TSecretServiceStore secrets("Quobel");
    std::string id;
    {
        TAccounts accounts(folder.Path(), &secrets);
        TAccount& account = accounts.Add(true);
        id = account.ID;
        account.Name = "Work";
        account.POP.Password = "s3cret pass";
        accounts.Passwords().Replace(account);
        accounts.Save(account, folder.Path());
        EXPECT_EQ(account.PasswordPlace, TPasswordPlace::Keyring);
        EXPECT_EQ(accounts.Passwords().UnavailableReason(), "");
    }
    const std::string file = folder.File(id + ".qba");
    EXPECT_EQ(Stored(file, "PasswordIn"), "Keyring");
    EXPECT_EQ(Stored(file, "Password"), "(none)");
    EXPECT_EQ(secrets.Lookup(id), "s3cret pass");

    // A new password typed later replaces the keyring's.
    TAccounts reread(folder.Path(), &secrets);
    EXPECT_TRUE(reread.LoadFromFolder(folder.Path()).empty());
    ASSERT_EQ(reread.Count(), 1u);
    EXPECT_EQ(reread.Items(0).POP.Password, "s3cret pass");
    reread.Items(0).POP.Password = "changed";
    reread.Passwords().Replace(reread.Items(0));
    reread.SaveAll(folder.Path());
    EXPECT_EQ(secrets.Lookup(id), "changed");
}

TEST(KeyringPasswords, FilePasswordMovesToTheKeyringOnNextSave) {
    const PrivateKeyring keyring;
    const TempFolder folder;
    WriteFileAccount(folder.Path(), "old", "from the file");
    const std::string file = folder.File("old.qba");
    ASSERT_EQ(Stored(file, "Password"), ScramblePassword("from the file"));

    TSecretServiceStore secrets("Quobel");
    TAccounts accounts(folder.Path(), &secrets);
    EXPECT_TRUE(accounts.LoadFromFolder(folder.Path()).empty());
    // Reading alone moves nothing.
    EXPECT_EQ(accounts.Items(0).PasswordPlace, TPasswordPlace::File);
    EXPECT_EQ(secrets.Lookup("old"), std::nullopt);

    accounts.SaveAll(folder.Path());
    EXPECT_EQ(Stored(file, "PasswordIn"), "Keyring");
    EXPECT_EQ(Stored(file, "Password"), "(none)");
    EXPECT_EQ(secrets.Lookup("old"), "from the file");

    TAccounts reread(folder.Path(), &secrets);
    EXPECT_TRUE(reread.LoadFromFolder(folder.Path()).empty());
    EXPECT_EQ(reread.Items(0).POP.Password, "from the file");
}

TEST(KeyringPasswords, RemovingAnAccountRemovesItsEntry) {
    const PrivateKeyring keyring;
    const TempFolder folder;
    WriteFileAccount(folder.Path(), "gone", "pw");
    WriteFileAccount(folder.Path(), "kept", "pw2");
    TSecretServiceStore secrets("Quobel");
    TAccounts accounts(folder.Path(), &secrets);
    accounts.LoadFromFolder(folder.Path());
    accounts.SaveAll(folder.Path());
    ASSERT_EQ(secrets.Lookup("gone"), "pw");

    accounts.Delete(*accounts.FindByID("gone"), folder.Path());
    EXPECT_EQ(secrets.Lookup("gone"), std::nullopt);
    EXPECT_FALSE(FileExists(folder.File("gone.qba")));
    EXPECT_EQ(secrets.Lookup("kept"), "pw2");
    EXPECT_EQ(accounts.Count(), 1u);
}

TEST(KeyringPasswords, MissingEntryIsAFaultOfThatAccountOnly) {
    const PrivateKeyring keyring;
    const TempFolder folder;
    WriteFileAccount(folder.Path(), "a", "pw");
    TSecretServiceStore secrets("Quobel");
    {
        TAccounts accounts(folder.Path(), &secrets);
        accounts.LoadFromFolder(folder.Path());
        accounts.SaveAll(folder.Path());
    }
    secrets.Remove("a");

    TAccounts accounts(folder.Path(), &secrets);
    const std::vector<TAccountLoadFault> faults = accounts.LoadFromFolder(folder.Path());
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].Message, "The password is not in the desktop keyring");
    ASSERT_EQ(accounts.Count(), 1u);
    EXPECT_EQ(accounts.Items(0).POP.Password, "");
    // Saving keeps the marker: the password is looked for there again next time.
    accounts.SaveAll(folder.Path());
    EXPECT_EQ(Stored(folder.File("a.qba"), "PasswordIn"), "Keyring");
    EXPECT_EQ(accounts.Passwords().UnavailableReason(), "");
}

// No session bus at all: passwords stay in the files as before, and the reason is told once.
TEST(KeyringPasswords, NoBusKeepsFilePasswordsAndTellsWhyOnce) {
    const TempFolder folder;
    const TempFolder noBus;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + noBus.File("bus")).c_str(), 1);
    WriteFileAccount(folder.Path(), "one", "first");
    WriteFileAccount(folder.Path(), "two", "second");

    TSecretServiceStore secrets("Quobel");
    TAccounts accounts(folder.Path(), &secrets);
    std::vector<std::string> told;
    accounts.Passwords().OnUnavailable([&told](const std::string& why) { told.push_back(why); });
    EXPECT_TRUE(accounts.LoadFromFolder(folder.Path()).empty());
    accounts.SaveAll(folder.Path());
    accounts.Items(0).POP.Password = "typed";
    accounts.Passwords().Replace(accounts.Items(0));
    accounts.SaveAll(folder.Path());
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");

    ASSERT_EQ(told.size(), 1u);
    EXPECT_FALSE(told[0].empty());
    EXPECT_EQ(Stored(folder.File("one.qba"), "Password"), ScramblePassword("typed"));
    EXPECT_EQ(Stored(folder.File("two.qba"), "Password"), ScramblePassword("second"));
    EXPECT_EQ(Stored(folder.File("one.qba"), "PasswordIn"), "(none)");
    EXPECT_EQ(Stored(folder.File("two.qba"), "PasswordIn"), "(none)");
}

}  // namespace
}  // namespace quobel
