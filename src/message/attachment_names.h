#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "message/qb_message.h"

namespace quobel {

// An attachment's file name comes from the message, so it is hostile input: it may name other
// folders ("../../.bashrc", "C:\evil.exe"), hide itself (".profile"), carry control characters
// or be far longer than a file system allows. These rules turn it into a plain name of one folder
// entry that keeps what the user recognises: the name and its extension.

// The longest name made, in bytes: below the 255 of Linux file systems, with room for " (99)".
inline constexpr std::size_t kMaxAttachmentNameBytes = 240;

// The name given when the message's name leaves nothing usable.
inline constexpr std::string_view kFallbackAttachmentName = "attachment";

// A safe file name from a name in a message: encoded words decoded, only the last path part
// (after "/" or "\"), control characters removed, blanks and dots trimmed at the ends, "." and
// ".." and empty names refused (the fallback name instead), a name that is only an extension
// (".pdf") given the fallback name before it, and a long name cut to the limit keeping its
// extension and whole UTF-8 characters.
std::string SafeAttachmentName(std::string_view raw);

// The name, or the first of "name (2).ext", "name (3).ext" ... for which taken() is false.
std::string FreeAttachmentName(const std::string& name,
                               const std::function<bool(const std::string&)>& taken);

// True when the desktop would run the file rather than show it: an executable or script by its
// extension, a desktop entry, or contents that begin like a program ("#!", ELF, "MZ").
bool LooksExecutable(std::string_view name, std::string_view data);

struct TAttachmentFile {
    int PartIndex = 0;
    // The name as the message gives it (decoded), and the safe name, unique in the message.
    std::string MessageName;
    std::string Name;
    const std::string* Data = nullptr;  // never null; an empty part points at an empty text
};

// The message's attachments in part order, each with a safe name that no other attachment of
// the message has.
std::vector<TAttachmentFile> AttachmentFiles(const TQBMessage& message);

}  // namespace quobel
