#include "framework/Script.h"

#include "engine/KoInput.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
struct ScriptInput : ::testing::Test
{
    void SetUp() override
    {
        KoInputUpdate();
        KoInputReset();
    }
    void TearDown() override { Script::Clear(); }
    // One frame as the main loop runs it: the frame's events, then the input update.
    static void Frame(long frame)
    {
        Script::InjectFrame(frame);
        KoInputUpdate();
    }
};
} // namespace

TEST_F(ScriptInput, EventsArriveInTheirFrameThroughTheInputUpdate)
{
    std::string error;
    ASSERT_TRUE(Script::Parse("# jump twice\n\n3 up 0x20   # release\n2 down 32\n5 down 0X41\n5 up 65\n"
                              "6 move 400 300\n6 press 1\n7 press 2\n8 release 1\n",
                              "test", &error))
        << error;
    EXPECT_EQ(Script::EventCount(), 8);

    Frame(1);
    EXPECT_FALSE(KoInputCheckCurr(VK_SPACE));
    Frame(2);
    EXPECT_TRUE(KoInputCheckTriggered(VK_SPACE));
    Frame(3);
    EXPECT_TRUE(KoInputCheckReleased(VK_SPACE));
    Frame(4);
    Frame(5); // down and up in one frame
    EXPECT_FALSE(KoInputCheckCurr('A'));
    EXPECT_FALSE(KoInputCheckTriggered('A'));
    Frame(6);
    EXPECT_TRUE(KoInputMouseCheckTriggered(1));
    Frame(7); // the left button stays held while the right one goes down
    EXPECT_TRUE(KoInputMouseCheckCurr(1));
    EXPECT_TRUE(KoInputMouseCheckTriggered(2));
    Frame(8);
    EXPECT_FALSE(KoInputMouseCheckCurr(1));
    EXPECT_TRUE(KoInputMouseCheckCurr(2));
}

TEST_F(ScriptInput, FramesWithoutTheMainLoopSeeingThemAreSkipped)
{
    std::string error;
    ASSERT_TRUE(Script::Parse("2 down 66\n4 down 67\n", "test", &error));
    Frame(3); // frame 2 never ran: its events are dropped, not delivered late
    EXPECT_FALSE(KoInputCheckCurr('B'));
    Frame(4);
    EXPECT_TRUE(KoInputCheckTriggered('C'));
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
