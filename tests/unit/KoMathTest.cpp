#include "engine/KoMath.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>
#include <limits>

// The matrices (order, turn direction, a result written over its operand) are the pool's transform pass
// test: it composes a turned, scaled and moving parent with its child.
TEST(KoMath, PointsOnARectsEdgeAndRectsTouchingCountAsInside)
{
    const Vec2 c = {2.0f, 3.0f};
    for (float dx : {-2.0f, 0.0f, 2.0f})
        for (float dy : {-1.0f, 0.0f, 1.0f})
        {
            Vec2 p = {c.x + dx, c.y + dy};
            EXPECT_TRUE(KoTestPointToRect(&p, &c, 4.0f, 2.0f)) << dx << "," << dy;
        }
    const Vec2 outside[] = {{c.x + 2.001f, c.y}, {c.x, c.y - 1.001f}};
    for (const Vec2& p : outside) EXPECT_FALSE(KoTestPointToRect(&p, &c, 4.0f, 2.0f));
    Vec2 near = {c.x + 1e-4f, c.y}; // a rectangle of size 0 holds only its centre
    EXPECT_TRUE(KoTestPointToRect(&c, &c, 0.0f, 0.0f));
    EXPECT_FALSE(KoTestPointToRect(&near, &c, 0.0f, 0.0f));

    const Vec2 a = {0.0f, 0.0f}, b[] = {{3.0f, 0.0f}, {3.01f, 0.0f}, {-1.0f, -3.0f}, {-1.0f, -3.5f}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(KoTestRectToRect(&a, 2.0f, 2.0f, &b[i], 4.0f, 4.0f), i % 2 == 0) << i;
}

TEST(KoMath, PointInRectStopsOnBadArguments)
{
    Vec2 p          = {0.0f, 0.0f};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const ChildResult& r : {RunInChild([&] { KoTestPointToRect(nullptr, &p, 1.0f, 1.0f); }),
                                 RunInChild([&] { KoTestPointToRect(&p, nullptr, 1.0f, 1.0f); }),
                                 RunInChild([&] { KoTestPointToRect(&p, &p, -0.5f, 1.0f); }),
                                 RunInChild([&] { KoTestPointToRect(&p, &p, 1.0f, nan); })})
    {
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(WithoutLineNumbers(r.out),
                  "KO_ASSERT: pPos && pRect && (sizeX >= 0.0f) && (sizeY >= 0.0f)\n"
                  "Line: N\nFunc: KoTestPointToRect\nFile: src/engine/KoMath.cpp\n");
    }
}
