#pragma once

#include <set>
#include <string>

#include "retrieval/pop_task.h"
#include "retrieval/qbpop3.h"

namespace quobel::testing {

// The keys of the messages a server holds, as the program names them: one UIDL over a session
// that is connected and logged in, and left so.
inline std::set<std::string> ServerKeysOf(TQBPOP3& pop) {
    std::set<std::string> keys;
    for (const std::string& line : pop.ListUniqueIds()) {
        int number = 0;
        std::string key;
        if (ParseUniqueIdLine(line, number, key)) {
            keys.insert(key);
        }
    }
    return keys;
}

}  // namespace quobel::testing
