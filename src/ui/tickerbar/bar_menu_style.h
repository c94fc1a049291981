#pragma once

#include <QColor>
#include <QFont>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include "bar/skin.h"

class QMenu;

namespace quobel {

// The look of the bar's pop-up menus, all of it from the skin: every entry is 25 pixels wider
// than the toolkit would make it and drawn in the skin's colours and fonts (fill and one-pixel
// outline, separators as a line across the middle, captions 12 pixels in), and the menu window
// gets three frame lines, the outer one in the border colour and two inner ones in the fill
// colour. Set on each menu with UseOn.
class TBarMenuStyle : public QProxyStyle {
  public:
    TBarMenuStyle();

    void SetSkin(const TSkinMenu& menu);
    // Gives the menu this style and the skin's normal font (which the entries are measured in).
    void UseOn(QMenu& menu);

    static constexpr int kExtraWidth = 25;
    static constexpr int kTextIndent = 12;
    static constexpr int kFrameWidth = 3;

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;

  private:
    struct TMenuFont {
        QFont Font;
        QColor Color;
    };
    void DrawItem(const QStyleOptionMenuItem& item, QPainter& painter) const;

    QColor border_, separator_, normal_, normalBorder_, selected_, selectedBorder_;
    TMenuFont normalFont_, selectedFont_, disabledFont_;
};

}  // namespace quobel
