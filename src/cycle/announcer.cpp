#include "cycle/announcer.h"

#include <algorithm>
#include <iterator>

#include "accounts/account.h"
#include "core/user_text.h"
#include "cycle/announcement_rules.h"
#include "cycle/msg_list_controller.h"
#include "platform/notifier.h"
#include "store/mail_item.h"

namespace quobel {
namespace {

constexpr size_t kBodyLines = 5;

std::string CountSummary(size_t count, bool more, const std::string& accountName) {
    const char* pattern = nullptr;
    if (count == 1) {
        pattern = more ? kOneMoreNewMessageText : kOneNewMessageText;
    } else {
        pattern = more ? kMoreNewMessagesText : kNewMessagesText;
    }
    return FormatUserText(pattern, {std::to_string(count), accountName});
}

TNotification TextsFor(const std::string& accountName, const std::vector<TMailItem*>& items,
                       bool more) {
    TNotification notification;
    const std::string& subject = items.front()->CachedData.Subject;
    notification.Summary = items.size() == 1 && !more && !subject.empty()
                               ? subject
                               : CountSummary(items.size(), more, accountName);
    for (size_t i = 0; i < items.size() && i < kBodyLines; ++i) {
        const TCachedData& data = items[i]->CachedData;
        notification.BodyLines.push_back(data.From + ": " + data.Subject);
    }
    return notification;
}

}  // namespace

TNotification NotificationFor(const std::string& accountName,
                              const std::vector<TMailItem*>& items) {
    return TextsFor(accountName, items, false);
}

TAnnouncer::TAnnouncer(TMsgListController& controller, TOptions& options, Notifier& notifier)
    : controller_(controller),
      options_(options),
      notifier_(notifier),
      self_(std::make_shared<TAnnouncer*>(this)) {
    TCycleEvents& events = controller.Events;
    subscriptions_.push_back(events.MailBrought.Subscribe(
        [this](TAccount& account, const std::vector<TMailItem*>& items) {
            Announce(account, items);
        }));
    subscriptions_.push_back(
        events.ItemChanged.Subscribe([this](TMailItem& item) { ItemChanged(item); }));
    subscriptions_.push_back(
        events.ItemRemoving.Subscribe([this](TMailItem& item) { ItemRemoving(item); }));
    notifier_.OnAction = [this](uint32_t id, const std::string& action) {
        ActionChosen(id, action);
    };
    notifier_.OnClosed = [this](uint32_t id) { Closed(id); };
}

TAnnouncer::~TAnnouncer() {
    notifier_.OnAction = nullptr;
    notifier_.OnClosed = nullptr;
}

void TAnnouncer::Announce(TAccount& account, const std::vector<TMailItem*>& brought) {
    const TAnnounceSettings settings = TAnnounceSettings::Read(options_);
    if (settings.Mode == TNotifyMode::Off || !account.Announce || brought.empty()) {
        return;
    }
    const bool quiet = settings.IsQuiet(controller_.MinuteNow());
    std::vector<TMailItem*> newestFirst(brought.rbegin(), brought.rend());
    const auto send = [&](TNotification notification, TShown shown) {
        notification.Quiet = quiet;
        notification.Actions = {{kOpenAction, USER_TEXT("Quobel", "Open")},
                                {kMarkReadAction, USER_TEXT("Quobel", "Mark as read")},
                                {kDeleteAction, USER_TEXT("Quobel", "Delete")}};
        Show(notification, std::move(shown));
    };

    if (settings.Mode == TNotifyMode::PerAccount) {
        TShown shown{0, 0, account.ID, true, newestFirst};
        uint32_t replaces = 0;
        const auto previous = std::ranges::find_if(
            shown_, [&](const TShown& s) { return s.PerAccount && s.AccountID == account.ID; });
        if (previous != shown_.end()) {
            // The account's notification still shown goes on announcing what is still unread.
            for (TMailItem* item : previous->Items) {
                if (!item->Read && std::ranges::find(shown.Items, item) == shown.Items.end()) {
                    shown.Items.push_back(item);
                }
            }
            replaces = previous->Id;
            shown_.erase(previous);
        }
        TNotification notification = NotificationFor(account.Name, shown.Items);
        notification.Replaces = replaces;
        send(std::move(notification), std::move(shown));
        return;
    }

    const size_t single = std::min(newestFirst.size(), kMessagesNotifiedOneByOne);
    for (size_t i = 0; i < single; ++i) {
        const std::vector<TMailItem*> one{newestFirst[i]};
        send(NotificationFor(account.Name, one), TShown{0, 0, account.ID, false, one});
    }
    if (newestFirst.size() > single) {
        const std::vector<TMailItem*> rest(newestFirst.begin() + static_cast<ptrdiff_t>(single),
                                           newestFirst.end());
        send(TextsFor(account.Name, rest, true), TShown{0, 0, account.ID, false, rest});
    }
}

void TAnnouncer::Show(const TNotification& notification, TShown shown) {
    shown.Serial = nextSerial_++;
    const uint64_t serial = shown.Serial;
    shown_.push_back(std::move(shown));
    std::weak_ptr<TAnnouncer*> alive = self_;
    notifier_.Notify(notification, [alive, serial](uint32_t id) {
        const auto self = alive.lock();
        if (!self) {
            return;
        }
        TAnnouncer& announcer = **self;
        const auto found = std::ranges::find_if(
            announcer.shown_, [serial](const TShown& s) { return s.Serial == serial; });
        if (found == announcer.shown_.end()) {
            // Its messages were read while it was on its way.
            announcer.notifier_.Close(id);
            return;
        }
        found->Id = id;
    });
}

void TAnnouncer::CloseIfDone(TShown& shown) {
    if (!std::ranges::all_of(shown.Items, [](const TMailItem* item) { return item->Read; })) {
        return;
    }
    const uint32_t id = shown.Id;
    const uint64_t serial = shown.Serial;
    std::erase_if(shown_, [serial](const TShown& s) { return s.Serial == serial; });
    if (id != 0) {
        notifier_.Close(id);
    }
}

void TAnnouncer::ItemChanged(TMailItem& item) {
    if (!item.Read) {
        return;
    }
    std::vector<uint64_t> touched;
    for (const TShown& shown : shown_) {
        if (std::ranges::find(shown.Items, &item) != shown.Items.end()) {
            touched.push_back(shown.Serial);
        }
    }
    for (const uint64_t serial : touched) {
        const auto found =
            std::ranges::find_if(shown_, [serial](const TShown& s) { return s.Serial == serial; });
        if (found != shown_.end()) {
            CloseIfDone(*found);
        }
    }
}

void TAnnouncer::ItemRemoving(TMailItem& item) {
    std::vector<uint64_t> touched;
    for (TShown& shown : shown_) {
        if (std::erase(shown.Items, &item) > 0) {
            touched.push_back(shown.Serial);
        }
    }
    for (const uint64_t serial : touched) {
        const auto found =
            std::ranges::find_if(shown_, [serial](const TShown& s) { return s.Serial == serial; });
        if (found != shown_.end()) {
            CloseIfDone(*found);  // also when none is left
        }
    }
}

TAnnouncer::TShown* TAnnouncer::Find(uint32_t id) {
    const auto found =
        std::ranges::find_if(shown_, [id](const TShown& s) { return id != 0 && s.Id == id; });
    return found == shown_.end() ? nullptr : &*found;
}

void TAnnouncer::ActionChosen(uint32_t id, const std::string& action) {
    const TShown* shown = Find(id);
    if (shown == nullptr || shown->Items.empty()) {
        return;
    }
    // A copy: each step below may end the notification.
    const std::vector<TMailItem*> items = shown->Items;
    if (action == kOpenAction) {
        controller_.FocusMessage(*items.front());
    } else if (action == kMarkReadAction) {
        for (size_t i = 0; i < items.size(); ++i) {
            controller_.MarkMessageRead(*items[i], i + 1 == items.size());
        }
    } else if (action == kDeleteAction) {
        controller_.DeleteMessages(items);
    }
}

void TAnnouncer::Closed(uint32_t id) {
    std::erase_if(shown_, [id](const TShown& s) { return id != 0 && s.Id == id; });
}

}  // namespace quobel
