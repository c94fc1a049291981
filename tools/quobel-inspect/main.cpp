// quobel-inspect: dumps what Quobel reads (accounts, settings, messages, mailboxes) as JSON.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "commands.h"
#include "platform/memory_allocator.h"

namespace {

struct Command {
    std::string_view name;
    std::string_view usage;
    int (*run)(const quobel::inspect::Arguments&);
};

constexpr Command kCommands[] = {
    {"account", "account FILE.qba", quobel::inspect::RunAccount},
    {"check", "check [--no-pipelining] [--save-every MS] FOLDER", quobel::inspect::RunCheck},
    {"message", "message FILE [--password PW] [--extract DIR]", quobel::inspect::RunMessage},
    {"mailbox", "mailbox FOLDER", quobel::inspect::RunMailbox},
    {"settings", "settings FILE", quobel::inspect::RunSettings},
    {"table", "table FILE", quobel::inspect::RunTable},
    {"pop3",
     "pop3 --host H --port N --user U --password P [--apop] [--tls none|stls|tls] [--ca FILE] "
     "uidl|list N|top N|retr N|dele N",
     quobel::inspect::RunPop3},
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: quobel-inspect COMMAND ARGS...\ncommands:\n");
    for (const Command& command : kCommands) {
        std::fprintf(out, "  quobel-inspect %.*s\n", static_cast<int>(command.usage.size()),
                     command.usage.data());
    }
    std::fprintf(out, "  quobel-inspect --version\n  quobel-inspect --help\n");
}

}  // namespace

int main(int argc, char** argv) {
    quobel::TuneMemoryAllocator();
    if (argc < 2) {
        PrintUsage(stderr);
        return 1;
    }
    const std::string_view name = argv[1];
    if (name == "--version") {
        std::printf("quobel-inspect %s\n", QUOBEL_VERSION);
        return 0;
    }
    if (name == "--help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (command.name == name) {
            try {
                return command.run(quobel::inspect::Arguments(argv + 2, argv + argc));
            } catch (const std::exception& error) {
                std::fprintf(stderr, "quobel-inspect: %s\n", error.what());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "quobel-inspect: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 1;
}
