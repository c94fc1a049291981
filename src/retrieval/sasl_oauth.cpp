#include "retrieval/sasl_oauth.h"

#include <algorithm>
#include <map>

#include "accounts/base64.h"
#include "core/error.h"
#include "core/strings.h"

namespace quobel {
namespace {

// RFC 5034: a command with its initial response may not exceed 255 octets (CR LF included).
constexpr size_t kMaxAuthCommandLength = 255;

bool Lists(const std::vector<std::string>& names, std::string_view name) {
    return std::ranges::any_of(names,
                               [&](const std::string& each) { return SameTextAscii(each, name); });
}

// The string members of a flat JSON object; anything else is skipped. Enough for the
// challenge's few members, which are all strings.
std::map<std::string, std::string> FlatJsonStrings(std::string_view json) {
    std::map<std::string, std::string> members;
    size_t at = 0;
    const auto readString = [&](std::string& out) {
        // at is on the opening quote.
        ++at;
        while (at < json.size() && json[at] != '"') {
            if (json[at] == '\\' && at + 1 < json.size()) {
                ++at;
            }
            out += json[at];
            ++at;
        }
        ++at;
    };
    while (at < json.size()) {
        const size_t quote = json.find('"', at);
        if (quote == std::string_view::npos) {
            break;
        }
        at = quote;
        std::string key;
        readString(key);
        while (at < json.size() && (json[at] == ' ' || json[at] == ':')) {
            ++at;
        }
        if (at < json.size() && json[at] == '"') {
            std::string value;
            readString(value);
            members[key] = value;
        } else {
            while (at < json.size() && json[at] != ',' && json[at] != '}') {
                ++at;
            }
        }
    }
    return members;
}

std::string Trimmed(const std::string& line) {
    return std::string(TrimIf(line, IsBlankOrAsciiControl));
}

bool IsContinuation(std::string_view line) {
    return line == "+" || line.starts_with("+ ");
}

// A refusal after the token went out is the token's, unless the server says it is its own
// trouble (RFC 3206: "[SYS/TEMP]", "[SYS/PERM]", "[IN-USE]").
bool BlamesTheServer(std::string_view text) {
    return StartsWithTextAscii(text, "[SYS/") || StartsWithTextAscii(text, "[IN-USE]");
}

[[noreturn]] void FailWith(const std::string& line, const std::string& meaning,
                           bool tokenSent = false) {
    if (StartsWithTextAscii(line, "-ERR")) {
        std::string text(TrimIf(std::string_view(line).substr(4), IsBlank));
        if (!meaning.empty()) {
            text += text.empty() ? meaning : " (" + meaning + ")";
        }
        if (tokenSent && !BlamesTheServer(text)) {
            throw TTokenRefused(text + "\r\n");
        }
        throw Error(text + "\r\n");
    }
    throw Error("Unrecognized POP3 Response Header:\n\"" + line + "\r\n\"");
}

}  // namespace

TOAuthMechanism ChooseOAuthMechanism(const std::vector<std::string>& saslMechanisms) {
    if (Lists(saslMechanisms, "OAUTHBEARER")) {
        return TOAuthMechanism::OAuthBearer;
    }
    if (Lists(saslMechanisms, "XOAUTH2")) {
        return TOAuthMechanism::XOAuth2;
    }
    return TOAuthMechanism::None;
}

std::string_view OAuthMechanismName(TOAuthMechanism mechanism) {
    switch (mechanism) {
        case TOAuthMechanism::XOAuth2:
            return "XOAUTH2";
        case TOAuthMechanism::OAuthBearer:
            return "OAUTHBEARER";
        case TOAuthMechanism::None:
            break;
    }
    return "";
}

std::string XOAuth2InitialResponse(std::string_view user, std::string_view token) {
    std::string response = "user=";
    response += user;
    response +=
        "\x01"
        "auth=Bearer ";
    response += token;
    response += "\x01\x01";
    return response;
}

std::string OAuthBearerInitialResponse(std::string_view user, std::string_view host, int port,
                                       std::string_view token) {
    // RFC 7628 section 3.1: the GS2 header with the authorization identity, whose "," and "="
    // are escaped, then the key-value pairs each ended by ^A.
    std::string escapedUser;
    for (const char c : user) {
        if (c == ',') {
            escapedUser += "=2C";
        } else if (c == '=') {
            escapedUser += "=3D";
        } else {
            escapedUser += c;
        }
    }
    std::string response = "n,a=" + escapedUser + ",\x01";
    response += "host=";
    response += host;
    response +=
        "\x01"
        "port=" +
        std::to_string(port) + "\x01";
    response += "auth=Bearer ";
    response += token;
    response += "\x01\x01";
    return response;
}

std::string DescribeOAuthChallenge(std::string_view base64Challenge) {
    std::string json;
    try {
        json = Base64Decode(base64Challenge);
    } catch (const std::exception&) {
        return std::string(base64Challenge);
    }
    const std::map<std::string, std::string> members = FlatJsonStrings(json);
    const auto status = members.find("status");
    if (status == members.end()) {
        return std::string(base64Challenge);
    }
    std::string words = "the server refused the access token: ";
    if (status->second == "invalid_token" || status->second == "401") {
        words += "it is invalid or has expired";
    } else if (status->second == "insufficient_scope" || status->second == "403") {
        words += "it does not grant the needed access";
    } else if (status->second == "invalid_request" || status->second == "400") {
        words += "the request was malformed";
    } else {
        words += "status " + status->second;
    }
    const auto scope = members.find("scope");
    if (scope != members.end() && !scope->second.empty()) {
        words += "; needed scope: " + scope->second;
    }
    return words;
}

void RunOAuthLogin(const TOAuthLogin& login, const TSaslLines& lines) {
    const std::string name(OAuthMechanismName(login.Mechanism));
    if (name.empty()) {
        throw Error("No OAuth 2.0 mechanism chosen");
    }
    const std::string response = Base64Encode(
        login.Mechanism == TOAuthMechanism::XOAuth2
            ? XOAuth2InitialResponse(login.User, login.Token)
            : OAuthBearerInitialResponse(login.User, login.Host, login.Port, login.Token));
    const std::string oneLine = "AUTH " + name + " " + response;
    const bool twoStep = login.TwoStep || oneLine.size() + 2 > kMaxAuthCommandLength;
    const auto readNonEmpty = [&] {
        std::string line;
        do {
            line = Trimmed(lines.Read());
        } while (line.empty());
        return line;
    };
    if (twoStep) {
        lines.Send("AUTH " + name);
        const std::string line = readNonEmpty();
        if (!IsContinuation(line)) {
            FailWith(line, "");
        }
        lines.Send(response);
    } else {
        lines.Send(oneLine);
    }
    const std::string line = readNonEmpty();
    if (StartsWithTextAscii(line, "+OK")) {
        return;
    }
    if (!IsContinuation(line)) {
        FailWith(line, "", true);
    }
    // A challenge: the token was refused. The exchange ends with the dummy response RFC 7628
    // asks for (XOAUTH2 servers take an empty line), and the server's final answer is the error.
    const std::string meaning = DescribeOAuthChallenge(Trimmed(line.substr(1)));
    lines.Send(login.Mechanism == TOAuthMechanism::OAuthBearer ? "AQ==" : "");
    const std::string last = readNonEmpty();
    if (StartsWithTextAscii(last, "+OK")) {
        throw Error("The server accepted the login after refusing the token\r\n");
    }
    if (StartsWithTextAscii(last, "-ERR")) {
        FailWith(last, meaning, true);
    }
    FailWith(last, "");
}

}  // namespace quobel
