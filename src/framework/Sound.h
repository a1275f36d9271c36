// The sound manager: one sound system, 20 sound slots, and the channel each slot played on last.
//
// Game code names sounds by slot. Errors never stop a sound from being attempted: every failing audio call
// stores its result in gSoundResult and prints "sound: TEXT (audio result N)\n"; the game goes on, except at
// start-up and at the final release, where a failure ends the program through KoFatal (exit code 1).
#pragma once

#include "framework/Audio.h"

enum
{
    SND_ROAD_HAZARD    = 0, // "Sounds/04 - Road Hazard.mp3": menu music
    SND_DISTRESSED     = 1, // "Sounds/26 - Distressed.mp3": level music
    SND_JUMP_LAND      = 3, // "Sounds/JumpLand.wav"
    SND_SLASH          = 4, // "Sounds/Slash.wav"
    SND_GROAN1         = 5, // "Sounds/Groan1.wav" ... SND_GROAN8 "Sounds/Groan8.mp3"
    SND_GROAN2         = 6,
    SND_GROAN3         = 7,
    SND_GROAN4         = 8,
    SND_GROAN5         = 9,
    SND_GROAN6         = 10,
    SND_GROAN7         = 11,
    SND_GROAN8         = 12,
    SND_AXE_HIT        = 13, // "Sounds/AxeHit.wav"
    SND_THROW_AXE      = 14, // "Sounds/ThrowAxe.mp3"
    SND_AXE_HIT_BUTTON = 15, // "Sounds/AxeHitButton.wav"
    SND_ROAD_HAZARD_2  = 16, // "Sounds/04 - Road Hazard.mp3": invulnerability music
    SND_NUM            = 20, // slots 2 and 17 to 19 are never loaded
};

constexpr int SOUND_CHANNEL_NUM = 100; // channels of the sound system

extern AudioSystem* gSoundSystem;
extern AudioSound* gSoundTable[SND_NUM];    // null: empty slot
extern AudioChannel gChannelTable[SND_NUM]; // the slot's latest play; AUDIO_CHANNEL_NULL before any
extern int gSoundResult;                    // the latest failing (or checked) audio result

// Start-up: creates the system ("sound: audio system created"), opens it on SDL_mixer with 100 channels
// ("sound: SDL_mixer open with 100 channels"). A failure prints the error line, then says why on standard
// error and ends the program with exit code 1.
void SoundInit();
// Loads a file into a slot, first stopping and releasing what the slot held.
void SoundLoad(int slot, const char* fileName);
// Starts the slot's sound on a free channel: paused, then the volume, then unpaused. The slot's channel
// entry takes the new handle; an earlier channel of the slot plays on unreachable.
void SoundPlay(int slot, float volume);
// Pauses the slot's channel, or prints "Fail: Already Paused\n".
void SoundPause(int slot);
// Resumes the slot's channel, or prints "Fail: Not Paused cannot Unpause\n".
void SoundUnpause(int slot);
// Stops and releases every slot; both tables become empty.
void SoundFreeAll();

// Stores the result in gSoundResult and, when it is not AUDIO_OK, prints the error line. Returns it.
int SoundCheck(int result);

// The main loop's per-frame duties: every non-null channel of gChannelTable gets volume 1.0 when the sound
// is on and 0.0 when it is off (results ignored); then the system update (errors printed).
void SoundSetChannelVolumes(bool soundOn);
void SoundUpdate();
// Shut-down: releases the system (a failure ends the program as at start-up), then prints
// "sound: SDL_mixer closed\n".
void SoundRelease();
