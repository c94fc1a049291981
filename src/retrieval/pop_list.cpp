#include "retrieval/pop_list.h"

#include <set>

namespace quobel {

void TPOPList::Run() {
    try {
        ReportStatus("Checking for new mail...", kStatusChecking);
        ServerKeys = Connection->ListUniqueIds();
        std::vector<bool> failed(ServerKeys.size(), false);
        std::set<std::string> delivered;
        for (size_t i = 0; i < ServerKeys.size(); ++i) {
            int number = 0;
            std::string key;
            if (!ParseUniqueIdLine(ServerKeys[i], number, key)) {
                continue;
            }
            CurrentKey = key;
            ServerKeys[i] = key;
            if (number <= 0 || Account.UIDL.Contains(key)) {
                continue;
            }
            try {
                CurrentSize = Connection->MessageSize(number);
                HeaderLines.clear();
                Connection->RetrieveHeader(number, HeaderLines);
                if (OnNewMessage) {
                    Synchronize([&] { OnNewMessage(*this, key, CurrentSize); });
                }
                delivered.insert(key);
            } catch (const std::exception& failure) {
                failed[i] = true;
                ReportError("Could not retrieve message header!", AsError(failure));
            }
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
        ReportError("Could not retrieve message list!", AsError(failure));
    }
}

}  // namespace quobel
