#pragma once
// The options of quorvel-board, turned into BoardOptions. No output here: main() decides.

#include "BoardOptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorvel::board {

// The name --publish gives the board when it names none.
inline constexpr const char* kDefaultPublishName = "vboard0";

struct CommandLine {
    BoardOptions options;
    bool help = false;
    bool version = false;
    std::string error; // wrong usage when not empty
};

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

// The text of --help.
const char* HelpText();

// Decodes --noise TEXT: \xHH, \n, \r, \t, \0 and \\ stand for one byte each. Returns false
// for a backslash followed by anything else.
bool DecodeEscapes(std::string_view text, std::vector<std::uint8_t>& bytes);

} // namespace quorvel::board
