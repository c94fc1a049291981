#include "ui/tickerbar/bar_menu_style.h"

#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionMenuItem>

#include "ui/dialogs/color_picker.h"
#include "ui/tickerbar/bar_painter.h"

namespace quobel {

TBarMenuStyle::TBarMenuStyle() {
    SetSkin(TSkinMenu{});
}

void TBarMenuStyle::SetSkin(const TSkinMenu& menu) {
    border_ = ColorToQColor(menu.BorderColor);
    separator_ = ColorToQColor(menu.SeparatorColor);
    normal_ = ColorToQColor(menu.NormalColor);
    normalBorder_ = ColorToQColor(menu.NormalBorderColor);
    selected_ = ColorToQColor(menu.SelectedColor);
    selectedBorder_ = ColorToQColor(menu.SelectedBorderColor);
    normalFont_ = {SkinQFont(menu.NormalFont), ColorToQColor(menu.NormalFont.Color)};
    selectedFont_ = {SkinQFont(menu.SelectedFont), ColorToQColor(menu.SelectedFont.Color)};
    disabledFont_ = {SkinQFont(menu.DisabledFont), ColorToQColor(menu.DisabledFont.Color)};
}

void TBarMenuStyle::UseOn(QMenu& menu) {
    menu.setStyle(this);
    menu.setFont(normalFont_.Font);
}

QSize TBarMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                      const QSize& size, const QWidget* widget) const {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem) {
        result.rwidth() += kExtraWidth;
    }
    return result;
}

int TBarMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                               const QWidget* widget) const {
    switch (metric) {
        case PM_MenuPanelWidth:
            return kFrameWidth;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuDesktopFrameWidth:
            return 0;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void TBarMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    switch (element) {
        case PE_PanelMenu:
            painter->fillRect(option->rect, normal_);
            return;
        case PE_FrameMenu: {
            painter->save();
            painter->setBrush(Qt::NoBrush);
            QRect frame = option->rect.adjusted(0, 0, -1, -1);
            painter->setPen(border_);
            painter->drawRect(frame);
            painter->setPen(normal_);
            for (int i = 1; i < kFrameWidth; ++i) {
                frame.adjust(1, 1, -1, -1);
                painter->drawRect(frame);
            }
            painter->restore();
            return;
        }
        default:
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void TBarMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, normal_);
        return;
    }
    if (element == CE_MenuItem) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            painter->save();
            DrawItem(*item, *painter);
            painter->restore();
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TBarMenuStyle::DrawItem(const QStyleOptionMenuItem& item, QPainter& painter) const {
    const bool isSelected = (item.state & State_Selected) != 0;
    const bool enabled = (item.state & State_Enabled) != 0;
    const TMenuFont& font = !enabled ? disabledFont_ : (isSelected ? selectedFont_ : normalFont_);
    const QRect r = item.rect;
    painter.fillRect(r, isSelected ? selected_ : normal_);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(isSelected ? selectedBorder_ : normalBorder_);
    painter.drawRect(r.adjusted(0, 0, -1, -1));

    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = r.top() + r.height() / 2;
        painter.setPen(separator_);
        painter.drawLine(r.left(), y, r.right(), y);
        return;
    }
    // The caption only: shortcuts are not part of an entry's text here.
    const QString caption = item.text.section(QLatin1Char('\t'), 0, 0);
    painter.setFont(font.Font);
    painter.setPen(font.Color);
    painter.drawText(r.adjusted(kTextIndent, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                     caption);
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
        // A small arrow in the text colour marks an entry that opens a submenu.
        const int size = std::max(3, r.height() / 4);
        const int x = r.right() - kTextIndent / 2 - size;
        const int y = r.center().y();
        QPainterPath arrow;
        arrow.moveTo(x, y - size);
        arrow.lineTo(x + size, y);
        arrow.lineTo(x, y + size);
        arrow.closeSubpath();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(arrow, font.Color);
    }
}

}  // namespace quobel
