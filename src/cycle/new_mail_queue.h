#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "store/parsed_header.h"

namespace quobel {

class TUiDispatcher;

// Carries a check's new mail from its worker thread to the user-interface thread without the
// worker ever waiting: each header block is parsed where it arrived and queued, and the
// user-interface thread takes everything queued in one batch whenever it gets to it. While it
// files one batch, the next one gathers, so batches grow with the pace of arrival and no
// message waits for a later one.
class TNewMailQueue : public std::enable_shared_from_this<TNewMailQueue> {
  public:
    // Runs on the user-interface thread with every message queued since the last call, in
    // arrival order.
    using TFile = std::function<void(std::vector<TParsedHeader>& batch)>;

    static std::shared_ptr<TNewMailQueue> Create(TUiDispatcher& dispatcher, TFile file);

    // On the worker thread: parses the header block and queues it, asking the user-interface
    // thread to take the queue when it was empty.
    void Arrived(const std::string& key, int64_t size, const std::vector<std::string>& lines);

  private:
    TNewMailQueue(TUiDispatcher& dispatcher, TFile file);
    void Take();

    TUiDispatcher& dispatcher_;
    const TFile file_;
    std::mutex mutex_;
    std::vector<TParsedHeader> queued_;
};

}  // namespace quobel
