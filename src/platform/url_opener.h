#pragma once

#include <string>

namespace quobel {

// Hands a URL (a web link, the WHOIS link, the help file, an attachment's file) to the desktop's
// opener. Whether the desktop could open it is not checked: there is nothing useful to do about
// a refusal.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    virtual void OpenUrl(const std::string& url) = 0;

    // Hands a URL whose scheme needs a program of its own (a "mailto:" URI for the mail
    // program) to the program the desktop names for that scheme. False, with nothing started,
    // when the desktop names none: the user has to be told, since nothing would appear.
    virtual bool OpenWithProgram(const std::string& url) {
        OpenUrl(url);
        return true;
    }
};

}  // namespace quobel
