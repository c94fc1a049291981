#include "message/mailto_reply.h"

#include <algorithm>

#include "core/strings.h"
#include "message/header_values.h"

namespace quobel {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kForwardedLine = "-------- Forwarded message --------";

// A bare address from a parsed contact, or empty when it is no address at all.
std::string CleanAddress(const TQBContact& contact) {
    std::string address(TrimControls(contact.Address));
    if (address.find('@') == std::string::npos) {
        return {};
    }
    return address;
}

class TAddressList {
  public:
    explicit TAddressList(const std::vector<std::string>& excluded) {
        for (const std::string& address : excluded) {
            seen_.push_back(ToLowerAscii(TrimControls(address)));
        }
    }

    // Adds the contacts' addresses that were not seen before.
    void Add(const std::vector<TQBContact>& contacts, std::vector<std::string>& to) {
        for (const TQBContact& contact : contacts) {
            const std::string address = CleanAddress(contact);
            if (address.empty()) {
                continue;
            }
            const std::string key = ToLowerAscii(address);
            if (std::find(seen_.begin(), seen_.end(), key) == seen_.end()) {
                seen_.push_back(key);
                to.push_back(address);
            }
        }
    }

  private:
    std::vector<std::string> seen_;
};

std::vector<TQBContact> Contacts(std::string_view value) {
    std::vector<TQBContact> contacts;
    for (const std::string& piece : SplitText(DecodeHeaderValue(value), ",")) {
        contacts.push_back(SplitAddress(piece));
    }
    return contacts;
}

// Whom a reply goes to: the Reply-To addresses when the message names any, else the sender.
std::vector<TQBContact> ReplyTargets(const TQBMessage& message) {
    std::vector<TQBContact> targets = Contacts(HeaderField(message.HeaderLines, "reply-to"));
    std::erase_if(targets, [](const TQBContact& contact) { return CleanAddress(contact).empty(); });
    if (targets.empty()) {
        targets.push_back(message.From);
    }
    return targets;
}

// The first "<...>" of the Message-ID field.
std::string MessageId(const TQBMessage& message) {
    const std::string value = HeaderField(message.HeaderLines, "message-id");
    const std::size_t open = value.find('<');
    const std::size_t close = value.find('>', open);
    if (open == std::string::npos || close == std::string::npos) {
        return {};
    }
    return value.substr(open, close - open + 1);
}

// The sender as a person: the model keeps only quoted display names, so an unquoted one
// ("Mara Ko <mara@example.org>") is read here from the text before the "<".
TQBContact Sender(const TQBMessage& message) {
    TQBContact from = message.From;
    if (TrimBlanks(from.Name).empty()) {
        const std::string decoded = DecodeHeaderValue(message.Decoder.From);
        if (const std::size_t open = decoded.find('<'); open != std::string::npos) {
            from.Name = TrimIf(std::string_view(decoded).substr(0, open),
                               [](char c) { return IsBlankOrControl(c) || c == '"'; });
        }
    }
    return from;
}

std::string SenderName(const TQBMessage& message) {
    const TQBContact from = Sender(message);
    const std::string_view name = TrimBlanks(from.Name);
    return std::string(name.empty() ? TrimControls(from.Address) : name);
}

std::string ContactText(const TQBContact& contact) {
    const std::string_view name = TrimBlanks(contact.Name);
    const std::string_view address = TrimControls(contact.Address);
    if (name.empty()) {
        return std::string(address);
    }
    return std::string(name) + " <" + std::string(address) + ">";
}

std::string ContactsText(const std::vector<TQBContact>& contacts) {
    std::string text;
    for (const TQBContact& contact : contacts) {
        if (!text.empty()) {
            text += ", ";
        }
        text += ContactText(contact);
    }
    return text;
}

// The text's lines (any line break), trailing empty lines left out.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.substr(end).starts_with(kCrLf) ? 2 : 1);
    }
    while (!lines.empty() && TrimBlanks(lines.back()).empty()) {
        lines.pop_back();
    }
    return lines;
}

std::string Quoted(std::string_view shown) {
    std::string body;
    for (const std::string_view line : Lines(shown)) {
        body += line.empty() || line.starts_with('>') ? ">" : "> ";
        body += line;
        body += kCrLf;
    }
    return body;
}

std::string ReplyBody(const TQBMessage& message, std::string_view shown) {
    if (Lines(shown).empty()) {
        return {};
    }
    const std::string date(TrimControls(message.Decoder.Date));
    std::string body = date.empty() ? std::string() : "On " + date + ", ";
    body += SenderName(message) + " wrote:";
    body += kCrLf;
    return body + Quoted(shown);
}

std::string ForwardBody(const TQBMessage& message, std::string_view shown) {
    std::string body(kCrLf);
    body += kForwardedLine;
    body += kCrLf;
    const auto line = [&](std::string_view name, const std::string& value) {
        if (!value.empty()) {
            body += std::string(name) + ": " + value + std::string(kCrLf);
        }
    };
    line("Subject", message.Decoder.Subject);
    line("Date", std::string(TrimControls(message.Decoder.Date)));
    line("From", ContactText(Sender(message)));
    line("To", ContactsText(message.To));
    line("Cc", ContactsText(message.CC));
    body += kCrLf;
    for (const std::string_view text : Lines(shown)) {
        body += text;
        body += kCrLf;
    }
    return body;
}

}  // namespace

std::string HeaderField(const std::vector<std::string>& headerLines, std::string_view name) {
    for (const std::string& line : headerLines) {
        if (line.size() > name.size() && line[name.size()] == ':' &&
            StartsWithTextAscii(line, name)) {
            return std::string(TrimControls(std::string_view(line).substr(name.size() + 1)));
        }
    }
    return {};
}

TMailTo MailToFor(TMailCommand command, const TQBMessage& message, std::string_view shown,
                  const std::vector<std::string>& ownAddresses) {
    TMailTo mail;
    switch (command) {
        case TMailCommand::Compose:
            break;
        case TMailCommand::Reply: {
            TAddressList list({});
            list.Add(ReplyTargets(message), mail.To);
            mail.Subject = ReplySubject(message.Decoder.Subject);
            mail.InReplyTo = MessageId(message);
            mail.Body = ReplyBody(message, shown);
            break;
        }
        case TMailCommand::ReplyAll: {
            TAddressList list(ownAddresses);
            list.Add(ReplyTargets(message), mail.To);
            list.Add(message.To, mail.To);
            list.Add(message.CC, mail.Cc);
            mail.Subject = ReplySubject(message.Decoder.Subject);
            mail.InReplyTo = MessageId(message);
            mail.Body = ReplyBody(message, shown);
            break;
        }
        case TMailCommand::Forward:
            mail.Subject = ForwardSubject(message.Decoder.Subject);
            mail.Body = ForwardBody(message, shown);
            break;
    }
    return mail;
}

}  // namespace quobel
