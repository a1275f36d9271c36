#include "engine/KoMath.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <limits>

namespace
{
// The point (x, y) through m.
Vec2 Apply(const Mtx33& m, float x, float y)
{
    return Vec2{m.m[0][0] * x + m.m[0][1] * y + m.m[0][2], m.m[1][0] * x + m.m[1][1] * y + m.m[1][2]};
}
} // namespace

TEST(KoMath, ConcatAppliesTheRightOperandFirstAndMayOverwriteEitherOperand)
{
    Mtx33 t, s, r, ts;
    Mtx33Trans(&t, 10.0f, -5.0f);
    Mtx33Scale(&s, 2.0f, 3.0f);
    Mtx33Concat(&ts, &t, &s); // scale first, then move
    EXPECT_NEAR(Apply(ts, 1.0f, 1.0f).x, 12.0f, 1e-5f);
    EXPECT_NEAR(Apply(ts, 1.0f, 1.0f).y, -2.0f, 1e-5f);
    EXPECT_TRUE(ts.m[2][0] == 0.0f && ts.m[2][1] == 0.0f && ts.m[2][2] == 1.0f);
    Mtx33Rot(&r, 3.14159265f / 2.0f); // counter-clockwise
    EXPECT_NEAR(Apply(r, 1.0f, 0.0f).x, 0.0f, 1e-5f);
    EXPECT_NEAR(Apply(r, 1.0f, 0.0f).y, 1.0f, 1e-5f);

    Mtx33 want[3], m[3] = {ts, ts, ts};
    Mtx33Concat(&want[0], &ts, &r);
    Mtx33Concat(&want[1], &r, &ts);
    Mtx33Concat(&want[2], &ts, &ts);
    Mtx33Concat(&m[0], &m[0], &r);
    Mtx33Concat(&m[1], &r, &m[1]);
    Mtx33Concat(&m[2], &m[2], &m[2]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(memcmp(&m[i], &want[i], sizeof(Mtx33)), 0) << i;
}

TEST(KoMath, RandomNumbersCoverZeroToOne)
{
    float lo = 1.0f, hi = 0.0f;
    double sum = 0.0;
    for (int i = 0; i < 200000; ++i)
    {
        const float r = KoRandFloat();
        ASSERT_TRUE(r >= 0.0f && r <= 1.0f) << r;
        lo = std::min(lo, r), hi = std::max(hi, r), sum += r;
    }
    EXPECT_TRUE(lo < 0.001f && hi > 0.999f) << lo << " " << hi;
    EXPECT_NEAR(sum / 200000, 0.5, 0.01);
}

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
                  "Line: N\nFunc: KoTestPointToRect\nFile: src\\KoMath\n");
    }
}
