#pragma once

#include <string>

#include "core/app.h"

namespace quobel {

// The folder that holds the skins and the help. In a build tree they are copied beside the
// program; an installed program lives in <prefix>/bin and finds them in <prefix>/share/quobel.
// A folder without skins leaves the executable's folder, so that the missing skins are reported
// as they always were.
std::string ProgramFolderFor(const std::string& executableFolder);

// The process's folders with the program folder found as above.
TApp WithInstalledProgramFolder(const TApp& app);

}  // namespace quobel
