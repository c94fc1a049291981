#include "retrieval/pop_retrieve.h"

namespace quobel {

void TPOPRetrieve::Run() {
    MessageLines.reset();
    try {
        ReportStatus("Searching for message...", kStatusChecking);
        for (const std::string& line : Connection->ListUniqueIds()) {
            int number = 0;
            std::string key;
            if (!ParseUniqueIdLine(line, number, key) || number <= 0 || key != TargetKey) {
                continue;
            }
            try {
                ReportStatus("Retrieving message size...", kStatusTransferring);
                SetMax(Connection->MessageSize(number));
            } catch (const std::exception& failure) {
                ReportError("Could not retrieve message size!", AsError(failure));
                break;
            }
            MessageLines.emplace();
            try {
                ReportStatus("Retrieving message...", kStatusTransferring);
                Connection->RetrieveRaw(number, *MessageLines);
            } catch (const std::exception& failure) {
                ReportError("Could not retrieve message!", AsError(failure));
            }
            break;
        }
    } catch (const std::exception& failure) {
        ReportError("Could not retrieve message list!", AsError(failure));
    }
    if (OnRetrieved) {
        Synchronize([&] { OnRetrieved(*this, MessageLines ? &*MessageLines : nullptr); });
    }
}

}  // namespace quobel
