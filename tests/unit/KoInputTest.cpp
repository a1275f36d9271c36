// The input states through the same path as the window's events: queued platform events, pumped by the
// input update.
#include "engine/KoInput.h"

#include "engine/KoGraphics.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
void Push(int type, unsigned char vk, bool left = false, bool right = false)
{
    PlatEvent e{};
    e.type  = type;
    e.vk    = vk;
    e.left  = left;
    e.right = right;
    PlatPushEvent(e);
}

// The key's state as three flags: current, triggered, released.
std::string Key(unsigned char vk)
{
    return std::string() + "-C"[KoInputCheckCurr(vk)] + "-T"[KoInputCheckTriggered(vk)] +
           "-R"[KoInputCheckReleased(vk)];
}

struct Input : ::testing::Test
{
    void SetUp() override
    {
        KoInputUpdate(); // drain anything queued
        KoInputReset();
    }
};
} // namespace

TEST_F(Input, AHeldKeyTriggersOnceAndReleasesOnceAndAResetForgetsIt)
{
    Push(PLAT_EVENT_KEY_DOWN, VK_SPACE);
    KoInputUpdate();
    EXPECT_EQ(Key(VK_SPACE), "CT-");
    for (int frame = 0; frame < 3; ++frame)
    {
        Push(PLAT_EVENT_KEY_DOWN, VK_SPACE); // auto-repeat changes nothing
        KoInputUpdate();
        EXPECT_EQ(Key(VK_SPACE), "C--");
    }
    Push(PLAT_EVENT_KEY_UP, VK_SPACE);
    KoInputUpdate();
    EXPECT_EQ(Key(VK_SPACE), "--R");
    KoInputUpdate();
    EXPECT_EQ(Key(VK_SPACE), "---");
    EXPECT_EQ(Key(VK_UP), "---"); // other keys untouched

    // Down and up within one frame leave no trace.
    Push(PLAT_EVENT_KEY_DOWN, 'J');
    Push(PLAT_EVENT_KEY_UP, 'J');
    KoInputUpdate();
    EXPECT_EQ(Key('J'), "---");

    // A reset forgets held keys until their next repeat; the whole code range is usable.
    Push(PLAT_EVENT_KEY_DOWN, VK_F11);
    Push(PLAT_EVENT_KEY_DOWN, 0xFF);
    KoInputUpdate();
    KoInputUpdate();
    ASSERT_EQ(Key(VK_F11) + Key(0xFF), "C--C--");
    KoInputReset();
    KoInputUpdate();
    EXPECT_EQ(Key(VK_F11) + Key(0xFF), "------");
    Push(PLAT_EVENT_KEY_DOWN, VK_F11);
    KoInputUpdate();
    EXPECT_EQ(Key(VK_F11), "CT-");
}

TEST_F(Input, MouseButtonsFollowTheLatestMouseEvent)
{
    Push(PLAT_EVENT_MOUSE, 0, true, false);
    KoInputUpdate();
    EXPECT_TRUE(KoInputMouseCheckTriggered(1));
    EXPECT_FALSE(KoInputMouseCheckCurr(2));
    KoInputUpdate(); // no mouse event: the buttons keep their state
    EXPECT_TRUE(KoInputMouseCheckCurr(1));
    EXPECT_FALSE(KoInputMouseCheckTriggered(1));
    Push(PLAT_EVENT_MOUSE, 0, true, true); // a move with both held: the right one goes down
    KoInputUpdate();
    EXPECT_FALSE(KoInputMouseCheckTriggered(1));
    EXPECT_TRUE(KoInputMouseCheckTriggered(2));
    // Press and release between two updates: no trace.
    Push(PLAT_EVENT_MOUSE, 0, false, false);
    KoInputUpdate();
    Push(PLAT_EVENT_MOUSE, 0, true, false);
    Push(PLAT_EVENT_MOUSE, 0, false, false);
    KoInputUpdate();
    EXPECT_FALSE(KoInputMouseCheckCurr(1) || KoInputMouseCheckTriggered(1));
    // Buttons are not keys, and indices other than 1 and 2 read as up.
    Push(PLAT_EVENT_MOUSE, 0, true, true);
    KoInputUpdate();
    EXPECT_FALSE(KoInputCheckCurr(VK_LBUTTON));
    EXPECT_FALSE(KoInputMouseCheckCurr(0) || KoInputMouseCheckCurr(3) || KoInputMouseCheckTriggered(255));
    KoInputReset();
    EXPECT_FALSE(KoInputMouseCheckCurr(1) || KoInputMouseCheckCurr(2));
}

TEST(InputCursor, ClientPixelsMapToTheWorldThroughTheCamera)
{
    const float eye[3] = {0.0f, 0.0f, 60.0f}, at[3] = {0.0f, 0.0f, 0.0f}, up[3] = {0.0f, 1.0f, 0.0f};
    const struct
    {
        float w, h;
        int px, py;
        float wantX, wantY;
    } cases[] = {
        {800, 600, 400, 300, 0.0f, 0.0f},
        {800, 600, 0, 0, -80.0f, 60.0f},
        {800, 600, 800, 600, 80.0f, -60.0f},
        {800, 600, 200, 450, -40.0f, -30.0f},
        {1024, 768, 512, 384, 0.0f, 0.0f},
        {1024, 768, 0, 0, -80.0f, 60.0f},
        {640, 360, 0, 360, -106.6667f, -60.0f},
        {640, 360, 960, -180, 213.3333f, 120.0f}, // off the client area
    };
    for (const auto& c : cases)
    {
        KoGfxMatrix proj, view;
        KoGfxMatrixPerspectiveFovRH(&proj, 1.5707964f, c.w / c.h, 1.0f, 1000.0f);
        KoGfxMatrixLookAtRH(&view, eye, at, up);
        Vec2 p;
        KoInputClientToWorld(&p, c.px, c.py, c.w, c.h, &proj, &view);
        EXPECT_NEAR(p.x, c.wantX, 1e-3f) << c.w << "x" << c.h << " at " << c.px << "," << c.py;
        EXPECT_NEAR(p.y, c.wantY, 1e-3f) << c.w << "x" << c.h << " at " << c.px << "," << c.py;
    }
}
