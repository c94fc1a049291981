#include "cycle/cycle_events.h"

namespace quobel {

std::string StatusPanelText(const std::string& text, uint8_t kind) {
    return kind <= 4 ? std::to_string(kind) + "|" + text : text;
}

}  // namespace quobel
