#include "message/mailto_uri.h"

#include "core/strings.h"

namespace quobel {
namespace {

constexpr std::string_view kScheme = "mailto:";
constexpr std::string_view kLineBreak = "\r\n";

bool IsUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AppendEncoded(std::string& out, std::string_view text, bool address) {
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        if (IsUnreserved(c) || (address && c == '@')) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4u];
            out += kHex[byte & 0x0Fu];
        }
    }
}

std::string Encoded(std::string_view text, bool address) {
    std::string out;
    AppendEncoded(out, text, address);
    return out;
}

std::string EncodedAddresses(const std::vector<std::string>& addresses) {
    std::string out;
    for (const std::string& address : addresses) {
        if (!out.empty()) {
            out += ',';
        }
        AppendEncoded(out, address, true);
    }
    return out;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
            HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Every line break (CR LF, CR or LF alone) as CR LF.
std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += kLineBreak;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

void AppendAddresses(std::vector<std::string>& to, std::string_view list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string_view::npos) {
            comma = list.size();
        }
        const std::string address(TrimBlanks(PercentDecoded(list.substr(start, comma - start))));
        if (!address.empty()) {
            to.push_back(address);
        }
        start = comma + 1;
    }
}

// As many whole characters of the line as fit in the room, encoded ("%XX" is never split).
std::string EncodedPrefixWithin(std::string_view line, std::size_t room) {
    std::string out;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t next = i + 1;
        while (next < line.size() && (static_cast<unsigned char>(line[next]) & 0xC0u) == 0x80u) {
            ++next;
        }
        const std::string character = Encoded(line.substr(i, next - i), false);
        if (out.size() + character.size() > room) {
            break;
        }
        out += character;
        i = next;
    }
    return out;
}

// The body's lines, each encoded with its line break, so that a cut falls between lines.
std::string EncodedBodyWithin(std::string_view body, std::size_t budget) {
    std::string whole = Encoded(body, false);
    if (whole.size() <= budget) {
        return whole;
    }
    const std::string mark = Encoded(std::string(kLineBreak) + std::string(kMailToCutMark), false);
    if (budget < mark.size()) {
        return {};
    }
    const std::size_t room = budget - mark.size();
    const std::string lineBreak = Encoded(kLineBreak, false);
    std::string out;
    bool first = true;
    for (std::size_t start = 0; start < body.size();) {
        std::size_t end = body.find(kLineBreak, start);
        end = end == std::string_view::npos ? body.size() : end;
        const std::string line = Encoded(body.substr(start, end - start), false);
        const std::size_t separator = first ? 0 : lineBreak.size();
        if (out.size() + separator + line.size() > room) {
            if (first) {
                out = EncodedPrefixWithin(body.substr(start, end - start), room);
            }
            break;
        }
        out += (first ? std::string() : lineBreak) + line;
        first = false;
        start = end + kLineBreak.size();
    }
    return out + mark;
}

bool StartsWithPrefix(std::string_view subject, std::string_view prefix) {
    return StartsWithTextAscii(TrimBlanks(subject), prefix);
}

std::string CleanSubject(std::string_view subject) {
    std::string out(subject);
    for (char& c : out) {
        if (IsBlankOrAsciiControl(c)) {
            c = ' ';
        }
    }
    return out;
}

}  // namespace

std::string MailToUri(const TMailTo& mail, std::size_t maxLength) {
    std::string uri(kScheme);
    uri += EncodedAddresses(mail.To);
    char separator = '?';
    const auto field = [&](std::string_view name, const std::string& value) {
        uri += separator;
        uri += name;
        uri += '=';
        uri += value;
        separator = '&';
    };
    if (!mail.Cc.empty()) {
        field("cc", EncodedAddresses(mail.Cc));
    }
    if (!mail.Subject.empty()) {
        field("subject", Encoded(mail.Subject, false));
    }
    if (!mail.InReplyTo.empty()) {
        field("in-reply-to", Encoded(mail.InReplyTo, false));
    }
    if (!mail.Body.empty()) {
        const std::size_t overhead = uri.size() + std::string_view("?body=").size();
        const std::string body = overhead < maxLength
                                     ? EncodedBodyWithin(WithCrLf(mail.Body), maxLength - overhead)
                                     : std::string();
        if (!body.empty()) {
            field("body", body);
        }
    }
    return uri;
}

TMailTo ParseMailToUri(std::string_view uri) {
    if (StartsWithTextAscii(uri, kScheme)) {
        uri.remove_prefix(kScheme.size());
    }
    TMailTo mail;
    const std::size_t question = uri.find('?');
    AppendAddresses(mail.To, uri.substr(0, question));
    if (question == std::string_view::npos) {
        return mail;
    }
    std::string_view fields = uri.substr(question + 1);
    while (!fields.empty()) {
        const std::size_t amp = fields.find('&');
        const std::string_view field = fields.substr(0, amp);
        fields = amp == std::string_view::npos ? std::string_view() : fields.substr(amp + 1);
        const std::size_t equals = field.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string name = ToLowerAscii(PercentDecoded(field.substr(0, equals)));
        const std::string_view value = field.substr(equals + 1);
        if (name == "to") {
            AppendAddresses(mail.To, value);
        } else if (name == "cc") {
            AppendAddresses(mail.Cc, value);
        } else if (name == "subject") {
            mail.Subject = CleanSubject(PercentDecoded(value));
        } else if (name == "body") {
            mail.Body = WithCrLf(PercentDecoded(value));
        } else if (name == "in-reply-to") {
            mail.InReplyTo = std::string(TrimControls(PercentDecoded(value)));
        }
    }
    return mail;
}

std::string ReplySubject(std::string_view subject) {
    const std::string clean = CleanSubject(subject);
    return StartsWithPrefix(clean, "re:") ? clean : "Re: " + clean;
}

std::string ForwardSubject(std::string_view subject) {
    const std::string clean = CleanSubject(subject);
    return StartsWithPrefix(clean, "fwd:") || StartsWithPrefix(clean, "fw:") ? clean
                                                                             : "Fwd: " + clean;
}

}  // namespace quobel
