#include "engine/KoMath.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace
{
void ExpectPoint(const Mtx33& m, float x, float y, float wantX, float wantY)
{
    float gx = m.m[0][0] * x + m.m[0][1] * y + m.m[0][2];
    float gy = m.m[1][0] * x + m.m[1][1] * y + m.m[1][2];
    EXPECT_NEAR(gx, wantX, 1e-5f);
    EXPECT_NEAR(gy, wantY, 1e-5f);
}

bool SameMatrix(const Mtx33& a, const Mtx33& b)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (a.m[r][c] != b.m[r][c]) return false;
    return true;
}
} // namespace

TEST(KoMath, ConcatAppliesTheRightOperandFirstAndMayOverwriteEitherOperand)
{
    Mtx33 t, s, r, ts;
    Mtx33Trans(&t, 10.0f, -5.0f);
    Mtx33Scale(&s, 2.0f, 3.0f);
    Mtx33Concat(&ts, &t, &s); // scale first, then move
    ExpectPoint(ts, 1.0f, 1.0f, 12.0f, -2.0f);
    EXPECT_EQ(ts.m[2][0], 0.0f);
    EXPECT_EQ(ts.m[2][1], 0.0f);
    EXPECT_EQ(ts.m[2][2], 1.0f);

    Mtx33Rot(&r, 0.7f);
    Mtx33 expectLeft, expectRight, m;
    Mtx33Concat(&expectLeft, &ts, &r);
    Mtx33Concat(&expectRight, &r, &ts);
    m = ts;
    Mtx33Concat(&m, &m, &r);
    EXPECT_TRUE(SameMatrix(m, expectLeft));
    m = ts;
    Mtx33Concat(&m, &r, &m);
    EXPECT_TRUE(SameMatrix(m, expectRight));
    m = ts;
    Mtx33 sq;
    Mtx33Concat(&sq, &ts, &ts);
    Mtx33Concat(&m, &m, &m);
    EXPECT_TRUE(SameMatrix(m, sq));
}

TEST(KoMath, RotationIsCounterClockwise)
{
    Mtx33 r;
    Mtx33Rot(&r, 3.14159265f / 2.0f);
    ExpectPoint(r, 1.0f, 0.0f, 0.0f, 1.0f);
    ExpectPoint(r, 0.0f, 1.0f, -1.0f, 0.0f);
    Mtx33Identity(&r);
    ExpectPoint(r, 3.0f, -4.0f, 3.0f, -4.0f);
}

TEST(KoMath, ScalarFunctions)
{
    EXPECT_EQ(KoDegToRad(180.0f), 3.1415927f);
    EXPECT_EQ(KoDegToRad(90.0f), 1.5707964f);
    EXPECT_FLOAT_EQ(KoTan(KoDegToRad(90.0f) * 0.5f) * 60.0f, 60.0f);

    EXPECT_EQ(KoWrap(-1.0f, 0.0f, 10.0f), 9.0f);
    EXPECT_EQ(KoWrap(11.0f, 0.0f, 10.0f), 1.0f);
    EXPECT_EQ(KoWrap(25.0f, 0.0f, 10.0f), 15.0f); // one period at most
    EXPECT_EQ(KoWrap(10.0f, 0.0f, 10.0f), 10.0f);
    EXPECT_EQ(KoWrap(0.0f, 0.0f, 10.0f), 0.0f);
}

TEST(KoMath, RandomNumbersCoverZeroToOne)
{
    float lo = 1.0f, hi = 0.0f;
    double sum  = 0.0;
    const int n = 200000;
    for (int i = 0; i < n; ++i)
    {
        float r = KoRandFloat();
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 1.0f);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
        sum += r;
    }
    EXPECT_LT(lo, 0.001f);
    EXPECT_GT(hi, 0.999f);
    EXPECT_NEAR(sum / n, 0.5, 0.01);
}

TEST(KoMath, PointInRectCountsEdgesAsInside)
{
    Vec2 c = {2.0f, 3.0f};
    Vec2 p;
    for (float dx : {-2.0f, 0.0f, 2.0f})
        for (float dy : {-1.0f, 0.0f, 1.0f})
        {
            Vec2Set(&p, c.x + dx, c.y + dy);
            EXPECT_TRUE(KoTestPointToRect(&p, &c, 4.0f, 2.0f)) << dx << "," << dy;
        }
    Vec2Set(&p, c.x + 2.001f, c.y);
    EXPECT_FALSE(KoTestPointToRect(&p, &c, 4.0f, 2.0f));
    Vec2Set(&p, c.x, c.y - 1.001f);
    EXPECT_FALSE(KoTestPointToRect(&p, &c, 4.0f, 2.0f));

    // A rectangle of size 0 holds only its centre.
    EXPECT_TRUE(KoTestPointToRect(&c, &c, 0.0f, 0.0f));
    Vec2Set(&p, c.x + 1e-4f, c.y);
    EXPECT_FALSE(KoTestPointToRect(&p, &c, 0.0f, 0.0f));
}

TEST(KoMath, RectsTouchingCountAsOverlapping)
{
    Vec2 a = {0.0f, 0.0f}, b = {3.0f, 0.0f};
    EXPECT_TRUE(KoTestRectToRect(&a, 2.0f, 2.0f, &b, 4.0f, 4.0f)); // edges meet at x = 1
    Vec2Set(&b, 3.01f, 0.0f);
    EXPECT_FALSE(KoTestRectToRect(&a, 2.0f, 2.0f, &b, 4.0f, 4.0f));
    Vec2Set(&b, -1.0f, -3.0f);
    EXPECT_TRUE(KoTestRectToRect(&a, 2.0f, 2.0f, &b, 4.0f, 4.0f));
    Vec2Set(&b, -1.0f, -3.5f);
    EXPECT_FALSE(KoTestRectToRect(&a, 2.0f, 2.0f, &b, 4.0f, 4.0f));
}

TEST(KoMath, PointInRectStopsOnBadArguments)
{
    const std::string expected = "KO_ASSERT: pPos && pRect && (sizeX >= 0.0f) && (sizeY >= 0.0f)\n"
                                 "Line: N\nFunc: KoTestPointToRect\nFile: src\\KoMath\n";
    Vec2 p                     = {0.0f, 0.0f};
    const float nan            = std::numeric_limits<float>::quiet_NaN();
    auto cases                 = {RunInChild([&] { KoTestPointToRect(nullptr, &p, 1.0f, 1.0f); }),
                                  RunInChild([&] { KoTestPointToRect(&p, nullptr, 1.0f, 1.0f); }),
                                  RunInChild([&] { KoTestPointToRect(&p, &p, -0.5f, 1.0f); }),
                                  RunInChild([&] { KoTestPointToRect(&p, &p, 1.0f, nan); })};
    for (const ChildResult& r : cases)
    {
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(WithoutLineNumbers(r.out), expected);
        EXPECT_NE(r.out.find("Line: "), std::string::npos);
    }
}
