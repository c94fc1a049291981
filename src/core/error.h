#pragma once

#include <stdexcept>
#include <string>

namespace quobel {

// The one failure type of the system: it carries the text that whoever reports it shows.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quobel
