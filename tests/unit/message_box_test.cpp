// The message-box layer: caption and text reach the error stream, one line per box.
#include "message_box.h"

#include <gtest/gtest.h>

TEST(MessageBox, CaptionAndTextReachTheErrorStreamOnOneLine)
{
    const char *cases[][3] = {{"Error", "Out of memory.", "Error: Out of memory.\n"},
                              {"Error", "Failed to open a.bmp.\n", "Error: Failed to open a.bmp.\n"},
                              {nullptr, nullptr, ": \n"}};
    for (const auto &c : cases) {
        testing::internal::CaptureStderr();
        showMessageBox(c[0], c[1]);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c[2]);
    }
}
