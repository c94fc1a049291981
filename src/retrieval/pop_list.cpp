#include "retrieval/pop_list.h"
#include "core/user_text.h"

#include <set>

namespace quobel {

void TPOPList::Run() {
    try {
        LoginDelaySeconds = Connection->Capabilities().LoginDelaySeconds();
        ReportStatus(USER_TEXT("Quobel", "Checking for new mail..."), kStatusChecking);
        ServerKeys = Connection->ListUniqueIds();
        std::vector<bool> failed(ServerKeys.size(), false);
        std::set<std::string> delivered;
        // The new messages: their numbers, and their lines in ServerKeys.
        std::vector<int> numbers;
        std::vector<size_t> lineOf;
        for (size_t i = 0; i < ServerKeys.size(); ++i) {
            int number = 0;
            std::string key;
            if (!ParseUniqueIdLine(ServerKeys[i], number, key)) {
                continue;
            }
            ServerKeys[i] = key;
            if (number > 0 && !Account.UIDL.Contains(key)) {
                numbers.push_back(number);
                lineOf.push_back(i);
            }
        }
        if (!numbers.empty() && OnNewFound) {
            OnNewFound(*this, numbers.size());
        }
        size_t answered = 0;
        try {
            Connection->AllowPipelining = AllowPipelining;
            Connection->RetrieveHeaders(numbers, [&](TQBPOP3::THeader& header) {
                const size_t line = lineOf[answered++];
                CurrentKey = ServerKeys[line];
                if (header.Refused) {
                    failed[line] = true;
                    ReportError(USER_TEXT("Quobel", "Could not retrieve message header!"),
                                Error(header.Error));
                } else if (Deliver(ServerKeys[line], header.Size, header.Lines)) {
                    delivered.insert(ServerKeys[line]);
                } else {
                    failed[line] = true;
                }
            });
        } catch (const std::exception& failure) {
            // The connection is gone: the messages not answered yet stay unknown.
            for (size_t k = answered; k < lineOf.size(); ++k) {
                failed[lineOf[k]] = true;
            }
            ReportError(USER_TEXT("Quobel", "Could not retrieve message header!"),
                        AsError(failure));
        }
        if (OnHeadersEnd) {
            OnHeadersEnd(*this);
        }
        // A message that could not be delivered is left out, so that it stays unknown and the
        // next check offers it again, unless another line delivered the same key.
        std::vector<std::string> reported;
        reported.reserve(ServerKeys.size());
        for (size_t i = 0; i < ServerKeys.size(); ++i) {
            if (!failed[i] || delivered.contains(ServerKeys[i])) {
                reported.push_back(ServerKeys[i]);
            }
        }
        if (OnServerList) {
            Synchronize([&] { OnServerList(*this, reported); });
        }
    } catch (const std::exception& failure) {
        ReportError(USER_TEXT("Quobel", "Could not retrieve message list!"), AsError(failure));
    }
}

bool TPOPList::Deliver(const std::string& key, int64_t size, std::vector<std::string>& lines) {
    try {
        CurrentSize = size;
        if (OnHeaderArrived) {
            OnHeaderArrived(*this, key, size, lines);
        } else if (OnNewMessage) {
            HeaderLines = std::move(lines);
            Synchronize([&] { OnNewMessage(*this, key, size); });
        }
        return true;
    } catch (const std::exception& failure) {
        ReportError(USER_TEXT("Quobel", "Could not retrieve message header!"), AsError(failure));
        return false;
    }
}

}  // namespace quobel
