// The engine started headless in the game's data folder, with the sound manager, for unit tests that load
// the real meshes, fonts and sounds: a suite calls HeadlessStart in SetUpTestSuite and HeadlessStop in
// TearDownTestSuite.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "engine/KoSystem.h"
#include "framework/Sound.h"
#include "platform/Platform.h"

inline std::string gHeadlessOldDir; // the working folder before HeadlessStart

inline void HeadlessStart()
{
    char buf[4096];
    gHeadlessOldDir = getcwd(buf, sizeof buf) ? buf : ".";
    ASSERT_EQ(chdir(SKARN_DATA_DIR), 0);
    PlatConfigure(true);
    ASSERT_EQ(KoSysInit(), "");
    SoundInit();
}

inline void HeadlessStop()
{
    SoundFreeAll();
    SoundRelease();
    KoSysExit();
    if (chdir(gHeadlessOldDir.c_str()) != 0) perror("chdir");
}

// Whether a channel plays (a paused one counts as playing; a stale one plays no longer), and whether it is
// paused.
inline bool Playing(AudioChannel channel)
{
    bool playing = true;
    EXPECT_EQ(AudioChannelIsPlaying(channel, &playing), AUDIO_OK);
    return playing;
}
inline bool Paused(AudioChannel channel)
{
    bool paused = false;
    EXPECT_EQ(AudioChannelGetPaused(channel, &paused), AUDIO_OK);
    return paused;
}
