#include "ui/tickerbar/bar_box_messages.h"

#include "accounts/account.h"
#include "store/mail_item.h"

namespace quobel {

int32_t TBoxBarMessages::Count() const {
    return static_cast<int32_t>(items_.Count());
}

bool TBoxBarMessages::Read(int32_t index) const {
    if (items_.IsRead(static_cast<size_t>(index))) {
        return true;
    }
    // Mail of an account kept off the bar is, for the bar, as good as read.
    const TAccount* account = items_.Peek(static_cast<size_t>(index)).Account;
    return account != nullptr && !account->ShowOnBar;
}

const TBarMessage& TBoxBarMessages::Message(int32_t index) const {
    const auto [place, added] = texts_.try_emplace(index);
    TBarMessage& message = place->second;
    if (added) {
        const TMailItem& item = items_.Items(static_cast<size_t>(index));
        message.Read = item.Read;
        message.Subject = item.CachedData.Subject;
        message.SenderText = item.CachedData.From;
        message.RecipientsText = item.CachedData.To;
        message.DateText = item.CachedData.DateStr;
        const TAccount* account = item.Account();
        message.HasAccount = account != nullptr;
        message.AccountName = message.HasAccount ? account->Name : std::string();
        message.AccountSkinColor = message.HasAccount ? account->SkinColor : kUseSkinColor;
    }
    return message;
}

}  // namespace quobel
