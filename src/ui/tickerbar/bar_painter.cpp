#include "ui/tickerbar/bar_painter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <cstring>

#include "ui/dialogs/color_picker.h"

namespace quobel {
namespace {

QImage ToQImage(const TBmpImage& bitmap) {
    if (bitmap.Empty()) {
        return {};
    }
    // The decoded pixels are 0xFFRRGGBB already, the layout of an opaque 32-bit image.
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    const size_t rowBytes = static_cast<size_t>(bitmap.Width()) * sizeof(uint32_t);
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        std::memcpy(image.scanLine(y),
                    bitmap.Pixels().data() + static_cast<size_t>(y) * bitmap.Width(), rowBytes);
    }
    return image;
}

}  // namespace

void TBarPainter::SetSkin(const TSkin* skin) {
    images_ = {};
    height_ = 0;
    if (skin == nullptr || !skin->Loaded()) {
        return;
    }
    images_[static_cast<size_t>(TSkinImage::Background)] = ToQImage(skin->Background);
    images_[static_cast<size_t>(TSkinImage::Arrows)] = ToQImage(skin->Arrows.Image);
    images_[static_cast<size_t>(TSkinImage::MenuButton)] = ToQImage(skin->MenuButton.Image);
    images_[static_cast<size_t>(TSkinImage::Button)] = ToQImage(skin->Button.Image);
    images_[static_cast<size_t>(TSkinImage::Error)] = ToQImage(skin->Error.Image);
    buttonFont_ = SkinQFont(skin->Button.Font);
    height_ = skin->Height;
}

void TBarPainter::Resize(QImage& image, int width, int height) {
    if (image.width() != width || image.height() != height) {
        image = QImage(width, height, QImage::Format_RGB32);
    }
}

void TBarPainter::DrawCut(QPainter& painter, const TSkinCut& cut) const {
    if (cut.Source.Width() <= 0) {
        return;
    }
    painter.drawImage(QPoint(cut.DestX, 0), images_[static_cast<size_t>(cut.Image)],
                      QRect(cut.Source.Left, 0, cut.Source.Width(), height_));
}

const QImage& TBarPainter::Compose(const TBarLayout& layout, const TBarMessages& items, int width) {
    if (!HasSkin()) {
        return ComposeEmpty(width, 1);
    }
    Resize(backBuffer_, std::max(width, 1), height_);
    QPainter painter(&backBuffer_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const TSkinCut& cut : layout.Parts) {
        DrawCut(painter, cut);
    }
    for (const TBarButton& button : layout.Buttons) {
        Resize(buttonBuffer_, button.Width, height_);
        {
            QPainter face(&buttonBuffer_);
            face.setCompositionMode(QPainter::CompositionMode_Source);
            for (const TSkinCut& piece : button.Pieces) {
                DrawCut(face, piece);
            }
            face.setCompositionMode(QPainter::CompositionMode_SourceOver);
            const TBarMessage& item = items.Message(button.ItemIndex);
            const QRect text(button.TextRect.Left, button.TextRect.Top, button.TextRect.Width(),
                             button.TextRect.Height());
            if (text.width() > 0 && text.height() > 0) {
                face.setFont(buttonFont_);
                face.setPen(ColorToQColor(button.TextColor));
                // Ampersands underline the next letter, as in menu captions.
                const QString subject =
                    QFontMetrics(buttonFont_)
                        .elidedText(QString::fromStdString(item.Subject), Qt::ElideRight,
                                    text.width(), Qt::TextShowMnemonic);
                face.drawText(
                    text,
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                    subject);
            }
        }
        painter.drawImage(QPoint(button.X, 0), buttonBuffer_);
    }
    return backBuffer_;
}

const QImage& TBarPainter::ComposeEmpty(int width, int height) {
    Resize(backBuffer_, std::max(width, 1), std::max(height, 1));
    backBuffer_.fill(QApplication::palette().color(QPalette::Window));
    return backBuffer_;
}

}  // namespace quobel
