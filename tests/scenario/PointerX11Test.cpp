// The axe pointer under a real X server (Xvfb) with a real pointer moved by xdotool, without clicks: the
// menu's pointer and the buttons' hover scale follow the mouse in the window and after F11 in full screen.
// The picture is read from the server's screen (ImageMagick's import), and every step waits on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "Play.h"

namespace
{

const int SCREEN_W = 1024, SCREEN_H = 768;

bool OnPath(const char* pProgram)
{
    return system(("command -v " + std::string(pProgram) + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts a program with the environment changes of `env` ("NAME=VALUE"), its output into `log`.
pid_t Start(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& log)
{
    pid_t pid = fork();
    if (pid != 0) return pid;
    for (const std::string& e : env) putenv(strdup(e.c_str()));
    freopen(log.c_str(), "w", stdout);
    dup2(1, 2);
    std::vector<char*> cargv;
    for (const std::string& a : argv) cargv.push_back(strdup(a.c_str()));
    cargv.push_back(nullptr);
    execvp(cargv[0], cargv.data());
    _exit(127);
}

// Asks the program to end, and ends it after 10 s if it has not.
void Stop(pid_t pid)
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i, usleep(50000))
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r"))
    {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

struct XServer
{
    std::string display;
    pid_t pid = -1;
    Scenario::TempDir dir;

    // The first display from :60 on that no other server holds.
    XServer()
    {
        for (int n = 60; n < 100 && display.empty(); ++n)
        {
            if (Scenario::FileExists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
            std::string d = ":" + std::to_string(n);
            pid =
                Start({"Xvfb", d, "-screen", "0",
                       std::to_string(SCREEN_W) + "x" + std::to_string(SCREEN_H) + "x24", "-nolisten", "tcp"},
                      {}, dir / "xvfb.log");
            for (int i = 0; i < 100; ++i)
            {
                if (Output("DISPLAY=" + d + " xdotool getdisplaygeometry 2>/dev/null") ==
                    std::to_string(SCREEN_W) + " " + std::to_string(SCREEN_H) + "\n")
                {
                    display = d;
                    break;
                }
                if (waitpid(pid, nullptr, WNOHANG) == pid) break; // lost the display to another server
                usleep(50000);
            }
            if (display.empty()) Stop(pid), pid = -1;
        }
    }
    ~XServer() { Stop(pid); }
    std::string Run(const std::string& command) const
    {
        return Output("(DISPLAY=" + display + " " + command + ") 2>/dev/null");
    }
    TestImage Shot() const
    {
        TestImage img;
        std::string rgb = Run("import -silent -window root -depth 8 rgb:-");
        if (rgb.size() != size_t(SCREEN_W) * SCREEN_H * 3) return img;
        img.w = SCREEN_W;
        img.h = SCREEN_H;
        img.pixels.resize(size_t(SCREEN_W) * SCREEN_H);
        for (size_t i = 0; i < img.pixels.size(); ++i)
            img.pixels[i] = 0xFF000000u | uint32_t(uint8_t(rgb[3 * i])) << 16 |
                            uint32_t(uint8_t(rgb[3 * i + 1])) << 8 | uint8_t(rgb[3 * i + 2]);
        return img;
    }
};

// Where the game's client area lies on the screen.
struct Area
{
    int x = 0, y = 0, w = 800, h = 600;
    // Screen pixel of a point of the menus' view (x -80..80, y -60..60 over the client area).
    int X(float vx) const { return x + Scenario::Px(vx) * w / 800; }
    int Y(float vy) const { return y + Scenario::Py(vy) * h / 600; }
};

// Width of what is drawn in the band of the button at view height y.
int ButtonWidth(const TestImage& img, const Area& a, float y)
{
    int left = img.w, right = -1;
    for (int py = a.Y(y + 3); py < a.Y(y - 3); ++py)
        for (int px = a.x; px < a.x + a.w; ++px)
            if (ImageCountLit(img, px, py, px + 1, py + 1) > 0) left = std::min(left, px), right = px;
    return right - left + 1;
}

// Lit pixels where the axe hangs when the pointer is at view (x, y).
int AxeAt(const TestImage& img, const Area& a, float x, float y)
{
    return ImageCountLit(img, a.X(x - 2), a.Y(y + 5), a.X(x + 4), a.Y(y - 3));
}

struct Game
{
    const XServer& x;
    Area area;
    std::string window;

    explicit Game(const XServer& server) : x(server) {}

    bool WaitFor(const std::function<bool(const TestImage&)>& ok, TestImage* pLast)
    {
        struct timespec start, now;
        clock_gettime(CLOCK_MONOTONIC, &start);
        do
        {
            *pLast = x.Shot();
            if (pLast->w > 0 && ok(*pLast)) return true;
            usleep(50000);
            clock_gettime(CLOCK_MONOTONIC, &now);
        } while (now.tv_sec - start.tv_sec < 20 * Scenario::TimeScale());
        return false;
    }
    void ReadArea()
    {
        std::string geo = x.Run("xdotool getwindowgeometry --shell " + window);
        sscanf(geo.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &area.x, &area.y, &area.w, &area.h);
    }
    // Moves the pointer to view (x, y) without a click.
    void Move(float vx, float vy)
    {
        x.Run("xdotool mousemove " + std::to_string(area.X(vx)) + " " + std::to_string(area.Y(vy)));
    }
    // In the black left of the menu the axe appears where the pointer is; over a button it leaves that
    // place, and the hovered button grows while its neighbours keep their width.
    void ExpectPointerFollows(const char* pWhere)
    {
        TestImage img;
        Move(-60, -40);
        EXPECT_TRUE(WaitFor([&](const TestImage& i) { return AxeAt(i, area, -60, -40) > 20; }, &img))
            << pWhere;
        for (float button : {-10.0f, -30.0f})
        {
            Move(0, button);
            float other = button == -10.0f ? -30.0f : -10.0f;
            EXPECT_TRUE(WaitFor(
                [&](const TestImage& i)
                {
                    return AxeAt(i, area, -60, -40) == 0 &&
                           ButtonWidth(i, area, button) > ButtonWidth(i, area, other) + area.w / 100;
                },
                &img))
                << pWhere << " button at " << button << ": widths " << ButtonWidth(img, area, button) << " "
                << ButtonWidth(img, area, other);
        }
    }
};

TEST(PointerX11, AxeAndHoverFollowTheMouseInTheWindowAndInFullScreen)
{
    for (const char* pTool : {"Xvfb", "xdotool", "import"})
        if (!OnPath(pTool)) GTEST_SKIP() << pTool << " is missing (scripts/install-deps.sh installs it)";
    XServer x;
    ASSERT_FALSE(x.display.empty()) << "no X display could be started";
    Scenario::TempDir save;
    pid_t game =
        Start({SKARN_EXE, "--windowed", "--fixed-dt", "0.05", "--data-dir", SKARN_DATA_DIR, "--save-dir",
               save.path},
              {"DISPLAY=" + x.display, "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy"}, save / "game.log");
    Game g(x);
    for (int i = 0; i < 200 && g.window.empty(); ++i, usleep(50000))
        g.window = x.Run("xdotool search --name '^Skarnhold!$' | head -n 1 | tr -d '\\n'");
    ASSERT_FALSE(g.window.empty()) << Scenario::ReadFile(save / "game.log");
    g.ReadArea();
    TestImage img;
    // The menu is up once its six buttons are drawn.
    ASSERT_TRUE(g.WaitFor([&](const TestImage& i) { return ButtonWidth(i, g.area, -50) > 100; }, &img));
    g.ExpectPointerFollows("in the window");

    x.Run("xdotool key F11");
    ASSERT_TRUE(g.WaitFor(
        [&](const TestImage& i)
        {
            g.ReadArea();
            return g.area.w == SCREEN_W && ButtonWidth(i, g.area, -50) > 150;
        },
        &img));
    g.ExpectPointerFollows("in full screen");
    Stop(game);
}

} // namespace
