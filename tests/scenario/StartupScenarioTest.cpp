// The program from the outside: command line, the splash on the fixed clock, clean ends.
#include "Scenario.h"

#include <gtest/gtest.h>
#include <regex>

namespace
{
bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
} // namespace

TEST(Startup, BadArgumentsPrintTheUsageAndExitWithTwo)
{
    Scenario::TempDir tmp;
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"extra"},
        {"--fixed-dt"},
        {"--fixed-dt", "0"},
        {"--fixed-dt", "-0.5"},
        {"--fixed-dt", "abc"},
        {"--fixed-dt", "nan"},
        {"--fixed-dt", "0.01x"},
        {"--frames", "0"},
        {"--frames", "1.5"},
        {"--frames", "-3"},
        {"--frames"},
        {"--screenshot", "12"},
        {"--screenshot", "0:" + (tmp / "a.png")},
        {"--screenshot", "5:"},
        {"--screenshot", "x:" + (tmp / "a.png")},
        {"--script"},
        {"--save-dir"},
        {"--data-dir"},
    };
    for (const auto& args : cases)
    {
        Scenario::Result r = Scenario::Run(args);
        std::string shown = args[0] + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_EQ(r.exitCode, 2) << shown;
        EXPECT_TRUE(Contains(r.err, "usage: skarnhold")) << shown << "\n" << r.err;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_FALSE(Scenario::FileExists(tmp / "a.png"));
    }
}

TEST(Startup, HelpAndVersionGoToStandardOutput)
{
    Scenario::Result help = Scenario::Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: skarnhold", 0), 0u);
    for (const char* opt : {"--windowed", "--headless", "--fixed-dt", "--frames", "--script", "--screenshot",
                            "--data-dir", "--save-dir", "--help", "--version"})
        EXPECT_TRUE(Contains(help.out, opt)) << opt;
    Scenario::Result version = Scenario::Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("Skarnhold ", 0), 0u);
}

TEST(Startup, BadScriptsAndFoldersStopBeforeTheGameStarts)
{
    Scenario::Result bad = Scenario::Run({"--frames", "5"}, "# fine\n1 down 32\n2 wiggle 3\n");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(Contains(bad.err, "input.script:3: ")) << bad.err;
    EXPECT_EQ(bad.out, "");

    Scenario::Result missing = Scenario::Run({"--frames", "5", "--script", "/nonexistent/x.script"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(Contains(missing.err, "/nonexistent/x.script")) << missing.err;

    Scenario::Options opt;
    opt.dataDir = "/nonexistent/data";
    opt.args    = {"--frames", "5"};
    Scenario::Result noData = Scenario::Run(opt);
    EXPECT_EQ(noData.exitCode, 2);
    EXPECT_TRUE(Contains(noData.err, "/nonexistent/data")) << noData.err;
}

TEST(Startup, SplashShowsTheLogoAndAsksForTheMenuAfterThreeSeconds)
{
    Scenario::TempDir tmp;
    Scenario::Options opt;
    opt.args = {"--frames", "200", "--screenshot", "90:" + (tmp / "splash.png")};
    Scenario::Result r = Scenario::Run(opt);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Contains(r.out, "KO_ASSERT")) << r.out;
    // On the 1/60 s clock the splash timer reaches 3 s in frame 180 or 181.
    EXPECT_TRUE(std::regex_search(r.err, std::regex("(^|\n)frame 18[01]: state 0 -> 1\n"))) << r.err;
    EXPECT_TRUE(Scenario::FileExists(tmp / "splash.png"));
}

TEST(Startup, RunsAreReproducibleAndStartFromAnyFolder)
{
    Scenario::TempDir tmp;
    for (const char* name : {"a.png", "b.png"})
    {
        Scenario::Options opt;
        opt.dataDir = ""; // the data folder beside the program
        opt.args    = {"--frames", "30", "--screenshot", std::string("30:") + (tmp / name)};
        Scenario::Result r = Scenario::Run(opt);
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }
    std::string a = Scenario::ReadFile(tmp / "a.png"), b = Scenario::ReadFile(tmp / "b.png");
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
}
