#include "IniValues.h"

#include "IniDocument.h"

#include <charconv>

namespace quorvel::settings {

std::optional<int> ParseInteger(std::string_view text) {
    if (text.empty()) return 0;
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> SplitWords(std::string_view list) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = std::min(list.find_first_of(", ", start), list.size());
        if (end > start) words.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

namespace {

std::optional<int> PositionOf(std::string_view text, const std::vector<std::string>& words) {
    for (std::size_t i = 0; i < words.size(); ++i)
        if (NamesEqual(text, words[i])) return static_cast<int>(i);
    return std::nullopt;
}

} // namespace

std::optional<bool> ParseBoolean(std::string_view text, const std::vector<std::string>& trueWords,
                                 const std::vector<std::string>& falseWords) {
    if (PositionOf(text, trueWords)) return true;
    if (PositionOf(text, falseWords)) return false;
    const auto number = ParseInteger(text);
    if (!number) return std::nullopt;
    return *number != 0;
}

std::optional<int> ParseEnumeration(std::string_view text,
                                    const std::vector<std::string>& identifiers) {
    if (const auto position = PositionOf(text, identifiers)) return position;
    const auto ordinal = ParseInteger(text);
    if (!ordinal || *ordinal < 0 || *ordinal >= static_cast<int>(identifiers.size()))
        return std::nullopt;
    return ordinal;
}

} // namespace quorvel::settings
