#include "message/shown_text.h"

#include "core/strings.h"
#include "message/charset.h"
#include "message/html_to_text.h"

namespace quobel {

namespace {}  // namespace

TShownPart ChooseShownPart(const TQBMessage& message) {
    int text = -1;
    int html = -1;
    const int count = message.PartCount();
    for (int i = 0; i < count; ++i) {
        const std::string type =
            ToLowerAscii(message.Parts[static_cast<std::size_t>(i)].ContentType);
        if (type == "text/plain") {
            text = i;
            break;
        }
        if (type == "text/html" && html < 0) {
            html = i;
        }
    }
    if (text < 0 && html < 0 && count == 1) {
        const std::string type = ToLowerAscii(message.Decoder.ContentType);
        if (type.empty() || type == "text/html") {
            html = 0;
        } else if (type.find("text") != std::string::npos) {
            text = 0;
        }
    }
    if (text < 0 && html < 0 && count > 1) {
        for (int i = 1; i < count; ++i) {
            const std::string type =
                ToLowerAscii(message.Parts[static_cast<std::size_t>(i)].ContentType);
            if (type.find("text") != std::string::npos) {
                text = i;
                break;
            }
            if (type.empty() && text < 0) {
                text = i;
            }
        }
    }
    if (text >= 0) {
        return {text, false};
    }
    if (html >= 0) {
        return {html, true};
    }
    return {};
}

std::string ShownPartCharset(const TQBMessage& message, const TShownPart& part) {
    if (part.Index < 0 || part.Index >= message.PartCount()) {
        return {};
    }
    const TQBMessagePart& entry = message.Parts[static_cast<std::size_t>(part.Index)];
    if (!entry.Charset.empty()) {
        return entry.Charset;
    }
    return message.Decoder.Boundary.empty() ? message.Decoder.Charset : std::string();
}

std::string ShownText(const TQBMessage& message, const TShownTextFilter& filter) {
    const TShownPart part = ChooseShownPart(message);
    if (part.Index < 0) {
        return {};
    }
    const TQBMessagePart& entry = message.Parts[static_cast<std::size_t>(part.Index)];
    const std::string_view data = entry.Data ? std::string_view(*entry.Data) : std::string_view{};
    std::string text = TextToUtf8(data, ShownPartCharset(message, part));
    if (part.Html) {
        text = HtmlToText(text);
    }
    if (filter) {
        text = filter(text);
    }
    return text;
}

}  // namespace quobel
