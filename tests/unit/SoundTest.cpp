// The sound manager over the real audio layer, on SDL's dummy audio driver (silent, real time).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <string>
#include <thread>

#include "Scenario.h"
#include "framework/Sound.h"
#include "platform/PlatAudio.h"

namespace
{

// A mono 16-bit WAV of `ms` milliseconds of a quiet square wave.
void WriteWav(const std::string& path, int ms)
{
    const uint32_t rate = 22050, samples = rate * uint32_t(ms) / 1000, dataBytes = samples * 2;
    std::string w;
    auto u32 = [&](uint32_t v)
    {
        for (int i = 0; i < 4; ++i) w += char((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&](uint16_t v) { w += char(v & 0xFF), w += char(v >> 8); };
    w += "RIFF";
    u32(36 + dataBytes);
    w += "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
    w += "data";
    u32(dataBytes);
    for (uint32_t i = 0; i < samples; ++i) u16(uint16_t((i / 50) % 2 ? 2000 : -2000));
    ASSERT_TRUE(Scenario::WriteFile(path, w));
}

bool Playing(AudioChannel channel)
{
    bool playing = true;
    EXPECT_EQ(AudioChannelIsPlaying(channel, &playing), AUDIO_OK);
    return playing;
}

float Volume(AudioChannel channel)
{
    float volume = -1.0f;
    EXPECT_EQ(AudioChannelGetVolume(channel, &volume), AUDIO_OK);
    return volume;
}

// Waits (a few seconds at most) until the channel's sound has run out on the real-time mixer.
bool WaitUntilEnded(AudioChannel channel)
{
    for (int i = 0; i < 500 && Playing(channel); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !Playing(channel);
}

// The loudest output over the next `ms` milliseconds of real-time mixing.
float PeakOver(int ms)
{
    PlatAudioTakePeak();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return PlatAudioTakePeak();
}

class SoundTest : public ::testing::Test
{
  protected:
    Scenario::TempDir dir;
    std::string longWav, shortWav;

    void SetUp() override
    {
        longWav  = dir / "long.wav";
        shortWav = dir / "short.wav";
        WriteWav(longWav, 5000);
        WriteWav(shortWav, 30);
        testing::internal::CaptureStdout();
        SoundInit();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "FMOD Load Complete\nFMOD Init Complete\n");
    }
    void TearDown() override
    {
        SoundFreeAll();
        testing::internal::CaptureStdout();
        SoundRelease();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "FMOD Unload Complete\n");
        EXPECT_EQ(gSoundSystem, nullptr);
    }
};

TEST_F(SoundTest, PlayingASlotTwiceLeavesTwoSoundsButOnlyTheSecondFollowsTheSetting)
{
    SoundLoad(SND_JUMP_LAND, longWav.c_str());
    ASSERT_NE(gSoundTable[SND_JUMP_LAND], nullptr);
    testing::internal::CaptureStdout();
    SoundPlay(SND_JUMP_LAND, 1.0f);
    AudioChannel first = gChannelTable[SND_JUMP_LAND];
    SoundPlay(SND_JUMP_LAND, 1.0f);
    AudioChannel second = gChannelTable[SND_JUMP_LAND];
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    EXPECT_NE(first, second);
    EXPECT_TRUE(Playing(first));
    EXPECT_TRUE(Playing(second));
    bool paused = true;
    EXPECT_EQ(AudioChannelGetPaused(second, &paused), AUDIO_OK);
    EXPECT_FALSE(paused);

    SoundSetChannelVolumes(false);
    EXPECT_EQ(Volume(second), 0.0f);
    EXPECT_EQ(Volume(first), 1.0f); // out of the manager's reach
    SoundSetChannelVolumes(true);
    EXPECT_EQ(Volume(second), 1.0f);
}

TEST_F(SoundTest, WhatIsHeardFollowsPausedStartsAndTheVolumePass)
{
    SoundLoad(SND_DISTRESSED, longWav.c_str());
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

TEST_F(SoundTest, PauseAndUnpauseReportWrongStates)
{
    SoundLoad(SND_DISTRESSED, longWav.c_str());
    SoundPlay(SND_DISTRESSED, 0.0f);
    AudioChannel channel = gChannelTable[SND_DISTRESSED];

    testing::internal::CaptureStdout();
    SoundUnpause(SND_DISTRESSED);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Fail: Not Paused cannot Unpause\n");

    testing::internal::CaptureStdout();
    SoundPause(SND_DISTRESSED);
    SoundPause(SND_DISTRESSED);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Fail: Already Paused\n");
    bool paused = false;
    EXPECT_EQ(AudioChannelGetPaused(channel, &paused), AUDIO_OK);
    EXPECT_TRUE(paused);
    EXPECT_TRUE(Playing(channel)); // a paused channel still counts as playing

    testing::internal::CaptureStdout();
    SoundUnpause(SND_DISTRESSED);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(AudioChannelGetPaused(channel, &paused), AUDIO_OK);
    EXPECT_FALSE(paused);
}

TEST_F(SoundTest, SlotsOutsideTheTablePrintTheRangeMessageAndTouchNothing)
{
    const std::string range = "Fail: Index out of available range of channel\n";
    for (int slot : {int(SND_NUM), -1, 1000})
    {
        testing::internal::CaptureStdout();
        SoundPlay(slot, 0.0f);
        SoundUnpause(slot);
        SoundPause(slot);
        SoundLoad(slot, longWav.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), range + range + range + range) << slot;
    }
    for (int slot = 0; slot < SND_NUM; ++slot)
    {
        EXPECT_EQ(gSoundTable[slot], nullptr);
        EXPECT_EQ(gChannelTable[slot], AUDIO_CHANNEL_NULL);
    }
}

TEST_F(SoundTest, MissingFileLeavesTheSlotEmptyAndEveryPlayPrintsErrors)
{
    testing::internal::CaptureStdout();
    SoundLoad(SND_GROAN4, (dir / "missing.mp3").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "FMOD error! (7) The sound file could not be opened.\n");
    EXPECT_EQ(gSoundTable[SND_GROAN4], nullptr);
    EXPECT_EQ(gSoundResult, AUDIO_ERR_FILE_NOT_FOUND);

    std::string invalid = "FMOD error! (6) An invalid or stale handle was used.\n";
    for (int i = 0; i < 2; ++i)
    {
        testing::internal::CaptureStdout();
        SoundPlay(SND_GROAN4, 0.0f);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), invalid + invalid + invalid);
    }

    testing::internal::CaptureStdout();
    Scenario::WriteFile(dir / "noise.wav", "this is not a sound file at all");
    SoundLoad(SND_GROAN5, (dir / "noise.wav").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "FMOD error! (8) The sound file is damaged or of an unsupported format.\n");
}

TEST_F(SoundTest, StaleHandlesAnswerAsChannelsThatNoLongerPlay)
{
    SoundLoad(SND_JUMP_LIFT, shortWav.c_str());
    SoundPlay(SND_JUMP_LIFT, 0.0f);
    AudioChannel ended = gChannelTable[SND_JUMP_LIFT];
    ASSERT_TRUE(WaitUntilEnded(ended));
    SoundUpdate();
    float volume;
    bool paused;
    EXPECT_EQ(AudioChannelSetVolume(ended, 1.0f), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioChannelGetPaused(ended, &paused), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioChannelStop(ended), AUDIO_ERR_INVALID_HANDLE);

    // The next play reuses that channel (the lowest free one) under a new handle; the old handle must not
    // reach it.
    SoundLoad(SND_SLASH, longWav.c_str());
    SoundPlay(SND_SLASH, 0.0f);
    AudioChannel reused = gChannelTable[SND_SLASH];
    EXPECT_NE(reused, ended);
    EXPECT_FALSE(Playing(ended));
    EXPECT_EQ(AudioChannelStop(ended), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioChannelSetPaused(ended, true), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioChannelGetVolume(ended, &volume), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_TRUE(Playing(reused));
    EXPECT_EQ(AudioChannelGetPaused(reused, &paused), AUDIO_OK);
    EXPECT_FALSE(paused);

    // A pause of the music after it has ended is asked of a stale channel: the error line, then the
    // pause goes nowhere.
    testing::internal::CaptureStdout();
    SoundPause(SND_JUMP_LIFT);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "FMOD error! (6) An invalid or stale handle was used.\n");

    EXPECT_FALSE(Playing(AUDIO_CHANNEL_NULL));
    EXPECT_EQ(AudioChannelStop(AUDIO_CHANNEL_NULL), AUDIO_ERR_INVALID_HANDLE);
    EXPECT_EQ(AudioChannelStop(0xFFFFFFFFu), AUDIO_ERR_INVALID_HANDLE);
}

TEST_F(SoundTest, ReloadingAndFreeingStopTheSlotsChannels)
{
    SoundLoad(SND_ROAD_HAZARD, longWav.c_str());
    SoundPlay(SND_ROAD_HAZARD, 0.0f);
    AudioChannel before = gChannelTable[SND_ROAD_HAZARD];
    SoundLoad(SND_ROAD_HAZARD, longWav.c_str());
    EXPECT_FALSE(Playing(before));
    EXPECT_EQ(gChannelTable[SND_ROAD_HAZARD], AUDIO_CHANNEL_NULL);
    ASSERT_NE(gSoundTable[SND_ROAD_HAZARD], nullptr);

    SoundLoad(SND_AXE_HIT, longWav.c_str());
    SoundPlay(SND_ROAD_HAZARD, 0.0f);
    SoundPlay(SND_AXE_HIT, 0.0f);
    AudioChannel music = gChannelTable[SND_ROAD_HAZARD], hit = gChannelTable[SND_AXE_HIT];
    testing::internal::CaptureStdout();
    SoundFreeAll();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(Playing(music));
    EXPECT_FALSE(Playing(hit));
    for (int slot = 0; slot < SND_NUM; ++slot)
    {
        EXPECT_EQ(gSoundTable[slot], nullptr);
        EXPECT_EQ(gChannelTable[slot], AUDIO_CHANNEL_NULL);
    }

    // A sound released under a channel stops it; a second release finds no sound.
    AudioSound* pSound = nullptr;
    ASSERT_EQ(AudioSystemCreateSound(gSoundSystem, longWav.c_str(), &pSound), AUDIO_OK);
    AudioChannel channel;
    ASSERT_EQ(AudioSystemPlaySound(gSoundSystem, pSound, false, &channel), AUDIO_OK);
    EXPECT_EQ(AudioSoundRelease(pSound), AUDIO_OK);
    EXPECT_FALSE(Playing(channel));
    EXPECT_EQ(AudioSoundRelease(pSound), AUDIO_ERR_INVALID_HANDLE);
}

TEST_F(SoundTest, EveryChannelInUseRefusesTheNextPlay)
{
    SoundLoad(SND_GROAN1, longWav.c_str());
    AudioChannel channel;
    for (int i = 0; i < SOUND_CHANNEL_NUM; ++i)
        ASSERT_EQ(AudioSystemPlaySound(gSoundSystem, gSoundTable[SND_GROAN1], true, &channel), AUDIO_OK);
    EXPECT_EQ(AudioSystemPlaySound(gSoundSystem, gSoundTable[SND_GROAN1], true, &channel),
              AUDIO_ERR_CHANNEL_ALLOC);
    EXPECT_EQ(channel, AUDIO_CHANNEL_NULL);
}

TEST(AudioSystem, WithoutAnAudioDeviceTheSystemRunsOnSilentOutput)
{
    // A driver that does not exist stands for a machine without an audio device.
    const char* saved      = getenv("SDL_AUDIODRIVER");
    std::string savedValue = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    AudioSystem* pSystem = nullptr;
    ASSERT_EQ(AudioSystemCreate(&pSystem), AUDIO_OK);
    EXPECT_EQ(AudioSystemCreate(&pSystem), AUDIO_ERR_ALREADY_CREATED);
    EXPECT_EQ(AudioSystemInit(pSystem, SOUND_CHANNEL_NUM), AUDIO_OK);
    EXPECT_TRUE(PlatAudioIsSilent());
    EXPECT_EQ(AudioSystemInit(pSystem, SOUND_CHANNEL_NUM), AUDIO_ERR_INITIALIZED);
    EXPECT_EQ(AudioSystemUpdate(pSystem), AUDIO_OK);
    EXPECT_EQ(AudioSystemRelease(pSystem), AUDIO_OK);
    EXPECT_EQ(AudioSystemUpdate(pSystem), AUDIO_ERR_INVALID_PARAM);
    if (saved)
        setenv("SDL_AUDIODRIVER", savedValue.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}

TEST(AudioSystem, AFailedReleaseAtShutDownEndsWithMinusOne)
{
    EXPECT_EXIT(SoundRelease(), testing::ExitedWithCode(255), "");
}

} // namespace
