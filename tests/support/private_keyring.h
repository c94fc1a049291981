#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include "support/temp_folder.h"

namespace quobel::testing {

// A session bus and GNOME Keyring of the test's own (scripts/keyring-fixture.sh), started here
// and stopped when this goes. While it lives, the process's session bus is the private one, so
// nothing reaches the user's own keyring. The test program must be built with QUOBEL_SOURCE_DIR.
class PrivateKeyring {
  public:
    PrivateKeyring() : dir_(folder_.File("keyring")) {
        if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
            oldAddress_ = old;
        }
        if (std::system((Script() + " start '" + dir_ + "'").c_str()) != 0) {
            throw std::runtime_error("the private keyring did not start");
        }
        std::ifstream file(dir_ + "/address");
        std::getline(file, address_);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~PrivateKeyring() {
        (void)std::system((Script() + " stop '" + dir_ + "'").c_str());
        if (oldAddress_) {
            ::setenv("DBUS_SESSION_BUS_ADDRESS", oldAddress_->c_str(), 1);
        } else {
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        }
    }
    PrivateKeyring(const PrivateKeyring&) = delete;
    PrivateKeyring& operator=(const PrivateKeyring&) = delete;

    // For child processes: "DBUS_SESSION_BUS_ADDRESS='...'".
    std::string Environment() const { return "DBUS_SESSION_BUS_ADDRESS='" + address_ + "'"; }

  private:
    static std::string Script() {
        return std::string(QUOBEL_SOURCE_DIR) + "/scripts/keyring-fixture.sh";
    }

    TempFolder folder_;
    std::string dir_;
    std::string address_;
    std::optional<std::string> oldAddress_;
};

}  // namespace quobel::testing
