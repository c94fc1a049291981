#include "ui/dialogs/options_dialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/options.h"
#include "ui/common/help_key.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel {

TfrmOptions::TfrmOptions(TOptionsDialogContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    setWindowTitle(tr("Options"));
    setProperty("helpContext", 3);
    SetHelpSection(*this, "options");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    pcOptions = new QTabWidget(this);
    tsNotification = new TGeneralPage(context_.Prompts, context_.Sound, pcOptions);
    tsBar = new TBarPage(context_.Skins, pcOptions);
    tsNotifications = new TNotificationsPage(pcOptions);
    tsAntiSpam = new QWidget(pcOptions);
    tsAccounts =
        new TAccountsPage(context_.Accounts, context_.DataFolder, context_.Prompts, pcOptions);
    tsAccounts->Tokens = context_.Tokens;
    tsConfirmations = new TConfirmationsPage(pcOptions);
    pcOptions->addTab(tsNotification, tr("General"));
    pcOptions->addTab(tsBar, tr("Bar"));
    pcOptions->addTab(tsNotifications, tr("Notifications"));
    pcOptions->addTab(tsAntiSpam, tr("Anti-Spam"));
    pcOptions->addTab(tsAccounts, tr("Accounts"));
    pcOptions->addTab(tsConfirmations, tr("Confirmations"));
    pages_ = {tsNotification, tsBar, tsNotifications, tsAccounts, tsConfirmations};

    cmdOk = new QPushButton(tr("&OK"), this);
    cmdOk->setDefault(true);
    cmdApply = new QPushButton(tr("&Apply"), this);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    connect(cmdOk, &QPushButton::clicked, this, [this] {
        bool saved = false;
        if (Guarded([this, &saved] { saved = cmdOkClick(); }) && saved) {
            accept();
        }
    });
    connect(cmdApply, &QPushButton::clicked, this, [this] { Guarded([this] { cmdOkClick(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pcOptions);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Creation: the Anti-Spam tab has no function here; the first tab is the active one.
    pcOptions->setTabVisible(pcOptions->indexOf(tsAntiSpam), false);
    pcOptions->setCurrentIndex(0);

    // Enter belongs to the account list while it has the focus.
    tsAccounts->tvAccounts->installEventFilter(this);

    OptionsScope scope(context_.Options);
    for (TOptionsPage* page : pages_) {
        page->Load(std::as_const(scope.Ini()));
    }
}

bool TfrmOptions::cmdOkClick() {
    if (!std::all_of(pages_.begin(), pages_.end(),
                     [](TOptionsPage* page) { return page->Validate(); })) {
        return false;
    }
    OptionsScope scope(context_.Options);
    TIniFile& ini = scope.Ini();
    // One file update for the pages up to the bar's: a skin that fails to load stops the rest,
    // but what came before it stays written.
    const auto afterSkin = std::find(pages_.begin(), pages_.end(), tsBar) + 1;
    {
        TIniFile::Batch batch(ini);
        std::for_each(pages_.begin(), afterSkin, [&ini](TOptionsPage* page) { page->Save(ini); });
    }
    settingsWritten_ = true;
    if (tsBar->SaveSkinChoice() && OnApplySkin) {
        OnApplySkin(*this);
    }
    std::for_each(afterSkin, pages_.end(), [&ini](TOptionsPage* page) { page->Save(ini); });
    return true;
}

void TfrmOptions::done(int result) {
    Guarded([this] { tsAccounts->SaveLayout(); });
    QDialog::done(result);
}

bool TfrmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tsAccounts->tvAccounts) {
        if (event->type() == QEvent::FocusIn) {
            cmdOk->setDefault(false);
        } else if (event->type() == QEvent::FocusOut) {
            cmdOk->setDefault(true);
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmOptions::Guarded(const std::function<void()>& command) {
    return RunReportingFailure(context_.Prompts, this, command);
}

}  // namespace quobel
