// The software renderer keeps its picture and draws again only the cells whose drawing changed since the
// last frame (platform/PlatFrame.cpp). Its pictures must be those of every frame drawn whole
// (SKARN_DRAW_WHOLE_FRAMES=1), byte for byte: the bot's run through the splash, the menu and the level (the
// ground scrolling, particles, texts changing), every frame drawn.
#include <gtest/gtest.h>

#include <string>

#include "Scenario.h"

TEST(PictureScenario, AKeptPictureDrawingOnlyWhatChangedIsThePictureDrawnWhole)
{
    for (const char* pSize : {"800x600", "1920x1080"})
    {
        Scenario::TempDir dir;
        std::string pictures[2];
        for (int whole = 0; whole < 2; ++whole)
        {
            Scenario::EnvGuard env("SKARN_DRAW_WHOLE_FRAMES", whole ? "1" : "0");
            Scenario::Options opt;
            opt.drawAll        = true;
            opt.fixedDt        = 0.0166;
            opt.timeoutSeconds = 600;
            opt.args           = {"--bot", "--geometry", pSize, "--frames", "1300"};
            // The splash, the menu, the level (from frame 243).
            const int frames[] = {30, 200, 225, 240, 500, 700, 900, 1100, 1290};
            for (int frame : frames)
                opt.args.insert(opt.args.end(), {"--screenshot", std::to_string(frame) + ":" +
                                                                     (dir / std::to_string(frame) + ".png")});
            const Scenario::Result res = Scenario::Run(opt);
            ASSERT_EQ(0, res.exitCode) << pSize << res.err;
            for (int frame : frames)
                pictures[whole] += Scenario::ReadFile(dir / std::to_string(frame) + ".png");
        }
        EXPECT_GT(pictures[0].size(), 5000u) << pSize;
        EXPECT_TRUE(pictures[0] == pictures[1]) << pSize << ": the pictures differ";
    }
}
