#pragma once

#include <string>

#include "retrieval/qbpop3.h"

namespace quobel::testing {

// The Dovecot server the fixture started (scripts/dovecot-fixture.sh).
struct DovecotFacts {
    std::string Host;
    int Pop3Port = 0;
    int Pop3sPort = 0;
    std::string CAFile;
    std::string UsersDir;
    std::string MailRoot;
    int MailUid = -1;
    int MailGid = -1;
};

// Fails the test when the fixture is not running.
const DovecotFacts& Dovecot();

// A mailbox of its own for one test: a fresh user name (from the prefix and the process id)
// with that password and an empty maildir.
std::string CreateMailUser(const std::string& prefix, const std::string& password);

// Delivers a message whose unique id will be the file name. The server lists new messages in
// file-name order.
void PutMessage(const std::string& user, const std::string& uniqueId, const std::string& bytes);

// A session for the user: plain TCP on the POP3 port, the test CA trusted.
void Configure(TQBPOP3& pop, const std::string& user, const std::string& password);

}  // namespace quobel::testing
