#include "message/attachment_names.h"

#include <algorithm>
#include <array>
#include <set>

#include "core/strings.h"
#include "message/header_values.h"

namespace quobel {
namespace {

// Longer than this after the last dot, it is part of the name, not an extension.
constexpr std::size_t kMaxExtensionBytes = 32;

const std::string kEmpty;

// Extensions of files a desktop runs (or hands to an interpreter) when asked to open them.
constexpr std::array<std::string_view, 31> kRunnableExtensions = {
    "desktop", "sh",  "bash", "zsh", "csh", "ksh", "fish",   "command", "run", "bin", "appimage",
    "py",      "pyw", "pl",   "rb",  "php", "js",  "jar",    "exe",     "com", "bat", "cmd",
    "msi",     "scr", "pif",  "ps1", "vbs", "wsf", "x86_64", "elf",     "lnk"};

// The length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead < 0xF0 ? 3 : 1;
    }
    return lead >= 0xC0 ? 2 : 1;
}

// Characters that must not reach a file name: C0 and C1 controls, DEL, and the bidirectional
// controls that make "exe.pdf" read as "fdp.exe" (and the line and paragraph separators).
bool IsUnwanted(std::string_view character) {
    if (character.size() == 1) {
        return IsBlankOrAsciiControl(character[0]) && character[0] != ' ';
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(character[i]); };
    if (character.size() == 2) {
        return byte(0) == 0xC2 && byte(1) >= 0x80 && byte(1) <= 0x9F;
    }
    if (character.size() == 3 && byte(0) == 0xE2) {
        const unsigned code = ((byte(1) & 0x3Fu) << 6u) | (byte(2) & 0x3Fu);  // below U+2000
        return code == 0x0E || code == 0x0F || (code >= 0x28 && code <= 0x2E) ||
               (code >= 0x66 && code <= 0x69);
    }
    return false;
}

std::string WithoutUnwanted(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length =
            std::min(SequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string_view character = text.substr(i, length);
        if (!IsUnwanted(character)) {
            out.append(character);
        }
        i += length;
    }
    return out;
}

bool IsBlankOrDot(char c) {
    return c == ' ' || c == '.';
}

// Where the extension begins (its dot), or npos: a dot after the first character, followed by a
// short run of characters.
std::size_t ExtensionStart(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot > kMaxExtensionBytes + 1) {
        return std::string_view::npos;
    }
    return dot;
}

// The text cut to at most `limit` bytes without splitting a UTF-8 character.
std::string_view CutUtf8(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u) {
        --end;
    }
    return text.substr(0, end);
}

}  // namespace

std::string SafeAttachmentName(std::string_view raw) {
    const std::string decoded = DecodeEncodedWords(raw);
    std::string_view name = decoded;
    if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    const std::string clean = WithoutUnwanted(name);
    // Trailing dots go (".." and "." with them); a leading dot would hide the file.
    const std::string_view trimmed = TrimRightIf(TrimBlanks(clean), IsBlankOrDot);
    if (trimmed.empty()) {
        return std::string(kFallbackAttachmentName);
    }
    std::string result;
    if (trimmed.starts_with('.')) {
        result = std::string(kFallbackAttachmentName);
    }
    result.append(trimmed);
    if (result.size() <= kMaxAttachmentNameBytes) {
        return result;
    }
    const std::size_t dot = ExtensionStart(result);
    const std::string_view extension =
        dot == std::string::npos ? std::string_view() : std::string_view(result).substr(dot);
    const std::string_view stem = TrimRightIf(CutUtf8(std::string_view(result).substr(0, dot),
                                                      kMaxAttachmentNameBytes - extension.size()),
                                              IsBlankOrDot);
    return std::string(stem.empty() ? kFallbackAttachmentName : stem) + std::string(extension);
}

std::string FreeAttachmentName(const std::string& name,
                               const std::function<bool(const std::string&)>& taken) {
    if (!taken(name)) {
        return name;
    }
    const std::size_t dot = ExtensionStart(name);
    const std::string stem = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 2;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
        if (!taken(candidate)) {
            return candidate;
        }
    }
}

bool LooksExecutable(std::string_view name, std::string_view data) {
    if (data.starts_with("#!") ||
        data.starts_with("\x7F"
                         "ELF") ||
        data.starts_with("MZ")) {
        return true;
    }
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string extension = ToLowerAscii(TrimRightIf(name.substr(dot + 1), IsBlankOrDot));
    for (const std::string_view runnable : kRunnableExtensions) {
        if (extension == runnable) {
            return true;
        }
    }
    return false;
}

std::vector<TAttachmentFile> AttachmentFiles(const TQBMessage& message) {
    std::vector<TAttachmentFile> files;
    std::set<std::string> names;
    for (std::size_t i = 0; i < message.Parts.size(); ++i) {
        const TQBMessagePart& part = message.Parts[i];
        if (!part.IsAttachment) {
            continue;
        }
        TAttachmentFile file;
        file.PartIndex = static_cast<int>(i);
        const std::string& given = part.FileName.empty() ? part.Name : part.FileName;
        file.MessageName = DecodeEncodedWords(given);
        file.Name = FreeAttachmentName(SafeAttachmentName(given), [&](const std::string& name) {
            return names.contains(name);
        });
        names.insert(file.Name);
        file.Data = part.Data ? &*part.Data : &kEmpty;
        files.push_back(std::move(file));
    }
    return files;
}

}  // namespace quobel
