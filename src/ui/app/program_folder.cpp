#include "ui/app/program_folder.h"

#include "core/file_util.h"

namespace quobel {

namespace {

bool HoldsSkins(const std::string& folder) {
    return FolderExists(JoinPath(folder, "skins"));
}

}  // namespace

std::string ProgramFolderFor(const std::string& executableFolder) {
    if (HoldsSkins(executableFolder)) {
        return executableFolder;
    }
    // ProgramFolderOf gives the folder part of a path: here the prefix above "bin".
    const std::string installed = ProgramFolderOf(executableFolder) + "/share/quobel";
    return HoldsSkins(installed) ? installed : executableFolder;
}

TApp WithInstalledProgramFolder(const TApp& app) {
    return TApp(ProgramFolderFor(app.ProgramFolder()), app.DataFolder());
}

}  // namespace quobel
