#include "platform/secret_service_store.h"

#include <libsecret/secret.h>

#include <utility>

#include "core/error.h"

namespace quobel {
namespace {

// Matched by attributes only, so that other tools ("secret-tool lookup service Quobel account
// ID") find the same items.
const SecretSchema& PasswordSchema() {
    static const SecretSchema schema = [] {
        SecretSchema made{};
        made.name = "org.quobel.Quobel.Password";
        made.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
        made.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
        made.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return made;
    }();
    return schema;
}

// Owns a GError and turns it into the system's failure.
class TGError {
  public:
    TGError() = default;
    ~TGError() {
        if (error_ != nullptr) {
            g_error_free(error_);
        }
    }
    TGError(const TGError&) = delete;
    TGError& operator=(const TGError&) = delete;

    GError** Out() { return &error_; }
    void ThrowIfSet() const {
        if (error_ != nullptr) {
            throw Error(error_->message != nullptr ? error_->message : "The keyring failed");
        }
    }

  private:
    GError* error_ = nullptr;
};

}  // namespace

struct TSecretServiceStore::TBus {
    GDBusConnection* Connection = nullptr;
    ~TBus() {
        if (Connection != nullptr) {
            g_object_unref(Connection);
        }
    }
};

TSecretServiceStore::TSecretServiceStore(std::string service) : service_(std::move(service)) {}

TSecretServiceStore::~TSecretServiceStore() = default;

void TSecretServiceStore::EnsureBus() {
    if (bus_ != nullptr) {
        return;
    }
    TGError error;
    GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error.Out());
    error.ThrowIfSet();
    if (connection == nullptr) {
        throw Error("No session bus");
    }
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    bus_ = std::make_unique<TBus>();
    bus_->Connection = connection;
}

void TSecretServiceStore::Store(const std::string& key, const std::string& label,
                                const std::string& secret) {
    EnsureBus();
    TGError error;
    secret_password_store_sync(&PasswordSchema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                               secret.c_str(), nullptr, error.Out(), "service", service_.c_str(),
                               "account", key.c_str(), nullptr);
    error.ThrowIfSet();
}

std::optional<std::string> TSecretServiceStore::Lookup(const std::string& key) {
    EnsureBus();
    TGError error;
    gchar* found = secret_password_lookup_sync(&PasswordSchema(), nullptr, error.Out(), "service",
                                               service_.c_str(), "account", key.c_str(), nullptr);
    error.ThrowIfSet();
    if (found == nullptr) {
        return std::nullopt;
    }
    std::string secret(found);
    // Wipes the memory libsecret held it in.
    secret_password_free(found);
    return secret;
}

void TSecretServiceStore::Remove(const std::string& key) {
    EnsureBus();
    TGError error;
    secret_password_clear_sync(&PasswordSchema(), nullptr, error.Out(), "service", service_.c_str(),
                               "account", key.c_str(), nullptr);
    error.ThrowIfSet();
}

}  // namespace quobel
