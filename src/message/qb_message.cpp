#include "message/qb_message.h"

#include <algorithm>

#include "core/error.h"
#include "core/file_util.h"
#include "core/strings.h"
#include "message/header_values.h"
#include "message/internet_date.h"
#include "message/text_search.h"

namespace quobel {

namespace {

std::vector<TQBContact> SplitContacts(const std::string& value) {
    std::vector<TQBContact> contacts;
    for (const std::string& piece : SplitText(DecodeHeaderValue(value), ",")) {
        contacts.push_back(SplitAddress(piece));
    }
    return contacts;
}

}  // namespace

TQBMessage::TQBMessage() {
    Decoder.OnHeaderLine = [this](TMimeDecode& decoder) {
        if (HeaderLines.size() < TMimeDecode::kMaxHeaderLines) {
            HeaderLines.emplace_back(decoder.CurrentLine());
        }
    };
    Decoder.OnPartBegin = [this](TMimeDecode&) { PartBegin(); };
    Decoder.OnPartLine = [this](TMimeDecode& decoder, const char* data, std::size_t length) {
        const auto index = static_cast<std::size_t>(decoder.PartNumber);
        if (index >= Parts.size()) {
            Parts.resize(index + 1);
        }
        std::optional<std::string>& target = Parts[index].Data;
        if (!target) {
            target.emplace();
        }
        if (target->size() + length > target->capacity() && target->size() >= 65536 &&
            GrownPart_ != index) {
            ReserveForPart(index, length);
        }
        target->append(data, length);
        if (OnProgress) {
            OnProgress(*this);
        }
    };
}

// A part's data cannot grow much beyond the rest of the input (base64: three quarters of it,
// other encodings about the same plus line breaks), so a large part reserves that once instead
// of being copied over and over while it grows.
void TQBMessage::ReserveForPart(std::size_t index, std::size_t length) {
    ShrinkPart();
    GrownPart_ = index;
    const auto position = static_cast<std::size_t>(std::max<std::int64_t>(Decoder.Position, 0));
    const std::size_t rest = Source.size() > position ? Source.size() - position : 0;
    const bool base64 = index == 0 && Decoder.Boundary.empty() ? Decoder.Encoding == "base64"
                                                               : Decoder.PartEncoding == "base64";
    std::string& data = *Parts[index].Data;
    data.reserve(data.size() + length + (base64 ? rest / 4 * 3 : rest + rest / 32));
}

// Gives back what the estimate reserved beyond the data.
void TQBMessage::ShrinkPart() {
    if (GrownPart_ >= Parts.size() || !Parts[GrownPart_].Data) {
        return;
    }
    std::string& data = *Parts[GrownPart_].Data;
    if (data.capacity() - data.size() > data.size() / 2 + 65536) {
        data.shrink_to_fit();
    }
    GrownPart_ = static_cast<std::size_t>(-1);
}

void TQBMessage::PartBegin() {
    ShrinkPart();
    const auto index = static_cast<std::size_t>(Decoder.PartNumber);
    Parts.resize(index + 1);
    TQBMessagePart& part = Parts[index];
    part.ContentType = Decoder.PartContentType;
    part.Encoding = Decoder.PartEncoding;
    part.Name = Decoder.PartName;
    part.Disposition = Decoder.PartDisposition;
    part.ContentID = Decoder.PartContentID;
    part.FileName = Decoder.PartFileName;
    part.Charset = Decoder.PartCharset;
    part.Data.emplace();
    part.IsAttachment = false;
    const bool embedded = part.ContentType.find("message/") != std::string::npos;
    if (embedded) {
        part.FileName = "Attached.eml";
    }
    const std::string disposition = ToLowerAscii(part.Disposition);
    if (disposition == "attachment" || embedded) {
        ++AttachmentCount;
        part.IsAttachment = true;
    }
}

void TQBMessage::LoadFromStream(std::istream& stream) {
    const std::istream::pos_type start = stream.tellg();
    std::string text;
    if (start != std::istream::pos_type(-1)) {
        stream.seekg(0, std::ios::end);
        const std::istream::pos_type end = stream.tellg();
        stream.seekg(start);
        if (end != std::istream::pos_type(-1) && end > start) {
            text.resize(static_cast<std::size_t>(end - start));
            stream.read(text.data(), static_cast<std::streamsize>(text.size()));
            text.resize(static_cast<std::size_t>(stream.gcount()));
        }
    } else {
        char block[65536];
        while (stream.read(block, sizeof block) || stream.gcount() > 0) {
            text.append(block, static_cast<std::size_t>(stream.gcount()));
        }
    }
    if (stream.bad()) {
        throw Error("Unable to read the message");
    }
    stream.clear();
    if (start != std::istream::pos_type(-1)) {
        stream.seekg(start);
    }
    LoadFromText(std::move(text));
}

std::string ContactNames(const std::vector<TQBContact>& contacts) {
    std::string text;
    for (const TQBContact& contact : contacts) {
        if (!text.empty()) {
            text += ", ";
        }
        text += contact.Name.empty() ? contact.Address : contact.Name;
    }
    return text;
}

void TQBMessage::LoadFromText(std::string text) {
    // A fully downloaded message ends with the POP3 terminator line; it is not message text.
    if (const std::size_t p = FindTextBack(text, "\r\n.\r\n"); p > 0) {
        text.resize(p + 1);
    }
    Source = std::move(text);
    Decoder.DecodeText(Source);
    ShrinkPart();

    Decoder.Subject = DecodeHeaderValue(Decoder.Subject);
    From = SplitAddress(DecodeHeaderValue(Decoder.From));
    To = SplitContacts(Decoder.To);
    CC = SplitContacts(Decoder.CC);
    Date = ParseInternetDate(Decoder.Date);
    Received = {};
    ScanReceived();
}

void TQBMessage::ScanReceived() {
    int count = 0;
    for (const std::string& line : HeaderLines) {
        if (!StartsWithTextAscii(line, "received: ")) {
            continue;
        }
        ++count;
        if (count == 3) {
            break;
        }
        if (count == 2) {
            Received[1] = Received[0];
        }
        std::string_view s = line;
        std::string withTail = line + " by via";
        s = withTail;
        const std::size_t bracket = s.find('[');
        if (bracket != std::string_view::npos && bracket < s.find("by") &&
            bracket < s.find("via")) {
            s.remove_prefix(bracket + 1);
            if (const std::size_t close = s.find(']'); close != std::string_view::npos) {
                const std::string_view ip = TrimControls(s.substr(0, close));
                if (ip == "127.0.0.1") {
                    continue;
                }
                Received[0].SourceIP.assign(ip);
            }
        }
        const std::size_t forPos = s.find("for ");
        if (forPos == std::string_view::npos) {
            continue;
        }
        s.remove_prefix(forPos + 4);
        const std::size_t open = s.find('<');
        if (open == std::string_view::npos) {
            continue;
        }
        s.remove_prefix(open + 1);
        if (const std::size_t close = s.find('>'); close != std::string_view::npos) {
            Received[0].ForAddress.assign(s.substr(0, close));
        }
    }
}

std::string TQBMessage::DeliveredFor() const {
    if (!Received[1].ForAddress.empty()) {
        return Received[1].ForAddress;
    }
    if (!Received[0].ForAddress.empty()) {
        return Received[0].ForAddress;
    }
    return "(unknown)";
}

void TQBMessage::SaveToFile(const std::string& fileName) const {
    WriteFileAtomic(fileName, Source);
}

}  // namespace quobel
