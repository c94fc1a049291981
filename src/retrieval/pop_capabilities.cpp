#include "retrieval/pop_capabilities.h"

#include <charconv>

#include "core/strings.h"

namespace quobel {
namespace {

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    size_t position = 0;
    while (position < text.size()) {
        const size_t begin = text.find_first_not_of(" \t", position);
        if (begin == std::string_view::npos) {
            break;
        }
        const size_t end = std::min(text.find_first_of(" \t", begin), text.size());
        words.emplace_back(text.substr(begin, end - begin));
        position = end;
    }
    return words;
}

}  // namespace

TPopCapabilities::TPopCapabilities(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::string_view trimmed = TrimIf(line, IsBlankOrAsciiControl);
        if (!trimmed.empty()) {
            lines_.emplace_back(trimmed);
        }
    }
}

const std::string* TPopCapabilities::Find(std::string_view keyword) const {
    for (const std::string& line : lines_) {
        const std::vector<std::string> words = Words(line);
        if (!words.empty() && SameTextAscii(words.front(), keyword)) {
            return &line;
        }
    }
    return nullptr;
}

bool TPopCapabilities::Has(std::string_view keyword) const {
    return Find(keyword) != nullptr;
}

std::vector<std::string> TPopCapabilities::Arguments(std::string_view keyword) const {
    const std::string* line = Find(keyword);
    if (line == nullptr) {
        return {};
    }
    std::vector<std::string> words = Words(*line);
    words.erase(words.begin());
    return words;
}

std::optional<int> TPopCapabilities::LoginDelaySeconds() const {
    const std::vector<std::string> arguments = Arguments("LOGIN-DELAY");
    if (arguments.empty()) {
        return std::nullopt;
    }
    const std::string& text = arguments.front();
    int seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds < 0) {
        return std::nullopt;
    }
    return seconds;
}

}  // namespace quobel
