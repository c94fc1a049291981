#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quobel {

// Every key of "settings.ini" with its type and the default that the running system applies.
enum class SettingType { Boolean, Integer, String, Font };

struct SettingKey {
    std::string_view Section;
    std::string_view Key;  // empty for a font group (the seven keys of a font)
    SettingType Type;
    // Defaults; "current" keys (window placement, floating bar position) have none.
    std::optional<int32_t> IntegerDefault;
    std::string_view StringDefault;
    // A second default where another reader applies a different one (the Options dialog).
    std::optional<int32_t> DialogDefault;
};

std::span<const SettingKey> SettingsTable();

}  // namespace quobel
