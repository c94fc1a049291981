#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "ui/dialogs/accounts_page.h"
#include "ui/dialogs/bar_page.h"
#include "ui/dialogs/confirmations_page.h"
#include "ui/dialogs/general_page.h"
#include "ui/dialogs/notifications_page.h"
#include "ui/dialogs/skin_list.h"

class QPushButton;
class QTabWidget;

namespace quobel {

class TAccounts;
class TDialogPrompts;
class TOptions;
class SoundPlayer;
class TAccessTokenSource;

// What the options dialog works on.
struct TOptionsDialogContext {
    TOptions& Options;
    TAccounts& Accounts;
    // Holds "accounts/" and "accheaders.dat".
    std::string DataFolder;
    TSkinList& Skins;
    TDialogPrompts& Prompts;
    SoundPlayer& Sound;
    // For the account dialog's test of accounts that sign in with a token; may be null.
    TAccessTokenSource* Tokens = nullptr;
};

// The settings dialog: one page per tab. The general, bar and confirmation settings are written
// by OK and Apply; the accounts are changed at once, whatever button closes the dialog.
class TfrmOptions : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmOptions(TOptionsDialogContext context, QWidget* parent = nullptr);

    // The bar's ApplySkin with the current skin, called by OK and Apply after a skin was chosen;
    // skipped while empty (no bar). A failure it throws stops OK or Apply there.
    std::function<void(TfrmOptions& sender)> OnApplySkin;

    // Whether OK or Apply wrote the settings at least once.
    bool SettingsWritten() const { return settingsWritten_; }
    // Whether an account was added, edited, removed or made the default while the dialog was
    // open (these are not undone by Cancel, so the accounts menus need rebuilding either way).
    bool AccountsChanged() const { return tsAccounts->AccountsChanged(); }

    // Validates every page, then writes every setting; throws what a write or the skin throws.
    // Returns false, having written nothing, when a page refuses its values.
    bool cmdOkClick();

    void done(int result) override;

    QTabWidget* pcOptions;
    TGeneralPage* tsNotification;
    TBarPage* tsBar;
    TNotificationsPage* tsNotifications;
    // Kept hidden: the anti-spam settings have no function here.
    QWidget* tsAntiSpam;
    TAccountsPage* tsAccounts;
    TConfirmationsPage* tsConfirmations;

    QPushButton* cmdOk;
    QPushButton* cmdApply;
    QPushButton* cmdCancel;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Runs a command; a failure is reported instead of leaving through the event loop.
    bool Guarded(const std::function<void()>& command);

    TOptionsDialogContext context_;
    // The settings pages in tab order; the tab widget owns them.
    std::vector<TOptionsPage*> pages_;
    bool settingsWritten_ = false;
};

}  // namespace quobel
