#pragma once

#include <span>
#include <string>
#include <string_view>

#include "accounts/account.h"

namespace quobel {

// A provider the OAuth 2.0 sign-in knows: where the browser signs in, where codes and refresh
// tokens are exchanged, what access is asked for, and the provider's quirks.
struct TOAuthProvider {
    std::string_view Id;  // account file value of "POP"/"OAuthProvider"
    std::string_view Name;
    std::string_view AuthorizationUrl;
    std::string_view TokenUrl;
    std::string_view Scope;
    // The provider refuses a token request without the application's client secret.
    bool NeedsClientSecret = false;
    // The provider's POP3 servers take XOAUTH2's initial response only after their "+".
    bool TwoStepXOAuth2 = false;
};

// The id of the entry whose endpoints and scope are the account's own.
inline constexpr std::string_view kCustomOAuthProvider = "custom";

// The presets, in the order the account dialog lists them (before "custom").
std::span<const TOAuthProvider> OAuthProviderPresets();

// The preset with this id; null for "custom" and for ids this version does not know.
const TOAuthProvider* FindOAuthProvider(std::string_view id);

// What a sign-in for the account uses: its preset's endpoints, or the account's own for
// "custom" and unknown providers.
struct TOAuthEndpoints {
    std::string AuthorizationUrl;
    std::string TokenUrl;
    std::string Scope;
    bool NeedsClientSecret = false;
    bool TwoStepXOAuth2 = false;
};
TOAuthEndpoints OAuthEndpointsOf(const TOAuthSettings& settings);

}  // namespace quobel
