#pragma once

#include <optional>
#include <string>

namespace quobel {

// The desktop's keyring: secrets kept outside the program's own files, each under a key. Every
// call throws Error with the keyring's own reason when it cannot be reached (no session bus, no
// keyring on it, locked and not unlocked).
class TSecretStore {
  public:
    virtual ~TSecretStore() = default;

    // Keeps the secret under key, replacing what was kept there; label is what the desktop's
    // keyring manager shows for it.
    virtual void Store(const std::string& key, const std::string& label,
                       const std::string& secret) = 0;
    // What is kept under key, or nothing.
    virtual std::optional<std::string> Lookup(const std::string& key) = 0;
    // Nothing kept under key is no failure.
    virtual void Remove(const std::string& key) = 0;
};

}  // namespace quobel
