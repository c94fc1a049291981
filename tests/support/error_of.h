#pragma once

#include <functional>
#include <string>

#include "core/error.h"

namespace quobel::testing {

// The message of the exception of kind E that the action throws, or "(no error)". Exceptions of
// other kinds pass through, so that a test fails on a failure it did not expect.
template <typename E = Error>
std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& error) {
        return error.what();
    }
    return "(no error)";
}

}  // namespace quobel::testing
