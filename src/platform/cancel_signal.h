#pragma once

namespace quobel {

// A one-way signal that wakes every wait of a connection from any thread: once raised it stays
// raised. Program exit raises it so that a worker blocked on a silent server returns at once.
class TCancelSignal {
  public:
    TCancelSignal();
    ~TCancelSignal();
    TCancelSignal(const TCancelSignal&) = delete;
    TCancelSignal& operator=(const TCancelSignal&) = delete;

    // Safe from any thread.
    void Raise() noexcept;
    bool Raised() const noexcept;
    // A descriptor that polls readable once the signal is raised.
    int Fd() const noexcept { return fd_; }

  private:
    int fd_ = -1;
};

}  // namespace quobel
