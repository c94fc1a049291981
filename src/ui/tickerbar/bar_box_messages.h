#pragma once

#include <cstdint>
#include <unordered_map>

#include "bar/ticker_layout.h"

namespace quobel {

class TMailItems;

// A mailbox's items as the bar reads them. Read marks come without making the items; an unread
// message of an account kept off the bar reads as read. The texts of an item are taken when the
// bar first shows it and kept until Forget.
class TBoxBarMessages : public TBarMessages {
  public:
    explicit TBoxBarMessages(const TMailItems& items) : items_(items) {}

    int32_t Count() const override;
    bool Read(int32_t index) const override;
    const TBarMessage& Message(int32_t index) const override;
    const TMailItems& Items() const { return items_; }
    // The items may have changed: texts are taken again.
    void Forget() { texts_.clear(); }

  private:
    const TMailItems& items_;
    mutable std::unordered_map<int32_t, TBarMessage> texts_;
};

}  // namespace quobel
