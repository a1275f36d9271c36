// Triangles far larger than the screen (the overlays' dimming panel spans 40000 pixels) still draw on the
// software renderer, with their colours where they would be without the cut.
#include "engine/KoGraphics.h"
#include "engine/KoSystem.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
class HugeTriangles : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        PlatConfigure(true);
        ASSERT_TRUE(KoSysInit());
    }
    static void TearDownTestSuite() { KoSysExit(); }

    // Draws a quad given in world units (1 unit = 5 pixels at 800 x 600) whose left corners have colour
    // cl and right corners cr, and returns the picture.
    static std::vector<uint32_t> Draw(float x0, float y0, float x1, float y1, uint32_t cl, uint32_t cr)
    {
        KoGfxTriStart();
        KoGfxTriAdd(x0, y0, cl, x1, y0, cr, x1, y1, cr);
        KoGfxTriAdd(x0, y0, cl, x1, y1, cr, x0, y1, cl);
        KoGfxVertexList* pQuad = KoGfxTriEnd();
        KoGfxStart();
        Mtx33 m = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
        KoGfxSetTransform(&m);
        KoGfxDraw(pQuad);
        int w = 0, h = 0;
        PlatRendererGetOutputSize(&w, &h);
        std::vector<uint32_t> px(size_t(w) * h);
        EXPECT_TRUE(PlatRendererReadPixels(px.data(), w, h));
        KoGfxEnd();
        KoGfxFree(pQuad);
        return px;
    }
    static uint32_t At(const std::vector<uint32_t>& px, int x, int y)
    {
        return px[size_t(y) * 800 + x] & 0xFFFFFF;
    }
};

TEST_F(HugeTriangles, CoverTheScreenAndKeepTheirGradient)
{
    std::vector<uint32_t> px = Draw(-4000, -2000, 4000, 2000, 0xFFFF0000, 0xFF0000FF);
    // Half way across the quad: half red, half blue, within rounding.
    const uint32_t c = At(px, 400, 300);
    EXPECT_NEAR(int(c >> 16), 128, 3);
    EXPECT_EQ(int((c >> 8) & 0xFF), 0);
    EXPECT_NEAR(int(c & 0xFF), 128, 3);
    for (int y : {0, 599})
        for (int x : {0, 799}) EXPECT_NE(At(px, x, y), 0u) << x << "," << y;
}

TEST_F(HugeTriangles, CutAtTheScreenEdgeOrOutsideIt)
{
    std::vector<uint32_t> px = Draw(-4000, -3000, 0, 3000, 0xFF00FF00, 0xFF00FF00);
    EXPECT_EQ(At(px, 10, 300), 0x00FF00u);
    EXPECT_EQ(At(px, 395, 10), 0x00FF00u);
    EXPECT_EQ(At(px, 405, 300), 0u);

    px = Draw(1000, -3000, 5000, 3000, 0xFF00FF00, 0xFF00FF00);
    for (uint32_t p : px) ASSERT_EQ(p & 0xFFFFFF, 0u);
}
} // namespace
