#include "cycle/announcement_rules.h"

#include "accounts/account.h"
#include "core/date_time.h"
#include "core/options.h"

namespace quobel {

TAnnounceSettings TAnnounceSettings::Read(TOptions& options) {
    OptionsScope scope(options);
    TAnnounceSettings result;
    const int32_t mode = scope.Read(settings::kNotifyMode);
    // An unknown mode (a newer program's, or a typing error) notifies as the default does.
    result.Mode = mode >= 0 && mode <= static_cast<int32_t>(TNotifyMode::PerMessage)
                      ? static_cast<TNotifyMode>(mode)
                      : TNotifyMode::PerAccount;
    result.Sound = scope.Read(settings::kSound);
    result.SoundFile = scope.Read(settings::kSoundFile);
    result.QuietHoursOn = scope.Read(settings::kQuietHours);
    result.QuietHours = {scope.Read(settings::kQuietFrom), scope.Read(settings::kQuietTo)};
    result.DoNotDisturb = scope.Read(settings::kDoNotDisturb);
    return result;
}

bool TAnnounceSettings::IsQuiet(int32_t minuteOfDay) const {
    return DoNotDisturb || (QuietHoursOn && QuietHours.Contains(minuteOfDay));
}

std::string TAnnounceSettings::ArrivalSound(const TAccount& account, int32_t minuteOfDay) const {
    if (!Sound || !account.Announce || IsQuiet(minuteOfDay)) {
        return {};
    }
    return account.SoundFile.empty() ? SoundFile : account.SoundFile;
}

int32_t LocalMinuteNow() {
    return MinuteOfDay(Now());
}

}  // namespace quobel
