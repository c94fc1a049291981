#include "accounts/oauth_providers.h"

#include <array>

namespace quobel {

namespace {

// Microsoft's consumer and business mailboxes: a public client (no secret), and POP3 servers
// that want XOAUTH2 in two steps. "offline_access" is what yields a refresh token.
// Google: desktop applications are issued a client secret that the token request must carry.
constexpr std::array kPresets{
    TOAuthProvider{"microsoft", "Microsoft",
                   "https://login.microsoftonline.com/common/oauth2/v2.0/authorize",
                   "https://login.microsoftonline.com/common/oauth2/v2.0/token",
                   "https://outlook.office.com/POP.AccessAsUser.All offline_access", false, true},
    TOAuthProvider{"google", "Google", "https://accounts.google.com/o/oauth2/v2/auth",
                   "https://oauth2.googleapis.com/token", "https://mail.google.com/", true, false},
};

}  // namespace

std::span<const TOAuthProvider> OAuthProviderPresets() {
    return kPresets;
}

const TOAuthProvider* FindOAuthProvider(std::string_view id) {
    for (const TOAuthProvider& provider : kPresets) {
        if (provider.Id == id) {
            return &provider;
        }
    }
    return nullptr;
}

TOAuthEndpoints OAuthEndpointsOf(const TOAuthSettings& settings) {
    if (const TOAuthProvider* preset = FindOAuthProvider(settings.Provider)) {
        return {std::string(preset->AuthorizationUrl), std::string(preset->TokenUrl),
                std::string(preset->Scope), preset->NeedsClientSecret, preset->TwoStepXOAuth2};
    }
    return {settings.AuthorizationUrl, settings.TokenUrl, settings.Scope, false, false};
}

}  // namespace quobel
