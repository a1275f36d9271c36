// The sound manager over the real audio layer, on SDL's dummy audio driver (silent, real time).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "Headless.h"
#include "Scenario.h"
#include "framework/Sound.h"
#include "platform/PlatAudio.h"

namespace
{

template <class Fn> std::string Printed(Fn fn)
{
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

float Volume(AudioChannel channel)
{
    float volume = -1.0f;
    EXPECT_EQ(AudioChannelGetVolume(channel, &volume), AUDIO_OK);
    return volume;
}

// The loudest output over the next `ms` milliseconds of real-time mixing.
float PeakOver(int ms)
{
    PlatAudioTakePeak();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return PlatAudioTakePeak();
}

void ExpectEmptyTables()
{
    for (int slot = 0; slot < SND_NUM; ++slot)
        EXPECT_TRUE(gSoundTable[slot] == nullptr && gChannelTable[slot] == AUDIO_CHANNEL_NULL) << slot;
}

const std::string SOUNDS = std::string(SKARN_DATA_DIR) + "/Sounds/";
const std::string MUSIC  = SOUNDS + "26 - Distressed.mp3"; // a minute long
const std::string BLIP   = SOUNDS + "AxeHitButton.wav";    // a tenth of a second

class SoundTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EXPECT_EQ(Printed(SoundInit),
                  "sound: audio system created\nsound: SDL_mixer open with 100 channels\n");
    }
    void TearDown() override
    {
        SoundFreeAll();
        EXPECT_EQ(Printed(SoundRelease), "sound: SDL_mixer closed\n");
        EXPECT_EQ(gSoundSystem, nullptr);
    }
};

TEST_F(SoundTest, OnlyASlotsLatestPlayFollowsTheSettingAndPausesReportWrongStates)
{
    SoundLoad(SND_DISTRESSED, MUSIC.c_str());
    AudioChannel first = AUDIO_CHANNEL_NULL, second = AUDIO_CHANNEL_NULL;
    auto playTwice = [&]
    {
        SoundPlay(SND_DISTRESSED, 1.0f);
        first = gChannelTable[SND_DISTRESSED];
        SoundPlay(SND_DISTRESSED, 1.0f);
        second = gChannelTable[SND_DISTRESSED];
    };
    EXPECT_EQ(Printed(playTwice), "");
    EXPECT_NE(first, second);
    EXPECT_TRUE(Playing(first) && Playing(second));
    SoundSetChannelVolumes(false);
    EXPECT_EQ(Volume(second), 0.0f);
    EXPECT_EQ(Volume(first), 1.0f); // out of the manager's reach

    EXPECT_EQ(Printed([] { SoundPause(SND_DISTRESSED), SoundPause(SND_DISTRESSED); }),
              "Fail: Already Paused\n");
    EXPECT_TRUE(Paused(second));
    EXPECT_TRUE(Playing(second)); // a paused channel still counts as playing
    EXPECT_EQ(Printed([] { SoundUnpause(SND_DISTRESSED); }), "");
    EXPECT_FALSE(Paused(second));
}

TEST_F(SoundTest, WhatIsHeardFollowsPausedStartsAndTheVolumePass)
{
    SoundLoad(SND_DISTRESSED, MUSIC.c_str());
    AudioChannel channel;
    ASSERT_EQ(AudioSystemPlaySound(gSoundSystem, gSoundTable[SND_DISTRESSED], true, &channel), AUDIO_OK);
    EXPECT_EQ(PeakOver(150), 0.0f); // started paused: not a sample yet
    AudioChannelStop(channel);

    SoundPlay(SND_DISTRESSED, 0.0f); // the usual silent start
    EXPECT_EQ(PeakOver(150), 0.0f);
    SoundSetChannelVolumes(true);
    float peak = 0.0f;
    for (int i = 0; i < 30 && peak < 0.03f; ++i) peak = PeakOver(100);
    EXPECT_GT(peak, 0.03f);
    SoundSetChannelVolumes(false);
    PeakOver(100); // buffers mixed before the change
    EXPECT_EQ(PeakOver(150), 0.0f);
}

TEST_F(SoundTest, BadSlotsAndBadFilesPrintTheirErrorsAndLeaveTheSlotsEmpty)
{
    const std::string range = "Fail: Index out of available range of channel\n";
    for (int slot : {int(SND_NUM), -1, 1000})
    {
        auto everything = [&]
        {
            SoundPlay(slot, 0.0f);
            SoundUnpause(slot);
            SoundPause(slot);
            SoundLoad(slot, MUSIC.c_str());
        };
        EXPECT_EQ(Printed(everything), range + range + range + range) << slot;
    }

    // A missing sound: the bad-input scenarios. A damaged one says so and leaves its slot empty.
    Scenario::TempDir dir;
    const std::string noise = dir / "noise.wav";
    Scenario::WriteFile(noise, "this is not a sound file at all");
    EXPECT_EQ(
        Printed([&] { SoundLoad(SND_GROAN5, noise.c_str()); }),
        "sound: SDL_mixer cannot decode the sound file: damaged, or neither WAV nor MP3 (audio result 8)\n");
    ExpectEmptyTables();
}

TEST_F(SoundTest, StaleHandlesAnswerAsChannelsThatNoLongerPlay)
{
    SoundLoad(SND_JUMP_LAND, BLIP.c_str());
    SoundPlay(SND_JUMP_LAND, 0.0f);
    AudioChannel ended = gChannelTable[SND_JUMP_LAND];
    for (int i = 0; i < 500 && Playing(ended); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(Playing(ended));
    SoundUpdate();

    // The next play reuses that channel (the lowest free one) under a new handle; the old one must not
    // reach it.
    SoundLoad(SND_SLASH, MUSIC.c_str());
    SoundPlay(SND_SLASH, 0.0f);
    AudioChannel reused = gChannelTable[SND_SLASH];
    EXPECT_TRUE(reused != ended && !Playing(ended) && Playing(reused));
    for (AudioResult err :
         {AudioChannelStop(ended), AudioChannelSetPaused(ended, true), AudioChannelSetVolume(ended, 1.0f)})
        EXPECT_EQ(err, AUDIO_ERR_INVALID_HANDLE);
    EXPECT_FALSE(Paused(reused));
    // Pausing a sound that has ended asks a stale channel: the error line, and the pause goes nowhere.
    EXPECT_EQ(Printed([] { SoundPause(SND_JUMP_LAND); }),
              "sound: an invalid or stale handle (audio result 6)\n");
    EXPECT_FALSE(Playing(AUDIO_CHANNEL_NULL));
    EXPECT_EQ(AudioChannelStop(0xFFFFFFFFu), AUDIO_ERR_INVALID_HANDLE);
}

TEST_F(SoundTest, ReloadingAndFreeingStopTheSlotsChannels)
{
    SoundLoad(SND_ROAD_HAZARD, MUSIC.c_str());
    SoundPlay(SND_ROAD_HAZARD, 0.0f);
    AudioChannel before = gChannelTable[SND_ROAD_HAZARD];
    SoundLoad(SND_ROAD_HAZARD, BLIP.c_str());
    EXPECT_TRUE(!Playing(before) && gChannelTable[SND_ROAD_HAZARD] == AUDIO_CHANNEL_NULL);

    SoundLoad(SND_AXE_HIT, MUSIC.c_str());
    SoundPlay(SND_AXE_HIT, 0.0f);
    AudioChannel hit = gChannelTable[SND_AXE_HIT];
    EXPECT_EQ(Printed(SoundFreeAll), "");
    EXPECT_FALSE(Playing(hit));
    ExpectEmptyTables();

    // A sound released under a channel stops it; a second release finds no sound.
    AudioSound* pSound = nullptr;
    AudioChannel channel;
    ASSERT_EQ(AudioSystemCreateSound(gSoundSystem, MUSIC.c_str(), &pSound), AUDIO_OK);
    ASSERT_EQ(AudioSystemPlaySound(gSoundSystem, pSound, false, &channel), AUDIO_OK);
    EXPECT_EQ(AudioSoundRelease(pSound), AUDIO_OK);
    EXPECT_FALSE(Playing(channel));
    EXPECT_EQ(AudioSoundRelease(pSound), AUDIO_ERR_INVALID_HANDLE);
}

TEST_F(SoundTest, WithEveryChannelBusyAPlayTakesTheOldestSoundingOne)
{
    // The mixer plays in real time: a game faster than that fills every channel. Paused plays are kept.
    SoundLoad(SND_GROAN1, MUSIC.c_str());
    AudioSound* pSound = gSoundTable[SND_GROAN1];
    AudioChannel paused, first, channel;
    ASSERT_EQ(AudioSystemPlaySound(gSoundSystem, pSound, false, &paused), AUDIO_OK);
    AudioChannelSetPaused(paused, true);
    ASSERT_EQ(AudioSystemPlaySound(gSoundSystem, pSound, false, &first), AUDIO_OK);
    for (int i = 2; i < SOUND_CHANNEL_NUM; ++i)
        ASSERT_EQ(AudioSystemPlaySound(gSoundSystem, pSound, false, &channel), AUDIO_OK);
    EXPECT_EQ(Printed([] { SoundPlay(SND_GROAN1, 0.0f); }), ""); // played paused, then started
    EXPECT_TRUE(!Playing(first) && Playing(paused) && Playing(gChannelTable[SND_GROAN1]));
    // Only paused and pending plays: nothing may be taken.
    SoundFreeAll();
    SoundLoad(SND_GROAN1, BLIP.c_str());
    for (int i = 0; i < SOUND_CHANNEL_NUM; ++i)
        ASSERT_EQ(AudioSystemPlaySound(gSoundSystem, gSoundTable[SND_GROAN1], true, &channel), AUDIO_OK);
    EXPECT_EQ(AudioSystemPlaySound(gSoundSystem, gSoundTable[SND_GROAN1], true, &channel),
              AUDIO_ERR_CHANNEL_ALLOC);
    EXPECT_EQ(channel, AUDIO_CHANNEL_NULL);
}

TEST_F(SoundTest, EverySoundFileOfTheGameDecodes)
{
    for (const char* f : {"04 - Road Hazard.mp3", "26 - Distressed.mp3", "JumpLand.wav", "Slash.wav",
                          "Groan1.wav", "Groan2.wav", "Groan3.wav", "Groan4.mp3", "Groan5.mp3", "Groan6.wav",
                          "Groan7.wav", "Groan8.mp3", "AxeHit.wav", "ThrowAxe.mp3", "AxeHitButton.wav"})
    {
        AudioSound* pSound = nullptr;
        EXPECT_EQ(AudioSystemCreateSound(gSoundSystem, (SOUNDS + f).c_str(), &pSound), AUDIO_OK) << f;
        EXPECT_EQ(AudioSoundRelease(pSound), AUDIO_OK) << f;
    }
}

// Without a sound card ALSA would print its own errors before our one fallback line; a driver that does not
// exist stands for a machine without an audio device: the system runs on silent output.
TEST(AudioSystem, AlsaAddsNoLinesWithoutADeviceTheOutputIsSilentAndAFailedReleaseEndsWithOne)
{
    Scenario::EnvGuard driver("SDL_AUDIODRIVER");
    for (const char* name : {"alsa", "no-such-driver"})
    {
        setenv("SDL_AUDIODRIVER", name, 1);
        testing::internal::CaptureStderr();
        AudioSystem* pSystem = nullptr;
        EXPECT_EQ(AudioSystemCreate(&pSystem), AUDIO_OK);
        EXPECT_EQ(AudioSystemCreate(&pSystem), AUDIO_ERR_ALREADY_CREATED);
        EXPECT_EQ(AudioSystemInit(pSystem, SOUND_CHANNEL_NUM), AUDIO_OK);
        EXPECT_EQ(AudioSystemInit(pSystem, SOUND_CHANNEL_NUM), AUDIO_ERR_INITIALIZED);
        EXPECT_TRUE(name[0] == 'a' || PlatAudioIsSilent());
        EXPECT_EQ(AudioSystemUpdate(pSystem), AUDIO_OK);
        EXPECT_EQ(AudioSystemRelease(pSystem), AUDIO_OK);
        EXPECT_EQ(AudioSystemUpdate(pSystem), AUDIO_ERR_INVALID_PARAM);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.find("ALSA lib"), std::string::npos) << err;
    }
    EXPECT_EXIT(SoundRelease(), testing::ExitedWithCode(1),
                "skarnhold: sound: the audio system could not be released: an invalid parameter; the game "
                "cannot go on");
}

} // namespace
