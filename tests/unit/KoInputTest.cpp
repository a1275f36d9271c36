// The input states through the same path as the window's events: queued platform events, pumped by the
// input update; and scripted input, injected frame by frame.
#include "engine/KoInput.h"

#include "framework/Script.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

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

// The buttons' state as two flags each (current, triggered): left, then right.
std::string Buttons()
{
    return std::string() + "-C"[KoInputMouseCheckCurr(1)] + "-T"[KoInputMouseCheckTriggered(1)] +
           "-C"[KoInputMouseCheckCurr(2)] + "-T"[KoInputMouseCheckTriggered(2)];
}

struct Input : ::testing::Test
{
    void SetUp() override
    {
        KoInputUpdate(); // drain anything queued
        KoInputReset();
    }
};

struct ScriptInput : Input
{
    void TearDown() override { Script::Clear(); }
    // One frame as the main loop runs it: the frame's events, then the input update.
    static void Frame(long frame)
    {
        Script::InjectFrame(frame);
        KoInputUpdate();
    }
};
} // namespace

TEST_F(Input, AHeldKeyTriggersOnceAndReleasesOnceAndAResetForgetsIt)
{
    // The events before each update (d down, u up; r a reset) and the key's state after it, for the last
    // key of the code range.
    const std::pair<const char*, const char*> updates[] = {
        {"d", "CT-"}, {"d", "C--"}, {"d", "C--"},  // auto-repeat changes nothing
        {"u", "--R"}, {"", "---"},  {"du", "---"}, // down and up within one update leave no trace
        {"d", "CT-"}, {"", "C--"},  {"r", "---"},  // a reset forgets a held key until its next repeat
        {"d", "CT-"}};
    for (const auto& u : updates)
    {
        for (const char* c = u.first; *c; ++c)
            *c == 'r' ? KoInputReset() : Push(*c == 'd' ? PLAT_EVENT_KEY_DOWN : PLAT_EVENT_KEY_UP, 0xFF);
        KoInputUpdate();
        EXPECT_EQ(Key(0xFF), u.second) << &u - updates;
    }
    EXPECT_EQ(Key(VK_UP), "---"); // other keys untouched
}

TEST_F(Input, MouseButtonsFollowTheLatestMouseEvent)
{
    // The mouse events before each update (l left held, b both held, n none held) and the buttons after.
    const std::pair<const char*, const char*> updates[] = {
        {"l", "CT--"}, {"", "C---"},   // no mouse event: the buttons keep their state
        {"b", "C-CT"},                 // a move with both held: the right one goes down
        {"n", "----"}, {"ln", "----"}, // press and release between two updates leave no trace
        {"b", "CTCT"}};
    for (const auto& u : updates)
    {
        for (const char* c = u.first; *c; ++c) Push(PLAT_EVENT_MOUSE, 0, *c != 'n', *c == 'b');
        KoInputUpdate();
        EXPECT_EQ(Buttons(), u.second) << u.first;
    }
    // Buttons are not keys, and indices other than 1 and 2 read as up.
    EXPECT_FALSE(KoInputCheckCurr(VK_LBUTTON));
    EXPECT_FALSE(KoInputMouseCheckCurr(0) || KoInputMouseCheckCurr(3) || KoInputMouseCheckTriggered(255));
    KoInputReset();
    EXPECT_EQ(Buttons(), "----");
}

// Frame 4 never runs: its events are dropped, not delivered late.
TEST_F(ScriptInput, EventsArriveInTheirFrameThroughTheInputUpdate)
{
    std::string error;
    ASSERT_TRUE(
        Script::Parse("# jump twice\n\n3 up 0x20   # release\n2 down 32\n4 down 66\n5 down 0X41\n5 up 65\n"
                      "6 move 400 300\n6 press 1\n7 press 2\n8 release 1\n",
                      "test", &error))
        << error;
    EXPECT_EQ(Script::EventCount(), 9);
    // Each frame run and SPACE, B, A and the buttons after it; down and up of A in one frame leave no trace.
    const std::pair<long, const char*> frames[] = {
        {1, "--- --- --- ----"}, {2, "CT- --- --- ----"}, {3, "--R --- --- ----"}, {5, "--- --- --- ----"},
        {6, "--- --- --- CT--"}, {7, "--- --- --- C-CT"}, {8, "--- --- --- --C-"}};
    for (const auto& [frame, want] : frames)
    {
        Frame(frame);
        EXPECT_EQ(Key(VK_SPACE) + " " + Key('B') + " " + Key('A') + " " + Buttons(), want) << frame;
    }
}

TEST_F(ScriptInput, MalformedLinesAreRejectedByLineNumber)
{
    const std::pair<const char*, std::vector<const char*>> cases[] = {
        {"frame", {"0 down 32", "-3 down 32", "x down 32", "1.5 down 32", "99999999999999999999 up 1"}},
        {"missing", {"1"}},
        {"unknown", {"1 jump 32", "1 DOWN 32"}},
        {"expected", {"1 down", "1 down 32 7", "1 move 10"}},
        {"key", {"1 down 256", "1 down -1", "1 down 0x", "1 down 0x1G", "1 down space"}},
        {"position", {"1 move 10 y"}},
        {"button", {"1 press 3", "1 release 0"}},
    };
    for (const auto& c : cases)
        for (const char* line : c.second)
        {
            std::string error;
            EXPECT_FALSE(Script::Parse("# header\n1 down 32\n\n" + std::string(line) + "\n5 up 32\n",
                                       "moves.txt", &error));
            EXPECT_EQ(error.rfind("moves.txt:4: ", 0), 0u) << error;
            EXPECT_NE(error.find(c.first), std::string::npos) << error;
            EXPECT_NE(error.find(line), std::string::npos) << error;
            EXPECT_EQ(Script::EventCount(), 0) << "nothing is loaded from a malformed script";
        }
    std::string error;
    EXPECT_TRUE(Script::Parse("1 down 32\r\n2 up 32\r\n", "crlf", &error)) << error;
}

// The steady clock's frames: the window events are gathered once, then the frame runs 0 to many steps. An
// edge reaches the first step only; a frame without a step keeps it; a tap inside one frame still counts.
TEST_F(Input, EdgesReachTheFirstStepOfAFrameAndWaitOutFramesWithoutAStep)
{
    KoInputKeepTaps(true);
    // Each frame's events (1 down, 2 up, 3 down and up), its steps and the key in each step.
    const std::tuple<int, int, const char*> frames[] = {
        {1, 3, "CT- C-- C--"}, {2, 0, ""},    {0, 2, "--R ---"}, {3, 0, ""},
        {0, 1, "CT-"},         {0, 1, "--R"}, {3, 2, "CT- --R"}};
    for (const auto& [events, steps, want] : frames)
    {
        if (events & 1) Push(PLAT_EVENT_KEY_DOWN, VK_SPACE);
        if (events & 2) Push(PLAT_EVENT_KEY_UP, VK_SPACE);
        KoInputGather();
        std::string seen;
        for (int s = 0; s < steps; ++s)
        {
            KoInputStep();
            seen += (s ? " " : "") + Key(VK_SPACE);
        }
        EXPECT_EQ(seen, want) << events << " " << steps;
    }
    KoInputKeepTaps(false); // the literal loop, where a tap inside one update is not seen (the first test)
}

// A game pad's controls arrive as the engine's pad codes: its buttons, the D-pad, the left stick past its
// dead zone (repeating while held: a release, then a press at the next pump) and a pad pulled out letting go.
TEST(GamePad, ButtonsAndTheStickArriveAsPadKeysWithRepeatsAndAPadPulledOutLetsGo)
{
    PlatConfigure(true);
    ASSERT_EQ(PlatInit(), "");
    const std::string why = PlatPadVirtualAttach();
    if (!why.empty()) GTEST_SKIP() << "no virtual game pad here: " << why;
    auto pump = []
    {
        std::string keys;
        char key[8];
        for (PlatEvent e; PlatPollEvent(&e);)
            if (e.type == PLAT_EVENT_KEY_DOWN || e.type == PLAT_EVENT_KEY_UP)
            {
                snprintf(key, sizeof key, " %c%02X", e.type == PLAT_EVENT_KEY_DOWN ? '+' : '-', e.vk);
                keys += key;
            }
        return keys;
    };
    pump();
    EXPECT_EQ(PlatPadCount(), 1);
    // The button (< 0: none), the left stick's y (1: untouched), the pause, the button down, the keys seen.
    const std::tuple<int, int, int, bool, const char*> steps[] = {
        {0, 1, 0, true, " +C3"},       {0, 1, 0, false, " -C3"},     {1, 1, 0, true, " +C4"},
        {11, 1, 0, true, " +CB"},      {12, 1, 0, true, " +CC"},     {6, 1, 0, true, " +1B"},
        {-1, 8000, 0, true, ""},       {-1, 20000, 0, true, " +CC"}, {-1, 1, 450, true, " -CC"},
        {-1, 1, 0, true, " +CC"},      {-1, 13000, 0, true, ""},     {-1, 3000, 0, true, " -CC"},
        {-1, -20000, 0, true, " +CB"},
    };
    for (const auto& [button, stick, sleepMs, down, keys] : steps)
    {
        if (button >= 0) PlatPadVirtualSet(button, down);
        if (stick != 1) PlatPadVirtualStick(stick);
        PlatSleep(unsigned(sleepMs));
        EXPECT_EQ(pump(), keys) << button << " " << stick;
    }
    PlatPadVirtualDetach();
    const std::string gone = pump();
    for (const char* key : {"-C4", "-CB", "-CC"}) EXPECT_NE(gone.find(key), std::string::npos) << gone;
    EXPECT_EQ(PlatPadCount(), 0);
    PlatShutdown();
}
