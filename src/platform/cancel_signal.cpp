#include "platform/cancel_signal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/error.h"

namespace quobel {

TCancelSignal::TCancelSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0) {
        throw Error(std::string("Unable to create an event descriptor: ") + std::strerror(errno));
    }
}

TCancelSignal::~TCancelSignal() {
    close(fd_);
}

void TCancelSignal::Raise() noexcept {
    const uint64_t one = 1;
    // The counter cannot overflow in practice; a failed write leaves it raised anyway.
    [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
}

bool TCancelSignal::Raised() const noexcept {
    pollfd entry{fd_, POLLIN, 0};
    return poll(&entry, 1, 0) > 0;
}

}  // namespace quobel
