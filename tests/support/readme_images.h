// The pictures the README shows: its Markdown image links, in order, as paths relative to the
// source tree; and what makes a picture more than a blank screen.
#pragma once

#include "xdriver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <string>
#include <unordered_set>
#include <vector>

namespace readme_test {

// The README's image links, read from the source tree
inline std::vector<std::string> imageLinks()
{
    std::string text;
    EXPECT_TRUE(xdriver::readFile(std::string(SW_SOURCE_DIR) + "/README.md", text));
    std::vector<std::string> links;
    static const std::regex pattern(R"re(!\[[^\]]*\]\(\s*<?([^)\s>]+))re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        links.push_back((*it)[1].str());
    return links;
}

// True when a PNG file reads and has at least 64 colours (more than a blank screen)
inline bool showsSomething(const std::string &path, xdriver::Image &image, std::string &error)
{
    std::unordered_set<uint32_t> seen;
    if (!xdriver::readPng(path, image, &error)) return false;
    for (size_t i = 0; i + 2 < image.rgb.size() && seen.size() < 64; i += 3)
        seen.insert((uint32_t)image.rgb[i] << 16 | (uint32_t)image.rgb[i + 1] << 8 | image.rgb[i + 2]);
    error = seen.size() < 64 ? "a blank picture" : "";
    return seen.size() >= 64;
}

}  // namespace readme_test
