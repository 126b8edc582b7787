#pragma once
// Errors of a HEX file load that leave the loader and end the intake path that asked for it;
// the default error report shows their message.

#include <stdexcept>
#include <string>

namespace quorvel::app {

class ELoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EConvertError : public ELoadError {
public:
    using ELoadError::ELoadError;
};

class EFOpenError : public ELoadError {
public:
    using ELoadError::ELoadError;
};

class ERangeError : public ELoadError {
public:
    using ELoadError::ELoadError;
};

class EOutOfMemory : public ELoadError {
public:
    using ELoadError::ELoadError;
};

} // namespace quorvel::app
