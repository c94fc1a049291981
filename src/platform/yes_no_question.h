#pragma once

#include <string>

namespace quobel {

// A modal question with Yes and No buttons; true when the user chose Yes.
class YesNoQuestion {
  public:
    virtual ~YesNoQuestion() = default;
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
};

}  // namespace quobel
