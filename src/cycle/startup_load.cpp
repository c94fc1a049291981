#include "cycle/startup_load.h"

#include <utility>

#include "core/error.h"
#include "core/file_util.h"

namespace quobel {

TStartupLoad::TStartupLoad(TAccounts& accounts, TMailBoxes& boxes, const std::string& dataFolder)
    : accounts_(accounts),
      boxes_(boxes),
      accountsFolder_(JoinPath(dataFolder, "accounts")),
      storeFolder_(JoinPath(dataFolder, "mailbox")),
      thread_([this] { Run(); }) {}

TStartupLoad::~TStartupLoad() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TStartupLoad::Run() {
    try {
        if (FolderExists(accountsFolder_)) {
            faults_ = accounts_.LoadFromFolder(accountsFolder_);
        }
        boxes_.LoadFromFolder(storeFolder_);
        // The folder list starts with the Inbox, and the check files new mail into it.
        if (TMailBox* inbox = boxes_.FindByType(0)) {
            inbox->ReadOnly = true;
            try {
                inbox->EnsureLoaded();
            } catch (const std::exception&) {
                // Reported when the box is first used.
            }
            inbox->ReadOnly = false;
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
    if (!FolderExists(accountsFolder_)) {
        ForceFolders(accountsFolder_);
    }
    TMailBox& inbox = boxes_.EnsureInbox(storeFolder_);
    if (inbox.Loaded && inbox.UpgradePending) {
        inbox.SaveTable();
    }
    return std::move(faults_);
}

}  // namespace quobel
