#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/user_text.h"
#include "retrieval/pop_task.h"

namespace quobel {

// Downloads the whole message whose key is TargetKey.
class TPOPRetrieve : public TPOPTask {
  public:
    explicit TPOPRetrieve(TUiDispatcher& dispatcher) : TPOPTask(dispatcher) {}

    std::string TargetKey;
    // None until the download starts.
    std::optional<std::vector<std::string>> MessageLines;

    // At the end of the work: the lines (null when the message was not found or its size could
    // not be read), valid during the event only.
    std::function<void(TPOPRetrieve& sender, const std::vector<std::string>* lines)> OnRetrieved;

    void Run() override;
    std::string Description() const override {
        return USER_TEXT("Quobel", "Retrieving message...");
    }
};

}  // namespace quobel
