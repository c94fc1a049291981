#include "retrieval/pop_retrieve.h"
#include "core/user_text.h"

namespace quobel {

void TPOPRetrieve::Run() {
    MessageLines.reset();
    try {
        ReportStatus(USER_TEXT("Quobel", "Searching for message..."), kStatusChecking);
        for (const std::string& line : Connection->ListUniqueIds()) {
            int number = 0;
            std::string key;
            if (!ParseUniqueIdLine(line, number, key) || number <= 0 || key != TargetKey) {
                continue;
            }
            try {
                ReportStatus(USER_TEXT("Quobel", "Retrieving message size..."),
                             kStatusTransferring);
                SetMax(Connection->MessageSize(number));
            } catch (const std::exception& failure) {
                ReportError(USER_TEXT("Quobel", "Could not retrieve message size!"),
                            AsError(failure));
                break;
            }
            MessageLines.emplace();
            try {
                ReportStatus(USER_TEXT("Quobel", "Retrieving message..."), kStatusTransferring);
                Connection->RetrieveRaw(number, *MessageLines);
            } catch (const std::exception& failure) {
                ReportError(USER_TEXT("Quobel", "Could not retrieve message!"), AsError(failure));
            }
            break;
        }
    } catch (const std::exception& failure) {
        ReportError(USER_TEXT("Quobel", "Could not retrieve message list!"), AsError(failure));
    }
    if (OnRetrieved) {
        Synchronize([&] { OnRetrieved(*this, MessageLines ? &*MessageLines : nullptr); });
    }
}

}  // namespace quobel
