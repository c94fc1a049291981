#include "platform/oauth_protocol.h"

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "core/strings.h"

namespace quobel {
namespace {

bool IsUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AddParameter(std::string& out, std::string_view name, std::string_view value) {
    if (!out.empty() && out.back() != '?' && out.back() != '&') {
        out += '&';
    }
    out += name;
    out += '=';
    out += FormEncode(value);
}

void AddClient(std::string& out, const TOAuthClient& client) {
    AddParameter(out, "client_id", client.ClientId);
    if (!client.ClientSecret.empty()) {
        AddParameter(out, "client_secret", client.ClientSecret);
    }
}

// Google hands out a refresh token only when asked for offline access, and again for a
// repeated sign-in only with the consent screen; other providers do not know these parameters.
bool IsGoogle(std::string_view authorizationUrl) {
    return authorizationUrl.starts_with("https://accounts.google.com/");
}

std::string JsonString(const nlohmann::json& answer, const char* name) {
    const auto found = answer.find(name);
    return found != answer.end() && found->is_string() ? found->get<std::string>() : std::string();
}

}  // namespace

std::string FormEncode(std::string_view value) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        if (IsUnreserved(c)) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4U];
            out += kHex[byte & 15U];
        }
    }
    return out;
}

std::string FormDecode(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < value.size() && HexDigitValue(value[i + 1]) >= 0 &&
                   HexDigitValue(value[i + 2]) >= 0) {
            out +=
                static_cast<char>(HexDigitValue(value[i + 1]) * 16 + HexDigitValue(value[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string OAuthAuthorizationUrl(const TOAuthClient& client,
                                  const TOAuthAuthorizationRequest& request) {
    std::string url = request.AuthorizationUrl;
    if (url.find('?') == std::string::npos) {
        url += '?';
    }
    AddParameter(url, "response_type", "code");
    AddParameter(url, "client_id", client.ClientId);
    AddParameter(url, "redirect_uri", request.RedirectUri);
    if (!request.Scope.empty()) {
        AddParameter(url, "scope", request.Scope);
    }
    AddParameter(url, "state", request.State);
    AddParameter(url, "code_challenge", request.CodeChallenge);
    AddParameter(url, "code_challenge_method", "S256");
    if (!request.LoginHint.empty()) {
        AddParameter(url, "login_hint", request.LoginHint);
    }
    if (IsGoogle(request.AuthorizationUrl)) {
        AddParameter(url, "access_type", "offline");
        AddParameter(url, "prompt", "consent");
    }
    return url;
}

std::string OAuthCodeGrantBody(const TOAuthClient& client, std::string_view code,
                               std::string_view redirectUri, std::string_view verifier) {
    std::string body;
    AddParameter(body, "grant_type", "authorization_code");
    AddParameter(body, "code", code);
    AddParameter(body, "redirect_uri", redirectUri);
    AddParameter(body, "code_verifier", verifier);
    AddClient(body, client);
    return body;
}

std::string OAuthRefreshGrantBody(const TOAuthClient& client, std::string_view refreshToken) {
    std::string body;
    AddParameter(body, "grant_type", "refresh_token");
    AddParameter(body, "refresh_token", refreshToken);
    AddClient(body, client);
    return body;
}

TOAuthTokens ParseOAuthTokenAnswer(int httpStatus, std::string_view body) {
    const nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
    if (!answer.is_object()) {
        throw TOAuthRefusal("The sign-in server's answer could not be read (HTTP status " +
                                std::to_string(httpStatus) + ")",
                            "");
    }
    if (const std::string code = JsonString(answer, "error"); !code.empty()) {
        std::string message = "The sign-in server refused: " + code;
        if (const std::string description = JsonString(answer, "error_description");
            !description.empty()) {
            message += " (" + description + ")";
        }
        throw TOAuthRefusal(message, code);
    }
    TOAuthTokens tokens;
    tokens.AccessToken = JsonString(answer, "access_token");
    if (httpStatus != 200 || tokens.AccessToken.empty()) {
        throw TOAuthRefusal("The sign-in server gave no access token (HTTP status " +
                                std::to_string(httpStatus) + ")",
                            "");
    }
    tokens.RefreshToken = JsonString(answer, "refresh_token");
    if (const auto expires = answer.find("expires_in"); expires != answer.end()) {
        // Some servers send the number as a string.
        if (expires->is_number_integer()) {
            tokens.ExpiresIn = std::chrono::seconds(expires->get<int64_t>());
        } else if (expires->is_string()) {
            tokens.ExpiresIn = std::chrono::seconds(
                std::strtoll(expires->get<std::string>().c_str(), nullptr, 10));
        }
    }
    return tokens;
}

std::optional<TOAuthRedirect> ParseOAuthRedirectTarget(std::string_view target) {
    const size_t query = target.find('?');
    if (target.substr(0, query) != "/") {
        return std::nullopt;
    }
    TOAuthRedirect redirect;
    std::string_view rest = query == std::string_view::npos ? "" : target.substr(query + 1);
    if (const size_t fragment = rest.find('#'); fragment != std::string_view::npos) {
        rest = rest.substr(0, fragment);
    }
    while (!rest.empty()) {
        const size_t end = rest.find('&');
        const std::string_view pair = rest.substr(0, end);
        rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
        const size_t equals = pair.find('=');
        const std::string_view name = pair.substr(0, equals);
        const std::string value =
            equals == std::string_view::npos ? std::string() : FormDecode(pair.substr(equals + 1));
        if (name == "code") {
            redirect.Code = value;
        } else if (name == "state") {
            redirect.State = value;
        } else if (name == "error") {
            redirect.Error = value;
        } else if (name == "error_description") {
            redirect.ErrorDescription = value;
        }
    }
    if (redirect.Code.empty() && redirect.Error.empty()) {
        return std::nullopt;
    }
    return redirect;
}

}  // namespace quobel
