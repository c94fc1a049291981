#include "cycle/startup_load.h"

#include <utility>

#include "core/error.h"
#include "core/file_util.h"

namespace quobel {

TStartupLoad::TStartupLoad(TAccounts& accounts, TMailBoxes& boxes, std::string dataFolder)
    : accounts_(accounts),
      boxes_(boxes),
      dataFolder_(std::move(dataFolder)),
      thread_([this] { Run(); }) {}

TStartupLoad::~TStartupLoad() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TStartupLoad::Run() {
    try {
        const std::string accounts = JoinPath(dataFolder_, "accounts");
        if (!FolderExists(accounts)) {
            ForceFolders(accounts);
        }
        faults_ = accounts_.LoadFromFolder(accounts);
        TMailBox& inbox = boxes_.OpenStore(JoinPath(dataFolder_, "mailbox"));
        // The folder list starts with the Inbox, and the check files new mail into it.
        try {
            inbox.EnsureLoaded();
        } catch (const std::exception&) {
            // Reported when the box is first used.
        }
    } catch (...) {
        error_ = std::current_exception();
    }
}

std::vector<TAccountLoadFault> TStartupLoad::Take() {
    if (taken_) {
        throw Error("The start-up reading was taken already");
    }
    taken_ = true;
    thread_.join();
    if (error_) {
        std::rethrow_exception(error_);
    }
    return std::move(faults_);
}

}  // namespace quobel
