#pragma once

#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "accounts/accounts.h"
#include "store/mail_box.h"

namespace quobel {

// Reads the accounts, lists the store and loads the Inbox on a thread of its own, while the
// program starts. The thread only reads, so that it may start before the program knows whether
// it is the only instance; Take does the writing that opening the store needs (new folders, a
// new Inbox, an old table in its new form). Nothing else may touch the accounts or the mailboxes
// until Take has returned.
class TStartupLoad {
  public:
    TStartupLoad(TAccounts& accounts, TMailBoxes& boxes, const std::string& dataFolder);
    ~TStartupLoad();
    TStartupLoad(const TStartupLoad&) = delete;
    TStartupLoad& operator=(const TStartupLoad&) = delete;

    // Waits for the reading, finishes opening the store and returns the account files that could
    // not be read whole; an error reading the accounts or opening the store is passed on
    // instead. A mailbox that could not be loaded is left not loaded, for its first use to try
    // again and report. Only once.
    std::vector<TAccountLoadFault> Take();

  private:
    void Run();

    TAccounts& accounts_;
    TMailBoxes& boxes_;
    const std::string accountsFolder_;
    const std::string storeFolder_;
    std::vector<TAccountLoadFault> faults_;
    std::exception_ptr error_;
    bool taken_ = false;
    std::thread thread_;  // last: it starts once everything it uses exists
};

}  // namespace quobel
