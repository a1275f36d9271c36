#include "framework/Sound.h"

#include <cstdio>

#include "engine/KoAssert.h"

AudioSystem* gSoundSystem = nullptr;
AudioSound* gSoundTable[SND_NUM];
AudioChannel gChannelTable[SND_NUM];
int gSoundResult = AUDIO_OK;

static const char* const RANGE_MESSAGE = "Fail: Index out of available range of channel\n";

int SoundCheck(int result)
{
    gSoundResult = result;
    if (result != AUDIO_OK) printf("sound: %s (audio result %d)\n", AudioErrorString(result), result);
    return result;
}

// Start-up and shut-down cannot go on without the sound system: the error line, then the reason.
static void SoundRequire(int result, const char* what)
{
    if (SoundCheck(result) != AUDIO_OK)
        KoFatal("sound: %s: %s; the game cannot go on", what, AudioErrorString(result));
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
    SoundRequire(AudioSystemCreate(&gSoundSystem), "the audio system could not be created");
    fputs("sound: audio system created\n", stdout);
    SoundRequire(AudioSystemInit(gSoundSystem, SOUND_CHANNEL_NUM), "the audio system could not start");
    printf("sound: SDL_mixer open with %d channels\n", SOUND_CHANNEL_NUM);
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
    SoundRequire(AudioSystemRelease(gSoundSystem), "the audio system could not be released");
    gSoundSystem = nullptr;
    for (int slot = 0; slot < SND_NUM; ++slot)
    {
        gSoundTable[slot]   = nullptr;
        gChannelTable[slot] = AUDIO_CHANNEL_NULL;
    }
    fputs("sound: SDL_mixer closed\n", stdout);
}
