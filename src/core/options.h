#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/font_record.h"
#include "core/ini_file.h"
#include "core/settings_table.h"

namespace quobel {

// One registry key in an open settings file. A key with a default reads as that default when
// it is missing; the form with a fallback reads as the fallback instead (what the caller has
// now). A "current" key has no default, so it is read only with a fallback.
bool ReadSetting(const TIniFile& ini, const TSettingKey<bool>& key);
bool ReadSetting(const TIniFile& ini, const TSettingKey<bool>& key, bool fallback);
int32_t ReadSetting(const TIniFile& ini, const TSettingKey<int32_t>& key);
int32_t ReadSetting(const TIniFile& ini, const TSettingKey<int32_t>& key, int32_t fallback);
int32_t ReadSetting(const TIniFile& ini, const TCurrentKey& key, int32_t fallback);
std::string ReadSetting(const TIniFile& ini, const TSettingKey<std::string_view>& key);
TFontRecord ReadSetting(const TIniFile& ini, const TFontKey& key);

void WriteSetting(TIniFile& ini, const TSettingKey<bool>& key, bool value);
void WriteSetting(TIniFile& ini, const TSettingKey<int32_t>& key, int32_t value);
void WriteSetting(TIniFile& ini, const TCurrentKey& key, int32_t value);
void WriteSetting(TIniFile& ini, const TSettingKey<std::string_view>& key, std::string_view value);
// The seven keys of a font reach the file in one update.
void WriteSetting(TIniFile& ini, const TFontKey& key, const TFontRecord& font);

// The settings file with its counted open/close discipline: nested Open/Close pairs share one
// INI file object, which the outermost Close frees.
class TOptions {
  public:
    explicit TOptions(std::string fileName);

    void Open();
    void Close();
    // Valid only between Open and the matching Close.
    TIniFile& Ini();

    const std::string& FileName() const { return fileName_; }
    int OpenCount() const { return openCount_; }

    // One key, opening the file for the call when no caller has it open.
    template <typename Key, typename... Fallback>
    auto Read(const Key& key, const Fallback&... fallback) {
        Open();
        const Closer closer{*this};
        return ReadSetting(std::as_const(Ini()), key, fallback...);
    }
    template <typename Key, typename Value>
    void Write(const Key& key, const Value& value) {
        Open();
        const Closer closer{*this};
        WriteSetting(Ini(), key, value);
    }

    void ReadFont(const TFontKey& key, TFontRecord& font);
    void WriteFont(const TFontKey& key, const TFontRecord& font);

  private:
    struct Closer {
        TOptions& options;
        ~Closer() { options.Close(); }
    };

    std::string fileName_;
    int openCount_ = 0;
    std::unique_ptr<TIniFile> ini_;
};

// Opens the settings for one scope: the Close happens on every path out of it.
class OptionsScope {
  public:
    explicit OptionsScope(TOptions& options) : options_(options) { options_.Open(); }
    ~OptionsScope() { options_.Close(); }
    OptionsScope(const OptionsScope&) = delete;
    OptionsScope& operator=(const OptionsScope&) = delete;
    TIniFile& Ini() { return options_.Ini(); }

    template <typename Key, typename... Fallback>
    auto Read(const Key& key, const Fallback&... fallback) {
        return options_.Read(key, fallback...);
    }
    template <typename Key, typename Value>
    void Write(const Key& key, const Value& value) {
        options_.Write(key, value);
    }

  private:
    TOptions& options_;
};

}  // namespace quobel
