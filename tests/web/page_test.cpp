// The published page in headless Chromium (tests/web/page_checks.mjs does the browser's
// part): the demo's events run from the page's own input, the letter keys and touch work and
// the picture keeps its shape in a wide window, hostile names stay text, a browser without
// WebGL gets a message (and so does someone who opens the page as a file), and the page works with nothing reachable but the folder's own
// server, asking it for nothing but the folder's files.
#include "web_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

// A published copy of the demo under a fresh directory; its path (empty on failure)
std::string publishedDemo(std::string &work, const std::string &sceneDirName = "demo")
{
    work = xdriver::makeTempDir("stageworks-web-test");
    if (work.empty()) return std::string();
    const std::string scene = work + "/" + sceneDirName;
    std::string output;
    // NOTE: copied under a plain name first: the copy goes through a shell
    const bool copied = xdriver::copyTree(SW_RUNDATA_DIR, work + "/scene") &&
                        std::rename((work + "/scene").c_str(), scene.c_str()) == 0;
    if (!copied || web_test::publish(scene, work + "/web", output) != 0) {
        ADD_FAILURE() << output;
        return std::string();
    }
    return work + "/web";
}

// Replaces every occurrence of from by to
std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(WebPage, TheDoorsClickAndTheSignsDistanceRunTheirEvents)
{
    std::string work, output;
    const std::string folder = publishedDemo(work);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(web_test::runWebTool({"page_checks.mjs", "events", folder}, output), 0) << output;
    xdriver::removeTree(work);
}

TEST(WebPage, HostileNamesAreShownAsText)
{
    // A scene directory whose name is markup and code, with quotes and Latin-1 letters (the
    // file system holds the bytes as the scene file's encoding has them)
    const std::string latin1Name = "<script>window.hostile=1 <img src=x onerror=\"window.hostile=2\"> 'comillas' \xF1" "and\xFA";
    const std::string utf8Name = "<script>window.hostile=1 <img src=x onerror=\"window.hostile=2\"> 'comillas' \xC3\xB1" "and\xC3\xBA";
    std::string work;
    const std::string folder = publishedDemo(work, latin1Name);
    ASSERT_FALSE(folder.empty());

    // Materials and flags named alike (no white space or double quote: the file allows none)
    const std::string scene = work + "/" + latin1Name;
    std::string text;
    ASSERT_TRUE(xdriver::readFile(scene + "/escena.xml", text));
    text = replaced(text, ">rojo<", ">r&lt;script&gt;'\xF1<");
    text = replaced(text, "\"rojo\"", "\"r&lt;script&gt;'\xF1\"");
    text = replaced(text, "PUERTA", "P&lt;b&gt;'\xD1");
    std::ofstream(scene + "/escena.xml", std::ios::binary) << text;
    std::string output;
    ASSERT_EQ(web_test::publish(scene, work + "/web", output), 0) << output;
    std::string json;
    ASSERT_TRUE(xdriver::readFile(folder + "/scene.json", json));
    EXPECT_NE(json.find("r<script>'\xC3\xB1"), std::string::npos) << "the material's name did not arrive as UTF-8 text";
    EXPECT_NE(json.find("P<b>'\xC3\x91"), std::string::npos) << "the flag's name did not arrive as UTF-8 text";

    EXPECT_EQ(web_test::runWebTool({"page_checks.mjs", "names", folder, utf8Name}, output), 0) << output;
    xdriver::removeTree(work);
}

TEST(WebPage, LetterKeysTouchAndAWideWindow)
{
    std::string work, output;
    const std::string folder = publishedDemo(work);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(web_test::runWebTool({"page_checks.mjs", "controls", folder}, output), 0) << output;
    xdriver::removeTree(work);
}

TEST(WebPage, WithoutWebGlOrAServerThePageSaysSo)
{
    std::string work, output;
    const std::string folder = publishedDemo(work);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(web_test::runWebTool({"page_checks.mjs", "nowebgl", folder}, output), 0) << output;
    xdriver::removeTree(work);
}

TEST(WebPage, OfflineItLoadsOnlyTheFolder)
{
    std::string work, output;
    const std::string folder = publishedDemo(work);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(web_test::runWebTool({"page_checks.mjs", "offline", folder}, output), 0) << output;
    xdriver::removeTree(work);
}
