// The main menu and the program flow through it, in the real program. What the menu shows is read from
// screenshots (it draws on black; its texts are 0xFFE0C5B8), the state changes from the main loop's trace.
#include <gtest/gtest.h>

#include <string>

#include "Play.h"

namespace
{

using Scenario::Px;
using Scenario::Py;

const double DT = 0.05; // the splash lasts 60 frames of it
// The first frame that is surely the menu's, and the first in which its buttons surely take clicks.
const long MENU_FIRST = 63;
const long MENU_READY = 80;

const uint32_t TEXT = 0xFFE0C5B8;

int TextIn(const TestImage& img, int x0, int y0, int x1, int y1)
{
    return ImageCountColour(img, x0, y0, x1, y1, TEXT, 24);
}

// Lit pixels in the 40 x 10 rectangle of a button centred at (x, y).
int ButtonLit(const TestImage& img, float x, float y)
{
    return ImageCountLit(img, Px(x - 20), Py(y + 5), Px(x + 20), Py(y - 5));
}

// Width in pixels of what is drawn in the band of a button at height y.
int LitWidth(const TestImage& img, float y)
{
    int left = img.w, right = -1;
    for (int py = Py(y + 4); py < Py(y - 4); ++py)
        for (int px = 0; px < img.w; ++px)
            if (ImageCountLit(img, px, py, px + 1, py + 1) > 0)
            {
                left  = std::min(left, px);
                right = std::max(right, px);
            }
    return right - left + 1;
}

// The main screen: all six buttons of the column are drawn, no sub-screen text.
void ExpectMainScreen(const TestImage& img, long frame)
{
    for (float y : {0.0f, -10.0f, -20.0f, -30.0f, -40.0f, -50.0f})
        EXPECT_GT(ButtonLit(img, 0, y), 1000) << frame << " " << y;
    EXPECT_EQ(TextIn(img, 0, 100, 800, 600), 0) << frame;
}

// The splash, then every screen of the menu opened and closed again in one run, and the exit.
TEST(Menu, SplashThenEveryScreenOfTheMenuThenExit)
{
    Scenario::TempDir save;
    // A hand-edited name longer than the whole text buffer is cut to its column; of ten entries the eight
    // that fit above the back button are listed.
    Scenario::WriteFile(save / "highscore.txt", std::string(3000, 'W') +
                                                    "\n95\nUR\n5\nA 100 B 90 C 80 D 70 E 60 "
                                                    "F 50 G 40 H 30");
    Scenario::Play p(DT);
    p.opt.saveDir = save.path;
    const long R  = MENU_READY;
    p.Park(1);
    for (long f : {30L, R - 1}) p.Shot(f);
    const long howto = R, credits = R + 30, hof = R + 45, both = R + 60, options = R + 80, exit = R + 140;
    p.ClickView(howto, 0, -10);
    p.ClickView(howto + 10, 0, -50); // back, at the bottom on this screen
    p.ClickView(howto + 20, 0, -10);
    p.Key(howto + 25, 0x20); // SPACE closes it too
    p.ClickView(credits, 0, -40);
    p.ClickView(credits + 10, 0, -50);
    p.ClickView(hof, 0, -30);
    p.ClickView(hof + 10, 0, -50);
    p.ClickView(both, 0, -15);        // the edge of how to play (y -10) and options (y -20) presses both
    p.ClickView(both + 10, 0, -40);   // the back button of options closes both
    p.ClickView(exit, 0, -50);        // exit asks
    p.ClickView(exit + 10, 30, -20);  // no
    p.ClickView(exit + 20, 0, -50);   // exit
    p.ClickView(exit + 30, -30, -20); // yes
    for (long f : {howto, howto + 10, howto + 20, credits, credits + 10, hof, hof + 10, both, both + 10, exit,
                   exit + 10})
    {
        p.Park(f + 3);
        p.Shot(f + 4);
    }
    p.Shot(howto + 27);
    // Options: clicks on the left end of the sound button keep the pointer out of the right end, where the
    // labels are compared.
    p.ClickView(options, -15, -20);
    p.ClickView(options + 10, -15, -20); // sound off
    p.ClickView(options + 20, -15, -20); // sound on again
    p.ClickView(options + 30, 0, -30);   // full screen
    p.Click(options + 40, 512, 576);     // windowed: in full screen the view stretches over the screen
    p.ClickView(options + 50, 0, -40);   // back
    for (long f : {options + 4, options + 10, options + 24, options + 34, options + 44}) p.Shot(f);
    p.Go(R + 250);

    long change = p.StateChange(0, 1);
    EXPECT_TRUE(change == 60 || change == 61) << p.res.err;
    EXPECT_EQ(ImageCountLit(p.Image(30), 300, Py(-45), 500, Py(-55)),
              0); // nothing where the exit button goes
    for (long f : {R - 1, howto + 14, howto + 27, credits + 14, hof + 14, both + 14, exit + 14})
        ExpectMainScreen(p.Image(f), f);

    for (long f : {howto + 4, howto + 24})
    {
        TestImage img = p.Image(f);
        EXPECT_GT(TextIn(img, 320, 300, 480, 326), 30) << f;  // "How to play"
        EXPECT_GT(TextIn(img, 170, 330, 620, 382), 100) << f; // the two lines on jumping
        EXPECT_GT(TextIn(img, 30, 390, 780, 416), 100) << f;  // monsters and obstacles
        for (float x : {-10.0f, 0.0f, 10.0f})                 // the three pictures
            EXPECT_GT(ImageCountLit(img, Px(x) - 10, Py(-27), Px(x) + 10, Py(-33)), 50) << x;
        EXPECT_GT(ButtonLit(img, 0, -50), 1000) << f; // back
        EXPECT_EQ(ButtonLit(img, 0, -40), 0) << f;    // credits hidden
    }

    TestImage img = p.Image(credits + 4);
    struct Block
    {
        int x, y, lines;
    };
    // The heading, the notice and the four credit blocks.
    for (Block b : {Block{345, 105, 1}, Block{45, 470, 2}, Block{305, 155, 2}, Block{55, 205, 3},
                    Block{495, 205, 4}, Block{50, 310, 5}})
        EXPECT_GT(TextIn(img, b.x, b.y, std::min(b.x + 300, 800), b.y + 25 * b.lines), 100 * b.lines) << b.x;
    EXPECT_GT(ButtonLit(img, 0, -50), 1000);

    img = p.Image(hof + 4);
    EXPECT_GT(TextIn(img, 170, 105, 640, 180), 500); // "Hall Of Fame"
    for (int i = 0; i < 9; ++i)
    {
        int y = 200 + 40 * i;
        EXPECT_EQ(TextIn(img, 210, y, 470, y + 26) > 20, i < 8) << i; // name
        EXPECT_EQ(TextIn(img, 490, y, 640, y + 26) > 20, i < 8) << i; // "%dm"
    }
    EXPECT_GT(TextIn(img, 400, 240, 479, 266), 20); // the long name runs up to the score column
    EXPECT_EQ(TextIn(img, 482, 240, 490, 266), 0);
    EXPECT_GT(ButtonLit(img, 0, -50), 1000); // back
    // The high-scores button is hidden (left of the score column, whose rows run through its place).
    EXPECT_EQ(ImageCountLit(img, Px(-20), Py(-25), Px(16), Py(-35)), 0);

    img = p.Image(both + 4);
    EXPECT_GT(TextIn(img, 320, 300, 480, 326), 30); // how to play's text
    EXPECT_GT(ButtonLit(img, 0, -20), 1000);        // options' sound button
    EXPECT_GT(ButtonLit(img, 0, -30), 1000);        // and screen-mode button

    TestImage on = p.Image(options + 4), off = p.Image(options + 10);
    TestImage again = p.Image(options + 24), full = p.Image(options + 34), window = p.Image(options + 44);
    int x0 = Px(2), x1 = Px(20), y0 = Py(-15), y1 = Py(-25);
    for (float y : {-20.0f, -30.0f, -40.0f}) EXPECT_GT(ButtonLit(on, 0, y), 1000) << y; // sound, screen, back
    EXPECT_EQ(ButtonLit(on, 0, 0), 0);                                                  // play hidden
    // The other sound button, already in the frame of the click: its later steps lay the screen out again.
    EXPECT_GT(Scenario::ImageDiffer(on, off, x0, y0, x1, y1), 500);
    EXPECT_EQ(Scenario::ImageDiffer(on, again, x0, y0, x1, y1), 0);
    EXPECT_GT(full.w, 800);
    EXPECT_EQ(window.w, 800);
    EXPECT_EQ(window.h, 600);
    // Back in the window, the screen-mode button offers full screen again.
    EXPECT_EQ(Scenario::ImageDiffer(on, window, Px(-20), Py(-26), Px(20), Py(-34)), 0);

    img = p.Image(exit + 4);
    EXPECT_GT(TextIn(img, 270, 280, 520, 360), 500); // "really?"
    EXPECT_GT(ButtonLit(img, -30, -20), 1000);       // yes
    EXPECT_GT(ButtonLit(img, 30, -20), 1000);        // no
    EXPECT_EQ(ButtonLit(img, 0, -50), 0);            // the exit button is hidden
    EXPECT_EQ(p.StateChange(1, 6), exit + 30) << p.res.err;
    EXPECT_EQ(p.res.exitCode, 0);
    EXPECT_EQ(p.res.out, "FMOD Load Complete\nFMOD Init Complete\nFMOD Unload Complete\n");
}

TEST(Menu, ButtonsGrowUnderThePointerAndTakeClicksAfterHalfASecondThenPlayShowsTheLoadingFrame)
{
    Scenario::Play p(DT);
    p.Move(MENU_FIRST, Px(60), Py(50)); // away from the buttons
    p.ClickView(MENU_FIRST + 2, 0, 0);  // on play, 0.15 s into the menu
    p.ClickView(MENU_READY, 0, 0);
    for (long f : {MENU_FIRST, MENU_FIRST + 2, MENU_FIRST + 8, MENU_READY}) p.Shot(f);
    p.Go(MENU_READY + 20);

    TestImage rest = p.Image(MENU_FIRST), early = p.Image(MENU_FIRST + 2), still = p.Image(MENU_FIRST + 8);
    EXPECT_NEAR(float(LitWidth(early, 0)) / float(LitWidth(rest, 0)), 45.0f / 40.0f, 0.02f);
    EXPECT_NEAR(float(LitWidth(rest, -10)), float(LitWidth(early, -10)), 1.0f); // the next one stays
    // The early click swung the axe but did not start the game.
    EXPECT_GT(Scenario::ImageDiffer(early, still, Px(-5), Py(5), Px(10), Py(-10)), 0);
    ExpectMainScreen(still, MENU_FIRST + 8);
    EXPECT_EQ(p.StateChange(1, 2), MENU_READY) << p.res.err;

    TestImage img = p.Image(MENU_READY);
    EXPECT_GT(ImageCountColour(img, 0, 0, 800, 600, 0xFF6C6764, 4), 800 * 600 / 2); // the backdrop
    EXPECT_GT(TextIn(img, 273, 280, 560, 360), 500);                                // "Loading.."
    int troglinRow = 0, emptyRow = 0; // the troglins stand in a row below the text
    for (int x = 0; x < 800; ++x)
    {
        troglinRow += !ColourNear(ImagePixel(img, x, Py(-30)), 0xFF6C6764, 4);
        emptyRow += !ColourNear(ImagePixel(img, x, Py(-50)), 0xFF6C6764, 4);
    }
    EXPECT_GT(troglinRow, 300);
    EXPECT_EQ(emptyRow, 0);
}

// F2 and F3 lead to the editors, F1 from there to the level; the menu's Hall Of Fame stays open for the
// return.
TEST(Flow, F2AndF3LeadToTheEditorsAndTheHallOfFameStaysOpenForTheReturn)
{
    Scenario::GameData floor(SKARN_TEST_DATA_DIR "/ui/floor.txt", {"highscore.txt"}); // an empty table
    Scenario::Play p(DT);
    p.opt.dataDir = floor.dir.path;
    p.ClickView(MENU_READY, 0, -30); // Hall Of Fame
    p.Key(MENU_READY + 5, 0x71);     // F2: tile editor
    p.Key(MENU_READY + 10, 0x70);    // F1 there: the level
    const long level = MENU_READY + 11;
    p.Key(level + 20, 0x20); // the tutorial page, then pause, Menu, Yes
    p.Key(level + 30, 0x1B);
    p.ClickView(level + 35, 0, -20);
    p.ClickView(level + 40, -20, -20);
    p.Park(level + 43);
    p.Shot(level + 45);
    p.Key(level + 50, 0x72); // F3: mesh editor
    p.Go(level + 55);

    EXPECT_EQ(p.StateChange(1, 3), MENU_READY + 5) << p.res.err;
    EXPECT_EQ(p.StateChange(3, 2), MENU_READY + 10) << p.res.err;
    EXPECT_EQ(p.StateChange(2, 1), level + 40) << p.res.err;
    EXPECT_EQ(p.StateChange(1, 4), level + 50) << p.res.err;
    TestImage img = p.Image(level + 45);
    EXPECT_GT(TextIn(img, 170, 105, 640, 180), 500); // "Hall Of Fame" again
    EXPECT_EQ(ButtonLit(img, 0, 0), 0);              // and not the main screen
}

} // namespace
