// The README: the two commands near the top, and every picture it shows is a committed,
// readable PNG under docs/ that is more than a blank screen; no picture under docs/ is left
// unshown.
#include "readme_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <string>

using namespace readme_test;

namespace {

std::string readme()
{
    std::string text;
    EXPECT_TRUE(xdriver::readFile(std::string(SW_SOURCE_DIR) + "/README.md", text));
    return text;
}

}  // namespace

TEST(Readme, ImageLinksAreFoundInMarkdownAndHtml)
{
    std::vector<std::string> links = imageLinks("text ![a scene](docs/a.png) more\n"
                                                "![](docs/b.png \"title\")\n"
                                                "<img alt=\"x\" src=\"docs/c.png\" width=\"300\">\n"
                                                "[not an image](docs/d.png) and `code`");
    EXPECT_EQ(links, (std::vector<std::string>{"docs/a.png", "docs/b.png", "docs/c.png"}));
}

TEST(Readme, TheTwoCommandsComeFirst)
{
    const std::string text = readme();
    size_t heading = text.find("## Two commands");
    ASSERT_NE(heading, std::string::npos);
    size_t run = text.find("    ./scripts/run.sh\n", heading);
    size_t test = text.find("    ./scripts/test.sh\n", heading);
    ASSERT_NE(run, std::string::npos);
    ASSERT_NE(test, std::string::npos);
    // Both before the next section
    size_t next = text.find("\n## ", heading + 3);
    EXPECT_LT(run, next);
    EXPECT_LT(test, next);
}

TEST(Readme, EveryPictureExistsAndShowsSomething)
{
    const std::vector<std::string> links = imageLinks(readme());
    ASSERT_GE(links.size(), 12u) << "the README shows fewer pictures than it should";
    for (const std::string &link : links) {
        SCOPED_TRACE(link);
        EXPECT_EQ(link.rfind("docs/", 0), 0u) << "pictures live under docs/";
        xdriver::Image image;
        std::string error;
        ASSERT_TRUE(xdriver::readPng(std::string(SW_SOURCE_DIR) + "/" + link, image, &error)) << error;
        EXPECT_GE(distinctColours(image), 64) << "a blank picture";
    }
}

TEST(Readme, EveryPictureUnderDocsIsShown)
{
    const std::vector<std::string> links = imageLinks(readme());
    DIR *dir = opendir((std::string(SW_SOURCE_DIR) + "/docs").c_str());
    ASSERT_NE(dir, nullptr);
    while (dirent *entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0) continue;
        EXPECT_NE(std::find(links.begin(), links.end(), "docs/" + name), links.end()) << name << " is not in the README";
    }
    closedir(dir);
}
