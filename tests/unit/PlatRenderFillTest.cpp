// The software renderer's fast paths: axis-aligned quads drawn as rectangle fills, flat or along one axis.
// (Blended triangles and tinted texts are checked through the engine in KoGraphicsTest.)
#include "engine/KoSystem.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
class SoftwareFills : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        PlatConfigure(true);
        ASSERT_TRUE(KoSysInit());
    }
    static void TearDownTestSuite() { KoSysExit(); }

    void SetUp() override
    {
        PlatRendererSetBlendMode(PLAT_BLEND_NONE);
        PlatRendererClear();
    }

    static PlatVertex V(float x, float y, uint32_t c)
    {
        return PlatVertex{x, y, uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24), 0.0f, 0.0f};
    }
    // The quad as two triangles over the diagonal from its top-left corner (or from its top-right one),
    // corners counter-clockwise on the screen. Colours: top-left, top-right, bottom-left, bottom-right.
    static void Quad(std::vector<PlatVertex>* pOut, float x0, float y0, float x1, float y1, uint32_t tl,
                     uint32_t tr, uint32_t bl, uint32_t br, bool otherDiagonal = false)
    {
        PlatVertex a = V(x0, y0, tl), b = V(x1, y0, tr), c = V(x0, y1, bl), d = V(x1, y1, br);
        const PlatVertex quad[2][6] = {{a, c, d, a, d, b}, {b, a, c, c, d, b}};
        pOut->insert(pOut->end(), quad[otherDiagonal], quad[otherDiagonal] + 6);
    }
    static void Draw(const std::vector<PlatVertex>& v) { PlatRendererDrawTriangles(v.data(), int(v.size())); }
    static std::vector<uint32_t> Picture()
    {
        std::vector<uint32_t> px(800 * 600);
        EXPECT_TRUE(PlatRendererReadPixels(px.data(), 800, 600));
        for (uint32_t& p : px) p &= 0xFFFFFF;
        return px;
    }
    static uint32_t At(const std::vector<uint32_t>& px, int x, int y) { return px[size_t(y) * 800 + x]; }
};

TEST_F(SoftwareFills, NeighbouringQuadsCoverEveryPixelCentreOnce)
{
    // Added up, a pixel covered twice would show 0x80 and one left out 0.
    PlatRendererSetBlendMode(PLAT_BLEND_ADD);
    const float xs[] = {10.3f, 17.7f, 18.2f, 31.5f, 40.0f, 52.49f};
    const float ys[] = {20.6f, 24.5f, 33.1f};
    std::vector<PlatVertex> v;
    for (int i = 0; i + 1 < 6; ++i)
        for (int j = 0; j + 1 < 3; ++j)
        {
            const uint32_t c = 0xFF000040;
            Quad(&v, xs[i], ys[j], xs[i + 1], ys[j + 1], c, c, c, c, (i + j) % 2 == 1);
        }
    Draw(v);
    std::vector<uint32_t> px = Picture();
    for (int y = 15; y < 40; ++y)
        for (int x = 5; x < 60; ++x)
        {
            bool inside = x + 0.5f >= xs[0] && x + 0.5f < xs[5] && y + 0.5f >= ys[0] && y + 0.5f < ys[2];
            ASSERT_EQ(At(px, x, y), inside ? 0x40u : 0u) << x << "," << y;
        }
}

TEST_F(SoftwareFills, GradientQuadsChangeAlongTheirAxisOnly)
{
    std::vector<uint32_t> px;
    std::vector<PlatVertex> v;
    Quad(&v, 100, 100, 300, 200, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF); // red above, blue below
    Quad(&v, 400, 100, 600, 200, 0xFF00FF00, 0xFF0000FF, 0xFF00FF00, 0xFF0000FF); // green left, blue right
    Draw(v);
    px = Picture();
    for (int y = 100; y < 200; ++y)
        for (int x = 101; x < 300; ++x) ASSERT_EQ(At(px, x, y), At(px, 100, y)) << x << "," << y;
    for (int y = 101; y < 200; ++y)
        for (int x = 400; x < 600; ++x) ASSERT_EQ(At(px, x, y), At(px, x, 100)) << x << "," << y;
    EXPECT_NEAR(int(At(px, 150, 100) >> 16), 255, 2);
    EXPECT_NEAR(int(At(px, 150, 199) & 0xFF), 255, 2);
    EXPECT_NEAR(int(At(px, 150, 150) >> 16), 127, 3);
    EXPECT_NEAR(int(At(px, 150, 150) & 0xFF), 128, 3);
    EXPECT_NEAR(int((At(px, 400, 150) >> 8) & 0xFF), 255, 2);
    EXPECT_NEAR(int(At(px, 599, 150) & 0xFF), 255, 2);
    EXPECT_NEAR(int((At(px, 500, 150) >> 8) & 0xFF), 127, 3);

    // Colours changing along both axes are no gradient of one axis: the quad keeps its triangles, and its
    // middle is the mean of the shared diagonal's two corners.
    PlatRendererClear();
    v.clear();
    Quad(&v, 100, 300, 300, 500, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFF0000);
    Draw(v);
    px               = Picture();
    const uint32_t c = At(px, 200, 400);
    EXPECT_NEAR(int(c >> 16), 255, 8);
    EXPECT_NE(At(px, 120, 320), At(px, 280, 320));
    EXPECT_NE(At(px, 120, 320), At(px, 120, 480));
}

} // namespace
