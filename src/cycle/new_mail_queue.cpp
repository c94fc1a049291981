#include "cycle/new_mail_queue.h"

#include "platform/ui_dispatcher.h"

namespace quobel {

std::shared_ptr<TNewMailQueue> TNewMailQueue::Create(TUiDispatcher& dispatcher, TFile file) {
    return std::shared_ptr<TNewMailQueue>(new TNewMailQueue(dispatcher, std::move(file)));
}

TNewMailQueue::TNewMailQueue(TUiDispatcher& dispatcher, TFile file)
    : dispatcher_(dispatcher), file_(std::move(file)) {}

void TNewMailQueue::Arrived(const std::string& key, int64_t size,
                            const std::vector<std::string>& lines) {
    TParsedHeader parsed = ParseHeaderBlock(key, size, lines);
    bool wasEmpty = false;
    {
        const std::lock_guard lock(mutex_);
        wasEmpty = queued_.empty();
        queued_.push_back(std::move(parsed));
    }
    // One call on its way is enough: it takes whatever is queued by the time it runs.
    if (wasEmpty) {
        // Held strongly: mail that arrived is filed even when its task is gone by then.
        dispatcher_.Post([self = shared_from_this()] { self->Take(); });
    }
}

void TNewMailQueue::Take() {
    std::vector<TParsedHeader> batch;
    {
        const std::lock_guard lock(mutex_);
        batch.swap(queued_);
    }
    if (!batch.empty() && file_) {
        file_(batch);
    }
}

}  // namespace quobel
