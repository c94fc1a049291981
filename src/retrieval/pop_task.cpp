#include "retrieval/pop_task.h"

#include <charconv>

#include "core/digest.h"
#include "retrieval/token_login.h"

namespace quobel {

TPOPTask::TPOPTask(TUiDispatcher& dispatcher) : TCustomTask(dispatcher) {
    Connection = std::make_unique<TQBPOP3>();
    UsesConnection = true;
    CanHandOver = true;
}

void TPOPTask::Configure() {
    Connection->Host = Account.POP.Host;
    Connection->Port = Account.POP.Port;
    Connection->Username = Account.POP.Username;
    Connection->Password = Account.POP.Password;
    Connection->APOP = Account.POP.Secure;
    Connection->TLS = Account.POP.TLS;
    Connection->PinnedKey = Account.PinnedKeyForHost();
}

void TPOPTask::ConnectSession(TQBPOP3& session) {
    ConnectWithToken(session, Account, Tokens);
}

bool ParseUniqueIdLine(const std::string& line, int& number, std::string& key) {
    const size_t blank = line.find(' ');
    if (blank == std::string::npos) {
        return false;
    }
    key = Md5Hex(std::string_view(line).substr(blank + 1));
    const char* begin = line.data();
    const char* end = begin + blank;
    const auto [stop, error] = std::from_chars(begin, end, number);
    if (blank == 0 || error != std::errc() || stop != end) {
        number = 0;
    }
    return true;
}

}  // namespace quobel
