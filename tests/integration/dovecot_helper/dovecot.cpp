#include "dovecot_helper/dovecot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <map>
#include <stdexcept>

#include "core/file_util.h"

namespace quobel::testing {

namespace {

DovecotFacts ReadFacts() {
    std::ifstream file(QUOBEL_DOVECOT_FACTS);
    if (!file) {
        throw std::runtime_error("the Dovecot fixture is not running (no " +
                                 std::string(QUOBEL_DOVECOT_FACTS) + ")");
    }
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            values[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    DovecotFacts facts;
    facts.Host = values["HOST"];
    facts.Pop3Port = std::stoi(values["POP3_PORT"]);
    facts.Pop3sPort = std::stoi(values["POP3S_PORT"]);
    facts.CAFile = values["CA_FILE"];
    facts.UsersDir = values["USERS_DIR"];
    facts.MailRoot = values["MAIL_ROOT"];
    facts.MailUid = std::stoi(values["MAIL_UID"]);
    facts.MailGid = std::stoi(values["MAIL_GID"]);
    return facts;
}

void MakeOwnedFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        throw std::runtime_error("cannot create " + path);
    }
    if (geteuid() == 0 && chown(path.c_str(), Dovecot().MailUid, Dovecot().MailGid) != 0) {
        throw std::runtime_error("cannot hand " + path + " to the mail user");
    }
}

}  // namespace

const DovecotFacts& Dovecot() {
    static const DovecotFacts facts = ReadFacts();
    return facts;
}

std::string CreateMailUser(const std::string& prefix, const std::string& password) {
    static std::atomic<int> counter{0};
    const std::string user =
        prefix + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    const std::string home = JoinPath(Dovecot().MailRoot, user);
    MakeOwnedFolder(home);
    MakeOwnedFolder(JoinPath(home, "Maildir"));
    for (const char* sub : {"new", "cur", "tmp"}) {
        MakeOwnedFolder(JoinPath(JoinPath(home, "Maildir"), sub));
    }
    // The maildir exists before the server can know the user.
    WriteFileAtomic(JoinPath(Dovecot().UsersDir, user), user + ":{PLAIN}" + password + "\n");
    chmod(JoinPath(Dovecot().UsersDir, user).c_str(), 0644);
    return user;
}

void PutMessage(const std::string& user, const std::string& uniqueId, const std::string& bytes) {
    const std::string maildir = JoinPath(JoinPath(Dovecot().MailRoot, user), "Maildir");
    const std::string temporary = JoinPath(JoinPath(maildir, "tmp"), uniqueId);
    {
        std::ofstream file(temporary, std::ios::binary);
        file << bytes;
        if (!file.flush()) {
            throw std::runtime_error("cannot write " + temporary);
        }
    }
    chmod(temporary.c_str(), 0600);
    if (geteuid() == 0 && chown(temporary.c_str(), Dovecot().MailUid, Dovecot().MailGid) != 0) {
        throw std::runtime_error("cannot hand " + temporary + " to the mail user");
    }
    // The server sees the message whole or not at all.
    const std::string final = JoinPath(JoinPath(maildir, "new"), uniqueId);
    if (rename(temporary.c_str(), final.c_str()) != 0) {
        throw std::runtime_error("cannot deliver " + final);
    }
}

void Configure(TQBPOP3& pop, const std::string& user, const std::string& password) {
    pop.Host = Dovecot().Host;
    pop.Port = Dovecot().Pop3Port;
    pop.Username = user;
    pop.Password = password;
    pop.CAFile = Dovecot().CAFile;
    // Generous bounds: a wait this long means the server is gone.
    pop.ConnectTimeout = 60000;
    pop.ReadTimeout = 60000;
}

}  // namespace quobel::testing
