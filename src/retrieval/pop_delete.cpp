#include "retrieval/pop_delete.h"

#include "core/ini_file.h"
#include "core/strings.h"
#include "core/user_text.h"

namespace quobel {

void TPOPDelete::RaiseDeleted() {
    if (OnDeleted) {
        Synchronize([&] { OnDeleted(*this, CurrentKey); });
    }
}

void TPOPDelete::Run() {
    try {
        ReportStatus(USER_TEXT("Quobel", "Searching for message..."), kStatusChecking);
        for (const std::string& line : Connection->ListUniqueIds()) {
            int number = 0;
            std::string key;
            if (!ParseUniqueIdLine(line, number, key) || number <= 0) {
                continue;
            }
            for (std::string& wanted : DeleteKeys) {
                if (wanted.empty() || !SameTextAscii(wanted, key)) {
                    continue;
                }
                CurrentKey = wanted;
                wanted.clear();
                RaiseDeleted();
                try {
                    ReportStatus(USER_TEXT("Quobel", "Removing message..."), kStatusTransferring);
                    Connection->DeleteOnServer(number);
                } catch (const std::exception& failure) {
                    ReportError(USER_TEXT("Quobel", "Could not remove message!"), AsError(failure));
                }
                break;
            }
        }
    } catch (const std::exception& failure) {
        // The keys not handled yet may well be on the server still: none is reported deleted,
        // so the owner keeps their messages and a later delete can try again.
        ReportError(USER_TEXT("Quobel", "Could not retrieve message list!"), AsError(failure));
        return;
    }
    for (auto wanted = DeleteKeys.rbegin(); wanted != DeleteKeys.rend(); ++wanted) {
        if (!wanted->empty()) {
            CurrentKey = *wanted;
            RaiseDeleted();
        }
    }
}

}  // namespace quobel
