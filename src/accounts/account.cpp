#include "accounts/account.h"

#include "core/strings.h"

namespace quobel {

TAccount::TAccount(const TAccount& other) {
    *this = other;
}

TAccount& TAccount::operator=(const TAccount& other) {
    if (this != &other) {
        ID = other.ID;
        Synchronize = other.Synchronize;
        Name = other.Name;
        From = other.From;
        POP = other.POP;
        SMTP = other.SMTP;
        SkinColor = other.SkinColor;
        UIDL = other.UIDL;
        TrustedKey = other.TrustedKey;
        Announce = other.Announce;
        SoundFile = other.SoundFile;
        ShowOnBar = other.ShowOnBar;
        UnreadableStoredPassword = other.UnreadableStoredPassword;
        PasswordPlace = other.PasswordPlace;
    }
    return *this;
}

std::string TAccount::PinnedKeyForHost() const {
    return !TrustedKey.Key.empty() && SameTextAscii(TrustedKey.Host, POP.Host) ? TrustedKey.Key
                                                                               : std::string();
}

}  // namespace quobel
