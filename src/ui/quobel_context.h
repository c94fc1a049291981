#pragma once

#include "accounts/accounts.h"
#include "core/app.h"
#include "core/file_util.h"
#include "core/options.h"

namespace quobel {

// The process-wide objects, created in this order and freed in the reverse order (members are
// destroyed last to first): folders, accounts with their task queue, settings. The mailboxes,
// the error log and the skins join after the settings, in that order, when they exist.
struct TQuobelContext {
    explicit TQuobelContext(TApp app)
        : App(std::move(app)), Options(JoinPath(App.DataFolder(), "settings.ini")) {}

    TApp App;
    TAccounts Accounts;
    TOptions Options;
};

}  // namespace quobel
