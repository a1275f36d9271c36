// The main menu and the program flow through it, in the real program: one run a screen, each from the main
// screen into its screen and back. What the menu shows is read from screenshots (it draws on black), the
// state changes from the main loop's trace; the screens walk checks the texts of every screen (all of the
// credits) and the Hall Of Fame's rows and long names.
#include <gtest/gtest.h>

#include <string>

#include "Play.h"

namespace
{

using Scenario::Px;
using Scenario::Py;

// Lit pixels in the 40 x 10 rectangle of a button centred at (x, y).
int ButtonLit(const TestImage& img, float x, float y)
{
    return ImageCountLit(img, Px(x - 20), Py(y + 5), Px(x + 20), Py(y - 5));
}

// A run at 0.05 s frames (the splash lasts 60 of them) with the pointer parked; R is the first frame in
// which the buttons surely take clicks.
struct MenuPlay : Scenario::Play
{
    const long R = MenuReady();
    MenuPlay() : Play(0.05) { Park(1); }
    // A click on a point of the view; four frames later, with the pointer parked again, a picture.
    void ClickAndShoot(long frame, float x, float y)
    {
        ClickView(frame, x, y);
        Park(frame + 3);
        Shot(frame + 4);
    }
    // The picture of that frame shows the main screen: all six buttons of the column are drawn, no
    // sub-screen text.
    void ExpectMainScreen(long frame) const
    {
        TestImage img = Image(frame);
        for (float y : {0.0f, -10.0f, -20.0f, -30.0f, -40.0f, -50.0f})
            EXPECT_GT(ButtonLit(img, 0, y), 1000) << frame << " " << y;
        EXPECT_EQ(Scenario::TextPixels(img, 0, 100, 800, 600, 24), 0) << frame;
    }
};

// (The hovered button's growth is checked under a real X server.)
TEST(Menu, MainScreenButtonsTakeClicksAfterHalfASecondThenPlayShowsTheLoadingFrame)
{
    MenuPlay p;
    const long first = p.R - 11;  // the first frame that is surely the menu's
    p.ClickView(first + 2, 0, 0); // on play, 0.15 s into the menu
    p.ClickView(p.R, 0, 0);
    for (long f : {first + 2, first + 8, p.R}) p.Shot(f);
    p.Go(p.R + 20);

    TestImage early = p.Image(first + 2), still = p.Image(first + 8);
    // The early click swung the axe but did not start the game.
    EXPECT_GT(Scenario::ImageDiffer(early, still, Px(-5), Py(5), Px(10), Py(-10)), 0);
    p.ExpectMainScreen(first + 8);
    EXPECT_EQ(p.StateChange(1, 2), p.R) << p.res.err;

    TestImage img = p.Image(p.R);
    EXPECT_GT(ImageCountColour(img, 0, 0, 800, 600, 0xFF6C6764, 4), 800 * 600 / 2); // the backdrop
    // The troglins stand in a row below the text.
    EXPECT_GT(800 - ImageCountColour(img, 0, Py(-30), 800, Py(-30) + 1, 0xFF6C6764, 4), 300);
    EXPECT_EQ(800 - ImageCountColour(img, 0, Py(-50), 800, Py(-50) + 1, 0xFF6C6764, 4), 0);
}

// Opened by its button, closed by SPACE (its back button is walked in the screens walk). A click on the
// common edge of how to play (y -10) and options (y -20) presses the upper button alone: how to play, no
// other screen laid over it.
TEST(Menu, HowToPlay)
{
    MenuPlay p;
    const long R = p.R;
    p.ClickAndShoot(R, 0, -10);
    p.Key(R + 5, 0x20);
    p.Shot(R + 7);
    p.ClickAndShoot(R + 10, 0, -15);
    p.Go(R + 15);
    TestImage img = p.Image(R + 4);
    for (float x : {-10.0f, 0.0f, 10.0f}) // the three pictures
        EXPECT_GT(ImageCountLit(img, Px(x) - 10, Py(-27), Px(x) + 10, Py(-33)), 50) << x;
    p.ExpectMainScreen(R + 7);
    EXPECT_EQ(Scenario::ImageDiffer(img, p.Image(R + 14), 0, 0, 800, 600), 0);
}

TEST(Menu, Options)
{
    // A click on the left end of the sound button keeps the pointer out of the right end, where the labels
    // are compared (the sound's state is walked in the screens walk).
    MenuPlay p;
    const long R = p.R;
    p.ClickView(R, -15, -20);
    p.ClickView(R + 10, -15, -20);   // sound off
    p.ClickView(R + 30, 0, -30);     // full screen
    p.Click(R + 40, 512, 576);       // windowed: in full screen the view stretches over the screen
    p.ClickAndShoot(R + 50, 0, -40); // back
    for (long f : {R + 4, R + 10, R + 34, R + 44}) p.Shot(f);
    p.Go(R + 55);
    TestImage on = p.Image(R + 4), off = p.Image(R + 10);
    TestImage full = p.Image(R + 34), window = p.Image(R + 44);
    // The other sound button, already in the frame of the click: its later steps lay the screen out again.
    EXPECT_GT(Scenario::ImageDiffer(on, off, Px(2), Py(-15), Px(20), Py(-25)), 500);
    EXPECT_GT(full.w, 800);
    EXPECT_EQ(window.w, 800);
    EXPECT_EQ(window.h, 600);
    // Back in the window, the screen-mode button offers full screen again.
    EXPECT_EQ(Scenario::ImageDiffer(on, window, Px(-20), Py(-26), Px(20), Py(-34)), 0);
    p.ExpectMainScreen(R + 54);
}

// Exit asks ("no" is walked in the screens walk); yes ends the program cleanly.
TEST(Menu, QuitQuestion)
{
    MenuPlay p;
    const long R = p.R;
    p.ClickView(R, 0, -50);        // exit asks
    p.ClickView(R + 10, -30, -20); // yes
    p.Go(R + 100);
    EXPECT_EQ(p.StateChange(1, 6), R + 10) << p.res.err;
    EXPECT_EQ(p.res.exitCode, 0);
    EXPECT_EQ(p.res.out, "sound: audio system created\nsound: SDL_mixer open with 100 channels\n"
                         "sound: SDL_mixer closed\n");
}

// F2 leads to the tile editor, F1 from there to the level (the editor tests take F2 and F3 from the menu);
// the menu's Hall Of Fame stays open for the return.
TEST(Flow, F2AndF1LeadThroughTheEditorToTheLevelAndTheHallOfFameStaysOpenForTheReturn)
{
    Scenario::GameData floor(SKARN_TEST_DATA_DIR "/ui/floor.txt");
    floor.Write("highscore.txt", ""); // an empty table
    MenuPlay p;
    const long R = p.R, level = R + 11;
    p.opt.dataDir = floor.dir.path;
    p.ClickView(R, 0, -30);  // Hall Of Fame
    p.Key(R + 5, 0x71);      // F2: tile editor
    p.Key(R + 10, 0x70);     // F1 there: the level
    p.Key(level + 20, 0x20); // the tutorial page, then pause, Menu, Yes
    p.Key(level + 30, 0x1B);
    p.ClickView(level + 35, 0, -20);
    p.ClickView(level + 40, -20, -20);
    p.Park(level + 43);
    p.Shot(level + 45);
    p.Go(level + 46);

    EXPECT_EQ(p.StateChange(1, 3), R + 5) << p.res.err;
    EXPECT_EQ(p.StateChange(3, 2), R + 10) << p.res.err;
    EXPECT_EQ(p.StateChange(2, 1), level + 40) << p.res.err;
    TestImage img = p.Image(level + 45);
    EXPECT_GT(Scenario::TextPixels(img, 170, 105, 640, 180, 24), 500); // "Hall Of Fame" again
    EXPECT_EQ(ButtonLit(img, 0, 0), 0);                                // and not the main screen
}

} // namespace
