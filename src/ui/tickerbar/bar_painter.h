#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <array>
#include <vector>

#include "bar/skin.h"
#include "bar/ticker_layout.h"
#include "ui/common/qt_font.h"

namespace quobel {

// The bar's fonts in the toolkit's terms: a skin font without a size is 10 points.
inline QFont SkinQFont(const TFontRecord& record) {
    return ToQFont(record, 10);
}

// Composes the bar off-screen from a layout: the skin's parts into the back buffer, each
// message button into its own buffer first (edges, repeated middle, subject) and then into the
// back buffer. The window copies the back buffer in one piece, so painting after every pointer
// movement does not flicker. The skin's bitmaps are converted once per skin; the two buffers are
// reallocated only when their size changes.
class TBarPainter {
  public:
    // Takes the bitmaps and the button font of a loaded skin; nullptr (or an unloaded skin)
    // leaves nothing to draw with.
    void SetSkin(const TSkin* skin);
    bool HasSkin() const { return height_ > 0; }

    // The whole bar, `width` pixels wide and as high as the skin.
    const QImage& Compose(const TBarLayout& layout, const TBarMessages& items, int width);
    const QImage& Compose(const TBarLayout& layout, const std::vector<TBarMessage>& items,
                          int width) {
        return Compose(layout, TBarMessageList(items), width);
    }
    // A bar without a usable skin: a plain strip in the window colour.
    const QImage& ComposeEmpty(int width, int height);

    const QImage& BackBuffer() const { return backBuffer_; }

  private:
    static void Resize(QImage& image, int width, int height);
    void DrawCut(QPainter& painter, const TSkinCut& cut) const;

    std::array<QImage, 5> images_;  // indexed by TSkinImage
    int height_ = 0;
    QFont buttonFont_;
    QImage backBuffer_;
    QImage buttonBuffer_;
};

}  // namespace quobel
