#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quobel::test {

// Little-endian byte helpers for hand-made bitmap files.
inline void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct TBmpSpec {
    int32_t Width = 0;
    int32_t Height = 0;  // negative: rows stored top-down
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    std::vector<uint32_t> Palette;  // 0x00RRGGBB
    std::vector<uint32_t> Masks;    // bit-field masks (written after a 40-byte header)
    // Raw value of pixel (x, y), y counted from the top: a palette index, or the packed pixel.
    std::function<uint32_t(int32_t, int32_t)> Value;
};

// A bitmap file as Windows writes one: file header, 40-byte info header, masks, palette,
// padded rows.
inline std::string MakeBmp(const TBmpSpec& spec) {
    const int32_t height = spec.Height < 0 ? -spec.Height : spec.Height;
    const uint32_t stride = (static_cast<uint32_t>(spec.Width) * spec.BitCount + 31) / 32 * 4;
    std::string pixels;
    for (int32_t row = 0; row < height; ++row) {
        const int32_t y = spec.Height < 0 ? row : height - 1 - row;
        std::string line(stride, '\0');
        for (int32_t x = 0; x < spec.Width; ++x) {
            const uint32_t v = spec.Value ? spec.Value(x, y) : 0;
            const uint32_t bit = static_cast<uint32_t>(x) * spec.BitCount;
            if (spec.BitCount < 8) {
                const uint32_t shift = 8 - spec.BitCount - bit % 8;
                line[bit / 8] =
                    static_cast<char>(static_cast<uint8_t>(line[bit / 8]) | (v << shift));
            } else {
                for (uint32_t b = 0; b < spec.BitCount / 8u; ++b) {
                    line[bit / 8 + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
                }
            }
        }
        pixels += line;
    }
    std::string extra;
    for (const uint32_t mask : spec.Masks) {
        Put32(extra, mask);
    }
    for (const uint32_t color : spec.Palette) {
        Put32(extra, color);
    }
    std::string out = "BM";
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(extra.size());
    Put32(out, offset + static_cast<uint32_t>(pixels.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(spec.Width));
    Put32(out, static_cast<uint32_t>(spec.Height));
    Put16(out, 1);
    Put16(out, spec.BitCount);
    Put32(out, spec.Compression);
    Put32(out, static_cast<uint32_t>(pixels.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<uint32_t>(spec.Palette.size()));
    Put32(out, 0);
    return out + extra + pixels;
}

// A 24-bit bitmap of one colour (0x00RRGGBB).
inline std::string SolidBmp(int32_t width, int32_t height, uint32_t rgb = 0x336699) {
    TBmpSpec spec;
    spec.Width = width;
    spec.Height = height;
    spec.Value = [rgb](int32_t, int32_t) { return rgb; };
    return MakeBmp(spec);
}

}  // namespace quobel::test
