#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quobel {

// A decoded Windows bitmap: rows from the top, one 0xFFRRGGBB value per pixel (the layout of an
// opaque 32-bit image in the user interface's toolkit).
class TBmpImage {
  public:
    TBmpImage() = default;
    // A blank (black) image of the given size.
    TBmpImage(int32_t width, int32_t height);

    // Uncompressed bitmaps with 1, 4, 8, 16, 24 or 32 bits per pixel (16 and 32 also with
    // bit-field masks), bottom-up or top-down, with the core or any later info header.
    // Throws Error for anything else, and for truncated or inconsistent files.
    static TBmpImage Decode(std::string_view bytes);
    // Throws Error when the file cannot be read or is not a readable bitmap.
    static TBmpImage LoadFromFile(const std::string& path);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    uint32_t Pixel(int32_t x, int32_t y) const {
        return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) +
                       static_cast<size_t>(x)];
    }
    void SetPixel(int32_t x, int32_t y, uint32_t argb) {
        pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] =
            argb;
    }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }

    // Limits that keep a hostile file from asking for huge allocations.
    static constexpr int32_t kMaxSide = 16384;
    static constexpr int64_t kMaxPixels = int64_t{16} * 1024 * 1024;

  private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace quobel
