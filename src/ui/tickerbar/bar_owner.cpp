#include "ui/tickerbar/bar_owner.h"

#include <QAction>
#include <QEvent>
#include <QTimer>

#include "cycle/msg_list_controller.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "ui/app/quobel_context.h"
#include "ui/common/qt_text.h"
#include "ui/mainwindow/frm_msg_list.h"

namespace quobel {

TBarOwner::TBarOwner(TQuobelContext& context, TfrmMsgList& window, TMsgListController& controller,
                     TTasks& tasks)
    : context_(context), window_(window), controller_(controller), tasks_(tasks) {
    window_.installEventFilter(this);
}

bool TBarOwner::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide ||
                                event->type() == QEvent::WindowStateChange)) {
        Repaint();
    }
    return QObject::eventFilter(watched, event);
}

TBarOwner::~TBarOwner() {
    if (bar_ != nullptr) {
        bar_->OnHide = nullptr;
    }
}

void TBarOwner::actBarExecute(bool checked) {
    if (checked) {
        if (bar_ == nullptr) {
            CreateBar();
        }
        bar_->show();
        bar_->FormPaint();
    } else if (bar_ != nullptr) {
        bar_->close();
    }
}

void TBarOwner::CreateBar() {
    bar_ = std::make_unique<TfrmBar>(*this, context_.Options, ShellFactory);
    bar_->OnHide = [this](TfrmBar& bar) { BarClosed(bar); };
    bar_->MailBox =
        controller_.Inbox != nullptr ? controller_.Inbox : context_.MailBoxes.FindByType(0);
    // A chosen skin that cannot be drawn should not leave the bar blank while another loads;
    // the error log tells which skin was chosen and which one is used.
    std::vector<std::string> failures;
    TSkin* skin = context_.Skins.LoadFirstUsable(context_.Skins.Current(), &failures);
    ReportSkinFallback(skin, failures);
    try {
        bar_->ApplySkin(skin != nullptr ? skin : context_.Skins.Current());
    } catch (...) {
        // The bar opens all the same (as a plain strip that can be closed); the failure is
        // reported by the caller.
        bar_->show();
        throw;
    }
}

void TBarOwner::ReportSkinFallback(const TSkin* used, const std::vector<std::string>& failures) {
    const TSkin* chosen = context_.Skins.Current();
    std::string chosenName;
    if (chosen != nullptr) {
        chosenName = chosen->Name;
    } else {
        OptionsScope scope(context_.Options);
        chosenName = scope.Read(settings::kBarSkin);
    }
    if (used == chosen || chosenName.empty()) {
        return;
    }
    std::string details =
        chosen == nullptr ? S(tr("There is no skin of that name.")) : std::string();
    for (const std::string& failure : failures) {
        details += (details.empty() ? "" : "\n") + failure;
    }
    const QString message =
        used != nullptr
            ? tr("The skin \"%1\" could not be loaded; the bar uses the skin \"%2\" instead")
                  .arg(Q(chosenName), Q(used->Name))
            : tr("The skin \"%1\" could not be loaded; no other skin could be loaded either")
                  .arg(Q(chosenName));
    controller_.LogError(S(message), details);
}

void TBarOwner::BarClosed(TfrmBar& bar) {
    if (&bar != bar_.get()) {
        return;
    }
    window_.Command(TCommandId::Bar).setChecked(false);
    // The bar is still inside its close event: it is freed once that has returned.
    closed_ = std::move(bar_);
    QTimer::singleShot(0, this, [this] { closed_.reset(); });
}

void TBarOwner::OpenAtStart() {
    bool visible = true;
    {
        OptionsScope scope(context_.Options);
        visible = scope.Read(settings::kBarVisible);
    }
    if (visible) {
        window_.Command(TCommandId::Bar).setChecked(true);
        actBarExecute(true);
    }
}

void TBarOwner::MainWindowClosing() {
    {
        OptionsScope scope(context_.Options);
        scope.Write(settings::kBarVisible, bar_ != nullptr);
    }
    if (bar_ != nullptr) {
        bar_->close();
    }
}

void TBarOwner::PopUp() {
    if (bar_ != nullptr) {
        bar_->PopUp();
    }
}

void TBarOwner::PopDown() {
    if (bar_ != nullptr) {
        bar_->PopDown();
    }
}

void TBarOwner::Repaint() {
    if (bar_ != nullptr) {
        bar_->FormPaint();
    }
}

void TBarOwner::RebuildCheckMenu() {
    if (bar_ != nullptr) {
        bar_->RebuildCheckMenu();
    }
}

void TBarOwner::ApplySkin() {
    if (bar_ != nullptr) {
        bar_->ApplySkin(context_.Skins.Current());
    }
}

void TBarOwner::OpenMessage(TMailItem& item) {
    controller_.OpenMessage(item);
}

void TBarOwner::MarkMessageRead(TMailItem& item, bool notify) {
    controller_.MarkMessageRead(item, notify);
}

void TBarOwner::DeleteMessage(TMailItem& item) {
    controller_.DeleteMessage(item);
}

void TBarOwner::StartNext() {
    tasks_.StartNext();
}

bool TBarOwner::MainWindowVisible() {
    return window_.isVisible() && !window_.isMinimized();
}

void TBarOwner::HideToTray() {
    window_.HideToTray();
}

void TBarOwner::LeaveTray() {
    // Out of the tray, or back from the task bar where there is no status area.
    window_.SecondInstance();
    if (!window_.isVisible()) {
        window_.show();
    }
    window_.raise();
    window_.activateWindow();
}

void TBarOwner::CheckAllAccounts() {
    window_.Command(TCommandId::Synchronize).trigger();
}

void TBarOwner::CheckAccount(TAccount& account) {
    controller_.CheckAccount(account);
}

std::vector<TAccount*> TBarOwner::Accounts() {
    std::vector<TAccount*> accounts;
    for (size_t i = 0; i < context_.Accounts.Count(); ++i) {
        accounts.push_back(&context_.Accounts.Items(i));
    }
    return accounts;
}

void TBarOwner::ShowOptions() {
    window_.Command(TCommandId::Options).trigger();
}

void TBarOwner::ComposeMail() {
    window_.Command(TCommandId::Compose).trigger();
}

void TBarOwner::CloseProgram() {
    window_.Command(TCommandId::CloseProgram).trigger();
}

}  // namespace quobel
