// Shared steps of the web tests: publishing a scene directory with stageworks-publish, running
// a tool of tests/web through scripts/web-tools.sh (node, puppeteer-core, headless Chromium
// without DISPLAY), and reading the test probe's state files of both programs.
#pragma once

#include "xdriver.h"

#include <map>
#include <string>
#include <vector>

namespace web_test {

// What a picture shows: the camera, every object's pose and material, every texture turn
struct ViewState {
    std::vector<float> camera;
    std::map<int, std::vector<float>> poses;
    std::map<int, std::string> materials;
    std::map<std::string, std::vector<float>> turns;
};

// Parses the probe's text (either program's); empty camera when it holds none
inline ViewState parseViewState(const std::string &text)
{
    ViewState s;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::vector<std::string> words;
        std::string line = text.substr(at, end - at), word;
        for (char c : line + " ") {
            if (c == ' ') {
                if (!word.empty()) words.push_back(word);
                word.clear();
            } else {
                word += c;
            }
        }
        at = end + 1;
        if (words.empty()) continue;
        auto numbers = [&](size_t from, size_t count) {
            std::vector<float> v;
            for (size_t i = from; i < from + count && i < words.size(); i++) v.push_back(std::stof(words[i]));
            return v;
        };
        if (words[0] == "camera") s.camera = numbers(1, 6);
        if (words[0] == "object" && words.size() >= 8) {
            int slot = std::stoi(words[1]);
            s.poses[slot] = numbers(2, 6);
            s.materials[slot] = words.size() > 8 ? words[8] : "";
        }
        if (words[0] == "turn" && words.size() >= 5) s.turns[words[1]] = numbers(2, 3);
    }
    return s;
}

// Runs tests/web/SCRIPT through scripts/web-tools.sh; the exit status (-1 on a time-out)
inline int runWebTool(const std::vector<std::string> &args, std::string &output, int timeoutMs = 280000)
{
    xdriver::ChildProcess tool;
    std::vector<std::string> argv = {"/bin/bash", std::string(SW_SOURCE_DIR) + "/scripts/web-tools.sh"};
    argv.insert(argv.end(), args.begin(), args.end());
    if (!tool.spawn(argv, std::string(SW_SOURCE_DIR) + "/tests/web", "")) return -1;
    const bool ended = tool.waitExit(timeoutMs);
    output = tool.out + tool.err;
    return ended ? tool.exitStatus : -1;
}

// stageworks-publish DIR OUTDIR; the exit status, with its output
inline int publish(const std::string &dir, const std::string &outDir, std::string &output)
{
    xdriver::ChildProcess tool;
    if (!tool.spawn({SW_PUBLISH_BIN, dir, outDir}, dir, "")) return -1;
    const bool ended = tool.waitExit(120000);
    output = tool.out + tool.err;
    return ended ? tool.exitStatus : -1;
}

}  // namespace web_test
