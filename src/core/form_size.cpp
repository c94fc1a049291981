#include "core/form_size.h"

#include <memory>

#include "core/ini_file.h"
#include "core/settings_table.h"

namespace quobel {

TOrvaneFormSize::TOrvaneFormSize(PlacedWindow& owner, std::string section)
    : Section(std::move(section)), owner_(owner) {}

void TOrvaneFormSize::Loaded() {
    if (AutoSave) {
        Restore();
    }
}

void TOrvaneFormSize::Destroying() {
    if (AutoSave) {
        Save();
    }
}

template <typename Action>
void TOrvaneFormSize::WithIni(Action action) {
    TIniFile* ini = nullptr;
    if (FileName.empty() && OnOpen) {
        OnOpen(*this, ini);
    }
    std::unique_ptr<TIniFile> own;
    if (ini == nullptr) {
        own = std::make_unique<TIniFile>(FileName);
        ini = own.get();
    }
    // The lent object goes back to its owner on every path, also after an error.
    struct Release {
        TOrvaneFormSize& self;
        TIniFile*& ini;
        bool owned;
        ~Release() {
            if (!owned && self.FileName.empty() && self.OnClose) {
                self.OnClose(self, ini);
            }
        }
    } release{*this, ini, own != nullptr};
    action(*ini);
}

void TOrvaneFormSize::Restore() {
    WithIni([this](TIniFile& ini) {
        // With nothing stored the window stays where the window system puts it; setting its
        // design position would pin it there, under a bar docked at that edge for instance.
        if (!ini.SectionExists(Section)) {
            return;
        }
        WindowPlacement placement = owner_.Placement();
        placement.Left = ini.ReadInteger(Section, settings::kPlacementLeft, placement.Left);
        placement.Top = ini.ReadInteger(Section, settings::kPlacementTop, placement.Top);
        placement.Width = ini.ReadInteger(Section, settings::kPlacementWidth, placement.Width);
        placement.Height = ini.ReadInteger(Section, settings::kPlacementHeight, placement.Height);
        placement.State = ini.ReadInteger(Section, settings::kPlacementState, placement.State);
        // A state the window does not know (a hand-edited file) restores as normal.
        if (placement.State < 0 || placement.State > 2) {
            placement.State = 0;
        }
        owner_.SetPlacement(placement);
    });
}

void TOrvaneFormSize::Save() {
    WithIni([this](TIniFile& ini) {
        const WindowPlacement placement = owner_.Placement();
        TIniFile::Batch batch(ini);
        ini.WriteInteger(Section, settings::kPlacementState, placement.State);
        if (placement.State != 0) {
            return;  // the last normal bounds stay in the file
        }
        ini.WriteInteger(Section, settings::kPlacementLeft, placement.Left);
        ini.WriteInteger(Section, settings::kPlacementTop, placement.Top);
        ini.WriteInteger(Section, settings::kPlacementWidth, placement.Width);
        ini.WriteInteger(Section, settings::kPlacementHeight, placement.Height);
    });
}

}  // namespace quobel
