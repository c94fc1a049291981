#include "bar/bmp_image.h"

#include <bit>

#include "core/error.h"
#include "core/file_util.h"

namespace quobel {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kFileHeaderSize = 14;

[[noreturn]] void Invalid(const std::string& why) {
    throw Error("Bitmap image is not valid: " + why);
}

uint32_t U16(std::string_view b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}

uint32_t U32(std::string_view b, size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

// Scales a masked channel value to 8 bits.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    explicit TChannel(uint32_t mask) : Mask(mask) {
        if (mask != 0) {
            Shift = std::countr_zero(mask);
            Bits = std::popcount(mask);
        }
    }
    uint32_t Value(uint32_t pixel) const {
        if (Bits == 0) {
            return 0;
        }
        const uint32_t raw = (pixel & Mask) >> Shift;
        if (Bits >= 8) {
            return raw >> (Bits - 8);
        }
        const uint32_t max = (1u << Bits) - 1;
        return (raw * 255 + max / 2) / max;
    }
};

bool Contiguous(uint32_t mask) {
    if (mask == 0) {
        return true;
    }
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

}  // namespace

TBmpImage::TBmpImage(int32_t width, int32_t height)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u) {}

TBmpImage TBmpImage::Decode(std::string_view b) {
    if (b.size() < kFileHeaderSize + 12) {
        Invalid("the file is too short");
    }
    if (b[0] != 'B' || b[1] != 'M') {
        Invalid("the file does not start with \"BM\"");
    }
    const uint64_t dataOffset = U32(b, 10);
    const uint32_t headerSize = U32(b, kFileHeaderSize);
    const size_t info = kFileHeaderSize;

    int64_t width = 0;
    int64_t height = 0;
    uint32_t planes = 0;
    uint32_t bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t colorsUsed = 0;
    size_t paletteEntrySize = 4;
    uint32_t masks[3] = {0, 0, 0};
    size_t afterHeader = 0;

    if (headerSize == 12) {
        // The core header's sizes are unsigned: its rows are always stored bottom-up.
        width = U16(b, info + 4);
        height = U16(b, info + 6);
        planes = U16(b, info + 8);
        bitCount = U16(b, info + 10);
        paletteEntrySize = 3;
        afterHeader = info + 12;
    } else if (headerSize >= 40 && headerSize <= 1024) {
        if (b.size() < info + headerSize) {
            Invalid("the header is truncated");
        }
        width = static_cast<int32_t>(U32(b, info + 4));
        height = static_cast<int32_t>(U32(b, info + 8));
        planes = U16(b, info + 12);
        bitCount = U16(b, info + 14);
        compression = U32(b, info + 16);
        colorsUsed = U32(b, info + 32);
        afterHeader = info + headerSize;
        if (compression == kBiBitfields) {
            if (headerSize >= 52) {
                masks[0] = U32(b, info + 40);
                masks[1] = U32(b, info + 44);
                masks[2] = U32(b, info + 48);
            } else {
                if (b.size() < afterHeader + 12) {
                    Invalid("the colour masks are truncated");
                }
                masks[0] = U32(b, afterHeader);
                masks[1] = U32(b, afterHeader + 4);
                masks[2] = U32(b, afterHeader + 8);
                afterHeader += 12;
            }
        }
    } else {
        Invalid("unknown header size " + std::to_string(headerSize));
    }

    if (planes != 1) {
        Invalid("the plane count is not 1");
    }
    const bool topDown = height < 0;
    if (topDown) {
        height = -height;
    }
    if (width < 0 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) {
        Invalid("unsupported size " + std::to_string(width) + " x " + std::to_string(height));
    }
    const bool paletted = bitCount == 1 || bitCount == 4 || bitCount == 8;
    if (compression == kBiRgb) {
        if (!paletted && bitCount != 16 && bitCount != 24 && bitCount != 32) {
            Invalid("unsupported bit count " + std::to_string(bitCount));
        }
    } else if (compression == kBiBitfields) {
        if (bitCount != 16 && bitCount != 32) {
            Invalid("bit-field masks with bit count " + std::to_string(bitCount));
        }
        for (const uint32_t mask : masks) {
            if (!Contiguous(mask)) {
                Invalid("a colour mask is not contiguous");
            }
        }
    } else {
        Invalid("compressed bitmaps are not supported");
    }
    if (compression == kBiRgb && bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (compression == kBiRgb && bitCount == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }

    std::vector<uint32_t> palette;
    if (paletted) {
        const uint32_t maxColors = 1u << bitCount;
        const uint32_t count = colorsUsed == 0 ? maxColors : colorsUsed;
        if (count > maxColors) {
            Invalid("the palette has " + std::to_string(count) + " colours");
        }
        if (b.size() < afterHeader + count * paletteEntrySize) {
            Invalid("the palette is truncated");
        }
        palette.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const size_t at = afterHeader + i * paletteEntrySize;
            palette[i] = 0xFF000000u |
                         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
                         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
                         static_cast<uint8_t>(b[at]);
        }
    }

    const uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (dataOffset > b.size() || stride * static_cast<uint64_t>(height) > b.size() - dataOffset) {
        Invalid("the pixel data is truncated");
    }

    TBmpImage image(static_cast<int32_t>(width), static_cast<int32_t>(height));
    const TChannel red(masks[0]);
    const TChannel green(masks[1]);
    const TChannel blue(masks[2]);
    for (int32_t row = 0; row < image.height_; ++row) {
        const int32_t y = topDown ? row : image.height_ - 1 - row;
        const std::string_view line =
            b.substr(dataOffset + stride * static_cast<uint64_t>(row), stride);
        for (int32_t x = 0; x < image.width_; ++x) {
            uint32_t argb = 0xFF000000u;
            if (paletted) {
                const uint64_t bit = static_cast<uint64_t>(x) * bitCount;
                const uint32_t byte = static_cast<uint8_t>(line[bit / 8]);
                const uint32_t shift = 8 - bitCount - static_cast<uint32_t>(bit % 8);
                const uint32_t index = (byte >> shift) & ((1u << bitCount) - 1);
                // Windows draws an index beyond the palette as black.
                argb = index < palette.size() ? palette[index] : 0xFF000000u;
            } else if (bitCount == 24) {
                const size_t at = static_cast<size_t>(x) * 3;
                argb |= static_cast<uint32_t>(static_cast<uint8_t>(line[at + 2])) << 16 |
                        static_cast<uint32_t>(static_cast<uint8_t>(line[at + 1])) << 8 |
                        static_cast<uint8_t>(line[at]);
            } else {
                const size_t at = static_cast<size_t>(x) * (bitCount / 8);
                const uint32_t value = bitCount == 16 ? U16(line, at) : U32(line, at);
                argb |= red.Value(value) << 16 | green.Value(value) << 8 | blue.Value(value);
            }
            image.SetPixel(x, y, argb);
        }
    }
    return image;
}

TBmpImage TBmpImage::LoadFromFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        throw Error("Cannot open file \"" + path + "\".");
    }
    try {
        return Decode(bytes);
    } catch (const Error& error) {
        throw Error(std::string(error.what()) + " (" + path + ")");
    }
}

}  // namespace quobel
