#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace quobel {

// How long a token command may take before it is killed.
inline constexpr std::chrono::milliseconds kTokenCommandTimeout{30000};

// The words of a command line as a POSIX shell splits them, without a shell: blanks separate
// words; 'single quotes' keep everything; "double quotes" keep everything but a backslash before
// " \ $ ` or a line end; a backslash outside quotes keeps the next character. Nothing is
// expanded ($, ~, * and ; are plain characters). Throws Error for an unclosed quote or a
// backslash at the end.
std::vector<std::string> SplitCommandLine(std::string_view line);

// Runs the command line (split as above, the program looked up in PATH, no shell) with no
// input, and gives its standard output without the blanks around it: an access token, as helpers
// such as oama print it. The command runs in a process group of its own, which is killed when
// it takes longer than `timeout`. Throws Error naming the command's first word when it cannot
// be started, exits with a failure or by a signal, prints nothing or runs out of time; the
// error carries the start of its standard error, never its standard output.
std::string RunTokenCommand(std::string_view commandLine,
                            std::chrono::milliseconds timeout = kTokenCommandTimeout);

}  // namespace quobel
