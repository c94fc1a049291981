#include "ui/tickerbar/frm_bar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <exception>

#include "accounts/account.h"
#include "core/options.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/common/help_key.h"
#include "ui/common/lower_texts.h"
#include "ui/common/qt_text.h"
#include "ui/tickerbar/bar_floating_shell.h"

namespace quobel {
namespace {

constexpr int kInitialWidth = 250;
constexpr int kDesignedHeight = 32;

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
      scroller_([this] { return ScrollSwitchedOn(); }, [this] { FormPaint(); }),
      menus_(*this, host, options,
             {.Hide = [this] { close(); },
              .MarkAllRead = [this] { MarkAllRead(); },
              .StillThere = [this](TMailItem* item) { return ValidItem(item); }}),
      shellWindow_(*this, OnInformation, [this] { return drag_ != nullptr && drag_->Active(); }) {
    setWindowTitle(tr("Quobel Bar"));
    SetHelpSection(*this, "bar");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

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
    appBar_ = std::make_unique<TAppBar>(*shell_, shellWindow_);
    shellWindow_.Attach(*appBar_);
    drag_ = std::make_unique<TBarDrag>(*appBar_, shellWindow_);
    FormCreate();
    if (floatingOnly) {
        appBar_->Flags = TAppBarFlags::Of({TAppBarFlag::abfAllowFloat});
    }
    appBar_->Created();
    scroller_.DelayTimer().start();
}

TfrmBar::TShellFactory TfrmBar::DesktopShell() {
    return [](QWidget& bar, std::function<void()> onWorkAreaChanged,
              std::function<void(bool)> onFullScreenApp) {
        return CreateScreenEdgeShellWithFullScreen(bar, std::move(onWorkAreaChanged),
                                                   std::move(onFullScreenApp));
    };
}

TfrmBar::~TfrmBar() {
    shellWindow_.SetClosing();
    scroller_.Stop();
    appBar_->Destroying();
    if (skin_ != nullptr && skin_->Loaded()) {
        skin_->Unload();
    }
}

// --- creation ----------------------------------------------------------------------------------

void TfrmBar::FormCreate() {
    scroller_.FirstIndex = 0;
    appBar_->TaskEntry = TAppBarTaskEntry::abtHide;
    appBar_->Flags = TAppBarFlags::Of(
        {TAppBarFlag::abfAllowTop, TAppBarFlag::abfAllowBottom, TAppBarFlag::abfAllowFloat});
    appBar_->MinWidth = kInitialWidth;
    // Until the user places it, the bar floats in the work area's bottom right corner, clear of
    // the main window's menus (the height is a guess until a skin gives the real one).
    const TRect area = shellWindow_.WorkArea();
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
    menus_.ApplySkin(skin_->Menu);

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
        bar.AutoHide = scope.Read(settings::kBarAutoHide);
        ButtonWidth = scope.Read(settings::kBarButtonWidth);
        scrollTime = scope.Read(settings::kBarScrollTime);
    }
    bar.ReapplyEdge();
    scroller_.SetDelaySeconds(scrollTime);
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
    menus_.RebuildCheckMenu();
}

void TfrmBar::MarkAllRead() {
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
    pointer_.HotPart = THotPart::None;
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
    input.FirstIndex = scroller_.FirstIndex;
    pointer_.Into(input);
    input.MainWindowVisible = host_.MainWindowVisible();
    layout_ = LayoutBar(*skin_, messages, input);
    scroller_.FirstIndex = layout_.FirstIndex;
    pointer_.Take(layout_, MailBox->Items);
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

TBarHit TfrmBar::WindowPartAt(int x) const {
    return TBarHitTest::WindowPart(painter_.HasSkin() ? skin_ : nullptr, width(), x);
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
            QString text = ShownText(hint);
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
    const TBarHit part = WindowPartAt(pos.x());
    if (part != TBarHit::Client) {
        if (event->button() == Qt::LeftButton) {
            const QPoint global = event->globalPosition().toPoint();
            drag_->Start(part, {global.x(), global.y()});
        }
        return;
    }
    // The pointer is where the press is, whether or not a movement was reported before it.
    pointer_.PointerAt(pos.x(), pos.y());
    pointer_.Pressed = true;
    FormPaint();
}

void TfrmBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (drag_->Active()) {
        drag_->MoveTo({global.x(), global.y()}, (event->modifiers() & Qt::ControlModifier) != 0);
        return;
    }
    const QPoint pos = event->position().toPoint();
    // Any movement over the bar brings an auto-hidden bar out and ends a pop-up's stay.
    appBar_->Stick = false;
    appBar_->ShowAutoHideBar(true);
    const TBarHit part = WindowPartAt(pos.x());
    if (part != TBarHit::Client) {
        setCursor(part == TBarHit::Caption ? Qt::SizeAllCursor : Qt::SizeHorCursor);
        if (pointer_.PointerOver()) {
            pointer_.PointerAway();
            FormPaint();
            UpdateHint(global);
        }
        return;
    }
    unsetCursor();
    scroller_.Stop();
    pointer_.PointerAt(pos.x(), pos.y());
    FormPaint();
    UpdateHint(global);
}

void TfrmBar::mouseReleaseEvent(QMouseEvent* event) {
    if (drag_->Active()) {
        drag_->Finish();
        FormPaint();
        return;
    }
    MouseUp(event->button(), event->globalPosition().toPoint(), event->position().toPoint());
}

void TfrmBar::MouseUp(Qt::MouseButton button, const QPoint& globalPos, const QPoint& pos) {
    const QWidget* under = QApplication::widgetAt(globalPos);
    const bool overBar = rect().contains(pos) && (under == nullptr || under == this);
    if (!overBar) {
        pointer_.HotX = -1;
        pointer_.Pressed = false;
        FormPaint();
        return;
    }
    const bool left = button == Qt::LeftButton;
    switch (pointer_.HotPart) {
        case THotPart::FirstArrow:
        case THotPart::LastArrow:
        case THotPart::PreviousArrow:
        case THotPart::NextArrow:
            if (left) {
                scroller_.FirstIndex =
                    ArrowClick(pointer_.HotPart, scroller_.FirstIndex, Messages());
            }
            break;
        case THotPart::MenuButton:
            menus_.PopupMain(mapToGlobal(QPoint(0, height())));
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
            if (TMailItem* item = ValidItem(pointer_.HotItem)) {
                if (left) {
                    host_.OpenMessage(*item);
                } else {
                    activateWindow();
                    menus_.PopupButton(*item, globalPos);
                }
            }
            break;
        case THotPart::None:
            break;
    }
    pointer_.Pressed = false;
    FormPaint();
}

void TfrmBar::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    pointer_.PointerAway();
    FormPaint();
    // Coming back to the same message shows its hint again.
    LastHint.clear();
    scroller_.StartDelay();
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

bool TfrmBar::ScrollSwitchedOn() {
    bool scroll = true;
    {
        OptionsScope scope(options_);
        scroll = scope.Read(settings::kBarScroll);
    }
    return scroll;
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
    if (event->type() == QEvent::ActivationChange && appBar_ != nullptr &&
        !shellWindow_.Closing()) {
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
        edge = EdgeFromSetting(ReadSetting(ini, settings::kBarEdge));
        floating.moveLeft(ReadSetting(ini, settings::kBarLeft, floating.left()));
        floating.moveTop(ReadSetting(ini, settings::kBarTop, floating.top()));
        floating.setWidth(ReadSetting(ini, settings::kBarWidth, floating.width()));
    }
    // A place left on a screen that is gone would leave the bar, and its move bar, out of
    // reach: it comes back to where a bar starts.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr && !screen->virtualGeometry().contains(floating.topLeft())) {
        const TRect area = shellWindow_.WorkArea();
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
        shellWindow_.PlaceWindow({floating.left(), floating.top(),
                                  floating.left() + floating.width(), floating.top() + height()});
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
    scroller_.Stop();
    QToolTip::hideText();
    TAppBarEdge edge = appBar_->Edge();
    if (edge == TAppBarEdge::abeUnknown) {
        edge = TAppBarEdge::abeFloat;
    }
    const QRect rect = geometry();
    OptionsScope scope(options_);
    TIniFile::Batch batch(scope.Ini());
    scope.Write(settings::kBarEdge, static_cast<int32_t>(edge));
    if (edge == TAppBarEdge::abeFloat) {
        scope.Write(settings::kBarTop, rect.top());
        scope.Write(settings::kBarLeft, rect.left());
        scope.Write(settings::kBarWidth, rect.width());
    }
}

}  // namespace quobel
