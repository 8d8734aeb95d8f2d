// What a release says about itself: the MIT licence in LICENSE, the README and the Debian
// copyright file; AppStream metadata that names a home page and screenshots only when one is
// configured and validates either way; the package maintainer taken from the builder's
// environment as Debian's tools take it; and no invented address in the shipped sources.
#include "xdriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string SOURCE = SW_SOURCE_DIR;

struct Result {
    int status = -1;
    std::string out, err;
};

// Runs a command with exactly the environment given (plus PATH) and waits for it
Result run(const std::vector<std::string> &argv, const std::vector<std::string> &env = {})
{
    Result result;
    std::vector<std::string> command = {"/usr/bin/env", "-i", "PATH=/usr/bin:/bin"};
    command.insert(command.end(), env.begin(), env.end());
    command.insert(command.end(), argv.begin(), argv.end());
    xdriver::ChildProcess child;
    if (!child.spawn(command, "/", "")) return result;
    if (child.waitExit(120000)) result.status = child.exitStatus;
    result.out = child.out;
    result.err = child.err;
    return result;
}

std::string readSource(const std::string &path)
{
    std::string text;
    EXPECT_TRUE(xdriver::readFile(SOURCE + "/" + path, text)) << path;
    return text;
}

// The metainfo file of a program as an installation with this home page writes it
std::string installedMetainfo(const std::string &program, const std::string &home, const std::string &dir)
{
    const std::string destination = "share/metainfo/" + program + ".metainfo.xml";
    Result r = run({SW_CMAKE_COMMAND, "-DSW_TEMPLATE=" + SOURCE + "/dist/metainfo/" + program + ".metainfo.xml.in",
                    "-DSW_DESTINATION=" + destination, "-DCMAKE_INSTALL_PREFIX=" + dir, "-DSW_HOMEPAGE_URL=" + home,
                    "-DSW_APPSTREAM_PREFIX=local.stageworks", "-DPROJECT_VERSION=1.0.0", "-DSW_RELEASE_DATE=2026-12-07",
                    "-P", SOURCE + "/dist/install_generated.cmake"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    Result valid = run({"appstreamcli", "validate", "--no-net", dir + "/" + destination}, {"LC_ALL=C.UTF-8"});
    EXPECT_EQ(valid.status, 0) << program << " with home page '" << home << "':\n" << valid.out << valid.err;
    std::string xml;
    EXPECT_TRUE(xdriver::readFile(dir + "/" + destination, xml));
    return xml;
}

size_t occurrences(const std::string &text, const std::string &what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) count++;
    return count;
}

}  // namespace

TEST(Release, TheLicenceIsMitEverywhereItIsStated)
{
    const std::string licence = readSource("LICENSE");
    EXPECT_EQ(licence.rfind("MIT License\n\nCopyright (c) 2026 the stageworks developers\n", 0), 0u);
    EXPECT_NE(licence.find("THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND"), std::string::npos);

    const std::string readme = readSource("README.md");
    size_t section = readme.rfind("\n## ");
    ASSERT_NE(section, std::string::npos);
    EXPECT_EQ(readme.compare(section, 13, "\n## Licence\n\n"), 0) << "the README ends with its Licence section";
    EXPECT_NE(readme.find("[MIT licence](LICENSE)", section), std::string::npos);

    const std::string copyright = readSource("dist/debian/copyright");
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u);
    EXPECT_NE(copyright.find("\nFiles: *\nCopyright: 2026 the stageworks developers\nLicense: Expat\n"), std::string::npos);
    EXPECT_NE(copyright.find("\nLicense: Expat\n Permission is hereby granted"), std::string::npos);
    EXPECT_EQ(copyright.find("License: other"), std::string::npos);
}

TEST(Release, MetadataNamesAddressesOnlyWhenAHomePageIsConfigured)
{
    const std::string dir = xdriver::makeTempDir("stageworks-metainfo");
    ASSERT_FALSE(dir.empty());
    for (const char *program : {"stageworks", "matforge"}) {
        const std::string plain = installedMetainfo(program, "", dir + "/plain");
        EXPECT_NE(plain.find("<project_license>MIT</project_license>"), std::string::npos) << program;
        EXPECT_NE(plain.find("<metadata_license>MIT</metadata_license>"), std::string::npos) << program;
        EXPECT_NE(plain.find("<id>local.stageworks." + std::string(program) + "</id>"), std::string::npos) << program;
        for (const char *address : {"<url", "<screenshot", "http", "@"}) EXPECT_EQ(plain.find(address), std::string::npos) << program << ": " << address;

        const std::string home = "https://scenes.test/stageworks";
        const std::string published = installedMetainfo(program, home, dir + "/published");
        EXPECT_NE(published.find("<url type=\"homepage\">" + home + "</url>"), std::string::npos) << program;
        EXPECT_EQ(occurrences(published, "<image>" + home + "/docs/"), 3u) << program;
    }
    xdriver::removeTree(dir);
}

TEST(Release, TheMaintainerIsWhoeverBuildsThePackage)
{
    const std::vector<std::string> script = {SW_CMAKE_COMMAND, "-P", SOURCE + "/dist/maintainer.cmake"};
    EXPECT_EQ(run(script, {"DEBFULLNAME=Ana Pérez", "DEBEMAIL=ana@correo.test"}).err, "Ana Pérez <ana@correo.test>\n");
    EXPECT_EQ(run(script, {"DEBEMAIL=Luis Gil <luis@taller.test>"}).err, "Luis Gil <luis@taller.test>\n");
    EXPECT_EQ(run(script, {"NAME=Eva", "EMAIL=eva@casa.test", "LOGNAME=eva"}).err, "Eva <eva@casa.test>\n");

    // Nothing set: the login at this machine's mail name, nothing made up
    Result plain = run(script, {"LOGNAME=carmen"});
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err.rfind("carmen <carmen@", 0), 0u) << plain.err;
    EXPECT_EQ(plain.err.find("example"), std::string::npos) << plain.err;
}

TEST(Release, NoInventedAddressInTheSourcesThatShip)
{
    Result found = run({"grep", "-rlIE", "example[.](org|com|net)|[.]example\\b", SOURCE + "/dist", SOURCE + "/stageworks",
                        SOURCE + "/matforge", SOURCE + "/CMakeLists.txt", SOURCE + "/scripts"});
    EXPECT_EQ(found.status, 1) << "files naming an example address:\n" << found.out << found.err;
}
