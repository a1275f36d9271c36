// The input states through the same path as the window's events: queued platform events, pumped by the
// input update.
#include "engine/KoInput.h"

#include "engine/KoGraphics.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

namespace
{
void PushKey(int type, unsigned char vk)
{
    PlatEvent e{};
    e.type = type;
    e.vk   = vk;
    PlatPushEvent(e);
}

void PushMouse(bool left, bool right)
{
    PlatEvent e{};
    e.type  = PLAT_EVENT_MOUSE;
    e.left  = left;
    e.right = right;
    PlatPushEvent(e);
}

struct KeyState
{
    bool curr, triggered, released;
    bool operator==(const KeyState& o) const
    {
        return curr == o.curr && triggered == o.triggered && released == o.released;
    }
};

KeyState Key(unsigned char vk)
{
    return {KoInputCheckCurr(vk), KoInputCheckTriggered(vk), KoInputCheckReleased(vk)};
}

std::ostream& operator<<(std::ostream& os, const KeyState& k)
{
    return os << "{curr " << k.curr << ", triggered " << k.triggered << ", released " << k.released << "}";
}

const KeyState kUp        = {false, false, false};
const KeyState kTriggered = {true, true, false};
const KeyState kHeld      = {true, false, false};
const KeyState kReleased  = {false, false, true};

struct Input : ::testing::Test
{
    void SetUp() override
    {
        KoInputUpdate(); // drain anything queued
        KoInputReset();
    }
};
} // namespace

TEST_F(Input, AHeldKeyTriggersOnceAndReleasesOnce)
{
    PushKey(PLAT_EVENT_KEY_DOWN, VK_SPACE);
    KoInputUpdate();
    EXPECT_EQ(Key(VK_SPACE), kTriggered);
    for (int frame = 0; frame < 3; ++frame)
    {
        PushKey(PLAT_EVENT_KEY_DOWN, VK_SPACE); // auto-repeat changes nothing
        KoInputUpdate();
        EXPECT_EQ(Key(VK_SPACE), kHeld);
        KoInputUpdate();
        EXPECT_EQ(Key(VK_SPACE), kHeld);
    }
    PushKey(PLAT_EVENT_KEY_UP, VK_SPACE);
    KoInputUpdate();
    EXPECT_EQ(Key(VK_SPACE), kReleased);
    KoInputUpdate();
    EXPECT_EQ(Key(VK_SPACE), kUp);
    EXPECT_EQ(Key(VK_UP), kUp); // other keys untouched
}

TEST_F(Input, DownAndUpWithinOneFrameLeaveNoTrace)
{
    PushKey(PLAT_EVENT_KEY_DOWN, 'J');
    PushKey(PLAT_EVENT_KEY_UP, 'J');
    KoInputUpdate();
    EXPECT_EQ(Key('J'), kUp);
    KoInputUpdate();
    EXPECT_EQ(Key('J'), kUp);
}

TEST_F(Input, ResetForgetsHeldKeysUntilTheNextRepeat)
{
    PushKey(PLAT_EVENT_KEY_DOWN, VK_F11);
    PushKey(PLAT_EVENT_KEY_DOWN, 0xFF); // the whole code range is usable
    KoInputUpdate();
    KoInputUpdate();
    ASSERT_EQ(Key(VK_F11), kHeld);
    ASSERT_EQ(Key(0xFF), kHeld);
    KoInputReset();
    EXPECT_EQ(Key(VK_F11), kUp);
    EXPECT_EQ(Key(0xFF), kUp);
    KoInputUpdate();
    EXPECT_EQ(Key(VK_F11), kUp);
    PushKey(PLAT_EVENT_KEY_DOWN, VK_F11); // the key is still physically held: its repeat
    KoInputUpdate();
    EXPECT_EQ(Key(VK_F11), kTriggered);
}

TEST_F(Input, MouseButtonsFollowTheLatestMouseEvent)
{
    PushMouse(true, false);
    KoInputUpdate();
    EXPECT_TRUE(KoInputMouseCheckCurr(1));
    EXPECT_TRUE(KoInputMouseCheckTriggered(1));
    EXPECT_FALSE(KoInputMouseCheckCurr(2));
    // No mouse event: the buttons keep their state.
    KoInputUpdate();
    EXPECT_TRUE(KoInputMouseCheckCurr(1));
    EXPECT_FALSE(KoInputMouseCheckTriggered(1));
    // A move with both held: the right one goes down.
    PushMouse(true, true);
    KoInputUpdate();
    EXPECT_FALSE(KoInputMouseCheckTriggered(1));
    EXPECT_TRUE(KoInputMouseCheckTriggered(2));
    // Press and release between two updates: no trace.
    PushMouse(false, false);
    KoInputUpdate();
    PushMouse(true, false);
    PushMouse(false, false);
    KoInputUpdate();
    EXPECT_FALSE(KoInputMouseCheckCurr(1));
    EXPECT_FALSE(KoInputMouseCheckTriggered(1));
    // Buttons are not keys, and indices other than 1 and 2 read as up.
    PushMouse(true, true);
    KoInputUpdate();
    EXPECT_FALSE(KoInputCheckCurr(VK_LBUTTON));
    EXPECT_FALSE(KoInputMouseCheckCurr(0));
    EXPECT_FALSE(KoInputMouseCheckCurr(3));
    EXPECT_FALSE(KoInputMouseCheckTriggered(255));
    KoInputReset();
    EXPECT_FALSE(KoInputMouseCheckCurr(1));
    EXPECT_FALSE(KoInputMouseCheckCurr(2));
}

TEST(InputCursor, ClientPixelsMapToTheWorldThroughTheCamera)
{
    const float eye[3] = {0.0f, 0.0f, 60.0f}, at[3] = {0.0f, 0.0f, 0.0f}, up[3] = {0.0f, 1.0f, 0.0f};
    struct Case
    {
        float w, h;
        int px, py;
        float wantX, wantY;
    };
    const Case cases[] = {
        {800, 600, 400, 300, 0.0f, 0.0f},     {800, 600, 0, 0, -80.0f, 60.0f},
        {800, 600, 800, 600, 80.0f, -60.0f},  {800, 600, 200, 450, -40.0f, -30.0f},
        {1024, 768, 512, 384, 0.0f, 0.0f},    {1024, 768, 0, 0, -80.0f, 60.0f},
        {640, 360, 0, 360, -106.6667f, -60.0f}, {640, 360, 960, -180, 213.3333f, 120.0f}, // off the client area
    };
    for (const Case& c : cases)
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
