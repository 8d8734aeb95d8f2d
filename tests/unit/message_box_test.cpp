// The message-box layer: caption and text reach the error stream, one line per box.
#include "message_box.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string boxOutput(const char *caption, const char *text)
{
    testing::internal::CaptureStderr();
    showMessageBox(caption, text);
    return testing::internal::GetCapturedStderr();
}

TEST(MessageBox, CaptionAndTextReachTheErrorStream)
{
    EXPECT_EQ(boxOutput("Error", "Out of memory."), "Error: Out of memory.\n");
    // a text that ends its own line is not given a second line feed
    EXPECT_EQ(boxOutput("Error", "Failed to open DIB file a b.bmp.\n"), "Error: Failed to open DIB file a b.bmp.\n");
    EXPECT_EQ(boxOutput("Error!", "Data/x.bmp"), "Error!: Data/x.bmp\n");
    EXPECT_EQ(boxOutput(nullptr, nullptr), ": \n");
}

} // namespace
