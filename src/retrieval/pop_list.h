#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/user_text.h"
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

    // One new message; its header lines are HeaderLines during the event. Not raised when
    // OnHeaderArrived is set.
    std::function<void(TPOPList& sender, const std::string& key, int64_t size)> OnNewMessage;
    // On the worker thread, which waits for nothing else: one new message's header lines, as
    // soon as they arrived, for the handler to take. A failure it raises leaves the message
    // unknown.
    std::function<void(TPOPList& sender, const std::string& key, int64_t size,
                       std::vector<std::string>& lines)>
        OnHeaderArrived;
    // On the worker thread, once the listing showed new messages and before their headers are
    // asked for: whoever files them may get ready meanwhile.
    std::function<void(TPOPList& sender, size_t count)> OnNewFound;
    // On the worker thread: no header arrives any more (also after a failure); raised before
    // OnServerList.
    std::function<void(TPOPList& sender)> OnHeadersEnd;
    // The keys of the messages on the server, in server order; only after a complete listing.
    std::function<void(TPOPList& sender, const std::vector<std::string>& keys)> OnServerList;

    void Run() override;
    // Whether a server that offers PIPELINING gets the commands ahead of their replies.
    bool AllowPipelining = true;
    // The least seconds between two logins, when the server said so ("LOGIN-DELAY n").
    std::optional<int> LoginDelaySeconds;
    std::string Description() const override {
        return USER_TEXT("Quobel", "Checking for new messages...");
    }

  private:
    // Hands one new message on; false when that failed (the failure is reported).
    bool Deliver(const std::string& key, int64_t size, std::vector<std::string>& lines);
};

}  // namespace quobel
