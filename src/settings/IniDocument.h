#pragma once
// The settings file held in memory: named sections of lines, in the order they were read or
// added. Names match in any letter case; of two equal names the later one is found.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel::settings {

class IniDocument {
public:
    // Replaces the document by what `text` holds (see the .cpp for the reading rules).
    void Parse(std::string_view text);
    void Clear() { sections_.clear(); }

    // The whole document: each section's header, its lines, then an empty line; CR LF ends.
    std::string Text() const;

    bool HasSection(std::string_view section) const;
    // The value of the key, or nullptr when the section or the key is absent.
    const std::string* FindValue(std::string_view section, std::string_view key) const;
    // Replaces the key's line in place, or appends the key (and its section) at the end.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::string name; // the whole line when it holds no "="
        std::string value;
        bool isKey = false;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };

    const Section* FindSection(std::string_view name) const;
    static const Line* FindLine(const Section& section, std::string_view key);

    std::vector<Section> sections_;
};

// Blanks and control characters off both ends, as every line and name is read.
std::string_view Strip(std::string_view text);

// Letter case ignored for the ASCII letters; other bytes (UTF-8 sequences) compare as they are.
bool NamesEqual(std::string_view a, std::string_view b);

} // namespace quorvel::settings
