#include "platform/token_command.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>
#include <utility>

#include "core/error.h"
#include "core/file_descriptor.h"
#include "core/strings.h"

namespace quobel {
namespace {

using Clock = std::chrono::steady_clock;

// Enough for any access token; what goes beyond is not kept.
constexpr size_t kMaxOutput = 1 << 20;
// How much of the standard error an error message carries.
constexpr size_t kMaxErrorText = 1000;

struct TPipe {
    TFileDescriptor Read;
    TFileDescriptor Write;
};

TPipe MakePipe() {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) {
        throw Error(std::string("Could not create a pipe: ") + std::strerror(errno));
    }
    return {TFileDescriptor(fds[0]), TFileDescriptor(fds[1])};
}

// The spawn attributes and file actions, released whatever happens.
class TSpawnSetup {
  public:
    TSpawnSetup() {
        ::posix_spawnattr_init(&attributes_);
        ::posix_spawn_file_actions_init(&actions_);
    }
    ~TSpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attributes_);
    }
    TSpawnSetup(const TSpawnSetup&) = delete;
    TSpawnSetup& operator=(const TSpawnSetup&) = delete;

    posix_spawnattr_t attributes_{};
    posix_spawn_file_actions_t actions_{};
};

// The child, killed with its process group and reaped unless it was waited for.
class TChild {
  public:
    explicit TChild(pid_t pid) : pid_(pid) {}
    ~TChild() {
        if (pid_ > 0) {
            Kill();
            Wait(nullptr);
        }
    }
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    // Kills the whole group: a helper script's own children go as well.
    void Kill() const {
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
    }
    // True once the child has ended, with its status.
    bool TryWait(int& status) {
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno == ECHILD)) {
            pid_ = -1;
            return true;
        }
        return false;
    }
    void Wait(int* status) {
        int ignored = 0;
        while (::waitpid(pid_, status ? status : &ignored, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

  private:
    pid_t pid_;
};

std::string Bounded(std::string_view text) {
    std::string shown(TrimIf(text, IsBlankOrAsciiControl));
    if (shown.size() > kMaxErrorText) {
        shown.resize(kMaxErrorText);
        shown += "...";
    }
    return shown;
}

[[noreturn]] void Fail(const std::string& program, const std::string& what,
                       std::string_view standardError) {
    std::string text = "The token command " + program + " " + what;
    const std::string shown = Bounded(standardError);
    if (!shown.empty()) {
        text += ": " + shown;
    }
    throw Error(text);
}

int RemainingMilliseconds(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Appends what the descriptor has (up to the bound); closes it at its end.
void Drain(TFileDescriptor& descriptor, std::string& into, size_t bound) {
    std::array<char, 4096> chunk{};
    const ssize_t got = ::read(descriptor.Get(), chunk.data(), chunk.size());
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (got <= 0) {
        descriptor.Close();
        return;
    }
    const size_t room = bound > into.size() ? bound - into.size() : 0;
    into.append(chunk.data(), std::min(room, static_cast<size_t>(got)));
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    size_t at = 0;
    const auto unclosed = [] { throw Error("The token command has an unclosed quote"); };
    while (at < line.size()) {
        const char c = line[at++];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else if (c == '\'') {
            inWord = true;
            const size_t close = line.find('\'', at);
            if (close == std::string_view::npos) {
                unclosed();
            }
            word.append(line.substr(at, close - at));
            at = close + 1;
        } else if (c == '"') {
            inWord = true;
            for (;;) {
                if (at >= line.size()) {
                    unclosed();
                }
                const char inner = line[at++];
                if (inner == '"') {
                    break;
                }
                if (inner == '\\' && at < line.size() &&
                    std::string_view("\"\\$`\n").find(line[at]) != std::string_view::npos) {
                    if (line[at] != '\n') {
                        word += line[at];
                    }
                    ++at;
                } else {
                    word += inner;
                }
            }
        } else if (c == '\\') {
            if (at >= line.size()) {
                throw Error("The token command ends with a backslash");
            }
            const char next = line[at++];
            // A backslash before a line end joins the lines.
            if (next != '\n') {
                inWord = true;
                word += next;
            }
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

std::string RunTokenCommand(std::string_view commandLine, std::chrono::milliseconds timeout) {
    const std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty()) {
        throw Error("No token command is set");
    }
    const std::string& program = words.front();
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (const std::string& word : words) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);

    TPipe output = MakePipe();
    TPipe errors = MakePipe();
    TSpawnSetup setup;
    // No input; the two pipes as its standard output and error; a process group of its own.
    ::posix_spawn_file_actions_addopen(&setup.actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&setup.actions_, output.Write.Get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&setup.actions_, errors.Write.Get(), STDERR_FILENO);
    ::posix_spawnattr_setpgroup(&setup.attributes_, 0);
    // The child starts with default signal handling and nothing blocked, whatever this thread
    // has set.
    sigset_t all{};
    sigset_t none{};
    sigfillset(&all);
    sigemptyset(&none);
    ::posix_spawnattr_setsigdefault(&setup.attributes_, &all);
    ::posix_spawnattr_setsigmask(&setup.attributes_, &none);
    ::posix_spawnattr_setflags(
        &setup.attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int started = ::posix_spawnp(&pid, program.c_str(), &setup.actions_, &setup.attributes_,
                                       argv.data(), environ);
    if (started != 0) {
        Fail(program, "could not be started", std::strerror(started));
    }
    TChild child(pid);
    output.Write.Close();
    errors.Write.Close();

    const Clock::time_point deadline = Clock::now() + timeout;
    std::string token;
    std::string standardError;
    const auto timedOut = [&] {
        child.Kill();
        child.Wait(nullptr);
        Fail(program,
             "did not finish within " + std::to_string((timeout.count() + 999) / 1000) +
                 " seconds and was stopped",
             standardError);
    };
    while (output.Read.IsOpen() || errors.Read.IsOpen()) {
        std::array<pollfd, 2> watched{
            {{output.Read.Get(), POLLIN, 0}, {errors.Read.Get(), POLLIN, 0}}};
        const int ready = ::poll(watched.data(), watched.size(), RemainingMilliseconds(deadline));
        if (ready < 0 && errno != EINTR) {
            timedOut();
        }
        if (ready == 0) {
            timedOut();
        }
        if (ready > 0) {
            if (watched[0].revents != 0) {
                Drain(output.Read, token, kMaxOutput);
            }
            if (watched[1].revents != 0) {
                Drain(errors.Read, standardError, kMaxErrorText * 4);
            }
        }
    }
    // Both pipes closed: the command is ending (or went on without them).
    int status = 0;
    while (!child.TryWait(status)) {
        if (Clock::now() >= deadline) {
            timedOut();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFSIGNALED(status)) {
        Fail(program, "was ended by signal " + std::to_string(WTERMSIG(status)), standardError);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        Fail(program, "failed with exit code " + std::to_string(WEXITSTATUS(status)),
             standardError);
    }
    std::string trimmed(TrimIf(token, IsBlankOrAsciiControl));
    if (trimmed.empty()) {
        Fail(program, "printed no token", standardError);
    }
    return trimmed;
}

}  // namespace quobel
