#pragma once

#include <string>

namespace quorvel::image {

// Reads the whole file into `bytes`; returns 0, or the errno of the failing call.
int ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace quorvel::image
