#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "message/mailto_uri.h"
#include "message/qb_message.h"

namespace quobel {

// The commands that hand writing mail to the user's mail program.
enum class TMailCommand { Compose, Reply, ReplyAll, Forward };

// What the command writes about the message:
// - Compose: nothing (an empty message).
// - Reply: to the Reply-To addresses, or the sender when there are none; "Re: " subject;
//   In-Reply-To the message's Message-ID; the shown text quoted with "> " under a line naming
//   the date and the sender.
// - Reply to all: as Reply, and also to the message's To addresses, with its CC addresses as
//   Cc; the user's own addresses and repeats left out.
// - Forward: no recipient; "Fwd: " subject; the shown text under a block with the message's
//   subject, date, sender and recipients.
// `shown` is the message's text as the reader shows it (UTF-8), empty when it is not known: a
// reply then has no quote. Addresses without "@" (left from names that held commas) are
// dropped; addresses compare without regard to ASCII case.
TMailTo MailToFor(TMailCommand command, const TQBMessage& message, std::string_view shown,
                  const std::vector<std::string>& ownAddresses);

// The first value of the header field in the (unfolded) header lines, blanks trimmed; empty
// when the message has no such field.
std::string HeaderField(const std::vector<std::string>& headerLines, std::string_view name);

}  // namespace quobel
