#include "core/ini_file.h"

#include <exception>
#include <unordered_set>

#include "core/file_util.h"
#include "core/strings.h"

namespace quobel {
namespace {

// Blanks around names and values; a carriage return left at a line's end goes too.
std::string_view TrimEntry(std::string_view text) {
    return TrimRightIf(TrimLeftIf(text, IsBlank), [](char c) { return IsBlank(c) || c == '\r'; });
}

// Calls visit(line, next) for each line of the text, without its line end (LF or CR LF), with
// where the next line starts.
template <typename F>
void ForEachLine(std::string_view text, F&& visit) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view raw =
            text.substr(at, (end == std::string_view::npos ? text.size() : end) - at);
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        visit(raw, next);
        at = next;
    }
}

// The key of an entry line as the file spells it (trimmed); empty for other lines.
std::string_view EntryKey(std::string_view raw) {
    const std::string_view trimmed = TrimEntry(raw);
    const size_t equals = trimmed.find('=');
    if (trimmed.empty() || trimmed.front() == ';' || equals == std::string_view::npos ||
        equals == 0) {
        return {};
    }
    return TrimEntry(trimmed.substr(0, equals));
}

}  // namespace

bool ParseIniInteger(std::string_view text, int32_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint64_t result = 0;
        for (const char c : text.substr(2)) {
            const int digit = HexDigitValue(c);
            if (digit < 0) {
                return false;
            }
            result = result * 16 + static_cast<uint64_t>(digit);
            if (result > 0xFFFFFFFFull) {
                return false;
            }
        }
        value = static_cast<int32_t>(static_cast<uint32_t>(result));
        return true;
    }
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    int64_t result = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        result = result * 10 + (text[i] - '0');
        if (result > 2147483648LL) {
            return false;
        }
    }
    result = negative ? -result : result;
    if (result > 2147483647LL) {
        return false;
    }
    value = static_cast<int32_t>(result);
    return true;
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::string text;
    if (ReadWholeFile(fileName_, text)) {
        Parse(text);
        stored_ = std::move(text);
    }
}

void TIniFile::Parse(std::string_view text) {
    Section* current = nullptr;
    size_t bodyStart = 0;
    // A section's lines stay one text until they are used.
    const auto endSection = [&](size_t end) {
        if (current != nullptr) {
            current->unsplit.assign(text.substr(bodyStart, end - bodyStart));
            current->split = current->unsplit.empty();
        }
    };
    ForEachLine(text, [&](std::string_view raw, size_t next) {
        const std::string_view trimmed = TrimEntry(raw);
        if (!trimmed.empty() && trimmed.front() == '[') {
            endSection(static_cast<size_t>(raw.data() - text.data()));
            const size_t close = trimmed.find(']');
            Section section;
            section.name = ToLowerAscii(TrimEntry(trimmed.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            section.header = std::string(raw);
            sections_.push_back(std::move(section));
            current = &sections_.back();
            bodyStart = next;
        } else if (current == nullptr) {
            preamble_.emplace_back(raw);
        }
    });
    endSection(text.size());
    Reindex();
}

TIniFile::Line TIniFile::LineOf(std::string_view raw) {
    return Line{std::string(raw), ToLowerAscii(EntryKey(raw))};
}

std::vector<TIniFile::Line>& TIniFile::LinesOf(const Section& section) {
    if (!section.split) {
        section.lines.clear();
        ForEachLine(section.unsplit,
                    [&](std::string_view raw, size_t) { section.lines.push_back(LineOf(raw)); });
        section.unsplit = std::string();
        section.split = true;
    }
    return section.lines;
}

void TIniFile::Reindex() {
    sectionIndex_.clear();
    for (size_t s = 0; s < sections_.size(); ++s) {
        Section& section = sections_[s];
        sectionIndex_.try_emplace(section.name, s);
        section.firstEntry.clear();
        section.indexed = false;
    }
}

const std::unordered_map<std::string, size_t>& TIniFile::EntriesOf(const Section& section) {
    if (!section.indexed) {
        const std::vector<Line>& lines = LinesOf(section);
        section.firstEntry.clear();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (!lines[i].key.empty()) {
                section.firstEntry.try_emplace(lines[i].key, i);
            }
        }
        section.indexed = true;
    }
    return section.firstEntry;
}

const TIniFile::Section* TIniFile::FindSection(std::string_view section) const {
    const auto found = sectionIndex_.find(ToLowerAscii(TrimEntry(section)));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

TIniFile::Section* TIniFile::FindSection(std::string_view section) {
    const auto found = sectionIndex_.find(ToLowerAscii(TrimEntry(section)));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const TIniFile::Line* TIniFile::FindLine(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return nullptr;
    }
    const auto& entries = EntriesOf(*found);
    const auto entry = entries.find(ToLowerAscii(TrimEntry(key)));
    return entry == entries.end() ? nullptr : &found->lines[entry->second];
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindLine(section, key) != nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const Line* line = FindLine(section, key);
    if (line == nullptr) {
        return std::string(defaultValue);
    }
    std::string_view value = std::string_view(line->raw);
    value = TrimEntry(value.substr(value.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    if (value.size() > kMaxValueLength) {
        value = value.substr(0, kMaxValueLength);
    }
    return std::string(value);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                              int32_t defaultValue) const {
    int32_t value = 0;
    return ParseIniInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return keys;
    }
    if (!found->split) {
        // Listed from the file's text: reading many known keys splits nothing.
        ForEachLine(found->unsplit, [&](std::string_view raw, size_t) {
            if (const std::string_view key = EntryKey(raw); !key.empty()) {
                keys.emplace_back(key);
            }
        });
        return keys;
    }
    keys.reserve(found->lines.size());
    for (const Line& line : found->lines) {
        if (!line.key.empty()) {
            const std::string_view raw = TrimEntry(line.raw);
            keys.emplace_back(TrimEntry(raw.substr(0, raw.find('='))));
        }
    }
    return keys;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const Section& section : sections_) {
        const std::string_view header = TrimEntry(section.header);
        const size_t close = header.find(']');
        names.emplace_back(TrimEntry(header.substr(
            1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
    }
    return names;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string raw = std::string(TrimEntry(key)) + "=" + std::string(value);
    const std::string lowerKey = ToLowerAscii(TrimEntry(key));
    Section* found = FindSection(section);
    if (found == nullptr) {
        Section added;
        added.name = ToLowerAscii(TrimEntry(section));
        // Appended piece by piece: GCC 12 at -O3 warns falsely about "[" + std::string(...).
        added.header.assign(1, '[').append(TrimEntry(section)).append(1, ']');
        sections_.push_back(std::move(added));
        sectionIndex_.try_emplace(sections_.back().name, sections_.size() - 1);
        found = &sections_.back();
    }
    const auto entry = EntriesOf(*found).find(lowerKey);
    if (entry != found->firstEntry.end()) {
        // The key keeps the spelling it has in the file; only the value changes.
        std::string& existing = found->lines[entry->second].raw;
        existing = existing.substr(0, existing.find('=') + 1) + std::string(value);
    } else {
        // After the section's last non-blank line, so blank separators stay at its end.
        size_t position = found->lines.size();
        while (position > 0 && TrimEntry(found->lines[position - 1].raw).empty()) {
            --position;
        }
        found->lines.insert(found->lines.begin() + static_cast<ptrdiff_t>(position),
                            Line{raw, lowerKey});
        found->firstEntry.emplace(lowerKey, position);
    }
    Changed();
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view section) {
    const std::string name = ToLowerAscii(TrimEntry(section));
    const size_t before = sections_.size();
    std::erase_if(sections_, [&](const Section& s) { return s.name == name; });
    if (sections_.size() != before) {
        Reindex();
        Changed();
    }
}

void TIniFile::ReplaceSection(std::string_view section, const std::vector<std::string>& keys,
                              std::string_view value) {
    if (keys.empty()) {
        EraseSection(section);
        return;
    }
    Section replaced;
    replaced.name = ToLowerAscii(TrimEntry(section));
    replaced.header.assign(1, '[').append(TrimEntry(section)).append(1, ']');
    // Written as the section's text, as if read from a file: the lines are split only if used.
    size_t keyBytes = 0;
    for (const std::string& key : keys) {
        keyBytes += key.size();
    }
    // The keys in lower case one after another, and views of them: the text never moves once
    // reserved.
    std::string lowered;
    lowered.reserve(keyBytes);
    std::unordered_set<std::string_view> seen;
    seen.reserve(keys.size());
    std::string& body = replaced.unsplit;
    body.reserve(keyBytes + keys.size() * (value.size() + 3));
    for (const std::string& key : keys) {
        const std::string_view trimmed = TrimEntry(key);
        const size_t at = lowered.size();
        for (const char c : trimmed) {
            lowered.push_back(LowerAscii(c));
        }
        if (!seen.insert(std::string_view(lowered).substr(at)).second) {
            lowered.resize(at);
            continue;
        }
        body.append(trimmed).append(1, '=').append(value).append("\r\n");
    }
    replaced.split = false;
    std::erase_if(sections_, [&](const Section& s) { return s.name == replaced.name; });
    sections_.push_back(std::move(replaced));
    Reindex();
    Changed();
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    Section* found = FindSection(section);
    if (found == nullptr) {
        return;
    }
    const std::string lowerKey = ToLowerAscii(TrimEntry(key));
    const auto entry = EntriesOf(*found).find(lowerKey);
    if (entry == found->firstEntry.end()) {
        return;
    }
    found->lines.erase(found->lines.begin() + static_cast<ptrdiff_t>(entry->second));
    Reindex();
    Changed();
}

std::string TIniFile::Text() const {
    std::string text;
    for (const std::string& line : preamble_) {
        text += line;
        text += "\r\n";
    }
    for (const Section& section : sections_) {
        text += section.header;
        text += "\r\n";
        if (!section.split) {
            ForEachLine(section.unsplit, [&](std::string_view raw, size_t) {
                text += raw;
                text += "\r\n";
            });
            continue;
        }
        for (const Line& line : section.lines) {
            text += line.raw;
            text += "\r\n";
        }
    }
    return text;
}

void TIniFile::Changed() {
    dirty_ = true;
    if (batchDepth_ == 0) {
        Flush();
    }
}

void TIniFile::Flush() {
    if (!dirty_) {
        return;
    }
    std::string text = Text();
    if (!stored_ || text != *stored_ || !FileExists(fileName_)) {
        WriteFileAtomic(fileName_, text);
        stored_ = std::move(text);
    }
    dirty_ = false;
}

TIniFile::Batch::Batch(TIniFile& ini) : ini_(ini), uncaught_(std::uncaught_exceptions()) {
    ++ini_.batchDepth_;
}

TIniFile::Batch::~Batch() noexcept(false) {
    if (--ini_.batchDepth_ == 0) {
        if (std::uncaught_exceptions() > uncaught_) {
            return;  // unwinding: the caller's error wins; nothing half-done reaches the disk
        }
        ini_.Flush();
    }
}

}  // namespace quobel
