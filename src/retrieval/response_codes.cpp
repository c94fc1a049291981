#include "retrieval/response_codes.h"

#include <string_view>

#include "core/strings.h"

namespace quobel {
namespace {

struct TExplanation {
    std::string_view Code;
    std::string_view Sentence;
};

constexpr TExplanation kExplanations[] = {
    {"[IN-USE]",
     "The mailbox is in use by another session, perhaps another mail program on this or "
     "another computer; the server lets only one in at a time. Try again when it has ended."},
    {"[LOGIN-DELAY]",
     "The server allows a login only every so often; this account is checked again later."},
    {"[SYS/TEMP]", "The server has a passing problem of its own; a later check may succeed."},
    {"[SYS/PERM]",
     "The server has a problem of its own that will not pass by itself; ask the mail "
     "provider."},
    {"[AUTH]", "The user name or password was not accepted; check them in the account."},
};

}  // namespace

std::string WithResponseCodeExplained(const std::string& text) {
    const std::string_view trimmed = TrimLeftIf(text, IsBlankOrAsciiControl);
    for (const TExplanation& explanation : kExplanations) {
        if (StartsWithTextAscii(trimmed, explanation.Code)) {
            std::string explained = text;
            if (!explained.ends_with("\r\n")) {
                explained += "\r\n";
            }
            explained += explanation.Sentence;
            return explained;
        }
    }
    return text;
}

}  // namespace quobel
