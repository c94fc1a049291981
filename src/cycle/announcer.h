#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/user_text.h"
#include "cycle/cycle_event.h"

namespace quobel {

class Notifier;
class TAccount;
class TMailItem;
class TMsgListController;
class TOptions;
struct TNotification;

// Announces the mail a check brought as desktop notifications, by the announcement settings and
// the account's own: one per account (replacing the account's notification still shown), or one
// per message. A notification goes once all its messages are read or gone, and its actions act
// on exactly its messages: the click shows the newest in the main window, "Mark as read" marks
// them, "Delete" deletes them as the Delete command does.
class TAnnouncer {
  public:
    TAnnouncer(TMsgListController& controller, TOptions& options, Notifier& notifier);
    ~TAnnouncer();
    TAnnouncer(const TAnnouncer&) = delete;
    TAnnouncer& operator=(const TAnnouncer&) = delete;

    // The action keys the notifications offer.
    static constexpr const char* kOpenAction = "default";
    static constexpr const char* kMarkReadAction = "mark-read";
    static constexpr const char* kDeleteAction = "delete";

  private:
    // One notification: shown (Id known) or on its way (Id 0).
    struct TShown {
        uint64_t Serial = 0;
        uint32_t Id = 0;
        std::string AccountID;
        bool PerAccount = false;
        std::vector<TMailItem*> Items;  // newest first
    };

    void Announce(TAccount& account, const std::vector<TMailItem*>& brought);
    void Show(const TNotification& notification, TShown shown);
    void ItemChanged(TMailItem& item);
    void ItemRemoving(TMailItem& item);
    void ActionChosen(uint32_t id, const std::string& action);
    void Closed(uint32_t id);
    void CloseIfDone(TShown& shown);
    TShown* Find(uint32_t id);

    TMsgListController& controller_;
    TOptions& options_;
    Notifier& notifier_;
    std::vector<TShown> shown_;
    uint64_t nextSerial_ = 1;
    std::vector<TSubscription> subscriptions_;
    // The notifier's answers hold this weakly: an answer after the announcer is gone does
    // nothing.
    std::shared_ptr<TAnnouncer*> self_;
};

// The summaries of a notification for several messages: the count and the account's name
// (core/user_text.h); the "more" ones announce what the one-by-one notifications left.
inline constexpr const char* kOneNewMessageText = USER_TEXT("Quobel", "%1 new message \u2014 %2");
inline constexpr const char* kNewMessagesText = USER_TEXT("Quobel", "%1 new messages \u2014 %2");
inline constexpr const char* kOneMoreNewMessageText =
    USER_TEXT("Quobel", "%1 more new message \u2014 %2");
inline constexpr const char* kMoreNewMessagesText =
    USER_TEXT("Quobel", "%1 more new messages \u2014 %2");

// The texts of a notification for messages of one account (newest first): the summary ("3 new
// messages — Work", or the subject of a single message) and up to five "Sender: Subject" lines.
TNotification NotificationFor(const std::string& accountName, const std::vector<TMailItem*>& items);

}  // namespace quobel
