#pragma once

#include <unistd.h>

#include <utility>

namespace quobel {

// An open file descriptor, closed when it goes; -1 holds none.
class TFileDescriptor {
  public:
    TFileDescriptor() = default;
    explicit TFileDescriptor(int fd) noexcept : fd_(fd) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(TFileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    TFileDescriptor& operator=(TFileDescriptor&& other) noexcept {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded: a close can report a failed write.
    // True when none was open.
    bool Close() {
        if (fd_ < 0) {
            return true;
        }
        return ::close(std::exchange(fd_, -1)) == 0;
    }

  private:
    int fd_ = -1;
};

}  // namespace quobel
