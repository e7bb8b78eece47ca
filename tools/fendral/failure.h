#pragma once

#include <stdexcept>

namespace fendral {

// A reason the job cannot be done, already worded for the user.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The command line itself is wrong: the caller shows the usage text.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace fendral
