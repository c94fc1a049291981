#include "ui/dialogs/color_picker.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <array>

#include "accounts/account.h"

namespace quobel {
namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000u;

struct TStandardColor {
    const char* Name;
    uint32_t Value;
};

constexpr std::array<TStandardColor, 16> kStandardColors{{
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Black"), 0x000000},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Maroon"), 0x000080},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Green"), 0x008000},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Olive"), 0x008080},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Navy"), 0x800000},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Purple"), 0x800080},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Teal"), 0x808000},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Gray"), 0x808080},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Silver"), 0xC0C0C0},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Red"), 0x0000FF},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Lime"), 0x00FF00},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Yellow"), 0x00FFFF},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Blue"), 0xFF0000},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Fuchsia"), 0xFF00FF},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "Aqua"), 0xFFFF00},
    {QT_TRANSLATE_NOOP("quobel::TColorPicker", "White"), 0xFFFFFF},
}};

// System colour indexes and the palette role that plays their part here.
QPalette::ColorRole SystemColorRole(uint32_t index) {
    switch (index) {
        case 1:   // desktop
        case 4:   // menu
        case 15:  // button face
            return QPalette::Button;
        case 2:   // active caption
        case 13:  // highlight
            return QPalette::Highlight;
        case 5:  // window
            return QPalette::Base;
        case 7:   // menu text
        case 19:  // inactive caption text
            return QPalette::WindowText;
        case 9:   // caption text
        case 14:  // highlight text
            return QPalette::HighlightedText;
        case 12:  // application workspace
        case 16:  // button shadow
            return QPalette::Dark;
        case 6:   // window frame
        case 21:  // 3D dark shadow
            return QPalette::Shadow;
        case 17:  // grey text
            return QPalette::PlaceholderText;
        case 18:  // button text
            return QPalette::ButtonText;
        case 20:  // button highlight
            return QPalette::Light;
        case 22:  // 3D light
            return QPalette::Midlight;
        case 23:  // tooltip text
            return QPalette::ToolTipText;
        case 24:  // tooltip background
            return QPalette::ToolTipBase;
        case 26:  // hot-tracked link
            return QPalette::Link;
        default:  // 8, window text, and whatever is unknown
            return QPalette::Text;
    }
}

class TColorEntryDelegate : public QStyledItemDelegate {
  public:
    explicit TColorEntryDelegate(TColorPicker& picker)
        : QStyledItemDelegate(&picker), picker_(picker) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        TColorPicker::DrawEntry(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
                                picker_.EntryColor(index.row()),
                                (option.state & QStyle::State_Selected) != 0, option.palette);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(TColorPicker::kEntryHeight);
        return size;
    }

  private:
    TColorPicker& picker_;
};

}  // namespace

QColor ColorToQColor(uint32_t value) {
    if ((value & kSystemColorFlag) != 0) {
        return QApplication::palette().color(SystemColorRole(value & ~kSystemColorFlag));
    }
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

uint32_t QColorToColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8) |
           (static_cast<uint32_t>(rgb.blue()) << 16);
}

TColorPicker::TColorPicker(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setItemDelegate(new TColorEntryDelegate(*this));
    addItem(tr("Skin Default"));
    for (const TStandardColor& color : kStandardColors) {
        addItem(tr(color.Name));
    }
    addItem(tr("Custom..."));
    setCurrentIndex(kSkinDefaultIndex);
}

uint32_t TColorPicker::EntryColor(int index) const {
    if (index == kSkinDefaultIndex) {
        return kNoSkinColor;
    }
    if (index >= 1 && index <= static_cast<int>(kStandardColors.size())) {
        return kStandardColors[static_cast<size_t>(index - 1)].Value;
    }
    return customColor_;
}

void TColorPicker::SetCustomColor(uint32_t color) {
    customColor_ = color;
    update();
}

void TColorPicker::DrawEntry(QPainter& painter, const QRect& rect, const QString& text,
                             uint32_t color, bool selected, const QPalette& palette) {
    painter.save();
    painter.fillRect(rect,
                     selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base));
    if (color != kNoSkinColor) {
        // A swatch from x + 1 to x + 21 (exclusive) and y + 1 to bottom - 1 (exclusive),
        // outlined in black.
        painter.setPen(Qt::black);
        painter.setBrush(ColorToQColor(color));
        painter.drawRect(QRect(rect.left() + 1, rect.top() + 1, 19, rect.height() - 3));
    }
    painter.setPen(selected ? palette.color(QPalette::HighlightedText)
                            : palette.color(QPalette::Text));
    const QRect textRect = rect.adjusted(24, 0, 0, 0);
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width(),
                                                           Qt::TextSingleLine);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter.restore();
}

void TColorPicker::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawEntry(painter, field, currentText(), EntryColor(currentIndex()), hasFocus(), palette());
}

}  // namespace quobel
