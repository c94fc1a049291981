#include "retrieval/qbpop3.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "accounts/base64.h"
#include "core/digest.h"
#include "core/error.h"
#include "core/ini_file.h"
#include "core/strings.h"
#include "platform/socket_transport.h"
#include "retrieval/sasl_oauth.h"

namespace quobel {

namespace {

constexpr size_t kReadChunk = 65536;

}  // namespace

int64_t ParseListedSize(std::string_view text) {
    text = TrimIf(text, IsBlankOrAsciiControl);
    const size_t blank = text.find(' ');
    std::string_view size = text;
    if (blank != std::string::npos) {
        size.remove_prefix(blank + 1);
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), value);
    if (size.empty() || error != std::errc() || end != size.data() + size.size()) {
        return -1;
    }
    return value;
}

TQBPOP3::TQBPOP3() = default;

TQBPOP3::~TQBPOP3() {
    CloseTransport();
}

void TQBPOP3::Connect() {
    if (transport_) {
        throw Error("Already connected.");
    }
    const TConnectRequest request{Host, Port, ConnectTimeout, ReadTimeout, &cancel_};
    transport_ = Connector ? Connector(request) : ConnectSocket(request);
    bufferStart_ = bufferEnd_ = 0;
    capabilities_ = TPopCapabilities();
    try {
        if (TLS == TPOPSecurity::Tls) {
            StartTls();
        }
        Reply greeting = ReadReply();
        if (!greeting.Positive) {
            throw Error(greeting.Text);
        }
        ReadCapabilities();
        if (TLS == TPOPSecurity::StartTls) {
            if (!Command("STLS").Positive) {
                throw Error("STLS not supported by server");
            }
            StartTls();
            ReadCapabilities();
        }
        Login(greeting);
    } catch (...) {
        Disconnect();
        throw;
    }
}

void TQBPOP3::StartTls() {
    // Bytes that arrived before the handshake are not protected by it: they are dropped.
    bufferStart_ = bufferEnd_ = 0;
    try {
        transport_->StartTls(TTlsTrust{Host, CAFile, PinnedKey});
    } catch (...) {
        // A failed handshake leaves nothing to say "QUIT" over.
        CloseTransport();
        throw;
    }
}

void TQBPOP3::ReadCapabilities() {
    // Whatever was known is forgotten first: after STLS only the protected answer counts.
    capabilities_ = TPopCapabilities();
    Reply reply;
    try {
        reply = Command("CAPA");
    } catch (const Error&) {
        // A status line that is neither +OK nor -ERR: a server that does not know the command.
        // A lost connection, though, leaves nothing to log in over.
        if (!transport_) {
            throw;
        }
        return;
    }
    if (!reply.Positive) {
        return;
    }
    std::vector<std::string> lines;
    ReadMultiLine(lines);
    capabilities_ = TPopCapabilities(lines);
}

void TQBPOP3::Login(const Reply& greeting) {
    if (!AccessToken.empty()) {
        LoginOAuth();
    } else if (APOP) {
        const size_t open = greeting.Text.find('<');
        const size_t close = open == std::string::npos ? open : greeting.Text.find('>', open);
        if (close == std::string::npos) {
            throw Error("Server do not support APOP (no timestamp)");
        }
        const std::string timestamp = greeting.Text.substr(open, close - open + 1);
        CommandOk("APOP " + Username + " " + Md5Hex(timestamp + Password));
    } else if (UsesSaslPlain()) {
        LoginSaslPlain();
    } else {
        CommandOk("USER " + Username);
        CommandOk("PASS " + Password);
    }
}

bool TQBPOP3::UsesSaslPlain() const {
    // The password goes in the clear inside the exchange: only under TLS.
    if (TLS == TPOPSecurity::None) {
        return false;
    }
    const std::vector<std::string> mechanisms = capabilities_.SaslMechanisms();
    return std::ranges::any_of(
        mechanisms, [](const std::string& name) { return SameTextAscii(name, "PLAIN"); });
}

void TQBPOP3::LoginSaslPlain() {
    // RFC 5034 and RFC 4616: the mechanism alone first, the credentials after the server's
    // continuation, which servers without initial responses understand as well.
    SendCommand("AUTH PLAIN");
    std::string line;
    do {
        ReadLine(line);
        line = TrimIf(line, IsBlankOrAsciiControl);
    } while (line.empty());
    if (line != "+" && !line.starts_with("+ ")) {
        if (StartsWithTextAscii(line, "-ERR")) {
            throw Error(std::string(TrimIf(std::string_view(line).substr(4), IsBlank)) + "\r\n");
        }
        throw Error("Unrecognized POP3 Response Header:\n\"" + line + "\r\n\"");
    }
    std::string credentials;
    credentials += '\0';
    credentials += Username;
    credentials += '\0';
    credentials += Password;
    const Reply reply = Command(Base64Encode(credentials));
    if (!reply.Positive) {
        throw Error(reply.Text);
    }
}

void TQBPOP3::LoginOAuth() {
    // A bearer token is as good as a password to whoever reads it: only under TLS.
    if (TLS == TPOPSecurity::None) {
        throw Error("OAuth 2.0 sign-in needs a TLS connection");
    }
    TOAuthLogin login;
    login.Mechanism = ChooseOAuthMechanism(capabilities_.SaslMechanisms());
    if (login.Mechanism == TOAuthMechanism::None) {
        throw Error("The server offers no OAuth 2.0 login (XOAUTH2 or OAUTHBEARER)");
    }
    login.User = Username;
    login.Token = AccessToken;
    login.Host = Host;
    login.Port = Port;
    login.TwoStep = OAuthTwoStep;
    RunOAuthLogin(login, TSaslLines{[this](std::string_view line) { SendCommand(line); },
                                    [this] {
                                        std::string line;
                                        ReadLine(line);
                                        return line;
                                    }});
}

void TQBPOP3::Disconnect() {
    if (!transport_) {
        return;
    }
    try {
        transport_->Write("QUIT\r\n");
    } catch (const std::exception&) {
        // The connection is going away in any case.
    }
    CloseTransport();
}

int64_t TQBPOP3::MessageCount() {
    // "+OK count size"; the reply text starts after the indicator and its blank.
    const std::string reply = CommandOk("STAT").Text;
    const std::string text(TrimIf(reply, IsBlankOrAsciiControl));
    int64_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || count < 0 || (end != text.data() + text.size() && *end != ' ')) {
        throw Error("Unrecognized STAT reply: " + text);
    }
    return count;
}

std::vector<std::string> TQBPOP3::ListUniqueIds() {
    std::vector<std::string> lines;
    if (Command("UIDL").Positive) {
        ReadMultiLine(lines);
    }
    return lines;
}

int64_t TQBPOP3::MessageSize(int number) {
    return ParseListedSize(CommandOk("LIST " + std::to_string(number)).Text);
}

void TQBPOP3::RetrieveHeader(int number, std::vector<std::string>& lines) {
    CommandOk("TOP " + std::to_string(number) + " 0");
    ReadMultiLine(lines);
}

void TQBPOP3::RetrieveRaw(int number, std::vector<std::string>& lines) {
    if (Command("RETR " + std::to_string(number)).Positive) {
        ReadMultiLine(lines);
    }
}

void TQBPOP3::DeleteOnServer(int number) {
    CommandOk("DELE " + std::to_string(number));
}

void TQBPOP3::SendCommand(std::string_view command) {
    std::string line(command);
    line += "\r\n";
    SendBytes(line);
}

void TQBPOP3::SendBytes(std::string_view bytes) {
    if (!transport_) {
        throw Error("Not Connected");
    }
    try {
        transport_->Write(bytes);
    } catch (...) {
        CloseTransport();
        throw;
    }
}

TQBPOP3::Reply TQBPOP3::Command(std::string_view command) {
    SendCommand(command);
    return ReadReply();
}

TQBPOP3::Reply TQBPOP3::CommandOk(std::string_view command) {
    Reply reply = Command(command);
    if (!reply.Positive) {
        throw Error(reply.Text);
    }
    return reply;
}

TQBPOP3::Reply TQBPOP3::ReadReply() {
    std::string status;
    do {
        ReadLine(status);
        status = TrimIf(status, IsBlankOrAsciiControl);
    } while (status.empty());

    std::vector<std::string> lines{status};
    if (status.size() > 3 && status[3] == '-') {
        const std::string terminator = status.substr(0, 3) + " ";
        for (;;) {
            std::string line;
            ReadLine(line);
            line = TrimIf(line, IsBlankOrAsciiControl);
            lines.push_back(line);
            if (line.size() < 4 || SameTextAscii(std::string_view(line).substr(0, 4), terminator)) {
                break;
            }
        }
    }

    std::string indicator;
    for (const char c : std::string_view(status).substr(0, 4)) {
        if (c != ' ') {
            indicator += c;
        }
    }
    if (indicator.size() == 4 && indicator.back() == '-') {
        indicator.pop_back();
    }

    Reply reply;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view text;
        if (lines[i].size() > 4) {
            text = std::string_view(lines[i]).substr(4);
        }
        // A four-letter indicator ("-ERR") is followed by its blank, which is not text.
        if (i == 0 && indicator.size() == 4 && text.starts_with(' ')) {
            text.remove_prefix(1);
        }
        reply.Text += text;
        reply.Text += "\r\n";
    }
    if (SameTextAscii(indicator, "+OK")) {
        reply.Positive = true;
    } else if (!SameTextAscii(indicator, "-ERR")) {
        throw Error("Unrecognized POP3 Response Header:\n\"" + reply.Text + "\"");
    }
    return reply;
}

void TQBPOP3::ReadMultiLine(std::vector<std::string>& lines) {
    struct WorkScope {
        int64_t& count;
        ~WorkScope() { count = -1; }
    } scope{workCount_};
    workCount_ = static_cast<int64_t>(bufferEnd_ - bufferStart_);
    for (;;) {
        std::string line;
        ReadLine(line);
        if (line == ".") {
            return;
        }
        if (line.starts_with("..")) {
            line.erase(0, 1);
        }
        lines.push_back(std::move(line));
    }
}

void TQBPOP3::ReadLine(std::string& line) {
    size_t scanned = 0;  // bytes after bufferStart_ known to hold no LF
    for (;;) {
        const size_t pending = bufferEnd_ - bufferStart_;
        const char* begin = buffer_.data() + bufferStart_;
        const void* found =
            pending > scanned ? std::memchr(begin + scanned, '\n', pending - scanned) : nullptr;
        if (found) {
            size_t length = static_cast<const char*>(found) - begin;
            if (length > kMaxLineLength) {
                break;
            }
            const size_t next = bufferStart_ + length + 1;
            if (length > 0 && begin[length - 1] == '\r') {
                --length;
            }
            line.assign(begin, length);
            bufferStart_ = next;
            return;
        }
        if (pending > kMaxLineLength) {
            break;
        }
        scanned = pending;
        if (!Fill()) {
            CloseTransport();
            throw Error("Connection Closed Gracefully.");
        }
    }
    // The rest of the line is still on its way: the reply stream can no longer be followed.
    CloseTransport();
    throw Error("Max line length exceeded.");
}

bool TQBPOP3::Fill() {
    if (!transport_) {
        throw Error("Not Connected");
    }
    if (buffer_.size() - bufferEnd_ < kReadChunk) {
        // Move the pending bytes (less than one line) to the front, then make room.
        std::copy(buffer_.begin() + static_cast<ptrdiff_t>(bufferStart_),
                  buffer_.begin() + static_cast<ptrdiff_t>(bufferEnd_), buffer_.begin());
        bufferEnd_ -= bufferStart_;
        bufferStart_ = 0;
        if (buffer_.size() - bufferEnd_ < kReadChunk) {
            buffer_.resize(bufferEnd_ + kReadChunk);
        }
    }
    size_t received = 0;
    try {
        received = transport_->Read(buffer_.data() + bufferEnd_, kReadChunk);
    } catch (...) {
        // A late reply would be taken for the answer to the next command.
        CloseTransport();
        throw;
    }
    bufferEnd_ += received;
    if (received == 0) {
        return false;
    }
    if (workCount_ >= 0) {
        workCount_ += static_cast<int64_t>(received);
        if (OnWork) {
            OnWork(*this, workCount_);
        }
    }
    return true;
}

void TQBPOP3::CloseTransport() noexcept {
    if (transport_) {
        transport_->Close();
        transport_.reset();
    }
    bufferStart_ = bufferEnd_ = 0;
}

}  // namespace quobel
