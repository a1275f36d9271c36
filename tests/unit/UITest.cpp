// The level overlays driven in-process: a headless engine, real meshes and fonts, input injected as
// window events, and the level flags set by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Headless.h"
#include "Scenario.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "level/GameState_Level.h"
#include "level/LevelRun.h"
#include "level/UI.h"

namespace
{
class UITest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        HeadlessStart();
        SoundLoad(SND_SLASH, "Sounds/Slash.wav");
        SoundLoad(SND_AXE_HIT, "Sounds/AxeHit.wav");
        SoundLoad(SND_AXE_HIT_BUTTON, "Sounds/AxeHitButton.wav");
        UI::ResetUI();
        UI::LoadUI();
    }

    static void TearDownTestSuite()
    {
        UI::UnloadUI();
        HeadlessStop();
    }

    Scenario::TempDir mSave;

    void SetUp() override
    {
        LevelResetRun(); // the run's flags
        gSoundOn         = true;
        gKoGfxFullScreen = false;
        gGameStateNext   = GS_LEVEL;
        gFrameTime       = 1.0f / 60.0f;
        gUIClock         = 1.0f; // past the start-up delay of clicks
        gPlayerName.clear();
        gSaveFolder = mSave.path + "/";
        gHighScores = {{"ANNA", 300}, {"BOB", 250}, {"CARL", 200}, {"DORA", 150}, {"EMIL", 100}};
        KoInputReset();
        for (AudioChannel& ch : gChannelTable) ch = AUDIO_CHANNEL_NULL;
        UI::InitUI();
    }

    void TearDown() override { UI::FreeUI(); }

    // One overlay frame as the level runs it, after these keys (down or up), where the window's own arrive.
    static void Frame(const std::string& keys = "", bool down = true)
    {
        for (char c : keys) KoInputOnKey(static_cast<unsigned char>(c), down);
        KoInputUpdate();
        UI::UpdateUI(UI::PASS_STEP);
    }

    static void Tap(unsigned char vk)
    {
        Frame(std::string(1, char(vk)));
        Frame(std::string(1, char(vk)), false);
    }

    // A click at the world position (x, y) of the 800 x 600 view (x -80..80, y -60..60).
    static void ClickAt(float x, float y)
    {
        for (bool left : {true, false})
        {
            KoInputOnPointer(int(400.0f + x * 5.0f), int(300.0f - y * 5.0f), left, false);
            Frame();
        }
    }
};

// The question flows are walked in the scenarios (by keys in the screens walk, Yes by the soak run's bot);
// here the sounds of the clicks, the click on No and the button hidden behind a question.
TEST_F(UITest, PauseMenuClicksSlashRestartSoundsOnceAndAQuestionHidesItsButton)
{
    Run::SetPaused(true);
    ClickAt(0, 0); // Restart asks; every click swings the axe with a slash, the first Restart also hits
    ASSERT_EQ(UI::CurrentScreen(), UI::SCREEN_ASK_RESTART);
    EXPECT_NE(gChannelTable[SND_SLASH], AUDIO_CHANNEL_NULL);
    EXPECT_EQ(gChannelTable[SND_AXE_HIT], AUDIO_CHANNEL_NULL);
    const AudioChannel restartSound = gChannelTable[SND_AXE_HIT_BUTTON];
    EXPECT_NE(restartSound, AUDIO_CHANNEL_NULL);
    ClickAt(20, -20); // No
    EXPECT_EQ(UI::CurrentScreen(), UI::SCREEN_PAUSE);
    ClickAt(0, 0);
    ASSERT_EQ(UI::CurrentScreen(), UI::SCREEN_ASK_RESTART);
    EXPECT_EQ(gChannelTable[SND_AXE_HIT_BUTTON], restartSound) << "only the first Restart of a run sounds";
    ClickAt(0, 0); // Restart is hidden behind the question: the click does nothing
    EXPECT_TRUE(UI::CurrentScreen() == UI::SCREEN_ASK_RESTART && gGameStateNext == GS_LEVEL);
}

// ESC closing the panel is the overlay scenario's.
TEST_F(UITest, OptionsPanelTogglesSoundAndScreenModeAndButtonsWaitHalfASecondAfterTheStart)
{
    Run::SetPaused(true);
    gUIClock = 0.0f; // the program has just started: a click 1/30 s in is not taken
    ClickAt(0, -10);
    EXPECT_EQ(UI::CurrentScreen(), UI::SCREEN_PAUSE);
    for (int i = 0; i < 29; ++i) Frame();
    ClickAt(0, -10); // 31 frames in
    ASSERT_EQ(UI::CurrentScreen(), UI::SCREEN_OPTIONS);
    ClickAt(0, 0); // sound on -> off
    EXPECT_FALSE(gSoundOn);
    ClickAt(0, 0); // the sound-off button sits in the same place
    EXPECT_TRUE(gSoundOn);
    ClickAt(0, -10); // full screen
    EXPECT_TRUE(gKoGfxFullScreen);
    ClickAt(0, -10); // windowed
    EXPECT_FALSE(gKoGfxFullScreen);
}

TEST_F(UITest, NameEntryTakesTheLettersOfAFrameInOrderUpToElevenLetters)
{
    Run::Step(0.0f, 301.0f), Run::End(DEATH_FELL); // over as the best run of the table
    Frame("ZBM5");
    UI::UpdateUI(UI::PASS_WORLD_RAN); // the world runs on in the shake after the death: no letter twice
    Frame("ZBM5", false);
    EXPECT_EQ(gPlayerName, "BMZ");
    Frame("ABCDEFGHIJKLMNOPQRSTUVWXYZ"); // the whole alphabet in one frame: the name fills up, no further
    EXPECT_EQ(gPlayerName, "BMZABCDEFGH");
}

// Only a run that enters the Hall Of Fame asks a name; any other shows Restart at once and saves nothing.
TEST_F(UITest, OnlyARunThatEntersTheHallOfFameAsksForTheName)
{
    for (float meters : {100.9f, -1.0f, 101.0f}) // ties the lowest entry, meets an empty table, beats it
    {
        TearDown(); // a fresh game over
        SetUp();
        if (meters < 0.0f) gHighScores.clear();
        const bool asks = meters == 101.0f;
        Run::Step(0.0f, meters), Run::End(DEATH_FELL);
        Tap('A');
        Tap(VK_RETURN);
        EXPECT_EQ(gPlayerName, asks ? "A" : "") << meters;
        EXPECT_EQ(std::filesystem::exists(mSave / "highscore.txt"), asks) << meters;
        EXPECT_EQ(gGameStateNext, asks ? GS_LEVEL : GS_RESTART) << "ENTER presses the focused Restart";
    }
}

TEST_F(UITest, TheBannerFadesOutAndStartsAgainButNotOnTheGameOverScreen)
{
    gTextColour   = 0xFFE0C5B8;
    gTextFadeTime = 0.0f;
    gFrameTime    = 2.0f;
    for (uint32_t alpha = 0xF0; alpha >= 0x0F; alpha -= 0x0F)
    {
        Frame();
        EXPECT_EQ(gTextColour, alpha << 24 | 0xE0C5B8u);
    }
    Frame();
    EXPECT_EQ(gTextColour, 0xFFE0C5B8u);
    Run::End(DEATH_FELL); // no fading on the game-over screen
    Frame();
    EXPECT_EQ(gTextColour, 0xFFE0C5B8u);
}

} // namespace
