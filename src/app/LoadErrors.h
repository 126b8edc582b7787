#pragma once
// An error of a HEX file load (a bad field, a record out of range, no memory, an unreadable
// file) that leaves the loader and ends the intake path that asked for it; the default error
// report shows its message.

#include "HexImageLoader.h"

#include <stdexcept>
#include <string>

namespace quorvel::app {

class HexLoadError : public std::runtime_error {
public:
    HexLoadError(image::LoadResult::Outcome outcome, const std::string& message)
        : std::runtime_error(message), outcome_(outcome) {}
    image::LoadResult::Outcome outcome() const { return outcome_; }

private:
    image::LoadResult::Outcome outcome_;
};

} // namespace quorvel::app
