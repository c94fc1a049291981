// The session's fetch of many header blocks: the check's whole conversation after UIDL.
#include <algorithm>
#include <charconv>

#include "core/error.h"
#include "retrieval/qbpop3.h"

namespace quobel {
namespace {

// Up to this many new messages a multi-line LIST of the whole mailbox costs more than it saves.
constexpr size_t kHandful = 5;
// Command bytes sent and not yet answered. Far below any socket buffer, so the commands always
// reach the server even while it waits for its replies to be read: neither side can block the
// other.
constexpr size_t kMaxUnansweredBytes = 8192;

std::string HeaderCommands(int number) {
    const std::string text = std::to_string(number);
    return "LIST " + text + "\r\nTOP " + text + " 0\r\n";
}

}  // namespace

void TQBPOP3::RetrieveHeaders(const std::vector<int>& numbers,
                              const std::function<void(THeader& header)>& take) {
    if (AllowPipelining && capabilities_.Pipelining()) {
        RetrieveHeadersPipelined(numbers, take);
        return;
    }
    std::vector<std::pair<int, int64_t>> sizes;
    const bool listed = numbers.size() > kHandful && ListAllSizes(sizes);
    for (const int number : numbers) {
        THeader header;
        header.Number = number;
        const auto found = std::ranges::lower_bound(sizes, std::pair<int, int64_t>(number, -1));
        if (listed && found != sizes.end() && found->first == number) {
            header.Size = found->second;
        } else {
            // Not in the listing (or none): the message is asked for alone.
            const Reply reply = Command("LIST " + std::to_string(number));
            if (!reply.Positive) {
                header.Refused = true;
                header.Error = reply.Text;
                take(header);
                continue;
            }
            header.Size = ParseListedSize(reply.Text);
        }
        SendCommand("TOP " + std::to_string(number) + " 0");
        ReadHeaderReply(header);
        take(header);
    }
}

void TQBPOP3::RetrieveHeadersPipelined(const std::vector<int>& numbers,
                                       const std::function<void(THeader& header)>& take) {
    const size_t window = std::max<size_t>(PipelineWindow, 1);
    size_t sent = 0;
    size_t answered = 0;
    size_t unansweredBytes = 0;
    while (answered < numbers.size()) {
        // Topped up once half the window is answered: fewer, larger writes.
        if (sent - answered <= window / 2) {
            std::string batch;
            while (sent < numbers.size() && sent - answered < window) {
                const std::string commands = HeaderCommands(numbers[sent]);
                if (sent > answered && unansweredBytes + commands.size() > kMaxUnansweredBytes) {
                    break;
                }
                unansweredBytes += commands.size();
                batch += commands;
                ++sent;
            }
            if (!batch.empty()) {
                SendBytes(batch);
            }
        }
        THeader header;
        header.Number = numbers[answered];
        // Both replies are read whatever the first one says: each command has its own.
        const Reply size = ReadReply();
        ReadHeaderReply(header);
        if (!size.Positive) {
            header.Lines.clear();
            header.Refused = true;
            header.Error = size.Text;
        } else {
            header.Size = ParseListedSize(size.Text);
        }
        unansweredBytes -= HeaderCommands(header.Number).size();
        ++answered;
        take(header);
    }
}

bool TQBPOP3::ListAllSizes(std::vector<std::pair<int, int64_t>>& sizes) {
    if (!Command("LIST").Positive) {
        return false;
    }
    std::vector<std::string> lines;
    ReadMultiLine(lines);
    sizes.clear();
    sizes.reserve(lines.size());
    for (const std::string& line : lines) {
        const std::string_view text = line;
        const size_t blank = text.find(' ');
        if (blank == std::string_view::npos) {
            continue;
        }
        int number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + blank, number);
        if (error == std::errc() && end == text.data() + blank) {
            sizes.emplace_back(number, ParseListedSize(text));
        }
    }
    std::ranges::sort(sizes);
    return true;
}

void TQBPOP3::ReadHeaderReply(THeader& header) {
    const Reply reply = ReadReply();
    if (!reply.Positive) {
        header.Refused = true;
        header.Error = reply.Text;
        return;
    }
    ReadMultiLine(header.Lines);
}

}  // namespace quobel
