#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/secret_store.h"

namespace quobel {

// The freedesktop Secret Service (GNOME Keyring, KWallet, KeePassXC...) on the session bus,
// through libsecret: each secret is an item of the default collection with the attributes
// "service" (the service name given here) and "account" (the key). Calls are synchronous and
// may be made from any one thread at a time.
class TSecretServiceStore : public TSecretStore {
  public:
    explicit TSecretServiceStore(std::string service);
    ~TSecretServiceStore() override;
    TSecretServiceStore(const TSecretServiceStore&) = delete;
    TSecretServiceStore& operator=(const TSecretServiceStore&) = delete;

    void Store(const std::string& key, const std::string& label,
               const std::string& secret) override;
    std::optional<std::string> Lookup(const std::string& key) override;
    void Remove(const std::string& key) override;

  private:
    // Connects to the session bus on first use. The connection must not end the program when
    // the bus goes away (a private test bus, a desktop session that ends first).
    void EnsureBus();

    struct TBus;
    const std::string service_;
    std::unique_ptr<TBus> bus_;
};

}  // namespace quobel
