#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quobel {

// A desktop notification as the check cycle words it. The notifier renders it for the
// desktop's notification service: the body is plain text (escaped where the service reads
// markup), and the actions are offered only where the service shows them.
struct TNotification {
    // The shown notification this one takes the place of; 0 for a new one.
    uint32_t Replaces = 0;
    std::string Summary;
    // Lines of plain text.
    std::vector<std::string> BodyLines;
    // Quiet: low urgency and no sound from the notification service.
    bool Quiet = false;
    struct TAction {
        std::string Key;  // "default" is the click on the notification itself
        std::string Label;
    };
    std::vector<TAction> Actions;
};

// The desktop's notification service. Every call returns at once; the service answers later,
// on the user-interface thread. A desktop without the service, or a call that fails, loses
// that notification and nothing else.
class Notifier {
  public:
    virtual ~Notifier() = default;

    // Shows the notification; `shown` gets the id the service gave it (not called when the
    // notification could not be shown).
    virtual void Notify(const TNotification& notification,
                        std::function<void(uint32_t id)> shown) = 0;
    // Takes a shown notification off the screen.
    virtual void Close(uint32_t id) = 0;

    // The user chose an action of a shown notification (the notification's id, the action's
    // key), or the notification went away (closed by the user, expired, or closed here).
    std::function<void(uint32_t id, const std::string& action)> OnAction;
    std::function<void(uint32_t id)> OnClosed;
};

}  // namespace quobel
