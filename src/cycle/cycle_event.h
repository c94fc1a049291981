#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace quobel {

// A handler's place in an event: the handler is called until this is destroyed (or reset).
// Destroying it after the event is fine.
class TSubscription {
  public:
    TSubscription() = default;
    explicit TSubscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    ~TSubscription() { Reset(); }
    TSubscription(TSubscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    TSubscription& operator=(TSubscription&& other) noexcept {
        if (this != &other) {
            Reset();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    TSubscription(const TSubscription&) = delete;
    TSubscription& operator=(const TSubscription&) = delete;

    void Reset() {
        if (cancel_) {
            std::exchange(cancel_, {})();
        }
    }

  private:
    std::function<void()> cancel_;
};

// Something the check cycle tells whoever listens, on the user-interface thread. Handlers run in
// subscription order; one that unsubscribes (itself or another) during a call is not called
// afterwards, one that subscribes during a call is called from the next one on.
template <class... Args>
class TCycleEvent {
  public:
    using THandler = std::function<void(Args...)>;

    [[nodiscard]] TSubscription Subscribe(THandler handler) {
        auto entry = std::make_shared<Entry>(Entry{std::move(handler), true});
        entries_->push_back(entry);
        std::weak_ptr<Entries> entries = entries_;
        return TSubscription([entries, entry] {
            entry->Active = false;
            if (const auto list = entries.lock()) {
                std::erase(*list, entry);
            }
        });
    }

    void Raise(Args... args) const {
        const Entries snapshot = *entries_;
        for (const auto& entry : snapshot) {
            if (entry->Active) {
                entry->Handler(args...);
            }
        }
    }

  private:
    struct Entry {
        THandler Handler;
        bool Active;
    };
    using Entries = std::vector<std::shared_ptr<Entry>>;
    std::shared_ptr<Entries> entries_ = std::make_shared<Entries>();
};

}  // namespace quobel
