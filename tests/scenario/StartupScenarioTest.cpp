// The program from the outside: command line, the splash on the fixed clock, clean ends.
#include <gtest/gtest.h>

#include <regex>

#include "Play.h"

// Pixels of the rows y0 <= y < y1 whose red, green and blue pass the test.
template <class Pred> static int CountRows(const TestImage& img, int y0, int y1, Pred pred)
{
    return ImageCount(img, 0, y0, img.w, y1, pred);
}

TEST(Startup, BadArgumentsStopBeforeTheGameStartsWithCodeTwoAndHelpAndVersionGoToStandardOutput)
{
    Scenario::TempDir tmp;
    const std::string shot = tmp / "a.png";
    auto refused = [](const std::vector<std::string>& args, const std::string& said = "usage: skarnhold",
                      const std::string& script = "", const std::string& dataDir = SKARN_DATA_DIR)
    {
        Scenario::Options opt;
        opt.args           = args;
        opt.script         = script;
        opt.dataDir        = dataDir;
        Scenario::Result r = Scenario::Run(opt);
        std::string shown  = args[0] + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_EQ(r.exitCode, 2) << shown;
        EXPECT_NE(r.err.find(said), std::string::npos) << shown << "\n" << r.err; // on standard error
        EXPECT_EQ(r.out, "") << shown;
    };
    refused({"--bogus"});
    refused({"extra"});
    for (std::string option : {"--fixed-dt", "--frames", "--screenshot", "--script", "--save-dir",
                               "--data-dir", "--config-dir", "--sound"})
        refused({option}); // the value missing
    for (const char* value : {"0", "1e-9", "-0.5", "abc", "nan", "0.01x"}) refused({"--fixed-dt", value});
    for (const char* value : {"0", "1.5", "-3"}) refused({"--frames", value});
    refused({"--sound", "loud"});
    for (const char* value : {"human:", "human:x", "human:-1", "human:4294967296"}) refused({"--bot", value});
    refused({"--runs", "0"});
    for (const std::string& value : std::vector<std::string>{"12", "0:" + shot, "5:", "x:" + shot})
        refused({"--screenshot", value});
    EXPECT_FALSE(Scenario::FileExists(shot));
    refused({"--frames", "5"}, "input.script:3: ", "# fine\n1 down 32\n2 wiggle 3\n");
    refused({"--frames", "5", "--script", "/nonexistent/x.script"}, "/nonexistent/x.script");
    refused({"--frames", "5"}, "/nonexistent/data", "", "/nonexistent/data");

    // Help and version go to standard output.
    Scenario::Result help = Scenario::Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: skarnhold", 0), 0u);
    for (const char* opt : {"--windowed", "--headless", "--fixed-dt", "--frames", "--script", "--screenshot",
                            "--data-dir", "--save-dir", "--config-dir", "--fullscreen", "--sound",
                            "--bot [human:SEED]", "--runs", "--help", "--version"})
        EXPECT_NE(help.out.find(opt), std::string::npos) << opt;
    Scenario::Result version = Scenario::Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("Skarnhold ", 0), 0u);
}

// Twice from the data folder beside the program, windowed, with F11 pressed in frame 20 (seen by frame 21's
// test) and again in frame 40.
TEST(Startup, TheSplashShowsTheLogoFollowsF11AndAsksForTheMenuAfterThreeSecondsTheSameInEveryRun)
{
    Scenario::Play run, again;
    for (Scenario::Play* p : {&run, &again})
    {
        p->opt.dataDir = "";
        p->opt.script  = "20 down 0x7A\n22 up 0x7A\n40 down 122\n41 up 122\n";
        for (long f : {10, 30, 50, 90}) p->Shot(f);
    }
    run.Go(200);
    again.Go(91);
    EXPECT_EQ(run.res.exitCode, 0) << run.res.err;
    // On the 1/60 s clock the splash timer reaches 3 s in frame 180 or 181.
    EXPECT_TRUE(std::regex_search(run.res.err, std::regex("(^|\n)frame 18[01]: state 0 -> 1\n")))
        << run.res.err;
    const std::string png = Scenario::ReadFile(run.shots / "90.png");
    EXPECT_FALSE(png.empty());
    EXPECT_EQ(png, Scenario::ReadFile(again.shots / "90.png"));

    // The stone word between its dark red bands, the red line of text under it, and nothing else.
    TestImage img = run.Image(90);
    auto stone = [](int r, int g, int b) { return r > 110 && std::abs(r - g) < 24 && std::abs(g - b) < 24; };
    auto darkRed = [](int r, int g, int b) { return r > 50 && r > 3 * g && r > 3 * b; };
    auto redText = [](int r, int g, int b) { return r > 60 && g < 40 && b < 40; };
    auto lit     = [](int r, int g, int b) { return r + g + b > 24; };
    EXPECT_GT(CountRows(img, 195, 305, stone), 25000);  // the letters
    EXPECT_GT(CountRows(img, 170, 190, darkRed), 5000); // the upper band
    EXPECT_GT(CountRows(img, 315, 335, darkRed), 5000); // the lower band
    EXPECT_GT(CountRows(img, 348, 372, redText), 400);
    EXPECT_EQ(CountRows(img, 0, 150, lit), 0);
    EXPECT_EQ(CountRows(img, 380, 600, lit), 0);

    TestImage a = run.Image(10), full = run.Image(30), c = run.Image(50);
    EXPECT_EQ(a.w, 800);
    EXPECT_GT(full.w, 800);        // the dummy display's desktop is larger than the window
    EXPECT_EQ(a.pixels, c.pixels); // back in the window, the same picture
    // In full screen the text line sits at the same place of the view, drawn with a larger font.
    int textTop = full.h * 348 / 600, textBottom = full.h * 380 / 600;
    EXPECT_GT(CountRows(full, textTop, textBottom, redText), 600);
    EXPECT_EQ(CountRows(full, textBottom + 4, full.h, lit), 0);
}

// The settings file: read at start, the command line's choices kept for the run only, F11's change written;
// a replay of that run only watches. Without --save-dir the save folder is built under $XDG_DATA_HOME.
TEST(Startup, SettingsAreReadAtStartAndAChangeIsWrittenButNotTheCommandLinesChoiceNorAReplays)
{
    Scenario::TempDir config, data;
    Scenario::EnvGuard xdg("XDG_DATA_HOME", data.path.c_str());
    Scenario::WriteFile(config / "settings.ini", "# mine\nsound = off\nfullscreen = off\n");
    Scenario::Options opt;
    opt.asTests = false;
    opt.args    = {"--sound",  "on", "--vsync",  "--config-dir", config.path,
                   "--frames", "12", "--record", data / "r"};
    opt.script  = "5 down 122\n6 up 122\n";
    EXPECT_EQ(Scenario::Run(opt).exitCode, 0);
    EXPECT_EQ(Scenario::ReadFile(config / "settings.ini"), "# mine\nsound = off\nfullscreen = on\n");
    EXPECT_TRUE(Scenario::FileExists(data / "Oxmire/Skarnhold"));
    Scenario::WriteFile(config / "settings.ini", "fullscreen = off\n");
    opt.args = {"--config-dir", config.path, "--replay", data / "r"};
    EXPECT_EQ(Scenario::Run(opt).exitCode, 0);
    EXPECT_EQ(Scenario::ReadFile(config / "settings.ini"), "fullscreen = off\n");
}
