// Every sound file of data/ decodes through the game's audio layer.
#include "framework/Audio.h"

#include <gtest/gtest.h>

#include <string>

TEST(DataSounds, EverySoundFileDecodes)
{
    const char* files[] = {
        "04 - Road Hazard.mp3", "26 - Distressed.mp3", "JumpLift.mp3", "JumpLand.wav", "Slash.wav",
        "Groan1.wav",           "Groan2.wav",          "Groan3.wav",   "Groan4.mp3",   "Groan5.mp3",
        "Groan6.wav",           "Groan7.wav",          "Groan8.mp3",   "AxeHit.wav",   "ThrowAxe.mp3",
        "AxeHitButton.wav"};
    AudioSystem* pSystem = nullptr;
    ASSERT_EQ(AUDIO_OK, AudioSystemCreate(&pSystem));
    ASSERT_EQ(AUDIO_OK, AudioSystemInit(pSystem, 20));
    for (const char* f : files)
    {
        std::string path   = std::string(SKARN_DATA_DIR) + "/Sounds/" + f;
        AudioSound* pSound = nullptr;
        EXPECT_EQ(AUDIO_OK, AudioSystemCreateSound(pSystem, path.c_str(), &pSound)) << f;
        ASSERT_NE(nullptr, pSound) << f;
        EXPECT_EQ(AUDIO_OK, AudioSoundRelease(pSound)) << f;
    }
    EXPECT_EQ(AUDIO_OK, AudioSystemRelease(pSystem));
}
