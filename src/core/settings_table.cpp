#include "core/settings_table.h"

#include <array>

namespace quobel {
namespace {

using enum SettingType;

constexpr SettingKey Bool(std::string_view section, std::string_view key, bool value,
                          std::optional<int32_t> dialog = std::nullopt) {
    return {section, key, Boolean, value ? 1 : 0, {}, dialog};
}
constexpr SettingKey Int(std::string_view section, std::string_view key,
                         std::optional<int32_t> value) {
    return {section, key, Integer, value, {}, std::nullopt};
}
constexpr SettingKey Str(std::string_view section, std::string_view key) {
    return {section, key, String, std::nullopt, "", std::nullopt};
}

constexpr std::array kTable = {
    Bool("General", "Check", true),
    Int("General", "Interval", 5),
    Bool("General", "Sound", false),
    Str("General", "SoundFile"),
    Bool("General", "Smilies", false),
    Bool("General", "NoReplySig", false),
    Bool("General", "TaskDetails", false),
    Bool("Reader", "NewWindow", true, 0),
    Bool("Reader", "AlwaysText", false),
    SettingKey{"Reader.Font", "", Font, std::nullopt, "", std::nullopt},
    Bool("Bar", "Visible", true),
    Str("Bar", "Skin"),
    Bool("Bar", "AutoHide", false, 1),
    Int("Bar", "ButtonWidth", 150),
    Bool("Bar", "Scroll", true),
    Int("Bar", "ScrollTime", 5),
    Int("Bar", "Edge", 5),
    Int("Bar", "Left", std::nullopt),
    Int("Bar", "Top", std::nullopt),
    Int("Bar", "Width", std::nullopt),
    Bool("View", "Preview", true),
    Bool("View", "Contacts", true),
    Int("View", "ReaderHeight", 196),
    Int("View", "ContactsHeight", 123),
    Bool("Confirmations", "Delete", true),
    Int("MsgList", "Left", std::nullopt),
    Int("MsgList", "Top", std::nullopt),
    Int("MsgList", "Width", std::nullopt),
    Int("MsgList", "Height", std::nullopt),
    Int("MsgList", "State", std::nullopt),
    Int("Reader", "Left", std::nullopt),
    Int("Reader", "Top", std::nullopt),
    Int("Reader", "Width", std::nullopt),
    Int("Reader", "Height", std::nullopt),
    Int("Reader", "State", std::nullopt),
};

}  // namespace

std::span<const SettingKey> SettingsTable() {
    return kTable;
}

}  // namespace quobel
