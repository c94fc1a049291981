#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <utility>

#include "accounts/account_file.h"
#include "commands.h"
#include "core/error.h"
#include "core/file_util.h"

namespace quobel::inspect {

int RunAccount(const Arguments& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quobel-inspect account FILE.qba\n");
        return 1;
    }
    const std::string& path = args[0];
    if (!FileExists(path)) {
        std::fprintf(stderr, "quobel-inspect: cannot read account file %s\n", path.c_str());
        return 1;
    }
    TAccount account;
    std::string name = ExtractFileName(path);
    account.ID = name.ends_with(".qba") ? name.substr(0, name.size() - 4) : name;
    std::string passwordError;
    try {
        LoadAccount(account, path);
    } catch (const Error& error) {
        passwordError = error.what();
    }
    nlohmann::ordered_json json;
    json["ID"] = account.ID;
    json["Name"] = account.Name;
    json["SkinColor"] = account.SkinColor;
    json["Synchronize"] = account.Synchronize;
    json["Default"] = account.Default;
    json["Announce"] = account.Announce;
    json["SoundFile"] = account.SoundFile;
    json["ShowOnBar"] = account.ShowOnBar;
    json["From"] = {{"Name", account.From.Name}, {"Email", account.From.Email}};
    const bool inKeyring = account.PasswordPlace == TPasswordPlace::Keyring;
    json["POP"] = {
        {"Host", account.POP.Host}, {"Port", account.POP.Port}, {"Username", account.POP.Username}};
    // Where the password lives; it is shown only when it is in the file.
    json["POP"]["PasswordIn"] = inKeyring ? "Keyring" : "File";
    if (!inKeyring) {
        json["POP"]["Password"] = account.POP.Password;
    }
    json["POP"]["Secure"] = account.POP.Secure;
    json["POP"]["TLS"] = static_cast<int>(account.POP.TLS);
    json["POP"]["Authentication"] = static_cast<int>(account.POP.Authentication);
    if (!account.POP.TokenCommand.empty()) {
        json["POP"]["TokenCommand"] = account.POP.TokenCommand;
    }
    const TOAuthSettings& oauth = account.POP.OAuth;
    const std::pair<const char*, const std::string*> shown[] = {
        {"OAuthProvider", &oauth.Provider},
        {"OAuthClientId", &oauth.ClientId},
        {"OAuthAuthorizationUrl", &oauth.AuthorizationUrl},
        {"OAuthTokenUrl", &oauth.TokenUrl},
        {"OAuthScope", &oauth.Scope}};
    for (const auto& [key, value] : shown) {
        if (!value->empty()) {
            json["POP"][key] = *value;
        }
    }
    // Like a password in the keyring, the client secret is not shown: only that there is one.
    if (!oauth.ClientSecret.empty()) {
        json["POP"]["OAuthClientSecret"] = "(set)";
    }
    if (!passwordError.empty()) {
        json["POP"]["PasswordError"] = passwordError;
        json["POP"]["StoredPassword"] = account.UnreadableStoredPassword;
    }
    if (!account.TrustedKey.Key.empty()) {
        json["POP"]["TrustedHost"] = account.TrustedKey.Host;
        json["POP"]["TrustedKey"] = account.TrustedKey.Key;
    }
    json["SMTP"] = {{"Host", account.SMTP.Host}, {"Port", account.SMTP.Port}};
    json["UIDL"] = account.UIDL.Keys();
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return 0;
}

}  // namespace quobel::inspect
