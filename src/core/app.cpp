#include "core/app.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "core/file_util.h"

namespace quobel {
namespace {

std::string ExecutablePath() {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
        return entry->pw_dir;
    }
    return "/tmp";
}

}  // namespace

TApp::TApp(std::string programFolder, std::string dataFolder)
    : programFolder_(std::move(programFolder)), dataFolder_(std::move(dataFolder)) {}

TApp TApp::FromEnvironment() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string data = DataFolderFor(xdg != nullptr ? xdg : "", HomeFolder());
    ForceFolders(data);
    return TApp(ProgramFolderOf(ExecutablePath()), std::move(data));
}

std::string DataFolderFor(const std::string& xdgDataHome, const std::string& home) {
    // The XDG rules ignore a relative data home.
    std::string base = !xdgDataHome.empty() && xdgDataHome.front() == '/'
                           ? xdgDataHome
                           : JoinPath(home, ".local/share");
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return JoinPath(base, "Orvane Software/Quobel");
}

std::string ProgramFolderOf(const std::string& executablePath) {
    std::string folder = ExtractFolder(executablePath);
    if (!folder.empty() && folder.back() == '/') {
        folder.pop_back();  // installed at the root: "/quobel" lives in ""
    }
    return folder;
}

}  // namespace quobel
