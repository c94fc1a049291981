#pragma once

#include <string>
#include <vector>

namespace quobel::inspect {

// Each sub-command gets its own arguments (after the command name), prints JSON on stdout and
// returns the exit code. A failure prints a clear message on stderr and returns 1.
using Arguments = std::vector<std::string>;

int RunAccount(const Arguments& args);
int RunMessage(const Arguments& args);
int RunMailbox(const Arguments& args);
int RunSettings(const Arguments& args);
int RunTable(const Arguments& args);

}  // namespace quobel::inspect
