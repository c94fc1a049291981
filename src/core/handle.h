#pragma once

#include <compare>
#include <cstddef>
#include <functional>

namespace quobel {

// The identity of something kept elsewhere, by its address, never owned. Each kind of thing gets
// its own handle type (the Kind is only a name), so that a table row cannot be passed where a
// mail item is meant; the one owner that knows what the address points to turns it back.
template <typename Kind>
class THandle {
  public:
    constexpr THandle() noexcept = default;
    constexpr THandle(std::nullptr_t) noexcept {}
    constexpr explicit THandle(const void* address) noexcept : address_(address) {}

    constexpr explicit operator bool() const noexcept { return address_ != nullptr; }
    constexpr const void* Address() const noexcept { return address_; }

    friend constexpr bool operator==(THandle, THandle) noexcept = default;
    // The order of the addresses (a total order, as std::less gives for pointers).
    friend constexpr std::strong_ordering operator<=>(THandle a, THandle b) noexcept {
        return std::compare_three_way{}(a.address_, b.address_);
    }

  private:
    const void* address_ = nullptr;
};

}  // namespace quobel

template <typename Kind>
struct std::hash<quobel::THandle<Kind>> {
    std::size_t operator()(quobel::THandle<Kind> handle) const noexcept {
        return std::hash<const void*>{}(handle.Address());
    }
};
