// The pictures the README shows: its Markdown image links and <img src="..."> tags, in order,
// as paths relative to the source tree; and what makes a picture more than a blank screen.
#pragma once

#include "xdriver.h"

#include <cstdint>
#include <regex>
#include <string>
#include <unordered_set>
#include <vector>

namespace readme_test {

inline std::vector<std::string> imageLinks(const std::string &markdown)
{
    std::vector<std::string> links;
    static const std::regex pattern(R"re(!\[[^\]]*\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\)|<img\s[^>]*src\s*=\s*"([^"]+)")re",
                                    std::regex::icase);
    for (auto it = std::sregex_iterator(markdown.begin(), markdown.end(), pattern); it != std::sregex_iterator(); ++it)
        links.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
    return links;
}

// Distinct colours of an image, counted up to `enough`
inline int distinctColours(const xdriver::Image &image, int enough = 256)
{
    std::unordered_set<uint32_t> seen;
    for (size_t i = 0; i + 2 < image.rgb.size() && (int)seen.size() < enough; i += 3)
        seen.insert((uint32_t)image.rgb[i] << 16 | (uint32_t)image.rgb[i + 1] << 8 | image.rgb[i + 2]);
    return (int)seen.size();
}

// File name part of a path
inline std::string baseName(const std::string &path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace readme_test
