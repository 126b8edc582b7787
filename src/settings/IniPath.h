#pragma once

#include <string>
#include <string_view>

namespace quorvel::settings {

// A backslash-separated path with its empty segments dropped: the last segment is the key,
// the rest, joined by backslashes, the section. "frmPelmora\ComPort1_Parity\Bits" is key
// "Bits" in section "frmPelmora\ComPort1_Parity".
struct IniPath {
    std::string section;
    std::string key;
    std::string whole; // every segment, as a section name
};

IniPath SplitIniPath(std::string_view path);

} // namespace quorvel::settings
