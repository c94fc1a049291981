#pragma once

#include <cstdlib>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_folder.h"

namespace quobel::testing {

// A Dovecot server of the test's own (scripts/dovecot-fixture.sh), for tests that change what
// the server presents: started with the given users and their messages, stopped when it goes.
class PrivateDovecot {
  public:
    struct User {
        std::string Name;
        std::string Password;
        std::vector<std::pair<std::string, std::string>> Messages;  // unique id, bytes
    };

    // With an introspection URL the server also takes OAuth 2.0 tokens (XOAUTH2, OAUTHBEARER)
    // and asks that URL whether each is good (scripts/dovecot-fixture.sh).
    explicit PrivateDovecot(const std::vector<User>& users,
                            const std::string& introspectionUrl = {}) {
        const std::string seed = folder_.File("seed");
        std::ofstream list(folder_.File("users"));
        for (const User& user : users) {
            list << user.Name << ":{PLAIN}" << user.Password << "\n";
            Run("mkdir -p '" + seed + "/" + user.Name + "'");
            for (const auto& [id, bytes] : user.Messages) {
                std::ofstream(seed + "/" + user.Name + "/" + id) << bytes;
            }
        }
        list.close();
        const std::string environment =
            introspectionUrl.empty() ? "" : "OAUTH2_INTROSPECTION_URL='" + introspectionUrl + "' ";
        Run(environment + Script() + " start '" + folder_.File("server") + "' '" +
            folder_.File("users") + "' '" + seed + "' >/dev/null");
        started_ = true;
        std::ifstream facts(folder_.File("server/facts"));
        std::map<std::string, std::string> values;
        for (std::string line; std::getline(facts, line);) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos) {
                values[line.substr(0, equals)] = line.substr(equals + 1);
            }
        }
        Pop3Port = std::stoi(values.at("POP3_PORT"));
        Pop3sPort = std::stoi(values.at("POP3S_PORT"));
        CAFile = values.at("CA_FILE");
        LogFile = values.at("LOG");
    }
    ~PrivateDovecot() {
        if (started_) {
            std::system((Script() + " stop '" + folder_.File("server") + "'").c_str());
        }
    }
    PrivateDovecot(const PrivateDovecot&) = delete;
    PrivateDovecot& operator=(const PrivateDovecot&) = delete;

    // A new self-signed certificate for "localhost" with a new key, presented from now on.
    void PresentNewSelfSignedCertificate() {
        const std::string name = "self" + std::to_string(++certificates_);
        const std::string cert = folder_.File(name + ".pem");
        const std::string key = folder_.File(name + ".key");
        Run("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=localhost/O=Quobel " +
            name + "' -addext subjectAltName=DNS:localhost -keyout '" + key + "' -out '" + cert +
            "' 2>/dev/null");
        Run(Script() + " certificate '" + folder_.File("server") + "' '" + cert + "' '" + key +
            "'");
        CertificateFile = cert;
    }

    // The SHA-256 of the presented certificate's public key (SubjectPublicKeyInfo), in
    // lowercase hexadecimal, as openssl works it out.
    std::string PresentedKeyPin() const {
        const std::string out = folder_.File("pin");
        Run("openssl x509 -in '" + CertificateFile +
            "' -noout -pubkey | openssl pkey -pubin -outform DER | openssl dgst -sha256 -r "
            "| cut -d' ' -f1 >'" +
            out + "'");
        std::string pin;
        std::ifstream(out) >> pin;
        return pin;
    }

    int Pop3Port = 0;
    int Pop3sPort = 0;
    std::string CAFile;           // the test CA that signed the first certificate, for "localhost"
    std::string LogFile;          // the server's log
    std::string CertificateFile;  // the last one PresentNewSelfSignedCertificate made

  private:
    static std::string Script() {
        return std::string(QUOBEL_SOURCE_DIR) + "/scripts/dovecot-fixture.sh";
    }
    static void Run(const std::string& command) {
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("failed: " + command);
        }
    }

    TempFolder folder_;
    bool started_ = false;
    int certificates_ = 0;
};

}  // namespace quobel::testing
