#include <algorithm>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/file_util.h"
#include "core/options.h"
#include "core/settings_table.h"

namespace quobel::inspect {

int RunSettings(const Arguments& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quobel-inspect settings FILE\n");
        return 1;
    }
    const std::string& path = args[0];
    std::string probe;
    if (FileExists(path) && !ReadWholeFile(path, probe)) {
        std::fprintf(stderr, "quobel-inspect: cannot read settings file %s\n", path.c_str());
        return 1;
    }
    if (!FileExists(path) && FolderExists(path)) {
        std::fprintf(stderr, "quobel-inspect: %s is a folder, not a settings file\n", path.c_str());
        return 1;
    }
    // A missing file reads as all defaults, as it does for the application.
    TOptions options(path);
    OptionsScope scope(options);
    const TIniFile& ini = scope.Ini();
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const SettingKey& key : SettingsTable()) {
        nlohmann::ordered_json& section = json[std::string(key.Section)];
        const std::string name(key.Key);
        switch (key.Type) {
            case SettingType::Boolean:
                section[name] = ini.ReadBool(key.Section, key.Key, *key.IntegerDefault != 0);
                if (key.DialogDefault) {
                    section[name + " (Options dialog)"] =
                        ini.ReadBool(key.Section, key.Key, *key.DialogDefault != 0);
                }
                break;
            case SettingType::Integer:
                if (key.IntegerDefault) {
                    const int32_t value =
                        ini.ReadInteger(key.Section, key.Key, *key.IntegerDefault);
                    section[name] =
                        key.IntegerMinimum ? std::max(value, *key.IntegerMinimum) : value;
                } else {
                    int32_t value = 0;
                    const bool present =
                        ParseIniInteger(ini.ReadString(key.Section, key.Key, ""), value);
                    section[name] = present ? nlohmann::ordered_json(value) : nullptr;
                }
                break;
            case SettingType::String:
                section[name] = ini.ReadString(key.Section, key.Key, key.StringDefault);
                break;
            case SettingType::Font: {
                TFontRecord font;
                options.ReadFont(TFontKey{key.Section}, font);
                section = {{"Name", font.Name},
                           {"Size", font.Size},
                           {"Color", font.Color},
                           {"Style.Bold", font.Bold},
                           {"Style.Italic", font.Italic},
                           {"Style.Underline", font.Underline},
                           {"Style.Striktrough", font.StrikeOut}};
                break;
            }
        }
    }
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return 0;
}

}  // namespace quobel::inspect
