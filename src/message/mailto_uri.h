#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quobel {

// What a "mailto:" URI (RFC 6068) asks the user's mail program to start writing. Texts are
// UTF-8; addresses are bare (local@domain), since display names have no place in the URI.
struct TMailTo {
    std::vector<std::string> To;
    std::vector<std::string> Cc;
    std::string Subject;
    // Lines separated by CR LF.
    std::string Body;
    // The message-id replied to, with its angle brackets.
    std::string InReplyTo;

    bool operator==(const TMailTo&) const = default;
};

// The longest URI made, in characters, unless the recipients and the subject alone are longer
// (they are never cut). 2000 stays under the 2083 that Windows' URL handling and the oldest
// browsers allow, and under the 8 KB request line of common web servers even when a webmail
// handler encodes the URI a second time (every "%" becomes "%25").
inline constexpr std::size_t kMaxMailToLength = 2000;

// Appended, on a line of its own, to a body that was cut to fit the limit.
inline constexpr std::string_view kMailToCutMark = "[...]";

// The URI: addresses after "mailto:" separated by commas, then "cc", "subject", "in-reply-to"
// and "body" fields; every byte but the unreserved characters (and "@" in addresses) is
// percent-encoded, non-ASCII as its UTF-8 bytes, line breaks as %0D%0A. A body that would make
// the URI longer than maxLength is cut at the last whole line that fits (a single long line at
// a whole character) and ends with the cut mark; no body at all when not even that fits.
std::string MailToUri(const TMailTo& mail, std::size_t maxLength = kMaxMailToLength);

// Reads a "mailto:" URI (with or without its scheme, which is matched in any letter case):
// addresses before "?" and in "to" fields, "cc", "subject", "body" and "in-reply-to" fields,
// names matched in any letter case, values percent-decoded. Every other field is dropped: a link
// in a message must not attach files or add hidden recipients. Bare line feeds in the body
// become CR LF.
TMailTo ParseMailToUri(std::string_view uri);

// "Re: " or "Fwd: " before the subject unless it begins with that prefix (or "Fw:") already, in
// any letter case; control characters in the subject become blanks.
std::string ReplySubject(std::string_view subject);
std::string ForwardSubject(std::string_view subject);

}  // namespace quobel
