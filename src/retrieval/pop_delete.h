#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/user_text.h"
#include "retrieval/pop_task.h"

namespace quobel {

// Deletes the messages whose keys are in DeleteKeys. Each key is reported (OnDeleted) before
// its "DELE" is sent; keys not on the server are reported at the end.
class TPOPDelete : public TPOPTask {
  public:
    explicit TPOPDelete(TUiDispatcher& dispatcher) : TPOPTask(dispatcher) {}

    // Emptied one by one as they are handled.
    std::vector<std::string> DeleteKeys;
    std::string CurrentKey;

    std::function<void(TPOPDelete& sender, const std::string& key)> OnDeleted;

    void Run() override;
    std::string Description() const override { return USER_TEXT("Quobel", "Deleting message..."); }

  private:
    void RaiseDeleted();
};

}  // namespace quobel
