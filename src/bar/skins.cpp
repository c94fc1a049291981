#include "bar/skins.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/error.h"
#include "core/file_util.h"
#include "core/strings.h"

namespace quobel {
namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const int order = CompareTextAscii(a, b);
    return order != 0 ? order < 0 : a < b;
}

}  // namespace

void TSkins::LoadFromFolder(const std::string& folder) {
    std::string selected;
    {
        OptionsScope scope(options_);
        selected = scope.Read(settings::kBarSkin);
    }

    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        // A name with a dot has an extension or is hidden ("." and ".." included).
        if (name.empty() || name.find('.') != std::string::npos) {
            continue;
        }
        names.push_back(std::move(name));
    }
    // The directory's own order differs between file systems; a sorted list keeps the first
    // skin, and with it the default choice, the same everywhere.
    std::sort(names.begin(), names.end(), LessIgnoringCase);

    for (const std::string& name : names) {
        if (selected.empty()) {
            selected = name;
        }
        items_.push_back(std::make_unique<TSkin>(name, JoinPath(folder, name)));
        if (name == selected) {
            current_ = items_.back().get();
        }
    }
}

void TSkins::SetCurrent(TSkin* skin) {
    if (skin == current_) {
        return;
    }
    current_ = skin;
    OptionsScope scope(options_);
    scope.Write(settings::kBarSkin, skin != nullptr ? skin->Name : "");
}

TSkin* TSkins::LoadFirstUsable(TSkin* preferred, std::vector<std::string>* failures) {
    const auto tryLoad = [failures](TSkin& skin) {
        try {
            skin.Load();
            return true;
        } catch (const Error& error) {
            if (failures != nullptr) {
                failures->push_back("Skin \"" + skin.Name + "\": " + error.what());
            }
            return false;
        }
    };
    if (preferred != nullptr && tryLoad(*preferred)) {
        return preferred;
    }
    for (const auto& skin : items_) {
        if (skin.get() != preferred && tryLoad(*skin)) {
            return skin.get();
        }
    }
    return nullptr;
}

}  // namespace quobel
