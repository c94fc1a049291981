#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bar/skin.h"
#include "core/options.h"

namespace quobel {

// The skins found in the skins folder, in listing order, and the selected one. The choice is
// kept in the settings file ("Bar"/"Skin").
class TSkins {
  public:
    explicit TSkins(TOptions& options) : options_(options) {}

    // Lists the entries of `folder` without an extension (folders and plain files; hidden ones
    // and "." and ".." skipped), sorted by name without regard to letter case, and selects the
    // stored skin (the first one when none is stored; none when the stored name matches no
    // entry exactly).
    void LoadFromFolder(const std::string& folder);

    int Count() const { return static_cast<int>(items_.size()); }
    TSkin& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
    TSkin* Current() const { return current_; }
    // Makes `skin` current and stores its name, unless it is current already.
    void SetCurrent(TSkin* skin);

    // Loads `preferred` or, when it is absent or fails to load, the first skin of the list that
    // loads. Returns that skin, or nullptr when none loads. Each failure adds a text naming the
    // skin to `failures`. Neither Current nor the settings change.
    TSkin* LoadFirstUsable(TSkin* preferred, std::vector<std::string>* failures = nullptr);

  private:
    TOptions& options_;
    std::vector<std::unique_ptr<TSkin>> items_;
    TSkin* current_ = nullptr;
};

}  // namespace quobel
