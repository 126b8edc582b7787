#include "IniDocument.h"

#include <algorithm>

namespace quorvel::settings {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

char FoldCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Calls `take` for every line of `text`; a line ends at CR, LF or CR LF.
template <class Take> void ForEachLine(std::string_view text, Take take) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        take(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++start;
    }
}

} // namespace

std::string_view Strip(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

bool NamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

// Each line is stripped first. Empty lines and ";" comments are dropped, "[name]" starts a
// section, and within a section a line with "=" is a key (name and value stripped) while
// any other line is kept as it is, never found as a key. Lines before the first section
// are dropped. A UTF-8 byte-order mark, which some editors put first, is not part of the
// first line: left there it would hide the first section's header.
void IniDocument::Parse(std::string_view text) {
    sections_.clear();
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    ForEachLine(text, [this](std::string_view raw) {
        const std::string_view line = Strip(raw);
        if (line.empty() || line.front() == ';') return;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections_.push_back({std::string(Strip(line.substr(1, line.size() - 2))), {}});
            return;
        }
        if (sections_.empty()) return;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            sections_.back().lines.push_back({std::string(line), {}, false});
        else
            sections_.back().lines.push_back({std::string(Strip(line.substr(0, equals))),
                                              std::string(Strip(line.substr(equals + 1))), true});
    });
}

std::string IniDocument::Text() const {
    std::string text;
    for (const auto& section : sections_) {
        text.append("[").append(section.name).append("]\r\n");
        for (const auto& line : section.lines) {
            text.append(line.name);
            if (line.isKey) text.append("=").append(line.value);
            text.append("\r\n");
        }
        text.append("\r\n");
    }
    return text;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const {
    const auto found = std::find_if(sections_.rbegin(), sections_.rend(),
                                    [name](const Section& s) { return NamesEqual(s.name, name); });
    return found == sections_.rend() ? nullptr : &*found;
}

const IniDocument::Line* IniDocument::FindLine(const Section& section, std::string_view key) {
    const auto found =
        std::find_if(section.lines.rbegin(), section.lines.rend(),
                     [key](const Line& l) { return l.isKey && NamesEqual(l.name, key); });
    return found == section.lines.rend() ? nullptr : &*found;
}

bool IniDocument::HasSection(std::string_view section) const {
    return FindSection(section) != nullptr;
}

const std::string* IniDocument::FindValue(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (!found) return nullptr;
    const Line* line = FindLine(*found, key);
    return line ? &line->value : nullptr;
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    auto* found = const_cast<Section*>(FindSection(section));
    if (!found) {
        sections_.push_back({std::string(section), {}});
        found = &sections_.back();
    }
    if (auto* line = const_cast<Line*>(FindLine(*found, key))) {
        line->value = std::string(value);
        return;
    }
    found->lines.push_back({std::string(key), std::string(value), true});
}

} // namespace quorvel::settings
