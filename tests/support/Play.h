// A scripted run of the whole game for scenario tests: input events and screenshots by program frame, the
// data folder it plays in, and the readers of the main loop's trace on standard error.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "Image.h"
#include "Scenario.h"

namespace Scenario
{

// Client pixel of a point of the menus' and overlays' view (x -80..80, y -60..60 over 800 x 600).
inline int Px(float x)
{
    return int((x + 80.0f) * 5.0f);
}
inline int Py(float y)
{
    return int((60.0f - y) * 5.0f);
}

// The menus' and overlays' text colour, and its pixels in the rectangle [x0, x1) x [y0, y1).
const uint32_t TEXT = 0xFFE0C5B8;
inline int TextPixels(const TestImage& img, int x0, int y0, int x1, int y1, int tolerance = 12)
{
    return ImageCountColour(img, x0, y0, x1, y1, TEXT, tolerance);
}

// A data folder whose Meshes, Sounds and Tilemaps are folders of links to the game's own files, so that
// single files can be replaced or removed; with `map0` the Tilemaps folder holds that map as map 0 and
// nothing else.
struct GameData
{
    TempDir dir;
    explicit GameData(const std::string& map0 = "")
    {
        Link(SKARN_DATA_DIR "/highscore.txt", "highscore.txt");
        for (std::string folder : {"Meshes", "Sounds", "Tilemaps"})
        {
            std::filesystem::create_directory(dir / folder);
            if (folder == "Tilemaps" && !map0.empty())
                Link(map0, "Tilemaps/map0.txt");
            else
                for (const auto& e :
                     std::filesystem::directory_iterator(std::string(SKARN_DATA_DIR "/") + folder))
                    Link(e.path(), folder + "/" + e.path().filename().string());
        }
    }
    std::string operator/(const std::string& name) const { return dir / name; }
    void Link(const std::string& target, const std::string& name)
    {
        EXPECT_EQ(symlink(target.c_str(), (dir / name).c_str()), 0) << name;
    }
    // The file replaced by text of our own (never written through the link).
    void Write(const std::string& name, const std::string& text)
    {
        unlink((dir / name).c_str());
        EXPECT_TRUE(WriteFile(dir / name, text)) << name;
    }
};

struct RunLine
{
    int meters = -1, kills = -1, power = -1;
    double seconds = -1.0;
};

// Every "run:" line of standard error, in order.
inline std::vector<RunLine> RunLines(const std::string& err)
{
    std::vector<RunLine> lines;
    for (size_t at = err.find("run: "); at != std::string::npos; at = err.find("run: ", at + 1))
    {
        RunLine r;
        if (sscanf(err.c_str() + at, "run: meters=%d kills=%d power=%d seconds=%lf", &r.meters, &r.kills,
                   &r.power, &r.seconds) == 4)
            lines.push_back(r);
    }
    return lines;
}

inline int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The frame in which the main loop first left state `from` for `to`, or 0.
inline long StateChange(const std::string& err, int from, int to)
{
    size_t at = err.find(": state " + std::to_string(from) + " -> " + std::to_string(to) + "\n");
    if (at == std::string::npos) return 0;
    size_t start = err.rfind("frame ", at);
    return start == std::string::npos ? 0 : atol(err.c_str() + start + 6);
}

// Pixels that differ between two pictures in the rectangle [x0, x1) x [y0, y1).
inline int ImageDiffer(const TestImage& a, const TestImage& b, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += ImagePixel(a, x, y) != ImagePixel(b, x, y);
    return n;
}

struct Play
{
    Options opt;
    Result res;
    TempDir shots;

    explicit Play(double fixedDt = 1.0 / 60.0) { opt.fixedDt = fixedDt; }
    // The first frame in which the menu's buttons surely take clicks: the splash lasts 3 s, and the menu
    // takes clicks after half a second.
    long MenuReady() const { return std::lround(3.7 / opt.fixedDt); }
    // Play clicked in the menu as soon as it takes clicks; the level starts in the frame after that.
    long ClickPlay()
    {
        ClickView(MenuReady(), 0, 0);
        return MenuReady() + 1;
    }
    void Line(long frame, const std::string& event)
    {
        opt.script += std::to_string(frame) + " " + event + "\n";
    }
    // The key down in that frame and up in the next.
    void Key(long frame, int vk)
    {
        Line(frame, "down " + std::to_string(vk));
        Line(frame + 1, "up " + std::to_string(vk));
    }
    void Move(long frame, int px, int py)
    {
        Line(frame, "move " + std::to_string(px) + " " + std::to_string(py));
    }
    // The pointer to the client pixel, the button down in that frame and up two frames later.
    void Click(long frame, int px, int py, int button = 1)
    {
        Move(frame, px, py);
        Line(frame, "press " + std::to_string(button));
        Line(frame + 2, "release " + std::to_string(button));
    }
    void ClickView(long frame, float x, float y) { Click(frame, Px(x), Py(y)); }
    // The pointer to the top-left corner, where it hides nothing.
    void Park(long frame) { Move(frame, 2, 2); }
    void Shot(long frame)
    {
        opt.args.push_back("--screenshot");
        opt.args.push_back(std::to_string(frame) + ":" + (shots / (std::to_string(frame) + ".png")));
    }
    TestImage Image(long frame) const
    {
        TestImage img;
        EXPECT_TRUE(ImageLoad(shots / (std::to_string(frame) + ".png"), &img)) << frame;
        return img;
    }
    // Runs the game for that many frames; a hang or a crash fails the test.
    const Result& Go(long frames)
    {
        opt.args.push_back("--frames");
        opt.args.push_back(std::to_string(frames));
        res = Run(opt);
        EXPECT_EQ(res.signal, 0) << "(9: killed after its time)\n" << res.err;
        return res;
    }
    long StateChange(int from, int to) const { return Scenario::StateChange(res.err, from, to); }
};

} // namespace Scenario
