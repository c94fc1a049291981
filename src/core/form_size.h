#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quobel {

class TIniFile;

// What the placement memory needs of a window: its bounds and its state.
struct WindowPlacement {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    int32_t State = 0;  // 0 normal, 1 minimised, 2 maximised
};

class PlacedWindow {
  public:
    virtual ~PlacedWindow() = default;
    virtual WindowPlacement Placement() const = 0;
    // Bounds are the normal (restored) bounds; the state is applied after them.
    virtual void SetPlacement(const WindowPlacement& placement) = 0;
};

// Remembers a window's position, size and state between runs in one section of an INI file:
// restored once when the window has been created, saved once when it is destroyed. The file is
// either FileName or, when that is empty, an INI object the owner lends through OnOpen/OnClose.
class TOrvaneFormSize {
  public:
    using OpenEvent = std::function<void(TOrvaneFormSize& sender, TIniFile*& ini)>;
    using CloseEvent = std::function<void(TOrvaneFormSize& sender, TIniFile*& ini)>;

    TOrvaneFormSize(PlacedWindow& owner, std::string section);

    bool AutoSave = true;
    std::string FileName;
    std::string Section;
    OpenEvent OnOpen;
    CloseEvent OnClose;

    // Called once the owner window exists: restores when AutoSave is set.
    void Loaded();
    // Called while the owner window is destroyed: saves when AutoSave is set.
    void Destroying();

    void Restore();
    void Save();

  private:
    template <typename Action>
    void WithIni(Action action);

    PlacedWindow& owner_;
};

}  // namespace quobel
