#include "core/options.h"

#include "core/error.h"

namespace quobel {

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

void TOptions::ReadFont(std::string_view section, TFontRecord& font) {
    OptionsScope scope(*this);
    const TIniFile& ini = scope.Ini();
    font.Name = ini.ReadString(section, "Name", "Courier New");
    font.Size = ini.ReadInteger(section, "Size", 8);
    font.Color = static_cast<uint32_t>(
        ini.ReadInteger(section, "Color", static_cast<int32_t>(kColorWindowText)));
    font.Bold = ini.ReadBool(section, "Style.Bold", false);
    font.Italic = ini.ReadBool(section, "Style.Italic", false);
    font.Underline = ini.ReadBool(section, "Style.Underline", false);
    font.StrikeOut = ini.ReadBool(section, "Style.Striktrough", false);
}

void TOptions::WriteFont(std::string_view section, const TFontRecord& font) {
    OptionsScope scope(*this);
    TIniFile& ini = scope.Ini();
    TIniFile::Batch batch(ini);
    ini.WriteString(section, "Name", font.Name);
    ini.WriteInteger(section, "Size", font.Size);
    ini.WriteInteger(section, "Color", static_cast<int32_t>(font.Color));
    ini.WriteBool(section, "Style.Bold", font.Bold);
    ini.WriteBool(section, "Style.Italic", font.Italic);
    ini.WriteBool(section, "Style.Underline", font.Underline);
    ini.WriteBool(section, "Style.Striktrough", font.StrikeOut);
}

}  // namespace quobel
