#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quobel {

// Every key of "settings.ini", declared once: its section, its name, its type and the default
// the running system applies when the key is missing. Code reads and writes settings through
// these objects (TOptions::Read / Write), never through section and key strings of its own.

// A key with a default, and for a number the least value that makes sense: a smaller stored
// value (a hand-edited file) reads as the least.
template <typename T>
struct TSettingKey {
    std::string_view Section;
    std::string_view Key;
    T Default;
    std::optional<T> Minimum = std::nullopt;
};

// A key that remembers where something was ("current" window and bar placement): it has no
// default, a missing key leaves what the reader has now.
struct TCurrentKey {
    std::string_view Section;
    std::string_view Key;
};

// The seven keys of a font, in a section of their own.
struct TFontKey {
    // Implicit, so that a test can name a section of its own making.
    constexpr TFontKey(std::string_view section) : Section(section) {}
    constexpr TFontKey(const char* section) : Section(section) {}
    std::string_view Section;
};

// A window's remembered placement (Left, Top, Width, Height, State), in a section of its own.
struct TPlacementKey {
    std::string_view Section;
};

// The same key read with another default: what a second reader shows for a missing key.
template <typename T>
constexpr TSettingKey<T> WithDefault(const TSettingKey<T>& key, T value) {
    return {key.Section, key.Key, value, key.Minimum};
}

namespace settings {

inline constexpr TSettingKey<bool> kCheck{"General", "Check", true};
// Minutes; 0 would start checks back to back.
inline constexpr TSettingKey<int32_t> kInterval{"General", "Interval", 5, 1};
inline constexpr TSettingKey<bool> kSound{"General", "Sound", false};
inline constexpr TSettingKey<std::string_view> kSoundFile{"General", "SoundFile", ""};
inline constexpr TSettingKey<bool> kSmilies{"General", "Smilies", false};
inline constexpr TSettingKey<bool> kNoReplySig{"General", "NoReplySig", false};
inline constexpr TSettingKey<bool> kTaskDetails{"General", "TaskDetails", false};

inline constexpr TSettingKey<bool> kNewWindow{"Reader", "NewWindow", true};
inline constexpr TSettingKey<bool> kAlwaysText{"Reader", "AlwaysText", false};
inline constexpr TFontKey kReaderFont{"Reader.Font"};

inline constexpr TSettingKey<bool> kBarVisible{"Bar", "Visible", true};
inline constexpr TSettingKey<std::string_view> kBarSkin{"Bar", "Skin", ""};
inline constexpr TSettingKey<bool> kBarAutoHide{"Bar", "AutoHide", false};
inline constexpr TSettingKey<int32_t> kBarButtonWidth{"Bar", "ButtonWidth", 150};
inline constexpr TSettingKey<bool> kBarScroll{"Bar", "Scroll", true};
inline constexpr TSettingKey<int32_t> kBarScrollTime{"Bar", "ScrollTime", 5};  // seconds
inline constexpr TSettingKey<int32_t> kBarEdge{"Bar", "Edge", 5};
inline constexpr TCurrentKey kBarLeft{"Bar", "Left"};
inline constexpr TCurrentKey kBarTop{"Bar", "Top"};
inline constexpr TCurrentKey kBarWidth{"Bar", "Width"};

inline constexpr TSettingKey<bool> kPreview{"View", "Preview", true};
inline constexpr TSettingKey<bool> kContacts{"View", "Contacts", true};
inline constexpr TSettingKey<int32_t> kReaderHeight{"View", "ReaderHeight", 196};
inline constexpr TSettingKey<int32_t> kContactsHeight{"View", "ContactsHeight", 123};

inline constexpr TSettingKey<bool> kConfirmDelete{"Confirmations", "Delete", true};

// Desktop notifications: 0 none, 1 one per account and check, 2 one per message (see
// TNotifyMode). Quiet hours are minutes after midnight, local time; "from" after "to" spans
// midnight.
inline constexpr TSettingKey<int32_t> kNotifyMode{"Notifications", "Mode", 1};
inline constexpr TSettingKey<bool> kQuietHours{"Notifications", "QuietHours", false};
inline constexpr TSettingKey<int32_t> kQuietFrom{"Notifications", "QuietFrom", 22 * 60};
inline constexpr TSettingKey<int32_t> kQuietTo{"Notifications", "QuietTo", 7 * 60};
inline constexpr TSettingKey<bool> kDoNotDisturb{"Notifications", "DoNotDisturb", false};

// The keys of a placement section.
inline constexpr std::string_view kPlacementLeft = "Left";
inline constexpr std::string_view kPlacementTop = "Top";
inline constexpr std::string_view kPlacementWidth = "Width";
inline constexpr std::string_view kPlacementHeight = "Height";
inline constexpr std::string_view kPlacementState = "State";
inline constexpr TPlacementKey kMsgListPlacement{"MsgList"};
inline constexpr TPlacementKey kReaderPlacement{"Reader"};

// The Options dialog has always shown other defaults than the running program applies for
// these two keys: with no "NewWindow" it ticks "Re-use external readers windows" while the
// program opens a new reader window, and with no "AutoHide" it ticks "Auto-hide bar" while the
// bar does not hide. Saving the dialog writes what it shows; until then each reader keeps its own
// default, so both are declared here, side by side.
inline constexpr TSettingKey<bool> kNewWindowInDialog = WithDefault(kNewWindow, false);
inline constexpr TSettingKey<bool> kBarAutoHideInDialog = WithDefault(kBarAutoHide, true);

}  // namespace settings

// The registry as a list, for tools and tests that walk every key.
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
    // The least value an integer key reads as.
    std::optional<int32_t> IntegerMinimum = std::nullopt;
};

std::span<const SettingKey> SettingsTable();

}  // namespace quobel
