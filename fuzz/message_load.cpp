// Loads arbitrary bytes as a message, as the reader does with a cache file, and checks that the
// decoder gives the same events whatever the block split.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "message/mime_decode.h"
#include "message/qb_message.h"
#include "message/shown_text.h"

namespace {

std::string Trace(std::string_view text, std::size_t split) {
    quobel::TMimeDecode decoder;
    std::string trace;
    decoder.OnPartBegin = [&](quobel::TMimeDecode& d) {
        trace += "B" + std::to_string(d.PartNumber) + d.PartContentType + "|";
    };
    decoder.OnPartLine = [&](quobel::TMimeDecode& d, const char* data, std::size_t length) {
        trace += "L" + std::to_string(d.PartNumber) + ":";
        trace.append(data, length);
    };
    decoder.OnPartEnd = [&](quobel::TMimeDecode&) { trace += "E"; };
    decoder.OnHeaderLine = [&](quobel::TMimeDecode& d) {
        trace += "H";
        trace += d.CurrentLine();
    };
    decoder.Begin();
    decoder.Feed(text.substr(0, split));
    decoder.Feed(text.substr(split));
    decoder.Finish();
    return trace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    quobel::TQBMessage message;
    message.LoadFromText(std::string(text));
    const std::string shown = quobel::ShownText(message);
    (void)shown;
    if (size > 0 && Trace(text, 0) != Trace(text, size * data[0] / 256)) {
        std::abort();
    }
    return 0;
}
