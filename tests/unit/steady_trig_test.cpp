// The camera's sine and cosine: correctly rounded over the angles walking uses (checked
// against the C library's double results rounded once), odd and even as they should be, and
// still within one unit in the last place far from zero.
#include "steady_trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

float fromBits(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Distance in units of the last place between two floats of the same sign
long ulps(float a, float b)
{
    int32_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return std::labs((long)x - (long)y);
}

}  // namespace

TEST(SteadyTrig, CorrectlyRoundedOverTheWalkingAngles)
{
    // every 1999th float from 0 to 12 radians (the walk's (yaw + direction) in radians), both signs
    const uint32_t first = 0, last = 0x41400000;   // 12.0f
    long checked = 0, wrong = 0;
    for (uint32_t bits = first; bits <= last; bits += 1999) {
        for (float x : {fromBits(bits), -fromBits(bits)}) {
            checked++;
            if (steadySin(x) != (float)std::sin((double)x) || steadyCos(x) != (float)std::cos((double)x)) wrong++;
        }
    }
    EXPECT_GT(checked, 1000000);
    EXPECT_EQ(wrong, 0);
}

TEST(SteadyTrig, OddEvenAndExactPoints)
{
    EXPECT_EQ(steadySin(0.0f), 0.0f);
    EXPECT_EQ(steadyCos(0.0f), 1.0f);
    for (float x : {0.3f, 1.5707964f, 3.1415927f, 4.712389f, 5.5f, 11.0f}) {
        EXPECT_EQ(steadySin(-x), -steadySin(x)) << x;
        EXPECT_EQ(steadyCos(-x), steadyCos(x)) << x;
    }
    // the quarter turns as the camera meets them: (yaw + 90) x pi / 180 for yaw 0, 90, 180, 270
    const float pi = 3.1415927f;
    EXPECT_EQ(steadySin(90.0f * pi / 180.0f), 1.0f);
    EXPECT_EQ(steadyCos(180.0f * pi / 180.0f), -1.0f);
    EXPECT_EQ(steadySin(270.0f * pi / 180.0f), -1.0f);
}

TEST(SteadyTrig, WithinOneUlpFarOut)
{
    for (float x : {1000.25f, 54321.5f, -98765.125f, 999999.0f}) {
        EXPECT_LE(ulps(steadySin(x), (float)std::sin((double)x)), 1) << x;
        EXPECT_LE(ulps(steadyCos(x), (float)std::cos((double)x)), 1) << x;
    }
}
