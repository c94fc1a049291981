// The parts of a mail item that parse messages. Kept apart from the rest of the item so that
// code using only the table side of the store does not pull in the message parser.
#include <cerrno>
#include <cstring>

#include "core/error.h"
#include "core/file_util.h"
#include "message/qb_message.h"
#include "store/mail_item.h"
#include "store/parsed_header.h"

namespace quobel {
namespace {

void DeleteMessage(TQBMessage* message) {
    delete message;
}

// The names as the list shows them, and the addresses.
void FillContacts(const std::vector<TQBContact>& contacts, std::string& text,
                  std::vector<std::string>& addresses) {
    text = ContactNames(contacts);
    addresses.clear();
    for (const TQBContact& contact : contacts) {
        addresses.push_back(contact.Address);
    }
}

// The values of a row that come from the header block.
void FillRowValues(const TQBMessage& message, TCachedData& data, std::string& fromAddr,
                   std::vector<std::string>& recipients, std::vector<std::string>& ccList) {
    data.Subject = message.Decoder.Subject;
    data.Priority = message.Decoder.Priority;
    data.From = message.From.Name.empty() ? message.From.Address : message.From.Name;
    fromAddr = message.From.Address;
    FillContacts(message.To, data.To, recipients);
    FillContacts(message.CC, data.CC, ccList);
    data.DeliveredTo = message.DeliveredFor();
    data.Date = message.Date;
    data.DateStr = FormatDateTimeMdy(message.Date);
}

}  // namespace

TMailItem::MessagePtr TMailItem::NewMessage() {
    MessagePtr message(new TQBMessage, DeleteMessage);
    return message;
}

TQBMessage& TMailItem::Message() {
    if (!message_) {
        message_ = NewMessage();
        message_->OnProgress = [this](TQBMessage& sender) {
            if (OnLoadProgress) {
                OnLoadProgress(*this, sender.Decoder.Position);
            }
        };
    }
    return *message_;
}

void TMailItem::LoadFromHeaderLines(const std::vector<std::string>& lines) {
    // A message is parsed once in its life: new header lines get a new one.
    message_.reset();
    Message().LoadFromText(JoinLines(lines));
    FillFromMessage();
}

void TMailItem::FillFromMessage() {
    FillRowValues(Message(), CachedData, FromAddr, Recipients, CCList);
}

void TMailItem::FillFromParsed(const TParsedHeader& parsed) {
    CachedData = parsed.CachedData;
    FromAddr = parsed.FromAddr;
    Recipients = parsed.Recipients;
    CCList = parsed.CCList;
}

TParsedHeader ParseHeaderBlock(std::string key, int64_t size,
                               const std::vector<std::string>& lines) {
    TParsedHeader parsed;
    parsed.Key = std::move(key);
    parsed.Size = size;
    TQBMessage message;
    message.LoadFromText(JoinLines(lines));
    FillRowValues(message, parsed.CachedData, parsed.FromAddr, parsed.Recipients, parsed.CCList);
    parsed.Source = std::move(message.Source);
    return parsed;
}

void TMailItem::SaveMessage() {
    // Only a new message's header block is saved this way, one file per message of a check:
    // flushing each to disk would dominate a large check, and a lost header block is fetched
    // anew with the whole message when the item is shown.
    SaveHeaderBlock(Message().Source);
}

void TMailItem::SaveHeaderBlock(std::string_view source) {
    WriteFileAtomic(CacheFileName(), source, FileDurability::Rebuildable);
}

void TMailItem::LoadMessage(TQBMessage& message) {
    const auto finish = [&] {
        // The message may outlive this item (the reader keeps it).
        message.OnProgress = nullptr;
        Attachments = message.AttachmentCount > 0;
        if (OnLoadEnd) {
            OnLoadEnd(*this);
        }
    };
    try {
        std::string bytes;
        if (!TryReadCacheFile(bytes)) {
            const int error = errno;
            throw Error("Cannot open file \"" + CacheFileName() + "\". " + std::strerror(error));
        }
        if (OnLoadBegin) {
            OnLoadBegin(*this, static_cast<int64_t>(bytes.size()));
        }
        message.OnProgress = [this](TQBMessage& sender) {
            if (OnLoadProgress) {
                OnLoadProgress(*this, sender.Decoder.Position);
            }
        };
        message.LoadFromText(std::move(bytes));
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

}  // namespace quobel
