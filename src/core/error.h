#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace quobel {

struct TServerCertificate;

// The one failure type of the system: it carries the text that whoever reports it shows. A
// refused server certificate travels with it, so that whoever lists the failure can offer to
// trust that certificate.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
    Error(const std::string& message, std::shared_ptr<const TServerCertificate> certificate)
        : std::runtime_error(message), certificate_(std::move(certificate)) {}

    // The refused certificate, or null.
    const std::shared_ptr<const TServerCertificate>& Certificate() const { return certificate_; }

  private:
    std::shared_ptr<const TServerCertificate> certificate_;
};

}  // namespace quobel
