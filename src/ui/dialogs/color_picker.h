#pragma once

#include <QColor>
#include <QComboBox>
#include <cstdint>

class QPainter;
class QPalette;
class QRect;

namespace quobel {

// Colour values are 0x00BBGGRR, or 0x80000000 plus an index for a system colour, which maps to
// the application palette.
QColor ColorToQColor(uint32_t value);
uint32_t QColorToColor(const QColor& color);

// The text-colour picker of an account: "Skin Default" (no colour of its own), the sixteen
// standard colours and "Custom...", whose colour is the one last confirmed in the colour chooser
// (black until then). Each entry is drawn with a swatch of its colour.
class TColorPicker : public QComboBox {
    Q_OBJECT

  public:
    static constexpr int kEntryCount = 18;
    static constexpr int kSkinDefaultIndex = 0;
    static constexpr int kCustomIndex = 17;
    static constexpr int kEntryHeight = 16;

    explicit TColorPicker(QWidget* parent = nullptr);

    // The colour of an entry; for "Custom..." the custom colour.
    uint32_t EntryColor(int index) const;
    uint32_t CustomColor() const { return customColor_; }
    void SetCustomColor(uint32_t color);

    // Draws one entry into its rectangle: background, swatch (none for "Skin Default"), text.
    static void DrawEntry(QPainter& painter, const QRect& rect, const QString& text, uint32_t color,
                          bool selected, const QPalette& palette);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    uint32_t customColor_ = 0;
};

}  // namespace quobel
