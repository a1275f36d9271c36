// Every screen with text, walked at window sizes from 800 x 600 to 3840 x 2160 and from 4:3 to 21:9: the
// texts and buttons the engine really drew (its drawn-rectangle hook) must not overlap, no text may cross
// the window's edge or stand over the ground, and the tutorial pages open at least a second of running
// before the recruit, the monster and the diamond they name. One walk serves every size: it runs the game in
// a forked child, reads the game's own state before each frame to choose its next key or click, and checks
// each screen once it has settled (the same screen after two updates, so the buttons shown and the texts
// printed agree). The walk goes by the keyboard alone (and once by a game pad's codes); while a focus leads,
// the focused button is drawn grown with the axe on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "ChildProcess.h"
#include "Play.h"
#include "app/States.h"
#include "engine/KoGfxDevice.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "framework/ButtonPanel.h"
#include "framework/GameMain.h"
#include "framework/GameStateMgr.h"
#include "framework/Settings.h"
#include "level/LevelRun.h"
#include "level/Hero.h"
#include "level/UI.h"
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
unsigned sPointerVtx = 0;
std::vector<KoGfxDrawn> sGround; // the terrain tiles the last frame drew
unsigned sTileVtx = 0;
// The run's clock at each page, and when the party met what pages 1 to 3 name (recruit, monster, diamond).
float sPageAt[4] = {-1.0f, -1.0f, -1.0f, -1.0f}, sMetAt[4] = {-1.0f, -1.0f, -1.0f, -1.0f};

void TrackPages()
{
    if (gTutorialShowing && sPageAt[gTutorialPage] < 0.0f) sPageAt[gTutorialPage] = Run::Get().seconds;
    const bool met[4] = {false, gPartyPower > 1, Run::Get().kills > 0, Run::Get().invulnerable};
    for (int p = 1; p < 4; ++p)
        if (met[p] && sMetAt[p] < 0.0f) sMetAt[p] = Run::Get().seconds;
}
std::vector<std::pair<long, std::function<void()>>> sQueue; // input events and the frame they are due in
std::vector<Step>* sSteps = nullptr;
size_t sStep              = 0;
bool sHeldBefore          = false;
Size sSize;

void Record(const KoGfxDrawn* p)
{
    if (!p->layout && p->kind == KO_GFX_DRAWN_MESH && p->vtxNum == sTileVtx) sGround.push_back(*p);
    if (!p->layout) return;
    sDrawn.push_back(*p);
    sTexts.push_back(p->kind == KO_GFX_DRAWN_TEXT ? p->pText : "");
}

void Key(long delay, int vk)
{
    sQueue.push_back({gFrameNumber + delay, [vk] { KoInputOnKey((unsigned char)vk, true); }});
    sQueue.push_back({gFrameNumber + delay + 1, [vk] { KoInputOnKey((unsigned char)vk, false); }});
}

// A click on a point of the layout's view (x -80..80, y -60..60) in the next frame; the button is let go in
// the frame after with the pointer parked in the layout's bottom-left corner, where the axe covers no button
// and no text, so no picture shows a button grown under it by chance.
void Click(float x, float y)
{
    for (int i = 0; i < 2; ++i)
    {
        int px = 0, py = 0;
        KoGfxLayoutViewToPixel(i ? -76.0f : x, i ? -57.0f : y, &px, &py);
        sQueue.push_back({gFrameNumber + 1 + i, [=] { KoInputOnPointer(px, py, i == 0, false); }});
    }
}

// Keys tapped one after the other, from the next frame on.
std::function<void()> Keys(std::vector<int> keys)
{
    return [keys]
    {
        for (size_t i = 0; i < keys.size(); ++i) Key(1 + 2 * long(i), keys[i]);
    };
}

bool Overlap(const KoGfxDrawn& a, const KoGfxDrawn& b)
{
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
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
    // A focus that leads is drawn: its button grown beyond every other, the axe standing on it.
    std::vector<KoGfxDrawn> buttons, axe;
    for (size_t i = 0; i < sDrawn.size(); ++i)
        if (isButton(i) || (sDrawn[i].kind == KO_GFX_DRAWN_MESH && sDrawn[i].vtxNum == sPointerVtx))
            (isButton(i) ? buttons : axe).push_back(sDrawn[i]);
    auto wider = [](const KoGfxDrawn& a, const KoGfxDrawn& b) { return a.x1 - a.x0 > b.x1 - b.x0; };
    std::sort(buttons.begin(), buttons.end(), wider);
    if (ButtonPanel::KeyboardLeads() && ButtonPanel::Focused() &&
        (buttons.empty() || axe.empty() || !Overlap(axe[0], buttons[0]) ||
         (buttons.size() > 1 && !wider(buttons[0], buttons[1]))))
        fail("the focused button is not drawn grown with the axe on it");
    auto what = [&](size_t i)
    { return sDrawn[i].kind == KO_GFX_DRAWN_TEXT ? "text \"" + sTexts[i] + "\"" : std::string("a button"); };
    for (size_t i = 0; i < sDrawn.size(); ++i)
    {
        if (sDrawn[i].kind != KO_GFX_DRAWN_TEXT) continue;
        const KoGfxDrawn& t = sDrawn[i];
        if (t.x0 < 0 || t.y0 < 0 || t.x1 > float(sSize.w) || t.y1 > float(sSize.h))
            fail(what(i) + " crosses the window's edge");
        for (size_t j = 0; j < sDrawn.size(); ++j)
            if (j != i && (isButton(j) || (sDrawn[j].kind == KO_GFX_DRAWN_TEXT && j > i)) &&
                Overlap(t, sDrawn[j]))
                fail(what(i) + " overlaps " + what(j));
        if (std::any_of(sGround.begin(), sGround.end(), [&](const KoGfxDrawn& g) { return Overlap(t, g); }))
            fail(what(i) + " stands over the ground");
    }
}

// Before each frame's input: check the last frame if its screen had settled, move on, feed due events.
void BeforeInput()
{
    TrackPages();
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
        std::replace(file.begin(), file.end(), ' ', '-');
        file = std::string(pDir) + "/" + file + "-" + std::to_string(sSize.w) + "x" +
               std::to_string(sSize.h) + ".png";
        KoGfxRequestScreenshot(file.c_str());
    }
    sDrawn.clear();
    sTexts.clear();
    sGround.clear();
    for (auto& event : sQueue)
        if (event.first == gFrameNumber) event.second();
}

// Vertices of the meshes (the mesh files hold one triangle a line).
std::vector<unsigned> VertexCounts(std::vector<const char*> names)
{
    std::vector<unsigned> counts;
    for (const char* name : names)
    {
        const std::string text = Scenario::ReadFile(std::string(SKARN_DATA_DIR "/Meshes/") + name + ".txt");
        counts.push_back(3 * unsigned(std::count(text.begin(), text.end(), '\n')));
    }
    return counts;
}

// Ten long names of wide letters, the first longer than any text buffer and the one of 99 m 40 letters
// long, with 400 m and these scores.
std::string Table(std::vector<int> scores)
{
    std::string table = std::string(3000, 'W') + "\n400\n";
    for (int score : scores)
        table +=
            std::string(score == 99 ? 40 : 12, "MW"[score % 20 == 0]) + "\n" + std::to_string(score) + "\n";
    return table;
}

// The codes one walk presses: the keyboard's, or a game pad's (its Start is ESCAPE, the pause; names are
// typed on the keyboard either way).
struct Controls
{
    int up, down, press, back, closePage;
};

// The walk, by keys alone: every screen of the menu and back, the quit question and its "no", the loading
// frame, a run on a small map (a recruit, a weak monster, a diamond, a pit at 124 m) through the tutorial
// pages, the pause menu with its restart question and options, the invulnerability, a beaten high score
// with a milestone, the game over with a long name whose ENTER presses no button, and the Hall Of Fame's
// Menu, "no", Menu and "yes" back to the menu; then, with a table of longer runs saved meanwhile, the same
// run again, which shows itself beside the table at once, and its Menu and "yes"; last clicks on Exit and
// "no", which must land at any size.
std::vector<Step> Walk(const Controls& c, const std::string& saveDir)
{
    auto main = []
    { return gGameStateCurr == GS_MENU && gMenuClickTime > 0.7f && gMenuScreen == MENU_SCREEN_MAIN; };
    auto level = [] { return gGameStateCurr == GS_LEVEL; };
    auto page  = [level](int n)
    { return [level, n] { return level() && gTutorialShowing && gTutorialPage == n; }; };
    auto shows  = [](UI::Screen s) { return [s] { return UI::CurrentScreen() == s; }; };
    auto pause  = shows(UI::SCREEN_PAUSE);
    auto hall   = [] { return UI::CurrentScreen() == UI::SCREEN_GAME_OVER && gGameStateNext == GS_LEVEL; };
    const int D = c.down, P = c.press;
    return {
        {"splash",
         [] { return gGameStateCurr == GS_SPLASH && gFrameNumber > 10; },
         {"Skarnhold awaits"},
         nullptr},
        {"menu", main, {}, Keys({D, P})},
        {"how to play",
         [] { return gMenuScreen == MENU_SCREEN_HOW_TO_PLAY; },
         {"How to play", "Navigate your way", "jump higher", "Beat monsters", "join you", "Diamonds"},
         Keys({c.back})},
        {"menu", main, {}, Keys({D, D, P})},
        {"options", [] { return gMenuScreen == MENU_SCREEN_OPTIONS && gSoundOn; }, {}, Keys({P})},
        {"options, sound off",
         [] { return gMenuScreen == MENU_SCREEN_OPTIONS && !gSoundOn; },
         {},
         Keys({D, D, P})},
        {"menu", main, {}, Keys({D, D, D, P})},
        {"menu hall of fame",
         [] { return gMenuScreen == MENU_SCREEN_HALL_OF_FAME; },
         {"Hall Of Fame", "400m"},
         Keys({c.back})},
        {"menu", main, {}, Keys({D, D, D, D, P})},
        {"credits",
         [] { return gMenuScreen == MENU_SCREEN_CREDITS; },
         {"Credits", "built from scratch", "Programming", "Art and Sound", "Level Design",
          "Thanks for playing", "SDL2"},
         Keys({c.back})},
        {"menu", main, {}, Keys({c.up, P})},
        {"quit question", [] { return gMenuScreen == MENU_SCREEN_QUIT_ASK; }, {"really?"}, Keys({c.back})},
        {"menu", main, {}, Keys({c.back})},
        {"quit question", [] { return gMenuScreen == MENU_SCREEN_QUIT_ASK; }, {}, Keys({D, P})},
        {"menu", main, {}, Keys({P})},
        {"loading", [] { return gMenuScreen == MENU_SCREEN_LOADING; }, {"Loading.."}, nullptr, true},
        {"tutorial page 1", page(0), {"Welcome To Skarnhold!", "Press SPACE"}, Keys({c.closePage})},
        {"level",
         [level] { return level() && !gTutorialShowing && !Run::Get().paused && Run::Get().distance > 3.0f; },
         {"m"},
         Keys({VK_ESC})},
        {"pause", pause, {"m"}, Keys({D, P})},
        {"restart question", shows(UI::SCREEN_ASK_RESTART), {"Really??"}, Keys({D, P})},
        {"pause", pause, {}, Keys({D, D, P})},
        {"pause options", shows(UI::SCREEN_OPTIONS), {}, Keys({D, D, P})},
        {"pause", pause, {}, Keys({c.back})},
        {"running again",
         [level] { return level() && !Run::Get().paused && !gTutorialShowing; },
         {},
         Keys({VK_ESC})},
        {"pause", pause, {}, Keys({P})},
        {"resumed",
         [level] { return level() && !Run::Get().paused; },
         {},
         [] // the press on Resume (the pad's south button is a jump key too) did not jump
         {
             if (gLeader && gLeader->body && gLeader->body->velCurr.y > 0.0f)
                 printf("SCREENS %dx%d resumed: the press on Resume jumped\n", sSize.w, sSize.h);
         }},
        {"tutorial page 2", page(1), {"Strengthen your party"}, Keys({c.closePage})},
        {"tutorial page 3", page(2), {"Avoid monsters"}, Keys({c.closePage})},
        {"tutorial page 4", page(3), {"Diamonds make you invulnerable!"}, Keys({c.closePage})},
        {"invulnerability",
         [level] { return level() && Run::Get().invulnerable && !gTutorialShowing; },
         {"Invulnerability!"},
         nullptr},
        {"high score and milestone",
         [level] { return level() && !Run::Get().paused && Run::Get().distance > 100.5f; },
         {"You beat  MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM\n", "100m ! well done"},
         nullptr},
        {"game over",
         [] { return Run::Get().gameOver && Run::Get().frozen; },
         {"Rest in peace..", "Your Name..?", "Type your name, ENTER saves"},
         Keys(std::vector<int>(12, 'M'))},
        {"long name",
         [] { return Run::Get().gameOver && gPlayerName.size() >= 11; },
         {"Your Name..?", "MMMMMMMMMMM"},
         Keys({VK_ENTER})},
        {"level hall of fame", hall, {"Hall Of Fame", "400m"}, Keys({D, P})},
        {"menu question", shows(UI::SCREEN_GAME_OVER_ASK_MENU), {"Really??"}, Keys({c.back})},
        {"level hall of fame", hall, {}, Keys({D, P, P})},
        {"menu",
         main,
         {},
         [saveDir, P]
         {
             Scenario::WriteFile(saveDir + "/highscore.txt",
                                 Table({300, 250, 200, 180, 160, 150, 140, 130, 125}));
             Keys({P})();
         }},
        {"loading", [] { return gMenuScreen == MENU_SCREEN_LOADING; }, {"Loading.."}, nullptr, true},
        {"run outside the hall of fame",
         [] { return Run::Get().gameOver && Run::Get().frozen && gNameEntered; },
         {"Rest in peace..", "Your run: 12", "Hall Of Fame", "250m"},
         Keys({D, P, P})},
        {"menu", main, {}, [] { Click(-18, -50); }}, // near the inner ends of Exit and of "no"
        {"quit question", [] { return gMenuScreen == MENU_SCREEN_QUIT_ASK; }, {}, [] { Click(12, -20); }},
        {"menu", main, {}, nullptr},
    };
}

// Runs a walk at a window size in a forked child: the failures it printed, one a line.
std::string Walked(Size size, const Controls& controls)
{
    Scenario::GameData data(SKARN_TEST_DATA_DIR "/ui/screens.txt");
    Scenario::TempDir save;
    // Each Hall Of Fame lists the rows that fit above its buttons, every name cut before the score column.
    // The run beats 99 and 95 m.
    data.Write("highscore.txt", Table({300, 200, 99, 95, 90, 80, 70, 60, 50}));
    ChildResult res = RunInChild(
        [&]
        {
            if (chdir(data.dir.path.c_str()) != 0) return;
            gSaveDirOverride        = save.path;
            gConfigDirOverride      = save.path;
            std::vector<Step> steps = Walk(controls, save.path);
            sSteps                  = &steps;
            sSize                   = size;
            sButtonVtx      = VertexCounts({"newplaymesh", "newexitmesh", "newsoundonmesh", "newsoundoffmesh",
                                            "newcreditsmesh", "fullscrbtnmesh", "windowedmesh", "yesmesh",
                                            "nomesh", "optionsmesh", "backmesh", "highscoremesh", "howtoplaymesh",
                                            "resumemesh", "restartmesh", "menumesh"});
            sPointerVtx     = VertexCounts({"heroweapon"})[0];
            sTileVtx        = VertexCounts({"terrain1mesh"})[0];
            gKoGfxDrawnHook = Record;
            gFrameInputHook = BeforeInput;
            GameRunOptions options;
            options.headless   = true;
            options.fullScreen = 0;
            options.windowW    = size.w;
            options.windowH    = size.h;
            options.fixedDt    = 1.0 / 60.0;
            options.frames     = 6000;
            States::Register();
            GameMain(options);
            if (sStep < steps.size())
                printf("SCREENS %dx%d: the walk stopped before \"%s\"\n", size.w, size.h, steps[sStep].name);
            for (int p = 1; p < 4; ++p)
                if (sPageAt[p] < 0.0f || sMetAt[p] - sPageAt[p] < 1.0f)
                    printf("SCREENS %dx%d: tutorial page %d opened at %.2f s, what it names came at %.2f s\n",
                           size.w, size.h, p + 1, double(sPageAt[p]), double(sMetAt[p]));
        });
    std::string failures;
    for (size_t at = res.out.find("SCREENS "); at != std::string::npos; at = res.out.find("SCREENS ", at + 1))
        failures += res.out.substr(at, res.out.find('\n', at) - at + 1);
    EXPECT_EQ(res.exitCode, 0);
    return failures;
}

struct Walker
{
    const char* name;
    Controls controls;
    Size size;
};

class Screens : public ::testing::TestWithParam<Walker>
{
};

TEST_P(Screens, NoTextOverlapsAnotherOrAButtonOrCrossesTheEdgeAndEveryScreenAnswersItsKeys)
{
    EXPECT_EQ(Walked(GetParam().size, GetParam().controls), "");
}

const Controls KEYBOARD = {0x26, 0x28, VK_ENTER, VK_ESC, VK_SPACE_BAR};
INSTANTIATE_TEST_SUITE_P(Walks, Screens,
                         ::testing::Values(Walker{"800x600", KEYBOARD, {800, 600}},
                                           Walker{"1024x768", KEYBOARD, {1024, 768}},
                                           Walker{"1366x768", KEYBOARD, {1366, 768}},
                                           Walker{"1920x1080", KEYBOARD, {1920, 1080}},
                                           Walker{"2560x1080", KEYBOARD, {2560, 1080}},
                                           Walker{"3840x2160", KEYBOARD, {3840, 2160}},
                                           Walker{"pad", {0xCB, 0xCC, 0xC3, 0xC4, 0xC3}, {800, 600}}),
                         [](const ::testing::TestParamInfo<Walker>& info) { return info.param.name; });

} // namespace
