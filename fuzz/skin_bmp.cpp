// Skin bitmaps come from folders anyone can drop beside the program: the reader must turn any
// byte string into an image or an Error, never a crash or a huge allocation.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bar/bmp_image.h"
#include "core/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const quobel::TBmpImage image =
            quobel::TBmpImage::Decode(std::string_view(reinterpret_cast<const char*>(data), size));
        if (!image.Empty()) {
            // Touch the corners so a wrong size shows as an out-of-bounds read.
            volatile uint32_t sink =
                image.Pixel(0, 0) ^ image.Pixel(image.Width() - 1, image.Height() - 1);
            (void)sink;
        }
    } catch (const quobel::Error&) {
    }
    return 0;
}
