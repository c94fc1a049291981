#include "ui/tickerbar/frm_bar.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <exception>

#include "accounts/account.h"
#include "core/options.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/common/qt_text.h"

namespace quobel {
namespace {

constexpr int kInitialWidth = 250;
constexpr int kDesignedHeight = 32;
constexpr int kScrollDelayMs = 5000;
constexpr int kScrollMs = 1450;
// Pause between the frames of a slide: the slide blocks for its whole duration, as the docking
// rules allow, without spinning the processor.
constexpr unsigned long kSlideFrameMs = 10;

// A desktop without a shell for screen-edge bars: nothing is reserved, no edge can be owned.
class TFloatingShell : public TScreenEdgeShell {
  public:
    void New() override {}
    void Remove() override {}
    void QueryPos(TAppBarEdge, TRect&) override {}
    void SetPos(TAppBarEdge, TRect&) override {}
    void Activate() override {}
    bool IsAutoHideBar(TAppBarEdge) override { return false; }
    bool SetAutoHideBar(TAppBarEdge, bool doRegister) override { return !doRegister; }
    void WindowPosChanged() override {}
};

TAppBarEdge EdgeFromSetting(int32_t value) {
    switch (value) {
        case 0:
            return TAppBarEdge::abeLeft;
        case 1:
            return TAppBarEdge::abeTop;
        case 2:
            return TAppBarEdge::abeRight;
        case 3:
            return TAppBarEdge::abeBottom;
        default:
            return TAppBarEdge::abeFloat;
    }
}

}  // namespace

TfrmBar::TfrmBar(TBarHost& host, TOptions& options, const TShellFactory& shellFactory)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      host_(host),
      options_(options),
      menuStyle_(std::make_unique<TBarMenuStyle>()) {
    setWindowTitle(QStringLiteral("Quobel Bar"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    tmrScrollDelay = new QTimer(this);
    tmrScrollDelay->setInterval(kScrollDelayMs);
    tmrScroll = new QTimer(this);
    tmrScroll->setInterval(kScrollMs);
    tmrAutoHide = new QTimer(this);
    connect(tmrScrollDelay, &QTimer::timeout, this, &TfrmBar::tmrScrollDelayTimer);
    connect(tmrScroll, &QTimer::timeout, this, &TfrmBar::tmrScrollTimer);
    connect(tmrAutoHide, &QTimer::timeout, this, [this] { appBar_->AutoHideCheck(); });

    CreateActions();
    CreateMenus();

    if (shellFactory) {
        const auto notify = [this](TShellNotification code, int32_t param) {
            if (appBar_ != nullptr) {
                appBar_->ShellNotify(static_cast<int32_t>(code), param);
            }
        };
        shell_ = shellFactory(
            *this, [notify] { notify(TShellNotification::PosChanged, 0); },
            [notify](bool open) { notify(TShellNotification::FullScreenApp, open ? 1 : 0); });
    }
    const bool floatingOnly = shell_ == nullptr;
    if (floatingOnly) {
        shell_ = std::make_unique<TFloatingShell>();
    }
    appBar_ = std::make_unique<TAppBar>(*shell_, *this);
    FormCreate();
    if (floatingOnly) {
        appBar_->Flags = TAppBarFlags::Of({TAppBarFlag::abfAllowFloat});
    }
    appBar_->Created();
    tmrScrollDelay->start();
}

TfrmBar::TShellFactory TfrmBar::DesktopShell() {
    return [](QWidget& bar, std::function<void()> onWorkAreaChanged,
              std::function<void(bool)> onFullScreenApp) {
        return CreateScreenEdgeShellWithFullScreen(bar, std::move(onWorkAreaChanged),
                                                   std::move(onFullScreenApp));
    };
}

TfrmBar::~TfrmBar() {
    closing_ = true;
    tmrScrollDelay->stop();
    tmrScroll->stop();
    appBar_->Destroying();
    if (skin_ != nullptr && skin_->Loaded()) {
        skin_->Unload();
    }
}

// --- creation ----------------------------------------------------------------------------------

QAction* TfrmBar::MakeAction(const QString& caption, const QKeySequence& shortcut) {
    auto* action = new QAction(caption, this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        addAction(action);
    }
    return action;
}

void TfrmBar::CreateActions() {
    actHide = MakeAction(QStringLiteral("&Hide"), QKeySequence(Qt::CTRL | Qt::Key_F4));
    actCompose = MakeAction(QStringLiteral("&Compose"), QKeySequence(Qt::CTRL | Qt::Key_N));
    actAddressBook = MakeAction(QStringLiteral("&Address book"));
    actDelete = MakeAction(QStringLiteral("&Delete"));
    actMarkRead = MakeAction(QStringLiteral("&Mark as read"));
    actMarkAllRead = MakeAction(QStringLiteral("Mar&k all read"));
    actAntiSpam = MakeAction(QStringLiteral("&Anti-Spam"));
    actCheckMail = MakeAction(QStringLiteral("&All accounts..."));
    actExit = MakeAction(QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4));
    mnuMainOptions = MakeAction(QStringLiteral("&Options..."));

    connect(actHide, &QAction::triggered, this, &QWidget::close);
    connect(actDelete, &QAction::triggered, this, [this] {
        if (TMailItem* item = ValidItem(menuItem_)) {
            host_.DeleteMessage(*item);
            host_.StartNext();
        }
    });
    connect(actMarkRead, &QAction::triggered, this, [this] {
        if (TMailItem* item = ValidItem(menuItem_)) {
            host_.MarkMessageRead(*item, true);
        }
    });
    connect(actMarkAllRead, &QAction::triggered, this, &TfrmBar::actMarkAllReadExecute);
    connect(actCheckMail, &QAction::triggered, this, [this] { host_.CheckAllAccounts(); });
    connect(actExit, &QAction::triggered, this, [this] { host_.CloseProgram(); });
    connect(mnuMainOptions, &QAction::triggered, this, [this] { host_.ShowOptions(); });
}

void TfrmBar::CreateMenus() {
    mainMenu_ = std::make_unique<QMenu>();
    mnuMain = mainMenu_.get();
    mnuMain->addAction(actCompose);
    mnuMain->addAction(actAddressBook);
    mnuMain->addSeparator();
    mnuMainCheckNow = mnuMain->addMenu(QStringLiteral("Check email &now..."));
    mnuMainCheckNow->addAction(actCheckMail);
    mnuMainCheckNow->addSeparator();
    mnuMain->addAction(mnuMainOptions);
    mnuMain->addSeparator();
    mnuMain->addAction(actHide);
    mnuMain->addAction(actExit);

    buttonMenu_ = std::make_unique<QMenu>();
    mnuButton = buttonMenu_.get();
    mnuButton->addAction(actMarkRead);
    mnuButton->addAction(actMarkAllRead);
    mnuButton->addAction(actDelete);
    mnuButton->addAction(actAntiSpam);

    for (QMenu* menu : {mnuMain, mnuMainCheckNow, mnuButton}) {
        menuStyle_->UseOn(*menu);
    }
}

void TfrmBar::FormCreate() {
    FirstIndex = 0;
    appBar_->TaskEntry = TAppBarTaskEntry::abtHide;
    appBar_->Flags = TAppBarFlags::Of(
        {TAppBarFlag::abfAllowTop, TAppBarFlag::abfAllowBottom, TAppBarFlag::abfAllowFloat});
    appBar_->MinWidth = kInitialWidth;
    // Until the user places it, the bar floats in the work area's bottom right corner, clear of
    // the main window's menus (the height is a guess until a skin gives the real one).
    const TRect area = WorkArea();
    setGeometry(area.Right - kInitialWidth, area.Bottom - kDesignedHeight, kInitialWidth,
                std::max(height(), 1));
    RebuildCheckMenu();
}

// --- what the main window calls ----------------------------------------------------------------

void TfrmBar::ApplySkin(TSkin* skin) {
    if (skin_ != nullptr && skin_->Loaded()) {
        skin_->Unload();
    }
    painter_.SetSkin(nullptr);
    skin_ = skin;
    if (skin_ == nullptr) {
        return;
    }
    skin_->Load();
    painter_.SetSkin(skin_);
    menuStyle_->SetSkin(skin_->Menu);
    for (QMenu* menu : {mnuMain, mnuMainCheckNow, mnuButton}) {
        menuStyle_->UseOn(*menu);
    }

    const int32_t height = skin_->Height;
    TAppBar& bar = *appBar_;
    bar.MinHorzDockSize = height;
    bar.MaxHorzDockSize = height;
    // The strip reserved at an edge is as high as the bar can be.
    bar.HorzDockSize = height;
    setFixedHeight(height);
    bar.MinHeight = height;
    bar.MaxHeight = height;

    int32_t scrollTime = 5;
    {
        OptionsScope scope(options_);
        bar.AutoHide = scope.Ini().ReadBool("Bar", "AutoHide", false);
        ButtonWidth = scope.Ini().ReadInteger("Bar", "ButtonWidth", 150);
        scrollTime = scope.Ini().ReadInteger("Bar", "ScrollTime", 5);
    }
    bar.ReapplyEdge();
    // The interval is kept in range; zero or less means the bar never starts scrolling.
    tmrScrollDelay->setInterval(std::clamp(scrollTime, 0, 24 * 3600) * 1000);
    if (tmrScrollDelay->interval() <= 0) {
        tmrScrollDelay->stop();
    }
    FormPaint();
}

void TfrmBar::PopUp() {
    if (appBar_->Edge() != TAppBarEdge::abeFloat && appBar_->AutoHide) {
        appBar_->Stick = true;
        appBar_->ShowAutoHideBar(true);
    }
}

void TfrmBar::PopDown() {
    appBar_->Stick = false;
    appBar_->ShowAutoHideBar(false);
}

void TfrmBar::RebuildCheckMenu() {
    const QList<QAction*> entries = mnuMainCheckNow->actions();
    for (qsizetype i = 2; i < entries.size(); ++i) {
        mnuMainCheckNow->removeAction(entries[i]);
        entries[i]->deleteLater();
    }
    for (TAccount* account : host_.Accounts()) {
        QAction* entry = mnuMainCheckNow->addAction(Q(account->Name));
        connect(entry, &QAction::triggered, this, [this, account] {
            // The account may have been removed since the menu was built.
            const std::vector<TAccount*> accounts = host_.Accounts();
            if (std::find(accounts.begin(), accounts.end(), account) != accounts.end()) {
                host_.CheckAccount(*account);
            }
        });
    }
}

void TfrmBar::actMarkAllReadExecute() {
    if (MailBox == nullptr) {
        return;
    }
    // The marks repaint the bar, which reads the items again: take the items first.
    std::vector<std::pair<TMailItem*, bool>> calls;
    for (const auto& [index, notify] : MarkAllReadOrder(Messages())) {
        calls.emplace_back(&MailBox->Items.Items(static_cast<size_t>(index)), notify);
    }
    for (const auto& [item, notify] : calls) {
        host_.MarkMessageRead(*item, notify);
    }
}

// --- painting ----------------------------------------------------------------------------------

TBoxBarMessages& TfrmBar::Messages() {
    if (messages_ == nullptr || &messages_->Items() != &MailBox->Items) {
        messages_ = std::make_unique<TBoxBarMessages>(MailBox->Items);
    }
    messages_->Forget();
    return *messages_;
}

void TfrmBar::FormPaint() {
    if (MailBox == nullptr) {
        return;
    }
    HotPart = THotPart::None;
    const TBoxBarMessages& messages = Messages();
    if (skin_ == nullptr || !painter_.HasSkin()) {
        layout_ = {};
        painter_.ComposeEmpty(width(), height());
        update();
        return;
    }
    TBarLayoutInput input;
    input.ClientWidth = width();
    input.ButtonWidth = ButtonWidth;
    input.FirstIndex = FirstIndex;
    input.HotX = HotX;
    input.HotY = HotY;
    input.Pressed = Pressed;
    input.MainWindowVisible = host_.MainWindowVisible();
    layout_ = LayoutBar(*skin_, messages, input);
    FirstIndex = layout_.FirstIndex;
    HotPart = layout_.HotPart;
    if (layout_.HotItem >= 0) {
        HotItem = &MailBox->Items.Items(static_cast<size_t>(layout_.HotItem));
    }
    painter_.Compose(layout_, messages, width());
    update();
}

void TfrmBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage& buffer = painter_.BackBuffer();
    if (buffer.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    painter.drawImage(0, 0, buffer);
}

// --- mouse and keyboard ------------------------------------------------------------------------

TBarHit TfrmBar::HitTest(int x) const {
    if (skin_ == nullptr || !painter_.HasSkin()) {
        return TBarHit::Client;
    }
    return BarHitTest(*skin_, width(), x);
}

TMailItem* TfrmBar::ValidItem(TMailItem* item) const {
    if (item == nullptr || MailBox == nullptr) {
        return nullptr;
    }
    return MailBox->Items.Contains(item) ? item : nullptr;
}

void TfrmBar::UpdateHint(const QPoint& globalPos) {
    const std::string& hint = HintText();
    if (hint.empty()) {
        QToolTip::hideText();
    }
    if (hint != LastHint) {
        if (!hint.empty()) {
            QString text = Q(hint);
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            // Plain text: a sender such as "<ann@example.org>" must not be read as markup.
            QToolTip::showText(globalPos, Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal),
                               this);
        }
        LastHint = hint;
    }
}

void TfrmBar::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const TBarHit hit = HitTest(pos.x());
    if (hit != TBarHit::Client) {
        if (event->button() == Qt::LeftButton) {
            drag_ = hit == TBarHit::Caption ? TDrag::Move : TDrag::Size;
            dragLast_ = event->globalPosition().toPoint();
            sizeOffset_ = geometry().right() + 1 - dragLast_.x();
            appBar_->EnterSizeMove();
        }
        return;
    }
    // The pointer is where the press is, whether or not a movement was reported before it.
    HotX = pos.x();
    HotY = pos.y();
    Pressed = true;
    FormPaint();
}

void TfrmBar::DragTo(const QPoint& globalPos, bool ctrlDown) {
    TRect proposed = WindowRect();
    if (drag_ == TDrag::Move) {
        const QPoint delta = globalPos - dragLast_;
        proposed = proposed.MovedTo(proposed.Left + delta.x(), proposed.Top + delta.y());
        appBar_->Moving({globalPos.x(), globalPos.y()}, ctrlDown, proposed);
    } else {
        proposed.Right = globalPos.x() + sizeOffset_;
        appBar_->Sizing(TSizingSide::Right, proposed);
    }
    dragLast_ = globalPos;
    PlaceWindow(proposed);
}

void TfrmBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (drag_ != TDrag::None) {
        DragTo(global, (event->modifiers() & Qt::ControlModifier) != 0);
        return;
    }
    const QPoint pos = event->position().toPoint();
    // Any movement over the bar brings an auto-hidden bar out and ends a pop-up's stay.
    appBar_->Stick = false;
    appBar_->ShowAutoHideBar(true);
    const TBarHit hit = HitTest(pos.x());
    if (hit != TBarHit::Client) {
        setCursor(hit == TBarHit::Caption ? Qt::SizeAllCursor : Qt::SizeHorCursor);
        if (HotX != -1 || HotY != -1) {
            HotX = -1;
            HotY = -1;
            FormPaint();
            UpdateHint(global);
        }
        return;
    }
    unsetCursor();
    tmrScrollDelay->stop();
    tmrScroll->stop();
    HotX = pos.x();
    HotY = pos.y();
    FormPaint();
    UpdateHint(global);
}

void TfrmBar::mouseReleaseEvent(QMouseEvent* event) {
    if (drag_ != TDrag::None) {
        drag_ = TDrag::None;
        appBar_->ExitSizeMove();
        FormPaint();
        return;
    }
    MouseUp(event->button(), event->globalPosition().toPoint(), event->position().toPoint());
}

void TfrmBar::MouseUp(Qt::MouseButton button, const QPoint& globalPos, const QPoint& pos) {
    const QWidget* under = QApplication::widgetAt(globalPos);
    const bool overBar = rect().contains(pos) && (under == nullptr || under == this);
    if (!overBar) {
        HotX = -1;
        Pressed = false;
        FormPaint();
        return;
    }
    const bool left = button == Qt::LeftButton;
    switch (HotPart) {
        case THotPart::FirstArrow:
        case THotPart::LastArrow:
        case THotPart::PreviousArrow:
        case THotPart::NextArrow:
            if (left) {
                FirstIndex = ArrowClick(HotPart, FirstIndex, Messages());
            }
            break;
        case THotPart::MenuButton:
            mnuMain->popup(mapToGlobal(QPoint(0, height())));
            break;
        case THotPart::Dropdown:
            appBar_->Stick = true;
            if (host_.MainWindowVisible()) {
                host_.HideToTray();
            } else {
                host_.LeaveTray();
            }
            appBar_->Stick = false;
            break;
        case THotPart::MessageButton:
            if (TMailItem* item = ValidItem(HotItem)) {
                if (left) {
                    host_.OpenMessage(*item);
                } else {
                    activateWindow();
                    // The menu's commands act on this message wherever the pointer goes.
                    menuItem_ = item;
                    mnuButton->popup(globalPos);
                }
            }
            break;
        case THotPart::None:
            break;
    }
    Pressed = false;
    FormPaint();
}

void TfrmBar::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    HotX = -1;
    HotY = -1;
    FormPaint();
    // Coming back to the same message shows its hint again.
    LastHint.clear();
    StartScrollDelay();
}

void TfrmBar::StartScrollDelay() {
    if (tmrScrollDelay->interval() > 0) {
        tmrScrollDelay->start();
    }
}

void TfrmBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        appBar_->Stick = false;
        appBar_->ShowAutoHideBar(false);
        return;
    }
    QWidget::keyPressEvent(event);
}

// --- scrolling ---------------------------------------------------------------------------------

void TfrmBar::tmrScrollDelayTimer() {
    tmrScrollDelay->stop();
    bool scroll = true;
    {
        OptionsScope scope(options_);
        scroll = scope.Ini().ReadBool("Bar", "Scroll", true);
    }
    if (scroll) {
        tmrScroll->start();
        tmrScrollTimer();
    }
}

void TfrmBar::tmrScrollTimer() {
    ScrollStep(FirstIndex, ScrollMark, [this](int32_t first) {
        FirstIndex = first;
        FormPaint();
        return FirstIndex;
    });
}

// --- window events -----------------------------------------------------------------------------

void TfrmBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormPaint();
    if (appBar_ != nullptr) {
        appBar_->WindowPositionChanged();
    }
}

void TfrmBar::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (appBar_ != nullptr) {
        appBar_->WindowPositionChanged();
    }
}

void TfrmBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && appBar_ != nullptr && !closing_) {
        appBar_->ActivationChanged(isActiveWindow());
    }
}

void TfrmBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous() || shown_) {
        return;
    }
    shown_ = true;
    FormShow();
}

void TfrmBar::FormShow() {
    TAppBarEdge edge = TAppBarEdge::abeFloat;
    const QRect current = geometry();
    QRect floating = current;
    {
        OptionsScope scope(options_);
        TIniFile& ini = scope.Ini();
        edge = EdgeFromSetting(ini.ReadInteger("Bar", "Edge", 5));
        floating.moveLeft(ini.ReadInteger("Bar", "Left", floating.left()));
        floating.moveTop(ini.ReadInteger("Bar", "Top", floating.top()));
        floating.setWidth(ini.ReadInteger("Bar", "Width", floating.width()));
    }
    // A place left on a screen that is gone would leave the bar, and its move bar, out of
    // reach: it comes back to where a bar starts.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr && !screen->virtualGeometry().contains(floating.topLeft())) {
        const TRect area = WorkArea();
        floating.moveTopLeft(current.topLeft());
        floating.moveLeft(
            std::max(area.Left, std::min(floating.left(), area.Right - floating.width())));
    }
    // An edge this desktop cannot give (no shell, or one the bar never uses) floats instead.
    if (!appBar_->Flags.AllowsEdge(edge)) {
        edge = TAppBarEdge::abeFloat;
    }
    appBar_->SetEdge(edge);
    if (edge == TAppBarEdge::abeFloat) {
        PlaceWindow({floating.left(), floating.top(), floating.left() + floating.width(),
                     floating.top() + height()});
    }
    FormPaint();
}

void TfrmBar::closeEvent(QCloseEvent* event) {
    // A settings file that cannot be written loses the position, not the closing.
    std::exception_ptr failure;
    try {
        FormClose();
    } catch (...) {
        failure = std::current_exception();
    }
    QWidget::closeEvent(event);
    hide();
    if (OnHide) {
        OnHide(*this);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TfrmBar::FormClose() {
    tmrScrollDelay->stop();
    tmrScroll->stop();
    QToolTip::hideText();
    TAppBarEdge edge = appBar_->Edge();
    if (edge == TAppBarEdge::abeUnknown) {
        edge = TAppBarEdge::abeFloat;
    }
    const QRect rect = geometry();
    OptionsScope scope(options_);
    TIniFile::Batch batch(scope.Ini());
    scope.Ini().WriteInteger("Bar", "Edge", static_cast<int32_t>(edge));
    if (edge == TAppBarEdge::abeFloat) {
        scope.Ini().WriteInteger("Bar", "Top", rect.top());
        scope.Ini().WriteInteger("Bar", "Left", rect.left());
        scope.Ini().WriteInteger("Bar", "Width", rect.width());
    }
}

// --- TAppBarWindow -----------------------------------------------------------------------------

TScreenMetrics TfrmBar::Metrics() {
    TScreenMetrics metrics;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        metrics.ScreenWidth = screen->geometry().width();
        metrics.ScreenHeight = screen->geometry().height();
    }
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    metrics.VScrollWidth = scrollBar;
    metrics.HScrollHeight = scrollBar;
    return metrics;
}

TRect TfrmBar::WorkArea() {
    return DesktopWorkArea();
}

TRect TfrmBar::WindowRect() {
    const QRect r = geometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void TfrmBar::PlaceWindow(const TRect& rect) {
    // The window system holds a window within its size limits; so does this.
    int32_t width = rect.Width();
    int32_t height = rect.Height();
    if (appBar_ != nullptr) {
        const TSizeLimits limits = appBar_->SizeLimits();
        width = std::max(std::min(width, limits.MaxWidth), limits.MinWidth);
        height = std::max(std::min(height, limits.MaxHeight), limits.MinHeight);
    }
    setGeometry(rect.Left, rect.Top, std::max(width, 1), std::max(height, 1));
}

void TfrmBar::PaintNow() {
    repaint();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QGuiApplication::sync();
    }
    QThread::msleep(kSlideFrameMs);
}

void TfrmBar::SetZOrder(TZOrder order) {
    if (closing_) {
        return;
    }
    Qt::WindowFlags flags =
        windowFlags() & ~(Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint);
    if (order == TZOrder::TopMost) {
        flags |= Qt::WindowStaysOnTopHint;
    } else if (order == TZOrder::Bottom) {
        flags |= Qt::WindowStaysOnBottomHint;
    }
    if (flags == windowFlags()) {
        return;
    }
    if (QWindow* const handle = windowHandle()) {
        // Changing the flags of an existing window the usual way hides it and may make a new
        // one, which would lose what the desktop shell set on it: tell the window directly.
        overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void TfrmBar::ShowApplicationWindow(bool) {
    // No hidden application window carries a task-bar entry here: the main window has its own
    // entry, and the bar, a tool window, never gets one.
}

bool TfrmBar::IsActiveWindow() {
    return isActiveWindow();
}

TPoint TfrmBar::PointerPos() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

int64_t TfrmBar::TickCount() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TfrmBar::SetAutoHideTimer(int32_t intervalMs) {
    if (intervalMs > 0) {
        tmrAutoHide->start(intervalMs);
    } else {
        tmrAutoHide->stop();
    }
}

void TfrmBar::PostSizeMoveCycle() {
    // Once the window has its real size: the float rectangle takes it.
    QTimer::singleShot(0, this, [this] {
        if (drag_ == TDrag::None) {
            appBar_->EnterSizeMove();
            appBar_->ExitSizeMove();
        }
    });
}

void TfrmBar::ShowInformation(const std::string& title, const std::string& text) {
    if (OnInformation) {
        OnInformation(title, text);
        return;
    }
    QString shown = Q(text);
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    QMessageBox::information(this, Q(title), shown);
}

}  // namespace quobel
