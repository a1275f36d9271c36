// The level's overlays in the real program, headless on the fixed clock: the pause menu with its options
// panel and confirmations, the game-over screen with the name entry, the recorded score in the save folder
// and the Hall Of Fame. Each run plays a small map of its own (the real meshes and sounds beside it).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "Image.h"
#include "Scenario.h"

namespace
{
const uint32_t TEXT = 0xFFE0C5B8;

// A data folder: the real meshes and sounds, map 0 from tests/data/ui, and our own default high scores.
struct LevelData
{
    Scenario::TempDir dir;

    explicit LevelData(const char* map, const char* missingMesh = nullptr)
    {
        // The meshes one by one, so that one can be left out.
        mkdir((dir / "Meshes").c_str(), 0700);
        DIR* pDir = opendir(SKARN_DATA_DIR "/Meshes");
        EXPECT_TRUE(pDir);
        while (const dirent* pEnt = pDir ? readdir(pDir) : nullptr)
        {
            const std::string name = pEnt->d_name;
            if (name[0] == '.' || (missingMesh && name == missingMesh)) continue;
            EXPECT_EQ(symlink((SKARN_DATA_DIR "/Meshes/" + name).c_str(), (dir / "Meshes/" + name).c_str()),
                      0);
        }
        if (pDir) closedir(pDir);
        EXPECT_EQ(symlink(SKARN_DATA_DIR "/Sounds", (dir / "Sounds").c_str()), 0);
        mkdir((dir / "Tilemaps").c_str(), 0700);
        Scenario::WriteFile(dir / "Tilemaps/map0.txt",
                            Scenario::ReadFile(std::string(SKARN_TEST_DATA_DIR "/ui/") + map));
        Scenario::WriteFile(dir / "highscore.txt", "ANNA\n300\nBOB\n250\nCARL\n200\nDORA\n150\nEMIL\n-1\n");
    }
};

// Input script in frames of the program; the menu's play button leads into the level.
struct Script
{
    std::ostringstream text;
    std::vector<std::string> shots;
    Scenario::TempDir shotDir;

    Script()
    {
        // The splash hands over to the menu after three seconds; the play button sits at the centre.
        Click(400, 300, 220);
    }
    void Key(int vk, int frame)
    {
        text << frame << " down " << vk << "\n" << frame + 1 << " up " << vk << "\n";
    }
    void Type(const std::string& letters, int frame)
    {
        for (char c : letters)
        {
            Key(c, frame);
            frame += 2;
        }
    }
    void Click(int x, int y, int frame)
    {
        text << frame << " move " << x << " " << y << "\n";
        text << frame + 2 << " press 1\n" << frame + 4 << " release 1\n";
    }
    // World position of the overlays' layout (x -80..80, y -60..60) to client pixels.
    void ClickWorld(float x, float y, int frame) { Click(int(400 + x * 5), int(300 - y * 5), frame); }
    std::string Shot(int frame)
    {
        std::string path = shotDir / ("f" + std::to_string(frame) + ".png");
        shots.push_back("--screenshot");
        shots.push_back(std::to_string(frame) + ":" + path);
        return path;
    }
};

Scenario::Result Play(const LevelData& data, Script& script, int frames, const std::string& saveDir)
{
    Scenario::Options opt;
    opt.dataDir = data.dir.path;
    opt.saveDir = saveDir;
    opt.script  = script.text.str();
    opt.args    = script.shots;
    opt.args.push_back("--frames");
    opt.args.push_back(std::to_string(frames));
    return Scenario::Run(opt);
}

TestImage Load(const std::string& path)
{
    TestImage img;
    EXPECT_TRUE(ImageLoad(path, &img)) << path;
    return img;
}

int TextPixels(const TestImage& img, int x0, int y0, int x1, int y1)
{
    return ImageCountColour(img, x0, y0, x1, y1, TEXT, 12);
}

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

int CountLines(const std::string& text, const std::string& prefix)
{
    int n = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) n += line.rfind(prefix, 0) == 0;
    return n;
}

int RunMeters(const std::string& err)
{
    const size_t at = err.find("run: meters=");
    return at == std::string::npos ? -1000 : std::stoi(err.substr(at + 12));
}

TEST(LevelOverlays, PauseMenuOptionsAndRestartConfirmation)
{
    LevelData data("floor.txt");
    Scenario::TempDir save;
    Script s;
    s.Key(0x20, 300); // closes the first tutorial page
    const std::string running = s.Shot(320);
    s.Key(0x1B, 330);
    const std::string paused = s.Shot(340);
    s.ClickWorld(0, -10, 345); // Options
    const std::string options = s.Shot(360);
    s.Key(0x1B, 370); // closes the panel and leaves the pause in one press
    const std::string back = s.Shot(380);
    s.Key(0x1B, 390);
    s.ClickWorld(0, 10, 395); // Resume
    const std::string resumed = s.Shot(410);
    s.Key(0x1B, 420);
    s.ClickWorld(0, 0, 425); // Restart only asks
    const std::string really = s.Shot(440);
    s.ClickWorld(-20, -20, 445); // Yes
    Scenario::Result r = Play(data, s, 480, save.path);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // Sky pixels away from every button and text.
    const int px = 700, py = 200;
    const TestImage imgRunning = Load(running), imgPaused = Load(paused), imgOptions = Load(options);
    const TestImage imgBack = Load(back), imgResumed = Load(resumed), imgReally = Load(really);
    const uint32_t sky = ImagePixel(imgRunning, px, py);
    EXPECT_TRUE(ColourNear(ImagePixel(imgPaused, px, py), Dimmed(sky), 3));
    EXPECT_TRUE(ColourNear(ImagePixel(imgOptions, px, py), Dimmed(sky), 3));
    EXPECT_TRUE(ColourNear(ImagePixel(imgBack, px, py), sky, 3));
    EXPECT_TRUE(ColourNear(ImagePixel(imgResumed, px, py), sky, 3));
    EXPECT_TRUE(ColourNear(ImagePixel(imgReally, px, py), Dimmed(sky), 3));

    // The Resume button stands at y 10 in the pause menu; the options panel has none there.
    const uint32_t resumeSpot = ImagePixel(imgPaused, 340, 250);
    EXPECT_FALSE(ColourNear(resumeSpot, Dimmed(ImagePixel(imgRunning, 340, 250)), 3));
    EXPECT_TRUE(ColourNear(ImagePixel(imgOptions, 340, 250), Dimmed(ImagePixel(imgRunning, 340, 250)), 3));
    // Its sound button stands where Restart stood.
    EXPECT_FALSE(ColourNear(ImagePixel(imgOptions, 340, 300), Dimmed(ImagePixel(imgRunning, 340, 300)), 3));

    EXPECT_GT(TextPixels(imgReally, 250, 220, 560, 300), 200); // "Really??"
    EXPECT_EQ(TextPixels(imgPaused, 250, 220, 560, 300), 0);

    // Yes restarted the level: the run ends, a new one starts and ends at exit.
    EXPECT_NE(r.err.find("state 2 -> 5"), std::string::npos) << r.err;
    EXPECT_EQ(CountLines(r.err, "run: "), 2) << r.err;
}

TEST(LevelOverlays, NameEntryRecordsTheScoreAndTheHallOfFameListsTheTable)
{
    LevelData data("fall.txt");
    Scenario::TempDir save;
    Script s;
    // The party falls off and the game-over screen asks for a name.
    s.Key(0x0D, 450);            // ENTER on an empty name does nothing
    s.Key(0x08, 452);            // nor does BACKSPACE
    s.Type("ABCDEFGHIJKL", 460); // the twelfth letter is refused
    s.Key(0x08, 490);
    s.Type("Z1 ", 494); // digits and blanks never enter a name
    const std::string entry = s.Shot(505);
    s.Key(0x0D, 510);
    const std::string hall = s.Shot(520);
    s.ClickWorld(0, -40, 525); // Menu asks
    const std::string really = s.Shot(540);
    s.ClickWorld(-20, -20, 545); // Yes
    Scenario::Result r = Play(data, s, 570, save.path);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const int meters = RunMeters(r.err);
    ASSERT_GE(meters, 0) << r.err;
    EXPECT_EQ(Scenario::ReadFile(save / "highscore.txt"),
              "ANNA\n300\nBOB\n250\nCARL\n200\nDORA\n150\nABCDEFGHIJZ\n" + std::to_string(meters) + "\n");

    const TestImage imgEntry = Load(entry), imgHall = Load(hall), imgReally = Load(really);
    // "Rest in peace.." starts further left than "Hall Of Fame".
    EXPECT_GT(TextPixels(imgEntry, 110, 35, 165, 110), 100);
    EXPECT_EQ(TextPixels(imgHall, 110, 35, 165, 110), 0);
    EXPECT_GT(TextPixels(imgHall, 170, 35, 700, 110), 500);
    // The typed name stands in the entry field, eleven letters long.
    EXPECT_GT(TextPixels(imgEntry, 390, 290, 560, 320), 100);
    // One row per entry of the table: name and score; nothing below the fifth.
    for (int j = 0; j < 5; ++j)
    {
        EXPECT_GT(TextPixels(imgHall, 210, 160 + 40 * j, 400, 185 + 40 * j), 20) << "name row " << j;
        EXPECT_GT(TextPixels(imgHall, 490, 160 + 40 * j, 600, 185 + 40 * j), 20) << "score row " << j;
    }
    EXPECT_EQ(TextPixels(imgHall, 200, 360, 600, 420), 0);
    // The menu question hides the table.
    EXPECT_GT(TextPixels(imgReally, 250, 220, 560, 300), 200);
    EXPECT_EQ(TextPixels(imgReally, 170, 35, 700, 110), 0);

    EXPECT_NE(r.err.find("state 2 -> 1"), std::string::npos) << r.err;
    EXPECT_EQ(CountLines(r.err, "run: "), 1) << r.err;
}

TEST(LevelOverlays, RestartFromTheHallOfFameKeepsTheName)
{
    LevelData data("fall.txt");
    Scenario::TempDir save;
    Script s;
    s.Type("OG", 450);
    s.Key(0x0D, 460);
    s.ClickWorld(0, -30, 470); // Restart goes straight
    // The new run ends the same way; the name is still in the field and ENTER confirms it at once.
    const std::string entry = s.Shot(700);
    s.Key(0x0D, 710);
    const std::string hall = s.Shot(720);
    Scenario::Result r     = Play(data, s, 730, save.path);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    EXPECT_NE(r.err.find("state 2 -> 5"), std::string::npos) << r.err;
    EXPECT_EQ(CountLines(r.err, "run: "), 2) << r.err;
    const TestImage imgEntry = Load(entry), imgHall = Load(hall);
    EXPECT_GT(TextPixels(imgEntry, 390, 290, 450, 320), 50);
    EXPECT_GT(TextPixels(imgHall, 170, 35, 700, 110), 500);
    EXPECT_EQ(TextPixels(imgHall, 110, 35, 165, 110), 0);
}
TEST(LevelOverlays, AMissingOverlayMeshStopsTheLevelLoad)
{
    LevelData data("floor.txt", "resumemesh.txt");
    Script s;
    Scenario::Result r = Play(data, s, 300, "");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.out.find("KO_ASSERT_MESG: pObj->pMesh\nLine: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nFunc: UI::LoadUI\nFile: src\\UI\nMesg: fail to create object!!\n"),
              std::string::npos)
        << r.out;
}
} // namespace
