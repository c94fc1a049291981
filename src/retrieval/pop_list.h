#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "retrieval/pop_task.h"

namespace quobel {

// The mail check: delivers the size and header lines of every message the account copy does not
// know yet, then the keys of all messages on the server.
class TPOPList : public TPOPTask {
  public:
    explicit TPOPList(TUiDispatcher& dispatcher) : TPOPTask(dispatcher) {}

    std::vector<std::string> ServerKeys;
    std::vector<std::string> HeaderLines;  // of the message being reported
    int64_t CurrentSize = -1;
    std::string CurrentKey;

    // One new message; its header lines are HeaderLines during the event.
    std::function<void(TPOPList& sender, const std::string& key, int64_t size)> OnNewMessage;
    // The keys of the messages on the server, in server order; only after a complete listing.
    std::function<void(TPOPList& sender, const std::vector<std::string>& keys)> OnServerList;

    void Run() override;
    std::string Description() const override { return "Checking for new messages..."; }
};

}  // namespace quobel
