// The options of stageworks: ours are taken out, GLUT's X options are left for glutInit, and
// anything else is refused with a reason.
#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Parses a copy of the words and returns the options with the argv GLUT would see
static CommandLine parseWords(std::vector<std::string> words, std::vector<std::string> *left)
{
    std::vector<char *> argv;
    for (std::string &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    int argc = (int)words.size();
    CommandLine options = parseCommandLine(&argc, argv.data());
    left->clear();
    for (int i = 0; i < argc; i++) left->push_back(argv[i]);
    EXPECT_EQ(argv[argc], nullptr);
    return options;
}

TEST(CommandLine, OptionsAndDirectoryAreTakenAndGlutArgumentsKept)
{
    std::vector<std::string> left;
    CommandLine o = parseWords({"stageworks", "--window", "-display", ":7", "scenes/a", "--play", "--every-frame"}, &left);
    EXPECT_TRUE(o.error.empty());
    EXPECT_TRUE(o.window);
    EXPECT_TRUE(o.play);
    EXPECT_TRUE(o.everyFrame);
    EXPECT_FALSE(o.help);
    EXPECT_EQ(o.sceneDir, "scenes/a");
    EXPECT_EQ(left, (std::vector<std::string>{"stageworks", "-display", ":7"}));

    o = parseWords({"stageworks"}, &left);
    EXPECT_TRUE(o.error.empty());
    EXPECT_FALSE(o.window);
    EXPECT_FALSE(o.everyFrame);
    EXPECT_TRUE(o.sceneDir.empty());

    // After "--" a name that looks like an option is a directory
    o = parseWords({"stageworks", "--", "--window"}, &left);
    EXPECT_FALSE(o.window);
    EXPECT_EQ(o.sceneDir, "--window");

    o = parseWords({"stageworks", "--help", "--version"}, &left);
    EXPECT_TRUE(o.help);
    EXPECT_TRUE(o.version);
    EXPECT_FALSE(o.recover);

    // --recover takes no value: the directory after it is the scene directory
    o = parseWords({"stageworks", "--recover", "scenes/b"}, &left);
    EXPECT_TRUE(o.error.empty());
    EXPECT_TRUE(o.recover);
    EXPECT_EQ(o.sceneDir, "scenes/b");
    EXPECT_NE(commandLineHelp("stageworks").find("--recover"), std::string::npos);
}

TEST(CommandLine, UnknownOptionsAndASecondDirectoryAreRefused)
{
    std::vector<std::string> left;
    CommandLine o = parseWords({"stageworks", "--windwo"}, &left);
    EXPECT_NE(o.error.find("--windwo"), std::string::npos);

    o = parseWords({"stageworks", "one", "two"}, &left);
    EXPECT_NE(o.error.find("two"), std::string::npos);

    EXPECT_NE(commandLineHelp("stageworks").find("--window"), std::string::npos);
    EXPECT_EQ(commandLineVersion().rfind("stageworks ", 0), 0u);
}
