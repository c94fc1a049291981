#pragma once

#include <cstdint>
#include <string>

#include "core/quiet_hours.h"

namespace quobel {

class TAccount;
class TOptions;

// How new mail raises desktop notifications (settings value of "Mode").
enum class TNotifyMode : int32_t {
    Off = 0,
    PerAccount = 1,  // one per account and check, replaced by the account's next one
    PerMessage = 2,  // one per message, up to kMessagesNotifiedOneByOne, the rest in one
};

// Per message, at most this many notifications per check: more would flood the screen.
inline constexpr size_t kMessagesNotifiedOneByOne = 5;

// The announcement settings as one check reads them.
struct TAnnounceSettings {
    TNotifyMode Mode = TNotifyMode::PerAccount;
    bool Sound = false;
    std::string SoundFile;
    bool QuietHoursOn = false;
    TQuietHours QuietHours;
    bool DoNotDisturb = false;

    static TAnnounceSettings Read(TOptions& options);

    // Quiet hours or "Do not disturb": no sound, and notifications only as quiet ones.
    bool IsQuiet(int32_t minuteOfDay) const;
    // The sound to play for new mail of the account, or empty for none: the account's own file
    // in place of the global one, silence while quiet or for an account that is not announced.
    std::string ArrivalSound(const TAccount& account, int32_t minuteOfDay) const;
};

// The local minute of the day now.
int32_t LocalMinuteNow();

}  // namespace quobel
