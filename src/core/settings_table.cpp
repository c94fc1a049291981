#include "core/settings_table.h"

#include <array>

namespace quobel {
namespace {

using enum SettingType;
using namespace settings;

constexpr SettingKey Entry(const TSettingKey<bool>& key) {
    return {key.Section, key.Key, Boolean, key.Default ? 1 : 0, {}, std::nullopt};
}
constexpr SettingKey Entry(const TSettingKey<bool>& key, const TSettingKey<bool>& dialog) {
    return {key.Section, key.Key, Boolean, key.Default ? 1 : 0, {}, dialog.Default ? 1 : 0};
}
constexpr SettingKey Entry(const TSettingKey<int32_t>& key) {
    return {key.Section, key.Key, Integer, key.Default, {}, std::nullopt, key.Minimum};
}
constexpr SettingKey Entry(const TSettingKey<std::string_view>& key) {
    return {key.Section, key.Key, String, std::nullopt, key.Default, std::nullopt};
}
constexpr SettingKey Entry(const TCurrentKey& key) {
    return {key.Section, key.Key, Integer, std::nullopt, {}, std::nullopt};
}
constexpr SettingKey Entry(const TFontKey& key) {
    return {key.Section, "", Font, std::nullopt, "", std::nullopt};
}
constexpr SettingKey Entry(const TPlacementKey& key, std::string_view field) {
    return {key.Section, field, Integer, std::nullopt, {}, std::nullopt};
}

constexpr std::array kTable = {
    Entry(kCheck),
    Entry(kInterval),
    Entry(kSound),
    Entry(kSoundFile),
    Entry(kSmilies),
    Entry(kNoReplySig),
    Entry(kTaskDetails),
    Entry(kNewWindow, kNewWindowInDialog),
    Entry(kAlwaysText),
    Entry(kReaderFont),
    Entry(kBarVisible),
    Entry(kBarSkin),
    Entry(kBarAutoHide, kBarAutoHideInDialog),
    Entry(kBarButtonWidth),
    Entry(kBarScroll),
    Entry(kBarScrollTime),
    Entry(kBarEdge),
    Entry(kBarLeft),
    Entry(kBarTop),
    Entry(kBarWidth),
    Entry(kPreview),
    Entry(kContacts),
    Entry(kReaderHeight),
    Entry(kContactsHeight),
    Entry(kConfirmDelete),
    Entry(kNotifyMode),
    Entry(kQuietHours),
    Entry(kQuietFrom),
    Entry(kQuietTo),
    Entry(kDoNotDisturb),
    Entry(kMsgListPlacement, kPlacementLeft),
    Entry(kMsgListPlacement, kPlacementTop),
    Entry(kMsgListPlacement, kPlacementWidth),
    Entry(kMsgListPlacement, kPlacementHeight),
    Entry(kMsgListPlacement, kPlacementState),
    Entry(kReaderPlacement, kPlacementLeft),
    Entry(kReaderPlacement, kPlacementTop),
    Entry(kReaderPlacement, kPlacementWidth),
    Entry(kReaderPlacement, kPlacementHeight),
    Entry(kReaderPlacement, kPlacementState),
};

}  // namespace

std::span<const SettingKey> SettingsTable() {
    return kTable;
}

}  // namespace quobel
