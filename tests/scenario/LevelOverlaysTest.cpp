// The level's overlays in the real program: the pause menu with its options panel, and the game-over screen
// with the name entry and the recorded score. Each run plays a small map of its own beside the real meshes
// and sounds; the overlays' buttons and questions are walked by keys in the screens walk and clicked
// in-process in the unit tests.
#include <gtest/gtest.h>

#include <string>

#include "Play.h"

namespace
{

// The pause menu and its options panel dim the level (a sky pixel away from every button and text), and the
// options panel hides Resume; R restarts only while paused, and paused the world stands still.
TEST(LevelOverlays, PauseMenuDimsTheStillLevelItsOptionsAndRWhilePaused)
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

    const uint32_t sky = ImagePixel(p.Image(running), 700, 200);
    for (long f : {paused, options, back, resumed, again})
        EXPECT_EQ(ColourNear(ImagePixel(p.Image(f), 700, 200), sky, 3), f == back || f == resumed) << f;
    EXPECT_NE(ImagePixel(p.Image(paused), 340, Scenario::Py(10)),
              ImagePixel(p.Image(options), 340, Scenario::Py(10)));
    EXPECT_EQ(Scenario::ImageDiffer(p.Image(480), p.Image(495), 0, 0, 800, 600), 0);
    EXPECT_EQ(p.StateChange(2, 5), 500) << p.res.err;
    const std::vector<Scenario::RunLine> runs = Scenario::RunLines(p.res.err);
    ASSERT_EQ(runs.size(), 2u) << p.res.err;
    EXPECT_GT(runs[0].seconds, 1.0); // the run's clock stood still while paused
    EXPECT_LT(runs[0].seconds, 2.0);
    EXPECT_LE(runs[1].meters, 2) << "the new run starts at 0 m (40 frames before the end)";
}

// The party falls off and the game-over screen asks for a name: ENTER on an empty name and BACKSPACE do
// nothing, the twelfth letter is refused, digits and blanks never enter a name. The score takes the next to
// lowest place; Restart keeps the name in the field, ENTER confirms it at once, and the second run, as long,
// pushes out the lowest entry.
TEST(LevelOverlays, NameEntryRecordsTheScoreAndARestartKeepsTheName)
{
    Scenario::GameData data(SKARN_TEST_DATA_DIR "/ui/fall.txt");
    Scenario::TempDir save;
    const std::string table = "ANNA\n300\nBOB\n250\nCARL\n200\nDORA\n150\nFINN\n120\nGUS\n110\n";
    Scenario::WriteFile(save / "highscore.txt", table + "EMIL\n-1\nFRED\n-2\n");
    Scenario::Play p;
    p.opt.dataDir = data.dir.path;
    p.opt.saveDir = save.path;
    const long L  = p.ClickPlay() - 1;
    p.Key(L + 228, 0x0D);
    p.Key(L + 230, 0x08);
    const std::string keys = "ABCDEFGHIJKL\bZ1 ";
    for (size_t i = 0; i < keys.size(); ++i) p.Key(L + 238 + 2 * long(i), keys[i]);
    p.Key(L + 288, 0x0D);
    p.ClickView(L + 335, 0, -30); // Restart
    const long entry2 = L + 563;
    p.Key(entry2 + 10, 0x0D);
    p.Shot(entry2);
    ASSERT_EQ(p.Go(entry2 + 20).exitCode, 0) << p.res.err;

    EXPECT_NE(p.StateChange(2, 5), 0) << p.res.err;
    const std::vector<Scenario::RunLine> runs = Scenario::RunLines(p.res.err);
    ASSERT_EQ(runs.size(), 2u) << p.res.err;
    const std::string entry = "ABCDEFGHIJZ\n" + std::to_string(runs[0].meters) + "\n";
    EXPECT_EQ(Scenario::ReadFile(save / "highscore.txt"), table + entry + entry);
    EXPECT_GT(Scenario::TextPixels(p.Image(entry2), 390, 290, 450, 320), 50); // the kept name
}

} // namespace
