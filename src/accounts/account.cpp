#include "accounts/account.h"

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
        UnreadableStoredPassword = other.UnreadableStoredPassword;
        PasswordPlace = other.PasswordPlace;
    }
    return *this;
}

}  // namespace quobel
