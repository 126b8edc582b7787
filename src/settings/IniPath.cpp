#include "IniPath.h"

#include <vector>

namespace quorvel::settings {

IniPath SplitIniPath(std::string_view path) {
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) segments.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    IniPath result;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (i > 0) result.whole += '\\';
        result.whole += segments[i];
        if (i + 1 < segments.size()) {
            if (i > 0) result.section += '\\';
            result.section += segments[i];
        }
    }
    if (!segments.empty()) result.key = std::string(segments.back());
    return result;
}

} // namespace quorvel::settings
