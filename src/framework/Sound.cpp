#include "framework/Sound.h"

#include <cstdio>
#include <cstdlib>

AudioSystem* gSoundSystem = nullptr;
AudioSound* gSoundTable[SND_NUM];
AudioChannel gChannelTable[SND_NUM];
int gSoundResult = AUDIO_OK;

static const char* const RANGE_MESSAGE = "Fail: Index out of available range of channel\n";

int SoundCheck(int result)
{
    gSoundResult = result;
    if (result != AUDIO_OK) printf("FMOD error! (%d) %s\n", result, AudioErrorString(result));
    return result;
}

// Slots are looked up in fixed tables: a slot outside them prints the range message.
static bool SlotInRange(int slot)
{
    if (slot >= 0 && slot < SND_NUM) return true;
    fputs(RANGE_MESSAGE, stdout);
    return false;
}

void SoundInit()
{
    if (SoundCheck(AudioSystemCreate(&gSoundSystem)) != AUDIO_OK) exit(-1);
    fputs("FMOD Load Complete\n", stdout);
    if (SoundCheck(AudioSystemInit(gSoundSystem, SOUND_CHANNEL_NUM)) != AUDIO_OK) exit(-1);
    fputs("FMOD Init Complete\n", stdout);
    fflush(stdout);
}

static void SlotFree(int slot)
{
    AudioChannelStop(gChannelTable[slot]);
    AudioSoundRelease(gSoundTable[slot]);
    gChannelTable[slot] = AUDIO_CHANNEL_NULL;
    gSoundTable[slot]   = nullptr;
}

void SoundLoad(int slot, const char* fileName)
{
    if (!SlotInRange(slot)) return;
    if (gSoundTable[slot]) SlotFree(slot);
    SoundCheck(AudioSystemCreateSound(gSoundSystem, fileName, &gSoundTable[slot]));
}

// A slot whose file could not be loaded stays silent: playing, pausing and resuming it do nothing and
// say nothing (the file was named once when it failed to load).
void SoundPlay(int slot, float volume)
{
    if (!SlotInRange(slot)) return;
    if (!gSoundTable[slot])
    {
        gChannelTable[slot] = AUDIO_CHANNEL_NULL;
        return;
    }
    SoundCheck(AudioSystemPlaySound(gSoundSystem, gSoundTable[slot], true, &gChannelTable[slot]));
    SoundCheck(AudioChannelSetVolume(gChannelTable[slot], volume));
    SoundCheck(AudioChannelSetPaused(gChannelTable[slot], false));
}

void SoundPause(int slot)
{
    if (!SlotInRange(slot)) return;
    if (!gSoundTable[slot]) return;
    bool paused = false;
    SoundCheck(AudioChannelGetPaused(gChannelTable[slot], &paused));
    if (!paused)
        AudioChannelSetPaused(gChannelTable[slot], true);
    else
        fputs("Fail: Already Paused\n", stdout);
}

void SoundUnpause(int slot)
{
    if (!SlotInRange(slot)) return;
    if (!gSoundTable[slot]) return;
    bool paused = false;
    SoundCheck(AudioChannelGetPaused(gChannelTable[slot], &paused));
    if (paused)
        AudioChannelSetPaused(gChannelTable[slot], false);
    else
        fputs("Fail: Not Paused cannot Unpause\n", stdout);
}

void SoundFreeAll()
{
    for (int slot = 0; slot < SND_NUM; ++slot) SlotFree(slot);
}

void SoundSetChannelVolumes(bool soundOn)
{
    for (AudioChannel channel : gChannelTable)
        if (channel != AUDIO_CHANNEL_NULL) AudioChannelSetVolume(channel, soundOn ? 1.0f : 0.0f);
}

void SoundUpdate()
{
    SoundCheck(AudioSystemUpdate(gSoundSystem));
}

void SoundRelease()
{
    if (SoundCheck(AudioSystemRelease(gSoundSystem)) != AUDIO_OK)
    {
        fflush(stdout);
        exit(-1);
    }
    gSoundSystem = nullptr;
    for (int slot = 0; slot < SND_NUM; ++slot)
    {
        gSoundTable[slot]   = nullptr;
        gChannelTable[slot] = AUDIO_CHANNEL_NULL;
    }
    fputs("FMOD Unload Complete\n", stdout);
}
