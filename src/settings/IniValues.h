#pragma once
// How the settings file spells integers, characters, booleans and enumerations.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::settings {

// A decimal integer with an optional sign, in the range of a 32-bit int; an empty text is 0.
std::optional<int> ParseInteger(std::string_view text);

// The words of a list such as "TRUE, YES, Y": split at commas and blanks.
std::vector<std::string> SplitWords(std::string_view list);

// A true or a false word (whole word, any letter case), else an integer: 0 false, other true.
std::optional<bool> ParseBoolean(std::string_view text, const std::vector<std::string>& trueWords,
                                 const std::vector<std::string>& falseWords);

// An identifier of the list in any letter case, else an integer taken as the position in the
// list. A number outside the list is refused: the value never leaves the member list.
std::optional<int> ParseEnumeration(std::string_view text,
                                    const std::vector<std::string>& identifiers);

} // namespace quorvel::settings
