#include "ui/app/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace quobel::testing {
namespace {

// The folders (below a scratch root) that hold a "skins" folder, where the program runs from,
// and where it should find its skins and help.
struct LayoutCase {
    const char* name;
    std::vector<std::string> skinFolders;
    std::string executableFolder;
    std::string expected;
};

TEST(ProgramFolder, FindsSkinsBesideTheProgramOrBelowItsPrefix) {
    const std::vector<LayoutCase> cases = {
        {"build tree", {"build/src/ui"}, "build/src/ui", "build/src/ui"},
        {"installed", {"usr/share/quobel"}, "usr/bin", "usr/share/quobel"},
        {"a build tree wins over an installed copy",
         {"usr/bin", "usr/share/quobel"},
         "usr/bin",
         "usr/bin"},
        {"nothing anywhere keeps the program's folder", {}, "usr/bin", "usr/bin"},
        {"only another prefix's copy", {"opt/share/quobel"}, "usr/bin", "usr/bin"},
    };
    for (const LayoutCase& layout : cases) {
        SCOPED_TRACE(layout.name);
        const TempFolder root;
        for (const std::string& folder : layout.skinFolders) {
            std::filesystem::create_directories(root.File(folder) + "/skins");
        }
        std::filesystem::create_directories(root.File(layout.executableFolder));
        const std::string found = ProgramFolderFor(root.File(layout.executableFolder));
        EXPECT_EQ(std::filesystem::weakly_canonical(found),
                  std::filesystem::weakly_canonical(root.File(layout.expected)));
    }
}

TEST(ProgramFolder, KeepsTheDataFolder) {
    const TempFolder root;
    std::filesystem::create_directories(root.File("usr/share/quobel/skins"));
    const TApp app = WithInstalledProgramFolder(TApp(root.File("usr/bin"), "/home/someone/data"));
    EXPECT_EQ(app.ProgramFolder(), root.File("usr/share/quobel"));
    EXPECT_EQ(app.DataFolder(), "/home/someone/data");
}

}  // namespace
}  // namespace quobel::testing
