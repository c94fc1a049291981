#pragma once

#include <string>

namespace quobel {

// Hands a URL (a web link, the WHOIS link, the help file) to the desktop's opener. Whether the
// desktop could open it is not checked: there is nothing useful to do about a refusal.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    virtual void OpenUrl(const std::string& url) = 0;
};

}  // namespace quobel
