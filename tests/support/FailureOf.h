#pragma once

#include "platform/Platform.h"

#include <string>

namespace fendralwin::test {

// The description of the PlatformError that `operation` throws, or "no failure".
template <typename Operation>
std::string failureOf(const Operation& operation) {
    try {
        operation();
    } catch (const PlatformError& failure) {
        return failure.what();
    }
    return "no failure";
}

} // namespace fendralwin::test
