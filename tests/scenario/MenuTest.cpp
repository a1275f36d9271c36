// The main menu and the program flow, through the real program: headless, on the fixed clock, with
// scripted mouse and keys and a temporary save folder. What the menu shows is read from screenshots (the
// menu draws on black; its texts are 0xFFE0C5B8), the state changes from the main loop's trace on
// standard error.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "Image.h"
#include "Scenario.h"

namespace
{

const double DT = 0.05; // the splash lasts 60 frames of it
// The first frame that is surely the menu's, and the first in which its buttons surely take clicks
// (half a second of menu time).
const long MENU_FIRST = 63;
const long MENU_READY = 80;

const uint32_t TEXT = 0xFFE0C5B8;

// Client pixel of a point of the menu's view (x -80..80, y -60..60 over the 800 x 600 window).
int Px(float x)
{
    return int((x + 80.0f) * 5.0f);
}
int Py(float y)
{
    return int((60.0f - y) * 5.0f);
}

struct Input
{
    std::string text;
    void Line(long frame, const std::string& event) { text += std::to_string(frame) + " " + event + "\n"; }
    void Move(long frame, float x, float y)
    {
        Line(frame, "move " + std::to_string(Px(x)) + " " + std::to_string(Py(y)));
    }
    // Pointer to the point, left button down in that frame and up two frames later.
    void Click(long frame, float x, float y)
    {
        Move(frame, x, y);
        Line(frame, "press 1");
        Line(frame + 2, "release 1");
    }
    // The pointer out of the way (top-left corner), so it hides no text.
    void Park(long frame) { Line(frame, "move 2 2"); }
    void Key(long frame, int vk)
    {
        Line(frame, "down " + std::to_string(vk));
        Line(frame + 2, "up " + std::to_string(vk));
    }
};

struct Game
{
    Scenario::TempDir shots;
    Scenario::Options opt;
    Scenario::Result res;
    std::vector<std::pair<long, std::string>> wanted;

    Game() { opt.fixedDt = DT; }
    void Shot(long frame, const std::string& name) { wanted.push_back({frame, shots / (name + ".png")}); }
    void Go(const Input& in, long frames)
    {
        opt.script = in.text;
        opt.args.push_back("--frames");
        opt.args.push_back(std::to_string(frames));
        for (auto& w : wanted)
        {
            opt.args.push_back("--screenshot");
            opt.args.push_back(std::to_string(w.first) + ":" + w.second);
        }
        res = Scenario::Run(opt);
        ASSERT_FALSE(res.timedOut);
        ASSERT_EQ(res.signal, 0) << res.err;
    }
    TestImage Image(const std::string& name)
    {
        TestImage img;
        EXPECT_TRUE(ImageLoad(shots / (name + ".png"), &img)) << name;
        return img;
    }
    // The frame in which the main loop left state `from` for `to`, or 0.
    long ChangeFrame(int from, int to) const
    {
        std::string tail = ": state " + std::to_string(from) + " -> " + std::to_string(to) + "\n";
        size_t at        = res.err.find(tail);
        if (at == std::string::npos) return 0;
        size_t start = res.err.rfind("frame ", at);
        return start == std::string::npos ? 0 : atol(res.err.c_str() + start + 6);
    }
};

// Pixels of the text colour in the rectangle.
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

// Pixels that differ between two pictures in a rectangle.
int Differ(const TestImage& a, const TestImage& b, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += ImagePixel(a, x, y) != ImagePixel(b, x, y);
    return n;
}

// The main screen: all six buttons of the column are drawn, no sub-screen text.
void ExpectMainScreen(const TestImage& img)
{
    for (float y : {0.0f, -10.0f, -20.0f, -30.0f, -40.0f, -50.0f}) EXPECT_GT(ButtonLit(img, 0, y), 1000) << y;
    EXPECT_EQ(TextIn(img, 0, 100, 800, 600), 0);
}

TEST(Menu, SplashLeadsToMenuWithItsButtons)
{
    Game run;
    run.Shot(30, "splash");
    run.Shot(MENU_READY, "menu");
    Input in;
    in.Park(1);
    run.Go(in, MENU_READY + 1);
    long change = run.ChangeFrame(0, 1);
    EXPECT_TRUE(change == 60 || change == 61) << run.res.err;
    EXPECT_EQ(run.res.exitCode, 0);
    TestImage splash = run.Image("splash");
    EXPECT_EQ(ImageCountLit(splash, 300, Py(-45), 500, Py(-55)), 0); // nothing where the exit button goes
    ExpectMainScreen(run.Image("menu"));
}

TEST(Menu, HowToPlayOpensAndClosesWithBackOrSpace)
{
    Game run;
    Input in;
    in.Click(MENU_READY, 0, -10); // how to play
    in.Park(MENU_READY + 3);
    run.Shot(MENU_READY + 4, "howto");
    in.Click(MENU_READY + 10, 0, -50); // back, at the bottom on this screen
    in.Park(MENU_READY + 13);
    run.Shot(MENU_READY + 14, "back");
    in.Click(MENU_READY + 20, 0, -10);
    in.Park(MENU_READY + 23);
    in.Key(MENU_READY + 25, 0x20); // SPACE closes it too
    run.Shot(MENU_READY + 24, "howto2");
    run.Shot(MENU_READY + 27, "space");
    run.Go(in, MENU_READY + 28);

    for (const char* name : {"howto", "howto2"})
    {
        TestImage img = run.Image(name);
        EXPECT_GT(TextIn(img, 320, 300, 480, 326), 30) << name;  // "How to play"
        EXPECT_GT(TextIn(img, 170, 330, 620, 382), 100) << name; // the two lines on jumping
        EXPECT_GT(TextIn(img, 30, 390, 780, 416), 100) << name;  // monsters and obstacles
        for (float x : {-10.0f, 0.0f, 10.0f})
            EXPECT_GT(ImageCountLit(img, Px(x) - 10, Py(-27), Px(x) + 10, Py(-33)), 50) << x;
        EXPECT_GT(ButtonLit(img, 0, -50), 1000) << name; // back
        EXPECT_EQ(ButtonLit(img, 0, -40), 0) << name;    // credits hidden
    }
    ExpectMainScreen(run.Image("back"));
    ExpectMainScreen(run.Image("space"));
}

TEST(Menu, OptionsSwitchTheSoundAndTheScreenMode)
{
    Game run;
    Input in;
    in.Click(MENU_READY, -15, -20); // options; the sound button comes up under the pointer
    run.Shot(MENU_READY + 4, "on");
    // Clicks on the left end of the button, so that the pointer stays out of the right end, where the
    // labels are compared.
    in.Click(MENU_READY + 10, -15, -20); // sound off
    run.Shot(MENU_READY + 10, "same-frame");
    run.Shot(MENU_READY + 14, "off");
    in.Click(MENU_READY + 20, -15, -20); // sound on again
    run.Shot(MENU_READY + 24, "on-again");
    in.Click(MENU_READY + 30, 0, -30); // the window becomes full screen
    run.Shot(MENU_READY + 34, "full");
    // In full screen the view stretches over the screen; the windowed button stays at (0, -30) of it.
    in.Line(MENU_READY + 40, "move 512 576");
    in.Line(MENU_READY + 40, "press 1");
    in.Line(MENU_READY + 42, "release 1");
    run.Shot(MENU_READY + 44, "window");
    run.Go(in, MENU_READY + 45);

    TestImage on = run.Image("on"), off = run.Image("off"), same = run.Image("same-frame");
    TestImage again = run.Image("on-again");
    int x0 = Px(2), x1 = Px(20), y0 = Py(-15), y1 = Py(-25);
    EXPECT_GT(ButtonLit(on, 0, -20), 1000);
    EXPECT_GT(ButtonLit(on, 0, -30), 1000);          // the screen-mode button
    EXPECT_GT(ButtonLit(on, 0, -40), 1000);          // back
    EXPECT_EQ(ButtonLit(on, 0, 0), 0);               // play hidden
    EXPECT_GT(Differ(on, off, x0, y0, x1, y1), 500); // the other sound button
    EXPECT_EQ(Differ(on, same, x0, y0, x1, y1), 0);  // ... only from the frame after the click
    EXPECT_EQ(Differ(on, again, x0, y0, x1, y1), 0);

    TestImage full = run.Image("full"), window = run.Image("window");
    EXPECT_GT(full.w, 800);
    EXPECT_EQ(window.w, 800);
    EXPECT_EQ(window.h, 600);
    // Back in the window, the screen-mode button offers full screen again.
    EXPECT_EQ(Differ(on, window, Px(-20), Py(-26), Px(20), Py(-34)), 0);
}

TEST(Menu, HallOfFameListsTheWholeTable)
{
    struct Case
    {
        std::string file;
        int rows;
    };
    // A hand-edited file may hold a name longer than the whole text buffer: it is cut, not overrun.
    std::string longName(3000, 'W');
    for (const Case& c :
         {Case{"GROK\n300\nMAGDA\n250\nUR\n40\n", 3}, Case{"", 0}, Case{longName + "\n7\nUR\n5\n", 2}})
    {
        Scenario::TempDir save;
        Scenario::WriteFile(save / "highscore.txt", c.file);
        Game run;
        run.opt.saveDir = save.path;
        Input in;
        in.Click(MENU_READY, 0, -30);
        in.Park(MENU_READY + 3);
        run.Shot(MENU_READY + 4, "hof");
        in.Click(MENU_READY + 10, 0, -50); // back
        in.Park(MENU_READY + 13);
        run.Shot(MENU_READY + 14, "main");
        run.Go(in, MENU_READY + 15);

        TestImage img = run.Image("hof");
        EXPECT_GT(TextIn(img, 170, 105, 640, 180), 500) << c.rows; // "Hall Of Fame"
        for (int i = 0; i < 5; ++i)
        {
            int y = 200 + 40 * i;
            EXPECT_EQ(TextIn(img, 210, y, 470, y + 26) > 20, i < c.rows) << i; // name
            EXPECT_EQ(TextIn(img, 490, y, 640, y + 26) > 20, i < c.rows) << i; // "%dm"
        }
        EXPECT_GT(ButtonLit(img, 0, -50), 1000); // back
        EXPECT_EQ(ButtonLit(img, 0, -30), 0);    // the high-scores button is hidden
        ExpectMainScreen(run.Image("main"));
    }
}

TEST(Menu, CreditsShowEveryBlock)
{
    Game run;
    Input in;
    in.Click(MENU_READY, 0, -40);
    in.Park(MENU_READY + 3);
    run.Shot(MENU_READY + 4, "credits");
    in.Click(MENU_READY + 10, 0, -50);
    in.Park(MENU_READY + 13);
    run.Shot(MENU_READY + 14, "main");
    run.Go(in, MENU_READY + 15);

    TestImage img = run.Image("credits");
    struct Block
    {
        int x, y, lines;
    };
    // The heading, the notice and the four credit blocks.
    for (Block b : {Block{345, 105, 1}, Block{45, 470, 2}, Block{305, 155, 2}, Block{55, 205, 3},
                    Block{495, 205, 4}, Block{50, 310, 5}})
        EXPECT_GT(TextIn(img, b.x, b.y, std::min(b.x + 300, 800), b.y + 25 * b.lines), 100 * b.lines) << b.x;
    EXPECT_GT(ButtonLit(img, 0, -50), 1000);
    ExpectMainScreen(run.Image("main"));
}

TEST(Menu, ExitAsksFirstAndYesEndsTheProgramNormally)
{
    Game run;
    Input in;
    in.Click(MENU_READY, 0, -50); // exit
    in.Park(MENU_READY + 3);
    run.Shot(MENU_READY + 4, "ask");
    in.Click(MENU_READY + 10, 30, -20); // no
    in.Park(MENU_READY + 13);
    run.Shot(MENU_READY + 14, "main");
    in.Click(MENU_READY + 20, 0, -50);
    in.Click(MENU_READY + 30, -30, -20); // yes
    run.Go(in, MENU_READY + 100);

    TestImage ask = run.Image("ask");
    EXPECT_GT(TextIn(ask, 270, 280, 520, 360), 500); // "really?"
    EXPECT_GT(ButtonLit(ask, -30, -20), 1000);       // yes
    EXPECT_GT(ButtonLit(ask, 30, -20), 1000);        // no
    EXPECT_EQ(ButtonLit(ask, 0, -50), 0);            // the exit button is hidden
    ExpectMainScreen(run.Image("main"));

    EXPECT_EQ(run.ChangeFrame(1, 6), MENU_READY + 30) << run.res.err;
    EXPECT_EQ(run.res.exitCode, 0);
    EXPECT_EQ(run.res.out, "FMOD Load Complete\nFMOD Init Complete\nFMOD Unload Complete\n");
}

TEST(Menu, ButtonsGrowUnderThePointerButTakeClicksOnlyAfterHalfASecond)
{
    Game run;
    Input in;
    in.Move(MENU_FIRST, 60, 50); // away from the buttons
    run.Shot(MENU_FIRST, "rest");
    in.Click(MENU_FIRST + 2, 0, 0); // on play, 0.15 s into the menu
    run.Shot(MENU_FIRST + 2, "early");
    run.Shot(MENU_FIRST + 8, "still");
    in.Click(MENU_READY, 0, 0);
    run.Go(in, MENU_READY + 10);

    TestImage rest = run.Image("rest"), early = run.Image("early");
    float grown = float(LitWidth(early, 0)) / float(LitWidth(rest, 0));
    EXPECT_NEAR(grown, 45.0f / 40.0f, 0.02f);
    EXPECT_NEAR(float(LitWidth(rest, -10)), float(LitWidth(early, -10)), 1.0f); // the next one stays
    // The early click swung the axe but did not start the game.
    EXPECT_GT(Differ(early, run.Image("still"), Px(-5), Py(5), Px(10), Py(-10)), 0);
    ExpectMainScreen(run.Image("still"));
    EXPECT_EQ(run.ChangeFrame(1, 2), MENU_READY) << run.res.err;
}

TEST(Menu, AClickOnTheEdgeOfTwoButtonsPressesBoth)
{
    Game run;
    Input in;
    in.Click(MENU_READY, 0, -15); // the edge of how to play (y -10) and options (y -20)
    in.Park(MENU_READY + 3);
    run.Shot(MENU_READY + 4, "both");
    run.Go(in, MENU_READY + 5);

    TestImage img = run.Image("both");
    EXPECT_GT(TextIn(img, 320, 300, 480, 326), 30); // how to play's text
    EXPECT_GT(ButtonLit(img, 0, -20), 1000);        // options' sound button
    EXPECT_GT(ButtonLit(img, 0, -30), 1000);        // and screen-mode button
}

TEST(Menu, PlayShowsTheLoadingFrameAndEntersTheLevel)
{
    Game run;
    Input in;
    in.Click(MENU_READY, 0, 0);
    run.Shot(MENU_READY, "loading");
    run.Go(in, MENU_READY + 20);

    TestImage img = run.Image("loading");
    EXPECT_GT(ImageCountColour(img, 0, 0, 800, 600, 0xFF6C6764, 4), 800 * 600 / 2); // the backdrop
    EXPECT_GT(TextIn(img, 273, 280, 560, 360), 500);                                // "Loading.."
    EXPECT_GT(ImageCountLit(img, 0, 400, 800, 500), 0);
    int troglinRow = 0, emptyRow = 0; // the troglins stand in a row below the text
    for (int x = 0; x < 800; ++x)
    {
        troglinRow += !ColourNear(ImagePixel(img, x, Py(-30)), 0xFF6C6764, 4);
        emptyRow += !ColourNear(ImagePixel(img, x, Py(-50)), 0xFF6C6764, 4);
    }
    EXPECT_GT(troglinRow, 300);
    EXPECT_EQ(emptyRow, 0);
    EXPECT_EQ(run.ChangeFrame(1, 2), MENU_READY) << run.res.err;
}

// The level part of the flow runs on a small map as map 0, beside the real meshes and sounds: a floor to run
// on, or nothing at all, so that the party falls at once.
struct LevelData
{
    Scenario::TempDir dir;
    explicit LevelData(const char* map)
    {
        mkdir((dir / "Tilemaps").c_str(), 0700);
        std::string mapPath = std::string(SKARN_TEST_DATA_DIR "/ui/") + map;
        for (auto link : {std::pair<std::string, std::string>{SKARN_DATA_DIR "/Meshes", "Meshes"},
                          {SKARN_DATA_DIR "/Sounds", "Sounds"},
                          {mapPath, "Tilemaps/map0.txt"}})
            EXPECT_EQ(symlink(link.first.c_str(), (dir / link.second).c_str()), 0);
    }
};

const long TUTORIAL_SHOWN = MENU_READY + 20; // on the floor, the first landing's tutorial page is up

TEST(Flow, PauseRestartsTheLevelOrLeadsBackToTheMenu)
{
    LevelData floor("floor.txt");
    Game run;
    run.opt.dataDir = floor.dir.path;
    Input in;
    in.Click(MENU_READY, 0, 0);
    in.Key(TUTORIAL_SHOWN, 0x20);      // SPACE closes the page
    in.Key(TUTORIAL_SHOWN + 10, 0x1B); // ESC pauses
    in.Key(TUTORIAL_SHOWN + 15, 'R');  // R while paused restarts
    in.Key(TUTORIAL_SHOWN + 30, 0x1B);
    run.Shot(TUTORIAL_SHOWN + 33, "paused");
    in.Click(TUTORIAL_SHOWN + 35, 0, -20);   // Menu
    in.Click(TUTORIAL_SHOWN + 40, -20, -20); // Yes
    run.Shot(TUTORIAL_SHOWN + 50, "menu");
    run.Go(in, TUTORIAL_SHOWN + 51);

    EXPECT_EQ(run.ChangeFrame(1, 2), MENU_READY) << run.res.err;
    EXPECT_EQ(run.ChangeFrame(2, 5), TUTORIAL_SHOWN + 15) << run.res.err;
    EXPECT_EQ(run.ChangeFrame(2, 1), TUTORIAL_SHOWN + 40) << run.res.err;
    TestImage paused = run.Image("paused");
    for (float y : {10.0f, 0.0f, -10.0f, -20.0f}) // Resume, Restart, Options, Menu
        EXPECT_GT(ImageCountLit(paused, Px(-10), Py(y + 2), Px(10), Py(y - 2)), 300) << y;
    ExpectMainScreen(run.Image("menu"));
    EXPECT_EQ(run.res.exitCode, 0);
}

TEST(Flow, AFullRunEndsInTheHallOfFameOfTheGameOverScreenAndOfTheMenu)
{
    Scenario::TempDir save;
    Scenario::WriteFile(save / "highscore.txt", "GROK\n300\nMAGDA\n250\nUR\n40\nBOGG\n12\nZED\n-1\n");
    LevelData fall("fall.txt");
    Game run;
    run.opt.dataDir = fall.dir.path;
    run.opt.saveDir = save.path;
    Input in;
    // The table before the run.
    in.Click(MENU_READY, 0, -30);
    in.Park(MENU_READY + 3);
    run.Shot(MENU_READY + 4, "before");
    in.Click(MENU_READY + 6, 0, -50);
    // The run: play, and the party falls; the game-over screen is up by play + 80.
    const long play = MENU_READY + 15;
    in.Click(play, 0, 0);
    const long typing = play + 100;
    long f            = typing;
    for (char c : std::string("ROCKY")) in.Key(f += 4, c);
    in.Key(f += 4, 0x0D); // ENTER records the score
    in.Park(f + 2);
    run.Shot(f + 4, "game-over");
    in.Click(f + 10, 0, -40); // Menu, then Yes
    in.Click(f + 20, -20, -20);
    const long menu = f + 21;
    in.Click(menu + 10, 0, -30);
    in.Park(menu + 13);
    run.Shot(menu + 14, "after");
    run.Go(in, menu + 15);

    EXPECT_EQ(run.ChangeFrame(1, 2), play) << run.res.err;
    EXPECT_EQ(run.ChangeFrame(2, 1), f + 20) << run.res.err;
    EXPECT_EQ(run.res.exitCode, 0);
    // The save folder's file holds the run in its place; the lowest entry has dropped out.
    EXPECT_EQ(Scenario::ReadFile(save / "highscore.txt"),
              "GROK\n300\nMAGDA\n250\nUR\n40\nBOGG\n12\nROCKY\n0\n");

    TestImage over = run.Image("game-over");
    EXPECT_GT(TextIn(over, 170, 35, 640, 100), 500); // "Hall Of Fame"
    for (int j = 0; j < 5; ++j) EXPECT_GT(TextIn(over, 210, 160 + 40 * j, 470, 180 + 40 * j), 20) << j;

    // The menu lists the new table: the first four rows as before, the new entry last.
    TestImage before = run.Image("before"), after = run.Image("after");
    for (int i = 0; i < 5; ++i)
    {
        int y = 200 + 40 * i;
        EXPECT_GT(TextIn(after, 210, y, 470, y + 26), 20) << i;
        EXPECT_EQ(Differ(before, after, 200, y, 700, y + 30) > 0, i == 4) << i;
    }
}

TEST(Flow, F2AndF3LeadToTheEditorsAndTheHallOfFameStaysOpenForTheReturn)
{
    LevelData floor("floor.txt");
    Game run;
    run.opt.dataDir = floor.dir.path;
    Input in;
    in.Click(MENU_READY, 0, -30);  // Hall Of Fame
    in.Key(MENU_READY + 5, 0x71);  // F2: tile editor
    in.Key(MENU_READY + 10, 0x70); // F1 there: the level
    const long level = MENU_READY + 11;
    in.Key(level + 20, 0x20); // the tutorial page, then pause, Menu, Yes
    in.Key(level + 30, 0x1B);
    in.Click(level + 35, 0, -20);
    in.Click(level + 40, -20, -20);
    in.Park(level + 43);
    run.Shot(level + 45, "return");
    in.Key(level + 50, 0x72); // F3: mesh editor
    run.Go(in, level + 55);

    EXPECT_EQ(run.ChangeFrame(1, 3), MENU_READY + 5) << run.res.err;
    EXPECT_EQ(run.ChangeFrame(3, 2), MENU_READY + 10) << run.res.err;
    EXPECT_EQ(run.ChangeFrame(2, 1), level + 40) << run.res.err;
    EXPECT_EQ(run.ChangeFrame(1, 4), level + 50) << run.res.err;
    TestImage img = run.Image("return");
    EXPECT_GT(TextIn(img, 170, 105, 640, 180), 500); // "Hall Of Fame" again
    EXPECT_EQ(ButtonLit(img, 0, 0), 0);              // and not the main screen
}

} // namespace
