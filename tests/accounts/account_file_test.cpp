#include "accounts/account_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "accounts/account_passwords.h"
#include "accounts/accounts.h"
#include "accounts/password_scrambler.h"
#include "core/digest.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/ini_file.h"
#include "core/strings.h"
#include "platform/secret_store.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::TempFolder;

void WriteText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

TAccount SampleAccount() {
    TAccount account;
    account.ID = "abc";
    account.Name = "Work";
    account.Synchronize = true;
    account.Default = true;
    account.From = {"Ann Example", "ann@example.org"};
    account.POP = {"pop.example.org",         995, "ann", "s3cret pass", true, TPOPSecurity::Tls,
                   TAuthentication::Password, {},  {}};
    account.SMTP = {"smtp.example.org", 587};
    account.SkinColor = 0x0000FF00;
    account.UIDL.Assign({Md5Hex("1"), Md5Hex("2")});
    account.Announce = false;
    account.SoundFile = "/home/ann/work.wav";
    account.ShowOnBar = false;
    return account;
}

TEST(AccountFile, RoundTripsEveryFieldAndKeepsUnknownKeys) {
    const TempFolder folder;
    const std::string path = folder.File("abc.qba");
    WriteText(path, "[Account]\r\nName=old\r\nExtra=keep me\r\n[Custom]\r\nx=1\r\n");
    const TAccount saved = SampleAccount();
    SaveAccount(saved, path);

    TAccount loaded;
    LoadAccount(loaded, path);
    EXPECT_EQ(loaded.Name, saved.Name);
    EXPECT_EQ(loaded.Synchronize, saved.Synchronize);
    EXPECT_EQ(loaded.Default, saved.Default);
    EXPECT_EQ(loaded.From, saved.From);
    EXPECT_EQ(loaded.POP, saved.POP);
    EXPECT_EQ(loaded.SMTP, saved.SMTP);
    EXPECT_EQ(loaded.SkinColor, saved.SkinColor);
    EXPECT_EQ(loaded.UIDL, saved.UIDL);
    EXPECT_EQ(loaded.Announce, saved.Announce);
    EXPECT_EQ(loaded.SoundFile, saved.SoundFile);
    EXPECT_EQ(loaded.ShowOnBar, saved.ShowOnBar);

    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Account", "Extra", ""), "keep me");
    EXPECT_EQ(ini.ReadString("Custom", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("POP", "Password", ""), ScramblePassword("s3cret pass"));
    EXPECT_EQ(ini.ReadString("UIDL", Md5Hex("1"), ""), "1");
}

TEST(AccountFile, MissingKeysGiveTheDefaults) {
    const TempFolder folder;
    const std::string path = folder.File("empty.qba");
    WriteText(path, "");
    TAccount account;
    LoadAccount(account, path);
    EXPECT_EQ(account.POP.Port, 110);
    EXPECT_EQ(account.SMTP.Port, 25);
    EXPECT_FALSE(account.POP.Secure);
    EXPECT_TRUE(account.Synchronize);
    EXPECT_FALSE(account.Default);
    EXPECT_EQ(account.SkinColor, kNoSkinColor);
    EXPECT_EQ(account.POP.TLS, TPOPSecurity::None);
    EXPECT_TRUE(account.UIDL.Empty());
    // Files written before accounts had their own announcement settings announce as before.
    EXPECT_TRUE(account.Announce);
    EXPECT_TRUE(account.SoundFile.empty());
    EXPECT_TRUE(account.ShowOnBar);
}

TEST(AccountFile, KnownKeysSurviveInAnyNumberAndAnEmptyListLeavesNoSection) {
    const TempFolder folder;
    const std::string path = folder.File("many.qba");
    TAccount account = SampleAccount();
    std::vector<std::string> keys;
    for (int i = 0; i < 600; ++i) {
        keys.push_back(Md5Hex(std::to_string(i)));
    }
    account.UIDL.Assign(keys);
    SaveAccount(account, path);
    TAccount loaded;
    LoadAccount(loaded, path);
    EXPECT_EQ(loaded.UIDL.Keys(), keys);
    EXPECT_TRUE(loaded.UIDL.Contains(ToLowerAscii(keys[599])));

    account.UIDL.Clear();
    SaveAccount(account, path);
    EXPECT_FALSE(TIniFile(path).SectionExists("UIDL"));
}

TEST(AccountFile, UnreadablePasswordIsReportedAndKeptOnSave) {
    const TempFolder folder;
    const std::string path = folder.File("bad.qba");
    WriteText(path,
              "[Account]\r\nName=Bad\r\n[POP]\r\nPassword=abc\r\nPort=120\r\n[UIDL]\r\nk=1\r\n");
    TAccount account;
    try {
        LoadAccount(account, path);
        FAIL() << "expected the password to be refused";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Base64: Incorrect string format");
    }
    EXPECT_EQ(account.Name, "Bad");
    EXPECT_EQ(account.POP.Port, 120);  // the rest of the file is still read
    EXPECT_EQ(account.UIDL.Count(), 1u);
    EXPECT_TRUE(account.PasswordUnreadable());

    SaveAccount(account, path);
    EXPECT_EQ(TIniFile(path).ReadString("POP", "Password", ""), "abc");

    account.POP.Password = "new";
    SaveAccount(account, path);
    TAccount reloaded;
    LoadAccount(reloaded, path);
    EXPECT_EQ(reloaded.POP.Password, "new");
}

TEST(AccountFile, PasswordMarkerSaysWhereThePasswordLives) {
    const TempFolder folder;
    const std::string path = folder.File("abc.qba");
    const struct {
        const char* File;  // the [POP] section as found
        TPasswordPlace Place;
        const char* Password;
    } cases[] = {
        {"[POP]\r\nPassword=", TPasswordPlace::File, ""},
        {"[POP]\r\nPasswordIn=Keyring\r\n", TPasswordPlace::Keyring, ""},
        // A marker wins over a leftover password; an unknown one reads as the file.
        {"[POP]\r\nPasswordIn=Keyring\r\nPassword=abc\r\n", TPasswordPlace::Keyring, ""},
        {"[POP]\r\nPasswordIn=Vault\r\nPassword=", TPasswordPlace::File, ""},
    };
    for (const auto& c : cases) {
        WriteText(path, c.File);
        TAccount account;
        EXPECT_NO_THROW(LoadAccount(account, path)) << c.File;
        EXPECT_EQ(account.PasswordPlace, c.Place) << c.File;
        EXPECT_EQ(account.POP.Password, c.Password) << c.File;
        EXPECT_FALSE(account.PasswordUnreadable()) << c.File;
    }

    // In the keyring: the marker and no password; back in the file: as before, no marker.
    TAccount account = SampleAccount();
    account.PasswordPlace = TPasswordPlace::Keyring;
    SaveAccount(account, path);
    EXPECT_EQ(TIniFile(path).ReadString("POP", "PasswordIn", ""), "Keyring");
    EXPECT_FALSE(TIniFile(path).ValueExists("POP", "Password"));
    account.PasswordPlace = TPasswordPlace::File;
    SaveAccount(account, path);
    EXPECT_FALSE(TIniFile(path).ValueExists("POP", "PasswordIn"));
    EXPECT_EQ(TIniFile(path).ReadString("POP", "Password", ""), ScramblePassword("s3cret pass"));
}

TEST(AccountFile, TokenSettingsRoundTripAndAnOldFileReadsAsPassword) {
    const TempFolder folder;
    const std::string path = folder.File("abc.qba");
    // A file from before accounts could sign in with a token: the password, as it always was.
    WriteText(path, "[POP]\r\nHost=pop.example.org\r\nTLS=2\r\n");
    TAccount old;
    LoadAccount(old, path);
    EXPECT_EQ(old.POP.Authentication, TAuthentication::Password);
    EXPECT_EQ(old.POP.TokenCommand, "");
    EXPECT_EQ(old.POP.OAuth, TOAuthSettings{});

    const struct {
        const char* Name;
        TAuthentication Authentication;
        std::string TokenCommand;
        TOAuthSettings OAuth;
    } cases[] = {
        {"command", TAuthentication::TokenCommand, R"(oama access "ann@example.org" \x)", {}},
        {"preset", TAuthentication::OAuth2, "", {"microsoft", "client-1", "", "", "", ""}},
        {"custom",
         TAuthentication::OAuth2,
         "",
         {"custom", "id=2", "secret;3", "https://auth.example/a?x=1", "https://auth.example/t",
          "pop offline_access"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TAccount account = SampleAccount();
        account.POP.Authentication = c.Authentication;
        account.POP.TokenCommand = c.TokenCommand;
        account.POP.OAuth = c.OAuth;
        SaveAccount(account, path);
        TAccount loaded;
        LoadAccount(loaded, path);
        EXPECT_EQ(loaded.POP, account.POP);
        EXPECT_EQ(TIniFile(path).ReadInteger("POP", "Authentication", -1),
                  static_cast<int32_t>(c.Authentication));
    }

    // Back to the password: the token settings leave the file, which is as an older one.
    TAccount account = SampleAccount();
    SaveAccount(account, path);
    const TIniFile ini(path);
    for (const char* key : {"TokenCommand", "OAuthProvider", "OAuthClientId", "OAuthClientSecret",
                            "OAuthAuthorizationUrl", "OAuthTokenUrl", "OAuthScope"}) {
        EXPECT_FALSE(ini.ValueExists("POP", key)) << key;
    }
    EXPECT_EQ(ini.ReadInteger("POP", "Authentication", -1), 0);

    // A value this version does not know reads as the password.
    WriteText(path, "[POP]\r\nAuthentication=7\r\n");
    TAccount unknown;
    LoadAccount(unknown, path);
    EXPECT_EQ(unknown.POP.Authentication, TAuthentication::Password);
}

// A keyring that counts how often it is asked.
class CountingStore : public TSecretStore {
  public:
    void Store(const std::string&, const std::string&, const std::string&) override { ++Calls; }
    std::optional<std::string> Lookup(const std::string&) override {
        ++Calls;
        return std::nullopt;
    }
    void Remove(const std::string&) override { ++Calls; }
    int Calls = 0;
};

TEST(AccountPasswords, AnAccountSigningInWithATokenNeverAsksTheKeyring) {
    for (const TAuthentication authentication :
         {TAuthentication::OAuth2, TAuthentication::TokenCommand}) {
        CountingStore store;
        TAccountPasswords passwords(&store);
        std::vector<std::string> complaints;
        passwords.OnUnavailable([&](const std::string& reason) { complaints.push_back(reason); });

        TAccount account;
        account.ID = "tok";
        account.POP.Authentication = authentication;
        // Its password entry is missing: no fault, no question.
        account.PasswordPlace = TPasswordPlace::Keyring;
        EXPECT_NO_THROW(passwords.Fetch(account));
        // A password kept in the file from before stays there.
        account.PasswordPlace = TPasswordPlace::File;
        account.POP.Password = "old";
        passwords.Keep(account);
        passwords.Replace(account);
        EXPECT_EQ(account.PasswordPlace, TPasswordPlace::File);
        EXPECT_EQ(store.Calls, 0);
        EXPECT_TRUE(complaints.empty());
    }
    // The same account with a password does ask (the counting store works).
    CountingStore store;
    TAccountPasswords passwords(&store);
    TAccount account;
    account.PasswordPlace = TPasswordPlace::Keyring;
    EXPECT_THROW(passwords.Fetch(account), Error);
    EXPECT_EQ(store.Calls, 1);
}

TEST(Accounts, LoadFromFolderReadsEveryFileAndReportsFaults) {
    const TempFolder folder;
    TAccount good = SampleAccount();
    SaveAccount(good, folder.File("abc.qba"));
    WriteText(folder.File("bad.qba"), "[POP]\r\nPassword=xyz\r\n");
    WriteText(folder.File("zzz.qba"), "[Account]\r\nName=Last\r\n");
    WriteText(folder.File("notes.txt"), "");

    TAccounts accounts;
    const auto faults = accounts.LoadFromFolder(folder.Path());
    ASSERT_EQ(accounts.Count(), 3u);
    EXPECT_EQ(accounts.Items(0).ID, "abc");
    EXPECT_EQ(accounts.Items(2).Name, "Last");
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].FileName, folder.File("bad.qba"));
    EXPECT_EQ(faults[0].Message, "Base64: Incorrect string format");

    EXPECT_NE(accounts.FindByID("abc"), nullptr);
    EXPECT_EQ(accounts.FindByID("ABC"), nullptr);
    accounts.SaveAll(folder.Path());
    EXPECT_EQ(TIniFile(folder.File("bad.qba")).ReadString("POP", "Password", ""), "xyz");
}

ino_t InodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Only accounts whose known keys changed since they were read or written are written again;
// a new account is written.
TEST(Accounts, SaveChangedWritesOnlyAccountsWhoseKeysChanged) {
    const TempFolder folder;
    TAccount first = SampleAccount();
    SaveAccount(first, folder.File("abc.qba"));
    TAccount second = SampleAccount();
    second.ID = "def";
    SaveAccount(second, folder.File("def.qba"));
    TAccounts accounts;
    ASSERT_TRUE(accounts.LoadFromFolder(folder.Path()).empty());
    const ino_t firstFile = InodeOf(folder.File("abc.qba"));
    const ino_t secondFile = InodeOf(folder.File("def.qba"));

    // The same keys again, as a check that found nothing new assigns them.
    accounts.Items(0).UIDL.Assign(std::vector<std::string>(accounts.Items(0).UIDL.Keys()));
    accounts.Items(1).UIDL.Add("new");
    TAccount& added = accounts.Add(true);
    accounts.SaveChanged(folder.Path());
    EXPECT_EQ(InodeOf(folder.File("abc.qba")), firstFile);
    EXPECT_NE(InodeOf(folder.File("def.qba")), secondFile);
    EXPECT_TRUE(FileExists(TAccounts::FileNameOf(folder.Path(), added)));
    TAccount reread;
    LoadAccount(reread, folder.File("def.qba"));
    EXPECT_TRUE(reread.UIDL.Contains("new"));

    const ino_t saved = InodeOf(folder.File("def.qba"));
    accounts.SaveChanged(folder.Path());
    EXPECT_EQ(InodeOf(folder.File("def.qba")), saved);
}

TEST(Accounts, FreshIdentifiersDiffer) {
    const TempFolder folder;
    TAccounts accounts(folder.Path());
    TAccount& first = accounts.Add(true);
    SaveAccount(first, TAccounts::FileNameOf(folder.Path(), first));
    const TAccount& second = accounts.Add(true);
    EXPECT_EQ(first.ID.size(), 32u);
    EXPECT_NE(first.ID, second.ID);

    TAccount copy = accounts.Items(0);
    accounts.Items(0).Default = true;
    TAccount task = accounts.Items(0);
    EXPECT_FALSE(task.Default);  // a task's copy does not carry the default flag
    EXPECT_EQ(task.ID, first.ID);
}

TEST(UidlList, MembershipIgnoresCaseAndCountsDuplicates) {
    TUidlList list;
    list.Add("ABCdef");
    list.Add("abcdef");
    EXPECT_TRUE(list.Contains("abcDEF"));
    EXPECT_TRUE(list.Remove("ABCDEF"));
    EXPECT_TRUE(list.Contains("abcdef"));
    EXPECT_EQ(list.Keys(), std::vector<std::string>{"abcdef"});
    EXPECT_TRUE(list.Remove("abcdef"));
    EXPECT_FALSE(list.Contains("abcdef"));
    EXPECT_FALSE(list.Remove("abcdef"));
}

}  // namespace
}  // namespace quobel
