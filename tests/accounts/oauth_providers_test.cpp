#include "accounts/oauth_providers.h"

#include <gtest/gtest.h>

namespace quobel {
namespace {

TEST(OAuthProviders, PresetsAreFoundByIdAndHaveSecureEndpoints) {
    ASSERT_FALSE(OAuthProviderPresets().empty());
    for (const TOAuthProvider& preset : OAuthProviderPresets()) {
        EXPECT_EQ(FindOAuthProvider(preset.Id), &preset);
        EXPECT_TRUE(preset.AuthorizationUrl.starts_with("https://")) << preset.Id;
        EXPECT_TRUE(preset.TokenUrl.starts_with("https://")) << preset.Id;
        EXPECT_FALSE(preset.Scope.empty()) << preset.Id;
    }
    EXPECT_EQ(FindOAuthProvider(kCustomOAuthProvider), nullptr);
}

TEST(OAuthProviders, PresetEndpointsWinOverStaleCustomFieldsAndCustomUsesTheAccountsOwn) {
    TOAuthSettings settings;
    settings.AuthorizationUrl = "https://auth.example.org/authorize";
    settings.TokenUrl = "https://auth.example.org/token";
    settings.Scope = "pop";

    settings.Provider = "microsoft";
    const TOAuthEndpoints microsoft = OAuthEndpointsOf(settings);
    EXPECT_EQ(microsoft.TokenUrl, "https://login.microsoftonline.com/common/oauth2/v2.0/token");
    EXPECT_TRUE(microsoft.TwoStepXOAuth2);
    EXPECT_FALSE(microsoft.NeedsClientSecret);

    for (const char* provider : {"custom", "", "a provider of a later version"}) {
        settings.Provider = provider;
        const TOAuthEndpoints own = OAuthEndpointsOf(settings);
        EXPECT_EQ(own.AuthorizationUrl, settings.AuthorizationUrl) << provider;
        EXPECT_EQ(own.TokenUrl, settings.TokenUrl) << provider;
        EXPECT_EQ(own.Scope, "pop") << provider;
        EXPECT_FALSE(own.TwoStepXOAuth2) << provider;
    }
}

}  // namespace
}  // namespace quobel
