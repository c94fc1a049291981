#pragma once

#include <string>

namespace quobel {

// Where things live: the program folder (skins, help; never written) and the per-user data
// folder (everything the system writes). Both are fixed when the process starts.
class TApp {
  public:
    TApp(std::string programFolder, std::string dataFolder);

    // Folders of the running process: the executable's folder and the XDG data home followed
    // by "/Orvane Software/Quobel". The data folder is created (0700) with every missing parent;
    // a failure shows later, when the first write into it fails.
    static TApp FromEnvironment();

    const std::string& ProgramFolder() const { return programFolder_; }
    const std::string& DataFolder() const { return dataFolder_; }

  private:
    std::string programFolder_;
    std::string dataFolder_;
};

// The data folder below an XDG data home ("" or a relative path falls back to ~/.local/share).
std::string DataFolderFor(const std::string& xdgDataHome, const std::string& home);

// The folder part of an executable's path, without a trailing separator.
std::string ProgramFolderOf(const std::string& executablePath);

}  // namespace quobel
