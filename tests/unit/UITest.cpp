// The level overlays driven in-process: a headless engine, real meshes and fonts, input injected as
// window events, and the level flags set by hand.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "Scenario.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "engine/KoSystem.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/Sound.h"
#include "level/GameState_Level.h"
#include "level/UI.h"
#include "platform/Platform.h"

namespace
{
const float DT = 1.0f / 60.0f;

class UITest : public ::testing::Test
{
  protected:
    static std::string sOldDir;

    static void SetUpTestSuite()
    {
        char buf[4096];
        sOldDir = getcwd(buf, sizeof buf) ? buf : ".";
        ASSERT_EQ(chdir(SKARN_DATA_DIR), 0);
        PlatConfigure(true);
        ASSERT_TRUE(KoSysInit());
        SoundInit();
        SoundLoad(SND_SLASH, "Sounds/Slash.wav");
        SoundLoad(SND_AXE_HIT, "Sounds/AxeHit.wav");
        SoundLoad(SND_AXE_HIT_BUTTON, "Sounds/AxeHitButton.wav");
        UI::ResetUI();
        UI::LoadUI();
    }

    static void TearDownTestSuite()
    {
        UI::UnloadUI();
        SoundFreeAll();
        SoundRelease();
        KoSysExit();
        if (chdir(sOldDir.c_str()) != 0) perror("chdir");
    }

    Scenario::TempDir mSave;

    void SetUp() override
    {
        gPaused          = false;
        gGameOver        = false;
        gInvulnerable    = false;
        gTutorialShowing = false;
        gTutorialEnabled = true;
        gTutorialPage    = 0;
        gDistance        = 0.0f;
        gKillCount       = 0;
        gSoundOn         = true;
        gFullScreen      = false;
        gGameStateNext   = GS_LEVEL;
        gFrameTime       = DT;
        gUIClock         = 1.0f; // past the start-up delay of clicks
        gPlayerName.clear();
        gSaveFolder = mSave.path + "/";
        gHighScores = {{"ANNA", 300}, {"BOB", 250}, {"CARL", 200}, {"DORA", 150}, {"EMIL", 100}};
        KoInputReset();
        for (AudioChannel& ch : gChannelTable) ch = AUDIO_CHANNEL_NULL;
        UI::InitUI();
    }

    void TearDown() override { UI::FreeUI(); }

    // One overlay frame with these window events, as the level runs it.
    static void Frame(const std::vector<PlatEvent>& events = {})
    {
        for (const PlatEvent& e : events) PlatPushEvent(e);
        KoInputUpdate();
        UI::UpdateUI();
        UI::UpdateTutorial();
    }

    static PlatEvent Key(unsigned char vk, bool down)
    {
        PlatEvent e{};
        e.type = down ? PLAT_EVENT_KEY_DOWN : PLAT_EVENT_KEY_UP;
        e.vk   = vk;
        return e;
    }

    // A mouse event at the world position (x, y) of the 800 x 600 view (x -80..80, y -60..60).
    static PlatEvent Mouse(float x, float y, bool left)
    {
        PlatEvent e{};
        e.type = PLAT_EVENT_MOUSE;
        e.x    = static_cast<int>(400.0f + x * 5.0f);
        e.y    = static_cast<int>(300.0f - y * 5.0f);
        e.left = left;
        return e;
    }

    static void Tap(unsigned char vk)
    {
        Frame({Key(vk, true)});
        Frame({Key(vk, false)});
    }

    static void ClickAt(float x, float y)
    {
        Frame({Mouse(x, y, true)});
        Frame({Mouse(x, y, false)});
    }

    static void Type(const std::string& letters)
    {
        for (char c : letters) Tap(static_cast<unsigned char>(c));
    }
};
std::string UITest::sOldDir;

TEST_F(UITest, PauseMenuRestartAsksAndYesRestartsOrGoesToMenu)
{
    gPaused = true;
    ClickAt(0, 0); // Restart only asks
    EXPECT_TRUE(gAskRestart);
    EXPECT_TRUE(gRestartClicked);
    EXPECT_EQ(gGameStateNext, GS_LEVEL);
    // Every click swings the axe with a slash; the first Restart click of a run also starts the button
    // sound, and only that one.
    EXPECT_NE(gChannelTable[SND_SLASH], AUDIO_CHANNEL_NULL);
    EXPECT_EQ(gChannelTable[SND_AXE_HIT], AUDIO_CHANNEL_NULL);
    const AudioChannel restartSound = gChannelTable[SND_AXE_HIT_BUTTON];
    EXPECT_NE(restartSound, AUDIO_CHANNEL_NULL);

    ClickAt(20, -20); // No
    EXPECT_FALSE(gAskRestart);
    ClickAt(0, 0);
    ASSERT_TRUE(gAskRestart);
    EXPECT_EQ(gChannelTable[SND_AXE_HIT_BUTTON], restartSound);
    ClickAt(0, 0); // Restart is hidden behind the question: the click does nothing
    EXPECT_TRUE(gAskRestart);
    ClickAt(-20, -20); // Yes
    EXPECT_EQ(gGameStateNext, GS_RESTART);

    UI::FreeUI();
    UI::InitUI();
    gGameStateNext = GS_LEVEL;
    gPaused        = true;
    ClickAt(0, -20); // Menu
    ClickAt(-20, -20);
    EXPECT_EQ(gGameStateNext, GS_MENU);
}

TEST_F(UITest, OptionsPanelTogglesSoundAndScreenModeAndClosesOnEsc)
{
    gPaused = true;
    ClickAt(0, -10);
    ASSERT_TRUE(gOptionsOpen);
    ClickAt(0, 0); // sound on -> off
    EXPECT_FALSE(gSoundOn);
    ClickAt(0, 0); // the sound-off button sits in the same place
    EXPECT_TRUE(gSoundOn);
    const bool engineFull = gKoGfxFullScreen;
    ClickAt(0, -10); // full screen
    EXPECT_TRUE(gFullScreen);
    EXPECT_NE(gKoGfxFullScreen, engineFull);
    ClickAt(0, -10); // windowed
    EXPECT_FALSE(gFullScreen);
    EXPECT_EQ(gKoGfxFullScreen, engineFull);

    Tap(VK_ESCAPE);
    EXPECT_FALSE(gOptionsOpen);
    EXPECT_TRUE(gPaused); // leaving the pause is the level's own ESC handling

    ClickAt(0, -10);
    ASSERT_TRUE(gOptionsOpen);
    gPaused = false; // the level's ESC closes the pause; the panel closes with it
    Frame();
    EXPECT_FALSE(gOptionsOpen);
}

TEST_F(UITest, EscClosesTheConfirmations)
{
    gPaused = true;
    ClickAt(0, -20);
    ASSERT_TRUE(gAskMenu);
    Tap(VK_ESCAPE);
    EXPECT_FALSE(gAskMenu);
    ClickAt(0, 0);
    ASSERT_TRUE(gAskRestart);
    Tap(VK_ESCAPE);
    EXPECT_FALSE(gAskRestart);
}

TEST_F(UITest, ClicksInTheFirstHalfSecondAreIgnored)
{
    gUIClock = 0.0f;
    gPaused  = true;
    ClickAt(0, 10);
    EXPECT_TRUE(gPaused);
    gUIClock = 0.45f; // the press frame brings it to 0.467
    ClickAt(0, 10);
    EXPECT_TRUE(gPaused);
    gUIClock = 0.49f; // 0.507
    ClickAt(0, 10);
    EXPECT_FALSE(gPaused);
}

TEST_F(UITest, NameEntryTestsTheLengthOnceBeforeTheLettersOfAFrame)
{
    gGameOver = true;
    Frame({Key('Z', true), Key('B', true), Key('M', true), Key('5', true)});
    Frame({Key('Z', false), Key('B', false), Key('M', false), Key('5', false)});
    EXPECT_EQ(gPlayerName, "BMZ");
    Type("ABCDEFG");
    Frame({Key('Y', true), Key('X', true)}); // ten letters before the frame: both are taken, in order
    EXPECT_EQ(gPlayerName, "BMZABCDEFGXY");
}

TEST_F(UITest, TutorialPagesOpenOnRequestAndCloseOnSpace)
{
    UI::RequestTutorial(2);
    EXPECT_TRUE(gTutorialShowing);
    EXPECT_EQ(gTutorialPage, 2);
    Frame();
    EXPECT_TRUE(gTutorialShowing);
    Tap(VK_SPACE);
    EXPECT_FALSE(gTutorialShowing);
    EXPECT_TRUE(gTutorialEnabled);

    UI::RequestTutorial(3);
    Tap(VK_SPACE);
    EXPECT_FALSE(gTutorialShowing);
    EXPECT_FALSE(gTutorialEnabled); // the last page ends the tutorial
    UI::RequestTutorial(0);
    EXPECT_FALSE(gTutorialShowing);
}

TEST_F(UITest, BannerColourFadesInStepsAndStartsAgain)
{
    gTextColour   = 0xFFE0C5B8;
    gTextFadeTime = 0.0f;
    gFrameTime    = 2.0f;
    Frame();
    EXPECT_EQ(gTextColour, 0xF0E0C5B8u);
    for (int i = 0; i < 15; ++i) Frame();
    EXPECT_EQ(gTextColour, 0x0FE0C5B8u);
    Frame();
    EXPECT_EQ(gTextColour, 0xFFE0C5B8u);

    gGameOver = true; // no fading on the game-over screen
    Frame();
    EXPECT_EQ(gTextColour, 0xFFE0C5B8u);
}

TEST_F(UITest, DrawsEveryScreenWithoutFault)
{
    // Long names from a hand-edited file must not overflow the text buffer.
    gHighScores[0].name.assign(5000, 'W');
    gDistance = 301.0f;
    gPaused   = false;
    Frame();
    UI::DrawUI();
    gGameOver = true;
    Frame();
    UI::DrawUI();
    gPlayerName.assign(3000, 'Q');
    Frame();
    UI::DrawUI();
    Type("A");
    Tap(VK_RETURN);
    Frame();
    UI::DrawUI();
    SUCCEED();
}
} // namespace
