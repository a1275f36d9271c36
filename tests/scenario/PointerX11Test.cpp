// The axe pointer under a real X server (Xvfb) with a real pointer moved by xdotool, without clicks: the
// menu's pointer and the buttons' hover scale follow the mouse in the window and after F11 in full screen.
// The picture is read from the server's screen (ImageMagick's import), and every step waits on it.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "Play.h"

namespace
{

const int SCREEN_W = 1024, SCREEN_H = 768;

// Starts a program with its standard error to the file `log` and its standard output to the pipe `out` (or
// to `log` too); the guard asks it to end, and ends it after 10 s if it has not.
struct Program
{
    pid_t pid = fork();
    Program(const std::vector<std::string>& argv, const std::string& log, int out = -1)
    {
        if (pid != 0) return;
        if (!freopen(log.c_str(), "w", stderr)) _exit(127);
        dup2(out >= 0 ? out : 2, 1);
        std::vector<char*> cargv;
        for (const std::string& a : argv) cargv.push_back(strdup(a.c_str()));
        cargv.push_back(nullptr);
        execvp(cargv[0], cargv.data());
        _exit(127);
    }
    ~Program()
    {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        for (int i = 0; i < 200; ++i, usleep(50000))
            if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
};

// The X server (it picks a free display itself and writes its number once it takes connections) and the
// game's window on it: where its client area lies, and the waits on what the screen shows.
struct Screen
{
    Scenario::TempDir dir;
    std::unique_ptr<Program> xvfb;
    std::string display, window;
    int ax = 0, ay = 0, aw = 800, ah = 600;

    Screen()
    {
        int fds[2];
        if (pipe(fds) != 0) return;
        xvfb.reset(new Program({"Xvfb", "-displayfd", "1", "-screen", "0",
                                std::to_string(SCREEN_W) + "x" + std::to_string(SCREEN_H) + "x24",
                                "-nolisten", "tcp"},
                               dir / "xvfb.log", fds[1]));
        close(fds[1]);
        char buf[16] = {};
        if (read(fds[0], buf, sizeof buf - 1) > 0) display = ":" + std::to_string(atoi(buf));
        close(fds[0]);
    }
    std::string Run(const std::string& command) const
    {
        std::string out;
        if (FILE* p = popen(("(DISPLAY=" + display + " " + command + ") 2>/dev/null").c_str(), "r"))
        {
            char buf[4096];
            for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
            pclose(p);
        }
        return out;
    }
    TestImage Shot() const
    {
        TestImage img;
        std::string rgb = Run("import -silent -window root -depth 8 rgb:-");
        if (rgb.size() != size_t(SCREEN_W) * SCREEN_H * 3) return img;
        img = {SCREEN_W, SCREEN_H, std::vector<uint32_t>(size_t(SCREEN_W) * SCREEN_H)};
        for (size_t i = 0; i < img.pixels.size(); ++i)
            img.pixels[i] = 0xFF000000u | uint32_t(uint8_t(rgb[3 * i])) << 16 |
                            uint32_t(uint8_t(rgb[3 * i + 1])) << 8 | uint8_t(rgb[3 * i + 2]);
        return img;
    }
    // Screen pixel of a point of the menus' view (x -80..80, y -60..60 over the client area).
    int X(float vx) const { return ax + Scenario::Px(vx) * aw / 800; }
    int Y(float vy) const { return ay + Scenario::Py(vy) * ah / 600; }
    // Width of what is drawn in the band of the button at view height y.
    int ButtonWidth(const TestImage& img, float y) const
    {
        int left = img.w, right = -1;
        for (int py = Y(y + 3); py < Y(y - 3); ++py)
            for (int px = ax; px < ax + aw; ++px)
                if (ImageCountLit(img, px, py, px + 1, py + 1) > 0) left = std::min(left, px), right = px;
        return right - left + 1;
    }
    // Lit pixels where the axe hangs when the pointer is at view (x, y).
    int AxeAt(const TestImage& img, float vx, float vy) const
    {
        return ImageCountLit(img, X(vx - 2), Y(vy + 5), X(vx + 4), Y(vy - 3));
    }
    bool WaitFor(const std::function<bool(const TestImage&)>& ok, TestImage* pLast)
    {
        for (long ms = 0; ms < 20000 * Scenario::TimeScale(); ms += 50, usleep(50000))
        {
            sscanf(Run("xdotool getwindowgeometry --shell " + window).c_str(),
                   "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &ax, &ay, &aw, &ah);
            if ((*pLast = Shot()).w > 0 && ok(*pLast)) return true;
        }
        return false;
    }
    // In the black left of the menu the axe appears where the pointer is; over a button it leaves that
    // place, and the hovered button grows while its neighbours keep their width.
    void ExpectPointerFollows(const char* pWhere)
    {
        TestImage img;
        Run("xdotool mousemove " + std::to_string(X(-60)) + " " + std::to_string(Y(-40)));
        EXPECT_TRUE(WaitFor([&](const TestImage& i) { return AxeAt(i, -60, -40) > 20; }, &img)) << pWhere;
        for (float button : {-10.0f, -30.0f})
        {
            Run("xdotool mousemove " + std::to_string(X(0)) + " " + std::to_string(Y(button)));
            const float other = button == -10.0f ? -30.0f : -10.0f;
            EXPECT_TRUE(WaitFor(
                [&](const TestImage& i) {
                    return AxeAt(i, -60, -40) == 0 &&
                           ButtonWidth(i, button) > ButtonWidth(i, other) + aw / 100;
                },
                &img))
                << pWhere << " button at " << button << ": widths " << ButtonWidth(img, button) << " "
                << ButtonWidth(img, other);
        }
    }
};

TEST(PointerX11, AxeAndHoverFollowTheMouseInTheWindowAndInFullScreen)
{
    for (const char* pTool : {"Xvfb", "xdotool", "import"})
        if (system(("command -v " + std::string(pTool) + " >/dev/null 2>&1").c_str()) != 0)
            GTEST_SKIP() << pTool << " is missing (scripts/install-deps.sh installs it)";
    Screen x;
    ASSERT_FALSE(x.display.empty()) << "no X display could be started";
    Program game({"env", "DISPLAY=" + x.display, "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy", SKARN_EXE,
                  "--windowed", "--fixed-dt", "0.05", "--data-dir", SKARN_DATA_DIR, "--save-dir", x.dir.path},
                 x.dir / "game.log");
    for (int i = 0; i < 200 && x.window.empty(); ++i, usleep(50000))
        x.window = x.Run("xdotool search --name '^Skarnhold!$' | head -n 1 | tr -d '\\n'");
    ASSERT_FALSE(x.window.empty()) << Scenario::ReadFile(x.dir / "game.log");
    TestImage img;
    // The menu is up once its six buttons are drawn.
    ASSERT_TRUE(x.WaitFor([&](const TestImage& i) { return x.ButtonWidth(i, -50) > 100; }, &img));
    x.ExpectPointerFollows("in the window");
    x.Run("xdotool key F11");
    ASSERT_TRUE(
        x.WaitFor([&](const TestImage& i) { return x.aw == SCREEN_W && x.ButtonWidth(i, -50) > 150; }, &img));
    x.ExpectPointerFollows("in full screen");
}

} // namespace
