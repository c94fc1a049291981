#include "message/mime_decode.h"

#include <array>
#include <cstring>

#include "core/error.h"
#include "core/strings.h"

namespace quobel {

namespace {

bool IsDelimiter(char c) {
    return c == '\0' || c == '\t' || c == ' ' || c == ':' || c == ';' || c == '=';
}

bool IsCutHere(std::string_view text) {
    const std::string lower = ToLowerAscii(text);
    return lower.find("--") != std::string::npos && lower.find("cut here") != std::string::npos;
}

// Text after the second blank of the line.
std::string_view AfterSecondBlank(std::string_view line) {
    const std::size_t first = line.find(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos) {
        return {};
    }
    return line.substr(second + 1);
}

constexpr std::array<std::uint8_t, 256> MakeBase64Table() {
    std::array<std::uint8_t, 256> table{};
    for (auto& value : table) {
        value = 63;
    }
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<std::uint8_t>(i);
    }
    table['='] = 0;
    return table;
}

constexpr std::array<std::uint8_t, 256> kBase64 = MakeBase64Table();

// Uudecodes one line into out (count from the first character); missing characters end it.
void UudecodeLine(std::string_view line, std::string& out) {
    out.clear();
    if (line.empty()) {
        return;
    }
    const std::size_t count = static_cast<std::size_t>((line[0] - 32) & 63);
    std::size_t i = 1;
    while (out.size() < count && i < line.size()) {
        unsigned v[4] = {0, 0, 0, 0};
        std::size_t have = 0;
        for (; have < 4 && i < line.size(); ++have, ++i) {
            v[have] = static_cast<unsigned>((line[i] - 32) & 63);
        }
        const unsigned char bytes[3] = {static_cast<unsigned char>((v[0] << 2) | (v[1] >> 4)),
                                        static_cast<unsigned char>((v[1] << 4) | (v[2] >> 2)),
                                        static_cast<unsigned char>((v[2] << 6) | v[3])};
        const std::size_t produced = have >= 2 ? have - 1 : 0;
        for (std::size_t k = 0; k < produced && out.size() < count; ++k) {
            out.push_back(static_cast<char>(bytes[k]));
        }
        if (have < 4) {
            break;
        }
    }
}

// A small cursor over one header line, for the name / token / parameter rules.
struct Cursor {
    std::string_view text;
    std::size_t pos = 0;

    bool AtEnd() const { return pos >= text.size(); }
    char Peek() const { return AtEnd() ? '\0' : text[pos]; }
    void SkipBlanks() {
        while (!AtEnd() && text[pos] == ' ') {
            ++pos;
        }
    }
    std::string_view Rest() const { return AtEnd() ? std::string_view{} : text.substr(pos); }

    // Name: skips blanks, tabs, CR and LF; lower case up to a delimiter. Returns the delimiter
    // ('\0' at the end of the line) and steps over it.
    char ReadName(std::string& name) {
        while (!AtEnd() &&
               (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n')) {
            ++pos;
        }
        name.clear();
        while (!AtEnd() && !IsDelimiter(text[pos])) {
            name.push_back(LowerAscii(text[pos]));
            ++pos;
        }
        const char delimiter = Peek();
        if (!AtEnd()) {
            ++pos;
        }
        return delimiter;
    }

    // Value token: lower case; parentheses are not copied and nest; inside them delimiters are
    // copied. After a blank, blanks and one following delimiter are skipped, but the blank
    // stays the recorded delimiter.
    char ReadToken(std::string& token) {
        SkipBlanks();
        token.clear();
        int depth = 0;
        while (!AtEnd()) {
            const char c = text[pos];
            if (c == '\0') {
                break;
            }
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (depth > 0) {
                    --depth;
                }
            } else if (depth == 0 && IsDelimiter(c)) {
                break;
            } else {
                token.push_back(LowerAscii(c));
            }
            ++pos;
        }
        const char delimiter = Peek();
        if (AtEnd()) {
            return '\0';
        }
        ++pos;
        if (delimiter == ' ') {
            SkipBlanks();
            const char next = Peek();
            if (!AtEnd() && (next == '\t' || next == ':' || next == ';' || next == '=')) {
                ++pos;
            }
        }
        return delimiter;
    }

    // Parameter value: a quoted text unchanged, or a lower-case token. Returns the delimiter
    // that follows it.
    char ReadParameterValue(std::string& value) {
        SkipBlanks();
        value.clear();
        if (Peek() == '"' && !AtEnd()) {
            ++pos;
            const std::size_t close = text.find('"', pos);
            const std::size_t end = close == std::string_view::npos ? text.size() : close;
            value.assign(text.substr(pos, end - pos));
            pos = close == std::string_view::npos ? text.size() : close + 1;
            if (AtEnd() || !IsDelimiter(text[pos])) {
                return '\0';
            }
            return text[pos++];
        }
        while (!AtEnd() && !IsDelimiter(text[pos])) {
            value.push_back(LowerAscii(text[pos]));
            ++pos;
        }
        const char delimiter = Peek();
        if (!AtEnd()) {
            ++pos;
        }
        return delimiter;
    }

    // Parameters read up to and including the first one with a value; its value is the text
    // between quotes or all the rest of the line. True when that parameter is "filename".
    bool FindFileName(std::string& fileName) {
        std::string name;
        for (;;) {
            const char delimiter = ReadName(name);
            if (delimiter == '=') {
                SkipBlanks();
                std::string value;
                if (Peek() == '"' && !AtEnd()) {
                    ++pos;
                    const std::size_t close = text.find('"', pos);
                    value.assign(text.substr(pos, close == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : close - pos));
                } else {
                    value.assign(Rest());
                }
                if (name == "filename") {
                    fileName = std::move(value);
                    return true;
                }
                return false;
            }
            if (delimiter != ';') {
                return false;
            }
        }
    }
};

}  // namespace

std::int32_t ParsePriority(std::string_view value) {
    const std::string lower = ToLowerAscii(value);
    if (lower.find("urgent") != std::string::npos) {
        return 1;
    }
    if (lower.find("non-priority") != std::string::npos) {
        return 5;
    }
    std::string_view text = TrimControls(value);
    if (const std::size_t blank = text.find(' '); blank != std::string_view::npos) {
        text = text.substr(0, blank);
    }
    // Decimal integer with an optional sign, as a whole; anything else gives 3.
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        i = 1;
    }
    if (i >= text.size() || text.size() - i > 10) {
        return 3;
    }
    std::int64_t number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return 3;
        }
        number = number * 10 + (text[i] - '0');
    }
    number = negative ? -number : number;
    if (number > INT32_MAX || number < INT32_MIN) {
        return 3;
    }
    return static_cast<std::int32_t>(number);
}

void TMimeDecode::TriggerHeaderBegin() {
    if (OnHeaderBegin)
        OnHeaderBegin(*this);
}
void TMimeDecode::TriggerHeaderLine() {
    if (OnHeaderLine)
        OnHeaderLine(*this);
}
void TMimeDecode::TriggerHeaderEnd() {
    if (OnHeaderEnd)
        OnHeaderEnd(*this);
}
void TMimeDecode::TriggerPartHeaderBegin() {
    if (OnPartHeaderBegin)
        OnPartHeaderBegin(*this);
}
void TMimeDecode::TriggerPartHeaderLine() {
    if (OnPartHeaderLine)
        OnPartHeaderLine(*this);
}
void TMimeDecode::TriggerPartHeaderEnd() {
    if (OnPartHeaderEnd)
        OnPartHeaderEnd(*this);
}
void TMimeDecode::TriggerPartBegin() {
    if (OnPartBegin)
        OnPartBegin(*this);
}
void TMimeDecode::TriggerPartLine(const char* Data, std::size_t DataLen) {
    if (OnPartLine)
        OnPartLine(*this, Data, DataLen);
}
void TMimeDecode::TriggerPartEnd() {
    if (OnPartEnd)
        OnPartEnd(*this);
}
void TMimeDecode::TriggerMessageEnd() {
    if (OnMessageEnd)
        OnMessageEnd(*this);
}

void TMimeDecode::DecodeStream(std::istream& stream) {
    const std::istream::pos_type start = stream.tellg();
    Begin(start == std::istream::pos_type(-1) ? 0 : static_cast<std::int64_t>(start));
    std::string block(size_t{64} * 1024, '\0');
    for (;;) {
        stream.read(block.data(), static_cast<std::streamsize>(block.size()));
        const std::streamsize got = stream.gcount();
        if (got > 0) {
            Feed(std::string_view(block.data(), static_cast<std::size_t>(got)));
        }
        if (stream.bad()) {
            throw Error("Unable to read the message");
        }
        if (!stream) {
            break;
        }
    }
    Finish();
}

void TMimeDecode::DecodeText(std::string_view text) {
    Begin(0);
    Feed(text);
    Finish();
}

void TMimeDecode::Begin(std::int64_t StartPosition) {
    From.clear(), To.clear(), CC.clear(), Subject.clear(), Date.clear();
    Priority = 0;
    ContentType.clear(), Boundary.clear(), Encoding.clear(), Charset.clear();
    HeaderLines.clear();
    Position = StartPosition;
    PartNumber = 0;
    PartContentType.clear(), PartName.clear(), PartCharset.clear(), PartEncoding.clear();
    PartDisposition.clear(), PartFileName.clear(), PartContentID.clear();
    PartHeaderBegun = PartDataBegun = InInlineBlock = false;
    InHeader = true;
    InlineFileName.clear();
    State_ = TState::MessageHeader;
    CurrentLine_ = {};
    NestedBoundaries_.clear();
    LineCount_ = 0;
    UuFileOpen_ = false;
    Pending_.clear();
    ScanFrom_ = 0;
    Consumed_ = StartPosition;
}

void TMimeDecode::Feed(std::string_view block) {
    if (Pending_.empty()) {
        const std::size_t used = ProcessLines(block, false);
        Pending_.assign(block.substr(used));
    } else {
        Pending_.append(block);
        const std::size_t used = ProcessLines(Pending_, false);
        Pending_.erase(0, used);
    }
}

void TMimeDecode::Finish() {
    const std::string rest = std::move(Pending_);
    Pending_.clear();
    ProcessLines(rest, true);
    CurrentLine_ = {};
    if (Boundary.empty() || PartDataBegun) {
        TriggerPartEnd();
    }
    TriggerMessageEnd();
    NestedBoundaries_.clear();
}

// Splits complete lines off data and handles them; returns the bytes used. Without final, a
// line whose end (or whose folding) cannot be decided yet is left for the next block.
std::size_t TMimeDecode::ProcessLines(std::string_view data, bool final) {
    std::size_t start = 0;
    std::size_t scan = ScanFrom_;
    ScanFrom_ = 0;
    while (start < data.size()) {
        std::size_t lineEnd;  // index of the LF, or data.size() for a last line without one
        std::size_t from = start + scan;
        scan = 0;
        for (;;) {
            const void* hit = std::memchr(data.data() + from, '\n', data.size() - from);
            if (hit == nullptr) {
                if (!final) {
                    ScanFrom_ = from - start;
                    Consumed_ += static_cast<std::int64_t>(start);
                    return start;
                }
                lineEnd = data.size();
                break;
            }
            lineEnd = static_cast<std::size_t>(static_cast<const char*>(hit) - data.data());
            if (!InHeader) {
                break;
            }
            // A non-empty header line followed by a line starting with TAB or blank is joined.
            const bool lineEmpty =
                lineEnd == start || (lineEnd == start + 1 && data[start] == '\r');
            if (lineEmpty) {
                break;
            }
            if (lineEnd + 1 >= data.size()) {
                if (!final) {
                    ScanFrom_ = lineEnd - start;
                    Consumed_ += static_cast<std::int64_t>(start);
                    return start;
                }
                break;
            }
            const char next = data[lineEnd + 1];
            if (next != ' ' && next != '\t') {
                break;
            }
            from = lineEnd + 1;
        }
        std::size_t contentEnd = lineEnd;
        const std::size_t afterLine = lineEnd < data.size() ? lineEnd + 1 : lineEnd;
        if (lineEnd < data.size() && contentEnd > start && data[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        std::string_view line = data.substr(start, contentEnd - start);
        if (InHeader && std::memchr(line.data(), '\n', line.size()) != nullptr) {
            // CR, LF and the first character of each continuation line become blanks.
            Folded_.assign(line);
            std::size_t i = 0;
            while ((i = Folded_.find('\n', i)) != std::string::npos) {
                if (i > 0 && Folded_[i - 1] == '\r') {
                    Folded_[i - 1] = ' ';
                }
                Folded_[i] = ' ';
                if (i + 1 < Folded_.size()) {
                    Folded_[i + 1] = ' ';
                }
                ++i;
            }
            line = Folded_;
        }
        Position = Consumed_ + static_cast<std::int64_t>(afterLine);
        HandleLine(line);
        start = afterLine;
    }
    Consumed_ += static_cast<std::int64_t>(data.size());
    return data.size();
}

void TMimeDecode::HandleLine(std::string_view line) {
    CurrentLine_ = line;
    switch (State_) {
        case TState::MessageHeader:
            MessageHeaderLine(line);
            break;
        case TState::SinglePartBody:
            SinglePartBodyLine(line);
            break;
        case TState::Preamble:
            PreambleLine(line);
            break;
        case TState::PartHeader:
            PartHeaderLine(line);
            break;
        case TState::PartBody:
            PartBodyLine(line);
            break;
    }
}

void TMimeDecode::MessageHeaderLine(std::string_view line) {
    if (line.empty()) {
        InHeader = false;
        TriggerHeaderEnd();
        LineCount_ = 0;
        LeaveInlineBlock();
        if (Boundary.empty()) {
            State_ = TState::SinglePartBody;
        } else {
            TriggerPartBegin();
            State_ = TState::Preamble;
        }
        return;
    }
    if (LineCount_++ == 0) {
        TriggerHeaderBegin();
    }
    ParseHeader(line);
    if (HeaderLines.size() < kMaxHeaderLines) {
        HeaderLines.emplace_back(line);
    }
    TriggerHeaderLine();
}

void TMimeDecode::SinglePartBodyLine(std::string_view line) {
    if (LineCount_++ == 0) {
        TriggerPartBegin();
    }
    DecodeLine(line, Encoding);
}

void TMimeDecode::PreambleLine(std::string_view line) {
    if (IsBoundary(line, false)) {
        NextPart();
        return;
    }
    WritePartData(line.data(), line.size());
}

void TMimeDecode::PartHeaderLine(std::string_view line) {
    if (line.empty()) {
        if (LineCount_ == 0) {
            ++PartNumber;
            TriggerPartHeaderBegin();
        }
        TriggerPartHeaderEnd();
        InHeader = false;
        LineCount_ = 0;
        LeaveInlineBlock();
        State_ = TState::PartBody;
        return;
    }
    if (LineCount_++ == 0) {
        ++PartNumber;
        PartHeaderBegun = true;
        TriggerPartHeaderBegin();
    }
    if (line[0] == '\t' || line[0] == ' ') {
        // No part header at all: this line is already body.
        TriggerPartHeaderEnd();
        InHeader = false;
        LineCount_ = 0;
        State_ = TState::PartBody;
        PartBodyLine(line);
        return;
    }
    ParsePartHeader(line);
    TriggerPartHeaderLine();
}

void TMimeDecode::PartBodyLine(std::string_view line) {
    if (!line.empty() && IsBoundary(line, true)) {
        NextPart();
        return;
    }
    if (!PartDataBegun) {
        PartDataBegun = true;
        TriggerPartBegin();
    }
    DecodeLine(line, PartEncoding);
}

bool TMimeDecode::IsBoundary(std::string_view line, bool withFinal) {
    // Every boundary starts with "--"; most lines are rejected here without copying.
    if (line.size() < 2 || line[0] != '-' || line[1] != '-' || PartNumber >= kMaxParts) {
        return false;
    }
    ToLowerAsciiInto(line, Scratch_);
    if (Scratch_ == Boundary || NestedBoundaries_.contains(Scratch_)) {
        return true;
    }
    if (withFinal && Scratch_.size() >= 4 && Scratch_.ends_with("--")) {
        Scratch_.resize(Scratch_.size() - 2);
        return Scratch_ == Boundary || NestedBoundaries_.contains(Scratch_);
    }
    return false;
}

void TMimeDecode::NextPart() {
    PartDataBegun = false;
    TriggerPartEnd();
    PartEncoding.clear(), PartContentType.clear(), PartDisposition.clear(), PartContentID.clear();
    PartName.clear(), PartFileName.clear(), PartCharset.clear();
    InHeader = true;
    LineCount_ = 0;
    LeaveInlineBlock();
    UuFileOpen_ = false;
    PartHeaderBegun = false;
    State_ = TState::PartHeader;
}

void TMimeDecode::LeaveInlineBlock() {
    InInlineBlock = false;
    InlineFileName.clear();
}

void TMimeDecode::ParseHeader(std::string_view line) {
    Cursor cursor{line};
    std::string name;
    if (cursor.ReadName(name) != ':') {
        return;
    }
    while (!cursor.AtEnd() && (cursor.Peek() == ' ' || cursor.Peek() == '\t')) {
        ++cursor.pos;
    }
    const std::string_view raw = cursor.Rest();
    if (name == "from") {
        From.assign(raw);
    } else if (name == "to") {
        To.assign(raw);
    } else if (name == "cc") {
        CC.assign(raw);
    } else if (name == "subject") {
        Subject.assign(raw);
    } else if (name == "date") {
        Date.assign(raw);
    } else if (name == "priority" || name == "x-priority") {
        Priority = ParsePriority(raw);
    } else if (name == "content-type") {
        char delimiter = cursor.ReadToken(ContentType);
        std::string parameter, value;
        while (delimiter == ';') {
            delimiter = cursor.ReadName(parameter);
            if (delimiter != '=') {
                continue;
            }
            delimiter = cursor.ReadParameterValue(value);
            if (parameter == "boundary") {
                Boundary = "--" + ToLowerAscii(value);
            } else if (parameter == "charset") {
                Charset = value;
            }
        }
    } else if (name == "content-transfer-encoding") {
        cursor.ReadToken(Encoding);
    }
}

void TMimeDecode::ParsePartHeader(std::string_view line) {
    Cursor cursor{line};
    std::string name;
    if (cursor.ReadName(name) != ':') {
        return;
    }
    while (!cursor.AtEnd() && (cursor.Peek() == ' ' || cursor.Peek() == '\t')) {
        ++cursor.pos;
    }
    if (name == "content-type") {
        char delimiter = cursor.ReadToken(PartContentType);
        std::string parameter, value;
        while (delimiter == ';') {
            delimiter = cursor.ReadName(parameter);
            if (delimiter != '=') {
                continue;
            }
            delimiter = cursor.ReadParameterValue(value);
            if (parameter == "name") {
                PartName = value;
            } else if (parameter == "charset") {
                PartCharset = value;
            } else if (parameter == "boundary") {
                NestedBoundaries_.insert("--" + ToLowerAscii(value));
            }
        }
    } else if (name == "content-transfer-encoding") {
        cursor.ReadToken(PartEncoding);
    } else if (name == "content-id") {
        std::string_view id = cursor.Rest();
        if (id.size() > 1 && id.front() == '<' && id.back() == '>') {
            id = id.substr(1, id.size() - 2);
        }
        PartContentID.assign(id);
    } else if (name == "content-disposition") {
        if (cursor.ReadToken(PartDisposition) == ';') {
            cursor.FindFileName(PartFileName);
        }
    } else if (name == "content-description" && PartFileName.empty()) {
        cursor.FindFileName(PartFileName);
    }
}

void TMimeDecode::DecodeLine(std::string_view line, const std::string& encoding) {
    if (encoding == "base64") {
        DecodeBase64Line(line);
    } else if (encoding == "quoted-printable") {
        DecodeQuotedPrintableLine(line);
    } else if (encoding == "x-uuencode") {
        DecodeUuLine(line);
    } else {
        WritePartData(line.data(), line.size());
        WritePartData("\r\n", 2);
    }
}

void TMimeDecode::DecodeBase64Line(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') {
        ++i;
    }
    Decoded_.resize((line.size() - i) / 4 * 3 + 3);
    auto* out = reinterpret_cast<unsigned char*>(Decoded_.data());
    std::size_t length = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    // Whole groups without padding or blanks: the common case, decoded without checks.
    while (i + 4 <= n) {
        const unsigned char c0 = s[i], c1 = s[i + 1], c2 = s[i + 2], c3 = s[i + 3];
        if (c0 == ' ' || c1 == ' ' || c2 == ' ' || c3 == ' ') {
            break;
        }
        const unsigned v =
            (kBase64[c0] << 18) | (kBase64[c1] << 12) | (kBase64[c2] << 6) | kBase64[c3];
        out[length++] = static_cast<unsigned char>(v >> 16);
        if (c2 == '=') {
            i += 4;
            continue;
        }
        out[length++] = static_cast<unsigned char>(v >> 8);
        if (c3 == '=') {
            i += 4;
            continue;
        }
        out[length++] = static_cast<unsigned char>(v);
        i += 4;
    }
    // An incomplete last group (before the end or a blank) yields the bytes its characters hold.
    std::size_t have = 0;
    unsigned v = 0;
    unsigned char chars[4] = {0, 0, 0, 0};
    while (i + have < n && have < 4 && s[i + have] != ' ') {
        chars[have] = s[i + have];
        v |= static_cast<unsigned>(kBase64[chars[have]]) << (18 - 6 * have);
        ++have;
    }
    if (have >= 2) {
        out[length++] = static_cast<unsigned char>(v >> 16);
        if (have == 3 && chars[2] != '=') {
            out[length++] = static_cast<unsigned char>(v >> 8);
        }
    }
    WritePartData(Decoded_.data(), length);
}

void TMimeDecode::DecodeQuotedPrintableLine(std::string_view line) {
    Decoded_.resize(line.size() + 2);
    char* out = Decoded_.data();
    std::size_t length = 0;
    const std::size_t n = line.size();
    const auto digit = [](char c) -> unsigned {
        return (c >= '0' && c <= '9')
                   ? static_cast<unsigned>(c - '0')
                   : (static_cast<unsigned>(static_cast<unsigned char>(c)) & 15) + 9;
    };
    bool softBreak = false;
    std::size_t i = 0;
    while (i < n) {
        const char c = line[i];
        if (c != '=') {
            out[length++] = c;
            ++i;
            continue;
        }
        if (i + 1 == n) {
            softBreak = true;
            break;
        }
        unsigned value;
        if (i + 2 == n) {
            value = digit(line[i + 1]);
            i += 2;
        } else {
            value = (digit(line[i + 1]) << 4) + digit(line[i + 2]);
            i += 3;
        }
        value &= 0xFF;
        out[length++] = static_cast<char>(value == 0x1A ? 39 : value);
    }
    if (!softBreak) {
        out[length++] = '\r';
        out[length++] = '\n';
    }
    WritePartData(Decoded_.data(), length);
}

void TMimeDecode::DecodeUuLine(std::string_view line) {
    if (line.empty()) {
        return;
    }
    if (StartsWithTextAscii(line, "begin ")) {
        if (!IsCutHere(line)) {
            UuFileOpen_ = true;
        }
        return;
    }
    if (StartsWithTextAscii(line, "end")) {
        if (!IsCutHere(line)) {
            UuFileOpen_ = false;
            return;
        }
    }
    if (!UuFileOpen_) {
        return;
    }
    UudecodeLine(line, Decoded_);
    WritePartData(Decoded_.data(), Decoded_.size());
}

void TMimeDecode::WritePartData(const char* data, std::size_t length) {
    if (length > 0 && PartContentType.empty() && InlineUuCheck(data, length)) {
        return;
    }
    TriggerPartLine(data, length);
}

bool TMimeDecode::InlineUuCheck(const char* data, std::size_t length) {
    std::string_view piece(data, length);
    // Cheap rejection first: outside a block only a "begin 666" line is taken.
    if (!InInlineBlock) {
        std::size_t i = 0;
        while (i < piece.size() && static_cast<unsigned char>(piece[i]) <= ' ' &&
               piece[i] != '\0') {
            ++i;
        }
        if (i >= piece.size() || (piece[i] != 'b' && piece[i] != 'B')) {
            return false;
        }
    }
    if (const std::size_t nul = piece.find('\0'); nul != std::string_view::npos) {
        piece = piece.substr(0, nul);
    }
    const std::string_view text = TrimControls(piece);
    if (text.empty()) {
        return false;
    }
    if (!InInlineBlock) {
        if (!StartsWithTextAscii(text, "begin 666")) {
            return false;
        }
        if (!IsCutHere(text)) {
            InInlineBlock = true;
            InlineFileName.assign(AfterSecondBlank(text));
            if (OnInlineDecodeBegin) {
                OnInlineDecodeBegin(*this, InlineFileName);
            }
        }
        return true;
    }
    if (StartsWithTextAscii(text, "end") && !IsCutHere(text)) {
        const std::string fileName = std::move(InlineFileName);
        InInlineBlock = false;
        InlineFileName.clear();
        if (OnInlineDecodeEnd) {
            OnInlineDecodeEnd(*this, fileName);
        }
        return true;
    }
    if (OnInlineDecodeLine) {
        std::string decoded;
        UudecodeLine(text, decoded);
        OnInlineDecodeLine(*this, decoded);
    }
    return true;
}

}  // namespace quobel
