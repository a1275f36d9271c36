// The level's overlays in the real program: the pause menu with its options panel and confirmations, the
// game-over screen with the name entry, the recorded score and the Hall Of Fame in the level and the menu.
// Each run plays a small map of its own beside the real meshes and sounds.
#include <gtest/gtest.h>

#include <string>

#include "Play.h"

namespace
{

using Scenario::Px;
using Scenario::Py;

using Scenario::TextPixels;

// The dimming panel over a picture: 0xAA6C6764 blended over what lies below.
uint32_t Dimmed(uint32_t below)
{
    const uint32_t panel = 0x6C6764;
    uint32_t out         = 0xFF000000;
    for (int shift : {16, 8, 0})
    {
        const int p = (panel >> shift) & 0xFF, b = (below >> shift) & 0xFF;
        out |= uint32_t((p * 0xAA + b * (255 - 0xAA) + 127) / 255) << shift;
    }
    return out;
}

void Type(Scenario::Play* pPlay, long frame, const std::string& letters)
{
    for (size_t i = 0; i < letters.size(); ++i) pPlay->Key(frame + 2 * long(i), letters[i]);
}

// The pause menu over the dimmed level and its options panel, then R while paused restarts; R while running
// does nothing. (The questions' buttons are clicked in-process, walked by keys in the screens walk.)
TEST(LevelOverlays, PauseMenuOverTheDimmedLevelItsOptionsAndRWhilePaused)
{
    Scenario::GameData data(SKARN_TEST_DATA_DIR "/ui/floor.txt");
    Scenario::Play p;
    p.opt.dataDir = data.dir.path;
    p.ClickPlay();
    p.Key(300, 0x20); // closes the first tutorial page
    p.Key(310, 'R');
    p.Key(330, 0x1B);
    p.ClickView(347, 0, -10); // Options
    p.Key(370, 0x1B);         // closes the panel and leaves the pause in one press
    p.Key(390, 0x1B);
    p.ClickView(397, 0, 10); // Resume
    p.Key(420, 0x1B);
    p.Key(500, 'R');
    const long running = 320, paused = 340, options = 360, back = 380, resumed = 410, again = 440;
    for (long f : {running, paused, options, back, resumed, again, 480L, 495L}) p.Shot(f);
    ASSERT_EQ(p.Go(540).exitCode, 0) << p.res.err;

    // A sky pixel away from every button and text is dimmed while an overlay is up.
    const TestImage imgRunning = p.Image(running), imgPaused = p.Image(paused), imgOptions = p.Image(options);
    const uint32_t sky = ImagePixel(imgRunning, 700, 200);
    for (long f : {paused, options, back, resumed, again})
        EXPECT_TRUE(
            ColourNear(ImagePixel(p.Image(f), 700, 200), f == back || f == resumed ? sky : Dimmed(sky), 3))
            << f;
    // The pause menu's four buttons (Resume, Restart, Options, Menu); the options panel has none at y 10,
    // and its sound button stands where Restart stood.
    auto button = [&](const TestImage& img, float y)
    { return !ColourNear(ImagePixel(img, 340, Py(y)), Dimmed(ImagePixel(imgRunning, 340, Py(y))), 3); };
    for (float y : {10.0f, 0.0f, -10.0f, -20.0f}) EXPECT_TRUE(button(imgPaused, y)) << y;
    EXPECT_FALSE(button(imgOptions, 10));
    EXPECT_TRUE(button(imgOptions, 0));

    // Paused, the world stands still and the run's clock with it; R restarts only then.
    EXPECT_EQ(Scenario::ImageDiffer(p.Image(480), p.Image(495), 0, 0, 800, 600), 0);
    EXPECT_EQ(p.StateChange(2, 5), 500) << p.res.err;
    const std::vector<Scenario::RunLine> runs = Scenario::RunLines(p.res.err);
    ASSERT_EQ(runs.size(), 2u) << p.res.err;
    EXPECT_GT(runs[0].seconds, 1.0);
    EXPECT_LT(runs[0].seconds, 2.0);
    EXPECT_LE(runs[1].meters, 2) << "the new run starts at 0 m (40 frames before the end)";
}

// The Hall Of Fame in the menu before and after a run whose name entry records the score; between them a
// restart from the game-over screen keeps the typed name.
TEST(LevelOverlays, NameEntryRecordsTheScoreInTheHallOfFameOfTheLevelAndOfTheMenu)
{
    Scenario::GameData data(SKARN_TEST_DATA_DIR "/ui/fall.txt");
    Scenario::TempDir save;
    const std::string longName(40, 'W'), table = "ANNA\n300\n" + longName +
                                                 "\n280\nBOB\n250\nCARL\n200\nDORA\n150\n"
                                                 "FINN\n120\nGUS\n110\n";
    Scenario::WriteFile(save / "highscore.txt", table + "EMIL\n-1\n");
    Scenario::Play p;
    p.opt.dataDir = data.dir.path;
    p.opt.saveDir = save.path;
    const long L = p.MenuReady() + 13, before = p.MenuReady() - 3;
    p.ClickView(before - 4, 0, -30); // the menu's Hall Of Fame before the run, then back and Play
    p.Park(before - 1);
    p.ClickView(before + 6, 0, -50);
    p.ClickView(L, 0, 0);
    // The party falls off and the game-over screen asks for a name.
    p.Key(L + 228, 0x0D);              // ENTER on an empty name does nothing
    p.Key(L + 230, 0x08);              // nor does BACKSPACE
    Type(&p, L + 238, "ABCDEFGHIJKL"); // the twelfth letter is refused
    p.Key(L + 268, 0x08);
    Type(&p, L + 272, "Z1 "); // digits and blanks never enter a name
    const long entry = L + 283;
    p.Key(entry + 5, 0x0D);
    p.ClickView(L + 305, 0, -40);  // Menu asks
    p.ClickView(L + 325, 20, -20); // No
    p.ClickView(L + 335, 0, -30);  // Restart goes straight
    // The new run ends the same way; the name is still in the field and ENTER confirms it at once.
    const long entry2 = L + 563, hall2 = L + 583, menu = L + 600, after = L + 644;
    p.Key(entry2 + 10, 0x0D);
    p.ClickView(menu - 10, 0, -40);
    p.ClickView(menu, -20, -20); // Yes
    p.ClickView(after - 4, 0, -30);
    p.Park(after - 1);
    for (long f : {before, entry2, hall2, after}) p.Shot(f);
    ASSERT_EQ(p.Go(after + 1).exitCode, 0) << p.res.err;

    EXPECT_NE(p.StateChange(2, 5), 0) << p.res.err;
    EXPECT_EQ(p.StateChange(2, 1), menu) << p.res.err;
    const std::vector<Scenario::RunLine> runs = Scenario::RunLines(p.res.err);
    ASSERT_EQ(runs.size(), 2u) << p.res.err;
    ASSERT_GE(runs[0].meters, 0);
    // The entry takes the lowest place; the second run, no longer, does not push it out.
    EXPECT_EQ(Scenario::ReadFile(save / "highscore.txt"),
              table + "ABCDEFGHIJZ\n" + std::to_string(runs[0].meters) + "\n");

    // The table's rows are checked at every window size in the screens walk. After the restart the name is
    // still in the field.
    EXPECT_GT(TextPixels(p.Image(entry2), 390, 290, 450, 320), 50);
    EXPECT_GT(TextPixels(p.Image(hall2), 170, 35, 700, 110), 500);

    // The menu lists the new table: the first seven rows as before, the new entry last.
    TestImage imgBefore = p.Image(before), imgAfter = p.Image(after);
    for (int i = 0; i < 8; ++i)
    {
        int y = 200 + 40 * i;
        EXPECT_GT(TextPixels(imgAfter, 210, y, 470, y + 26), 20) << i;
        EXPECT_EQ(Scenario::ImageDiffer(imgBefore, imgAfter, 200, y, 700, y + 30) > 0, i == 7) << i;
    }
}

TEST(LevelOverlays, AMissingOverlayMeshStopsTheLevelLoad)
{
    Scenario::GameData data(SKARN_TEST_DATA_DIR "/ui/floor.txt");
    unlink((data / "Meshes/resumemesh.txt").c_str());
    Scenario::Play p;
    p.opt.dataDir = data.dir.path;
    p.ClickPlay();
    p.Go(300);
    EXPECT_EQ(p.res.exitCode, 1) << p.res.err;
    EXPECT_NE(p.res.out.find("KO_ASSERT_MESG: pObj->pMesh\nLine: "), std::string::npos) << p.res.out;
    EXPECT_NE(p.res.out.find("\nFunc: UI::LoadUI\nFile: src\\UI\nMesg: fail to create object!!\n"),
              std::string::npos)
        << p.res.out;
}

} // namespace
