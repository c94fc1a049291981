#pragma once

#include <cstdint>
#include <string>

#include "accounts/uidl_list.h"

namespace quobel {

// An account's colour value meaning "use the skin's colour".
inline constexpr uint32_t kNoSkinColor = 0x1FFFFFFFu;

struct TContact {
    std::string Name;
    std::string Email;
    bool operator==(const TContact&) const = default;
};

// How the POP3 session secures its connection (account file key "POP"/"TLS").
enum class TPOPSecurity : int32_t {
    None = 0,      // plain TCP
    StartTls = 1,  // "STLS" after the greeting, before logging in
    Tls = 2,       // TLS from the first byte (usually port 995)
};

// How the session proves who it is (account file key "POP"/"Authentication").
enum class TAuthentication : int32_t {
    Password = 0,      // the password: USER/PASS, APOP or SASL PLAIN
    OAuth2 = 1,        // an access token from the program's own OAuth 2.0 sign-in
    TokenCommand = 2,  // an access token printed by a command the user names
};

// Where an account signs in with OAuth 2.0. Provider names a preset ("microsoft", "google") or
// "custom", whose endpoints and scope are the fields below. Each installation registers its own
// application with the provider, so the client ID (and secret, where the provider demands one)
// belong to the user's settings. The refresh token lives in the keyring, never here.
struct TOAuthSettings {
    std::string Provider;
    std::string ClientId;
    std::string ClientSecret;
    std::string AuthorizationUrl;
    std::string TokenUrl;
    std::string Scope;
    bool operator==(const TOAuthSettings&) const = default;
};

struct TPOPData {
    std::string Host;
    int32_t Port = 0;
    std::string Username;
    std::string Password;  // plain text in memory only
    bool Secure = false;   // log in with APOP
    TPOPSecurity TLS = TPOPSecurity::None;
    TAuthentication Authentication = TAuthentication::Password;
    // The command line whose standard output is the access token (TokenCommand).
    std::string TokenCommand;
    TOAuthSettings OAuth;
    bool operator==(const TPOPData&) const = default;
};

// A server certificate the user chose to trust although it did not verify: the SHA-256 of its
// public key (64 lowercase hexadecimal digits) and the POP3 host it was presented by. It counts
// only while the account connects to that host.
struct TTrustedKey {
    std::string Host;
    std::string Key;
    bool operator==(const TTrustedKey&) const = default;
};

struct TSMTPData {
    std::string Host;
    int32_t Port = 0;
    bool operator==(const TSMTPData&) const = default;
};

// Where an account's password lives (account file key "POP"/"PasswordIn"; a file without the key
// keeps it scrambled in "POP"/"Password").
enum class TPasswordPlace : int32_t {
    File = 0,     // scrambled in the account file
    Keyring = 1,  // in the desktop keyring under the account ID; the file keeps none
};

// One mailbox on a POP3 server, its sender identity and the keys of the messages the system
// already knows.
class TAccount {
  public:
    TAccount() = default;
    // A copy for a task: everything but Default (which only the Options dialog maintains).
    TAccount(const TAccount& other);
    TAccount& operator=(const TAccount& other);

    std::string ID;
    std::string Name;
    bool Synchronize = false;
    bool Default = false;
    TContact From;
    TPOPData POP;
    TSMTPData SMTP;
    uint32_t SkinColor = 0;
    TUidlList UIDL;
    TTrustedKey TrustedKey;

    // The pinned key for the account's POP3 host, or empty.
    std::string PinnedKeyForHost() const;

    // How new mail of this account is announced: a desktop notification and the arrival sound
    // (Announce), its own sound file instead of the global one (empty: the global one), and its
    // messages on the ticker bar (ShowOnBar).
    bool Announce = true;
    std::string SoundFile;
    bool ShowOnBar = true;

    // When the stored password could not be unscrambled, the stored text as it was in the
    // file: saving writes it back unchanged as long as no new password has been set (Password
    // stays empty), so a damaged file loses nothing. Setting a password clears it.
    std::string UnreadableStoredPassword;
    bool PasswordUnreadable() const { return !UnreadableStoredPassword.empty(); }

    TPasswordPlace PasswordPlace = TPasswordPlace::File;
};

}  // namespace quobel
