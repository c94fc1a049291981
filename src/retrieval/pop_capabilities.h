#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quobel {

// What a POP3 server says it can do, from its "CAPA" answer (RFC 2449): one capability per
// line, a keyword and its arguments separated by blanks. A server that does not answer has none.
class TPopCapabilities {
  public:
    TPopCapabilities() = default;
    // The lines of a "CAPA" answer, its terminating line excluded; blank lines are ignored.
    explicit TPopCapabilities(const std::vector<std::string>& lines);

    // Whether a line starts with the keyword (compared without regard to case).
    bool Has(std::string_view keyword) const;
    // The blank-separated words after the keyword, empty when it is absent or has none.
    std::vector<std::string> Arguments(std::string_view keyword) const;
    // The mechanisms of the "SASL" line, in the server's order.
    std::vector<std::string> SaslMechanisms() const { return Arguments("SASL"); }
    // The seconds of "LOGIN-DELAY n": the least time between two logins; none when absent or
    // not a number.
    std::optional<int> LoginDelaySeconds() const;
    bool Pipelining() const { return Has("PIPELINING"); }
    bool Empty() const { return lines_.empty(); }
    // The capability lines as the server sent them, blank lines left out.
    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    const std::string* Find(std::string_view keyword) const;

    std::vector<std::string> lines_;
};

}  // namespace quobel
