// Every screen with text, walked at window sizes from 800 x 600 to 3840 x 2160 and from 4:3 to 21:9: the
// texts and buttons the engine really drew (its drawn-rectangle hook) must not overlap, and no text may
// cross the window's edge. One walk serves every size: it runs the game in a forked child, reads the
// game's own state before each frame to choose its next key or click, and checks each screen once it has
// settled (the same screen after two updates, so the buttons shown and the texts printed agree).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "ChildProcess.h"
#include "Play.h"
#include "engine/KoGfxDevice.h"
#include "engine/KoGraphics.h"
#include "framework/CommonLevel.h"
#include "framework/GameMain.h"
#include "framework/GameStateMgr.h"
#include "framework/Settings.h"
#include "level/GameState_Level.h"
#include "level/UI.h"
#include "platform/Platform.h"
#include "states/GameState_Menu.h"

namespace
{

struct Size
{
    int w, h;
};

// One screen of the walk: it is checked when `on` holds after two updates in a row (or, for a screen that
// lasts one frame, as soon as it holds); then `act` queues the keys and clicks that lead on.
struct Step
{
    const char* name;
    std::function<bool()> on;
    std::vector<const char*> texts; // texts (parts of them) the screen must print
    std::function<void()> act;
    bool oneFrame = false; // the loading frame: its texts are checked, the buttons under the backdrop not
};

const int VK_ENTER = 0x0D, VK_ESC = 0x1B, VK_SPACE_BAR = 0x20;

std::vector<KoGfxDrawn> sDrawn;  // what the last frame drew
std::vector<std::string> sTexts; // their texts (the hook's pointers do not outlive the frame)
std::vector<unsigned> sButtonVtx;
std::vector<std::pair<long, PlatEvent>> sQueue; // events and the frame they are due in
std::vector<Step>* sSteps = nullptr;
size_t sStep              = 0;
bool sHeldBefore          = false;
Size sSize;

void Record(const KoGfxDrawn* p)
{
    if (!p->layout) return;
    sDrawn.push_back(*p);
    sTexts.push_back(p->kind == KO_GFX_DRAWN_TEXT ? p->pText : "");
}

void Queue(long delay, const PlatEvent& e)
{
    sQueue.push_back({gFrameNumber + delay, e});
}

void Key(long delay, int vk)
{
    PlatEvent e{};
    e.type = PLAT_EVENT_KEY_DOWN;
    e.vk   = (unsigned char)vk;
    Queue(delay, e);
    e.type = PLAT_EVENT_KEY_UP;
    Queue(delay + 1, e);
}

// A click on a point of the layout's view (x -80..80, y -60..60), after `delay` frames.
void Click(long delay, float x, float y)
{
    PlatEvent e{};
    e.type = PLAT_EVENT_MOUSE;
    KoGfxLayoutViewToPixel(x, y, &e.x, &e.y);
    e.left = true;
    Queue(delay, e);
    e.left = false;
    Queue(delay + 2, e);
}

// The pointer into the top-left corner, where it covers nothing.
void Park(long delay)
{
    PlatEvent e{};
    e.type = PLAT_EVENT_MOUSE;
    e.x = e.y = 1;
    Queue(delay, e);
}

bool Overlap(const KoGfxDrawn& a, const KoGfxDrawn& b)
{
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

std::string Describe(size_t i)
{
    const KoGfxDrawn& d = sDrawn[i];
    char where[96];
    snprintf(where, sizeof where, " at (%.0f, %.0f)-(%.0f, %.0f)", d.x0, d.y0, d.x1, d.y1);
    return (d.kind == KO_GFX_DRAWN_TEXT ? "text \"" + sTexts[i] + "\"" : std::string("a button")) + where;
}

// The checks of one settled screen, each failure a line on standard output.
void CheckScreen(const Step& step)
{
    auto fail = [&](const std::string& what)
    { printf("SCREENS %dx%d %s: %s\n", sSize.w, sSize.h, step.name, what.c_str()); };
    for (const char* want : step.texts)
    {
        bool found = false;
        for (const std::string& t : sTexts) found |= t.find(want) != std::string::npos;
        if (!found) fail(std::string("no text \"") + want + "\"");
    }
    auto isButton = [&](size_t i)
    {
        if (sDrawn[i].kind != KO_GFX_DRAWN_MESH || step.oneFrame) return false;
        for (unsigned n : sButtonVtx)
            if (sDrawn[i].vtxNum == n) return true;
        return false;
    };
    for (size_t i = 0; i < sDrawn.size(); ++i)
    {
        if (sDrawn[i].kind != KO_GFX_DRAWN_TEXT) continue;
        const KoGfxDrawn& t = sDrawn[i];
        if (t.x0 < 0 || t.y0 < 0 || t.x1 > float(sSize.w) || t.y1 > float(sSize.h))
            fail(Describe(i) + " crosses the window's edge");
        for (size_t j = 0; j < sDrawn.size(); ++j)
            if (j != i && (isButton(j) || (sDrawn[j].kind == KO_GFX_DRAWN_TEXT && j > i)) &&
                Overlap(t, sDrawn[j]))
                fail(Describe(i) + " overlaps " + Describe(j));
    }
}

// Before each frame's input: check the last frame if its screen had settled, move on, feed due events.
void BeforeInput()
{
    std::vector<Step>& steps = *sSteps;
    if (sStep < steps.size())
    {
        const Step& step = steps[sStep];
        const bool held  = step.on();
        if (held && (sHeldBefore || step.oneFrame))
        {
            CheckScreen(step);
            if (step.act) step.act();
            ++sStep;
            sHeldBefore = false;
        }
        else
            sHeldBefore = held;
    }
    if (sStep == steps.size()) gGameStateNext = GS_QUIT;
    // Only frames that may be checked are drawn: the walk takes a few seconds at any size. With
    // SKARN_SCREENS_DIR set (make screens), each of them is saved as the picture of its screen.
    const bool draw = sStep < steps.size() && (sHeldBefore || steps[sStep].oneFrame);
    KoGfxDevSetDrawing(draw);
    const char* pDir = getenv("SKARN_SCREENS_DIR");
    if (draw && pDir)
    {
        std::string file = steps[sStep].name;
        for (char& c : file) c = c == ' ' ? '-' : c;
        file = std::string(pDir) + "/" + file + "-" + std::to_string(sSize.w) + "x" +
               std::to_string(sSize.h) + ".png";
        KoGfxRequestScreenshot(file.c_str());
    }
    sDrawn.clear();
    sTexts.clear();
    for (size_t i = 0; i < sQueue.size();)
        if (sQueue[i].first <= gFrameNumber)
        {
            PlatPushEvent(sQueue[i].second);
            sQueue.erase(sQueue.begin() + long(i));
        }
        else
            ++i;
}

// Vertices of each button mesh (the mesh files hold one triangle a line).
std::vector<unsigned> ButtonVertexCounts()
{
    std::vector<unsigned> counts;
    for (const char* name :
         {"newplaymesh", "newexitmesh", "newsoundonmesh", "newsoundoffmesh", "newcreditsmesh",
          "fullscrbtnmesh", "windowedmesh", "yesmesh", "nomesh", "optionsmesh", "backmesh", "highscoremesh",
          "howtoplaymesh", "resumemesh", "restartmesh", "menumesh"})
    {
        std::string text = Scenario::ReadFile(std::string(SKARN_DATA_DIR "/Meshes/") + name + ".txt");
        unsigned lines   = 0;
        for (char c : text) lines += c == '\n';
        counts.push_back(3 * lines);
    }
    return counts;
}

// The walk: the splash, the menu and its sub-screens, then a run on a small map (a recruit, a
// weak monster, a diamond, a pit at 124 m) through the tutorial pages, the pause menu, a beaten
// high score with a milestone, the game over with a long name and the Hall Of Fame.
std::vector<Step> Walk()
{
    auto menu  = [] { return gGameStateCurr == GS_MENU; };
    auto level = [] { return gGameStateCurr == GS_LEVEL; };
    auto page  = [level](int n)
    { return [level, n] { return level() && gTutorialShowing && gTutorialPage == n; }; };
    auto closePage = [] { Key(1, VK_SPACE_BAR); };
    return {
        {"splash",
         [] { return gGameStateCurr == GS_SPLASH && gFrameNumber > 10; },
         {"Skarnhold awaits"},
         nullptr},
        {"menu", [menu] { return menu() && gMenuClickTime > 0.7f; }, {}, [] { Click(1, 0, -10); }},
        {"how to play",
         [] { return gMenuHowToPlay; },
         {"How to play", "Navigate your way"},
         [] { Click(1, 0, -50), Click(8, 0, -20); }},
        {"options", [] { return gMenuOptions; }, {}, [] { Click(1, 0, -40), Click(8, 0, -30); }},
        {"menu hall of fame",
         [] { return gMenuHallOfFame; },
         {"Hall Of Fame", "400m"},
         [] { Click(1, 0, -50), Click(8, 0, -40); }},
        {"credits",
         [] { return gMenuCredits; },
         {"Credits", "Thanks for playing"},
         [] { Click(1, 0, -50), Click(8, 0, -50); }},
        {"quit question",
         [] { return gMenuQuitAsk; },
         {"really?"},
         [] { Click(1, 30, -20), Click(8, 0, 0); }},
        {"loading", [] { return gMenuPlay; }, {"Loading.."}, [] { Park(1); }, true},
        {"tutorial page 1", page(0), {"Welcome To Skarnhold!", "Press SPACE"}, closePage},
        {"level", [level] { return level() && !gTutorialShowing && gDistance > 5.0f; }, {"m"}, nullptr},
        {"tutorial page 2", page(1), {"Strengthen your party"}, closePage},
        {"tutorial page 3", page(2), {"Avoid monsters"}, closePage},
        {"tutorial page 4", page(3), {"Diamonds make you invulnerable!"}, closePage},
        {"invulnerability",
         [level] { return level() && gInvulnerable && !gTutorialShowing; },
         {"Invulnerability!"},
         [] { Key(20, VK_ESC); }},
        {"pause",
         [] { return gPaused && !gOptionsOpen && !gAskMenu && !gAskRestart; },
         {"m"},
         [] { Click(1, 0, -10); }},
        {"pause options", [] { return gOptionsOpen; }, {}, [] { Click(1, 0, -20), Click(8, 0, -20); }},
        {"menu question", [] { return gAskMenu; }, {"Really??"}, [] { Click(1, 20, -20), Click(8, 0, 0); }},
        {"restart question",
         [] { return gAskRestart; },
         {"Really??"},
         [] { Click(1, 20, -20), Key(8, VK_ESC), Park(12); }},
        {"high score and milestone",
         [level] { return level() && !gPaused && gDistance > 100.5f; },
         {"You beat", "100m ! well done"},
         nullptr},
        {"game over",
         [] { return gGameOver && gRunFrozen; },
         {"Rest in peace..", "Your Name..?"},
         []
         {
             for (int i = 0; i < 12; ++i) Key(1 + 2 * i, 'M');
         }},
        {"long name",
         [] { return gGameOver && gPlayerName.size() >= 11; },
         {"Your Name..?", "MMMMMMMMMMM"},
         [] { Key(1, VK_ENTER); }},
        {"level hall of fame", [] { return gNameEntered; }, {"Hall Of Fame", "400m"}, nullptr},
    };
}

class Screens : public ::testing::TestWithParam<Size>
{
};

TEST_P(Screens, NoTextOverlapsAnotherOrAButtonOrCrossesTheEdge)
{
    const Size size = GetParam();
    Scenario::GameData data(SKARN_TEST_DATA_DIR "/ui/screens.txt", {"highscore.txt"});
    Scenario::TempDir save;
    // Long names of wide letters; the run beats the last score at 99 m.
    ASSERT_TRUE(Scenario::WriteFile(data.dir / "highscore.txt",
                                    "MMMMMMMMMM\n400\nWWWWWWWWW\n300\nMMMMMMMMMM\n200\nWWWWWWWWW\n140\n"
                                    "MMMMMMMMMM\n99\n"));
    ChildResult res = RunInChild(
        [&]
        {
            if (chdir(data.dir.path.c_str()) != 0) return;
            gSaveDirOverride        = save.path;
            gConfigDirOverride      = save.path;
            std::vector<Step> steps = Walk();
            sSteps                  = &steps;
            sSize                   = size;
            sButtonVtx              = ButtonVertexCounts();
            gKoGfxDrawnHook         = Record;
            gFrameInputHook         = BeforeInput;
            GameRunOptions options;
            options.headless   = true;
            options.fullScreen = 0;
            options.windowW    = size.w;
            options.windowH    = size.h;
            options.fixedDt    = 1.0 / 60.0;
            options.frames     = 4000;
            GameMain(options);
            if (sStep < steps.size())
                printf("SCREENS %dx%d: the walk stopped before \"%s\"\n", size.w, size.h, steps[sStep].name);
        });
    std::string failures;
    for (size_t at = res.out.find("SCREENS "); at != std::string::npos; at = res.out.find("SCREENS ", at + 1))
        failures += res.out.substr(at, res.out.find('\n', at) - at + 1);
    EXPECT_EQ(res.exitCode, 0);
    EXPECT_EQ(failures, "");
}

INSTANTIATE_TEST_SUITE_P(Sizes, Screens,
                         ::testing::Values(Size{800, 600}, Size{1024, 768}, Size{1366, 768}, Size{1920, 1080},
                                           Size{2560, 1080}, Size{3840, 2160}),
                         [](const ::testing::TestParamInfo<Size>& info)
                         { return std::to_string(info.param.w) + "x" + std::to_string(info.param.h); });

} // namespace
