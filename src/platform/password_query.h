#pragma once

#include <string>

namespace quobel {

// The modal password prompt. The user interface shows a small dialog with the prompt and a
// masked edit holding `value`; tests answer from a script.
class PasswordQuery {
  public:
    virtual ~PasswordQuery() = default;

    // OK stores the edit's text into `value` and returns true; Cancel or closing returns false
    // and leaves `value` as it was.
    virtual bool Query(const std::string& caption, const std::string& prompt,
                       std::string& value) = 0;
};

}  // namespace quobel
