#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/font_record.h"
#include "core/ini_file.h"

namespace quobel {

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

    void ReadFont(std::string_view section, TFontRecord& font);
    void WriteFont(std::string_view section, const TFontRecord& font);

  private:
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

  private:
    TOptions& options_;
};

}  // namespace quobel
