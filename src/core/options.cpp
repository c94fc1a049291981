#include "core/options.h"

#include <algorithm>

#include "core/error.h"

namespace quobel {

bool ReadSetting(const TIniFile& ini, const TSettingKey<bool>& key) {
    return ini.ReadBool(key.Section, key.Key, key.Default);
}

bool ReadSetting(const TIniFile& ini, const TSettingKey<bool>& key, bool fallback) {
    return ini.ReadBool(key.Section, key.Key, fallback);
}

int32_t ReadSetting(const TIniFile& ini, const TSettingKey<int32_t>& key) {
    return ReadSetting(ini, key, key.Default);
}

int32_t ReadSetting(const TIniFile& ini, const TSettingKey<int32_t>& key, int32_t fallback) {
    const int32_t value = ini.ReadInteger(key.Section, key.Key, fallback);
    return key.Minimum ? std::max(value, *key.Minimum) : value;
}

int32_t ReadSetting(const TIniFile& ini, const TCurrentKey& key, int32_t fallback) {
    return ini.ReadInteger(key.Section, key.Key, fallback);
}

std::string ReadSetting(const TIniFile& ini, const TSettingKey<std::string_view>& key) {
    return ini.ReadString(key.Section, key.Key, key.Default);
}

void WriteSetting(TIniFile& ini, const TSettingKey<bool>& key, bool value) {
    ini.WriteBool(key.Section, key.Key, value);
}

void WriteSetting(TIniFile& ini, const TSettingKey<int32_t>& key, int32_t value) {
    ini.WriteInteger(key.Section, key.Key, value);
}

void WriteSetting(TIniFile& ini, const TCurrentKey& key, int32_t value) {
    ini.WriteInteger(key.Section, key.Key, value);
}

void WriteSetting(TIniFile& ini, const TSettingKey<std::string_view>& key, std::string_view value) {
    ini.WriteString(key.Section, key.Key, value);
}

TFontRecord ReadSetting(const TIniFile& ini, const TFontKey& key) {
    const std::string_view section = key.Section;
    TFontRecord font;
    font.Name = ini.ReadString(section, "Name", "Courier New");
    font.Size = ini.ReadInteger(section, "Size", 8);
    font.Color = static_cast<uint32_t>(
        ini.ReadInteger(section, "Color", static_cast<int32_t>(kColorWindowText)));
    font.Bold = ini.ReadBool(section, "Style.Bold", false);
    font.Italic = ini.ReadBool(section, "Style.Italic", false);
    font.Underline = ini.ReadBool(section, "Style.Underline", false);
    font.StrikeOut = ini.ReadBool(section, "Style.Striktrough", false);
    return font;
}

void WriteSetting(TIniFile& ini, const TFontKey& key, const TFontRecord& font) {
    TIniFile::Batch batch(ini);
    const std::string_view section = key.Section;
    ini.WriteString(section, "Name", font.Name);
    ini.WriteInteger(section, "Size", font.Size);
    ini.WriteInteger(section, "Color", static_cast<int32_t>(font.Color));
    ini.WriteBool(section, "Style.Bold", font.Bold);
    ini.WriteBool(section, "Style.Italic", font.Italic);
    ini.WriteBool(section, "Style.Underline", font.Underline);
    ini.WriteBool(section, "Style.Striktrough", font.StrikeOut);
}

TOptions::TOptions(std::string fileName) : fileName_(std::move(fileName)) {}

void TOptions::Open() {
    if (openCount_ == 0) {
        ini_ = std::make_unique<TIniFile>(fileName_);
    }
    ++openCount_;
}

void TOptions::Close() {
    if (openCount_ <= 0) {
        return;
    }
    if (--openCount_ == 0) {
        ini_.reset();
    }
}

TIniFile& TOptions::Ini() {
    if (!ini_) {
        throw Error("The settings file is not open");
    }
    return *ini_;
}

void TOptions::ReadFont(const TFontKey& key, TFontRecord& font) {
    font = Read(key);
}

void TOptions::WriteFont(const TFontKey& key, const TFontRecord& font) {
    Write(key, font);
}

}  // namespace quobel
