// The README: the two commands near the top, and every picture it shows is a committed,
// readable PNG under docs/ that is more than a blank screen; no picture under docs/ is left
// unshown.
#include "readme_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <string>

TEST(Readme, TheTwoCommandsComeFirst)
{
    std::string text;
    ASSERT_TRUE(xdriver::readFile(std::string(SW_SOURCE_DIR) + "/README.md", text));
    size_t heading = text.find("## Two commands");
    ASSERT_NE(heading, std::string::npos);
    size_t next = text.find("\n## ", heading + 3);    // both before the next section
    EXPECT_LT(text.find("    ./scripts/run.sh\n", heading), next);
    EXPECT_LT(text.find("    ./scripts/test.sh\n", heading), next);
}

TEST(Readme, EveryPictureIsUnderDocsAndShowsSomething)
{
    const std::vector<std::string> links = readme_test::imageLinks();
    ASSERT_GE(links.size(), 12u) << "the README shows fewer pictures than it should";
    for (const std::string &link : links) {
        xdriver::Image image;
        std::string error;
        EXPECT_EQ(link.rfind("docs/", 0), 0u) << link << ": pictures live under docs/";
        EXPECT_TRUE(readme_test::showsSomething(std::string(SW_SOURCE_DIR) + "/" + link, image, error)) << link << ": " << error;
    }
    // and no picture under docs/ is left out of the README
    DIR *dir = opendir((std::string(SW_SOURCE_DIR) + "/docs").c_str());
    ASSERT_NE(dir, nullptr);
    while (dirent *entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0) continue;
        EXPECT_NE(std::find(links.begin(), links.end(), "docs/" + name), links.end()) << name << " is not in the README";
    }
    closedir(dir);
}
