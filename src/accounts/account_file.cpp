#include "accounts/account_file.h"

#include <array>
#include <utility>

#include "accounts/base64.h"
#include "accounts/password_scrambler.h"
#include "core/error.h"
#include "core/ini_file.h"

namespace quobel {
namespace {

// The value of "POP"/"PasswordIn" for a password kept in the desktop keyring.
constexpr const char* kInKeyring = "Keyring";

// The OAuth 2.0 settings' keys in the "POP" section, in the order they are written.
std::array<std::pair<const char*, std::string*>, 6> OAuthFields(TOAuthSettings& oauth) {
    return {{{"OAuthProvider", &oauth.Provider},
             {"OAuthClientId", &oauth.ClientId},
             {"OAuthClientSecret", &oauth.ClientSecret},
             {"OAuthAuthorizationUrl", &oauth.AuthorizationUrl},
             {"OAuthTokenUrl", &oauth.TokenUrl},
             {"OAuthScope", &oauth.Scope}}};
}

void WriteOrDelete(TIniFile& ini, const char* key, const std::string& value) {
    if (value.empty()) {
        ini.DeleteKey("POP", key);
    } else {
        ini.WriteString("POP", key, value);
    }
}

}  // namespace

void LoadAccount(TAccount& account, const std::string& fileName) {
    const TIniFile ini(fileName);
    account.Name = ini.ReadString("Account", "Name", "");
    account.SkinColor = static_cast<uint32_t>(
        ini.ReadInteger("Account", "SkinColor", static_cast<int32_t>(kNoSkinColor)));
    account.Synchronize = ini.ReadBool("Account", "Synchronize", true);
    account.Default = ini.ReadBool("Account", "Default", false);
    account.Announce = ini.ReadBool("Account", "Announce", true);
    account.SoundFile = ini.ReadString("Account", "SoundFile", "");
    account.ShowOnBar = ini.ReadBool("Account", "ShowOnBar", true);
    account.From.Name = ini.ReadString("From", "Name", "");
    account.From.Email = ini.ReadString("From", "Email", "");
    account.POP.Host = ini.ReadString("POP", "Host", "");
    account.POP.Port = ini.ReadInteger("POP", "Port", 110);
    account.POP.Username = ini.ReadString("POP", "Username", "");
    account.PasswordPlace = ini.ReadString("POP", "PasswordIn", "") == kInKeyring
                                ? TPasswordPlace::Keyring
                                : TPasswordPlace::File;
    account.POP.Password.clear();
    account.UnreadableStoredPassword.clear();
    bool passwordUnreadable = false;
    // A password in the keyring is fetched by whoever keeps the accounts.
    if (account.PasswordPlace == TPasswordPlace::File) {
        const std::string stored = ini.ReadString("POP", "Password", "");
        try {
            account.POP.Password = UnscramblePassword(stored);
        } catch (const Error&) {
            account.UnreadableStoredPassword = stored;
            passwordUnreadable = true;
        }
    }
    account.POP.Secure = ini.ReadBool("POP", "Secure", false);
    const int32_t tls = ini.ReadInteger("POP", "TLS", 0);
    account.POP.TLS = tls >= 0 && tls <= 2 ? static_cast<TPOPSecurity>(tls) : TPOPSecurity::None;
    const int32_t authentication = ini.ReadInteger("POP", "Authentication", 0);
    account.POP.Authentication = authentication >= 0 && authentication <= 2
                                     ? static_cast<TAuthentication>(authentication)
                                     : TAuthentication::Password;
    account.POP.TokenCommand = ini.ReadString("POP", "TokenCommand", "");
    for (const auto& [key, field] : OAuthFields(account.POP.OAuth)) {
        *field = ini.ReadString("POP", key, "");
    }
    account.TrustedKey.Host = ini.ReadString("POP", "TrustedHost", "");
    account.TrustedKey.Key = ini.ReadString("POP", "TrustedKey", "");
    account.SMTP.Host = ini.ReadString("SMTP", "Host", "");
    account.SMTP.Port = ini.ReadInteger("SMTP", "Port", 25);
    account.UIDL.Assign(ini.ReadSection("UIDL"));
    account.UIDL.MarkSaved();
    if (passwordUnreadable) {
        throw Error(kBase64FormatError);
    }
}

void SaveAccount(const TAccount& account, const std::string& fileName) {
    TIniFile ini(fileName);
    TIniFile::Batch batch(ini);
    ini.WriteString("Account", "Name", account.Name);
    ini.WriteInteger("Account", "SkinColor", static_cast<int32_t>(account.SkinColor));
    ini.WriteBool("Account", "Synchronize", account.Synchronize);
    ini.WriteBool("Account", "Default", account.Default);
    ini.WriteBool("Account", "Announce", account.Announce);
    ini.WriteString("Account", "SoundFile", account.SoundFile);
    ini.WriteBool("Account", "ShowOnBar", account.ShowOnBar);
    ini.WriteString("From", "Name", account.From.Name);
    ini.WriteString("From", "Email", account.From.Email);
    ini.WriteString("POP", "Host", account.POP.Host);
    ini.WriteInteger("POP", "Port", account.POP.Port);
    ini.WriteString("POP", "Username", account.POP.Username);
    if (account.PasswordPlace == TPasswordPlace::Keyring) {
        ini.WriteString("POP", "PasswordIn", kInKeyring);
        ini.DeleteKey("POP", "Password");
    } else {
        // A file password is written as it always was, without the marker.
        ini.DeleteKey("POP", "PasswordIn");
        const bool keepStored = account.PasswordUnreadable() && account.POP.Password.empty();
        ini.WriteString(
            "POP", "Password",
            keepStored ? account.UnreadableStoredPassword : ScramblePassword(account.POP.Password));
    }
    ini.WriteBool("POP", "Secure", account.POP.Secure);
    ini.WriteInteger("POP", "TLS", static_cast<int32_t>(account.POP.TLS));
    ini.WriteInteger("POP", "Authentication", static_cast<int32_t>(account.POP.Authentication));
    // The token settings are written only when they hold something: a password account's file
    // stays as it was.
    WriteOrDelete(ini, "TokenCommand", account.POP.TokenCommand);
    TOAuthSettings oauth = account.POP.OAuth;
    for (const auto& [key, field] : OAuthFields(oauth)) {
        WriteOrDelete(ini, key, *field);
    }
    // Only an account whose user trusted a certificate carries the keys.
    if (account.TrustedKey.Key.empty()) {
        ini.DeleteKey("POP", "TrustedHost");
        ini.DeleteKey("POP", "TrustedKey");
    } else {
        ini.WriteString("POP", "TrustedHost", account.TrustedKey.Host);
        ini.WriteString("POP", "TrustedKey", account.TrustedKey.Key);
    }
    ini.WriteString("SMTP", "Host", account.SMTP.Host);
    ini.WriteInteger("SMTP", "Port", account.SMTP.Port);
    ini.ReplaceSection("UIDL", account.UIDL.Keys(), "1");
}

}  // namespace quobel
