#include "framework/Audio.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/TextFile.h"

#include "platform/PlatAudio.h"

struct AudioSystem
{
    bool initialised;
    int channelNum;
};

struct AudioSound
{
    PlatAudioChunk* pChunk;
    size_t bytes; // decoded length: every sound is decoded to the mixer's one format
};

// A channel is idle, pending (played paused: it holds its sound but the mixer has not started it yet, so
// not a single sample sounds before it is unpaused) or started on the mixer.
struct AudioChannelState
{
    uint32_t generation; // counts the plays on this channel; part of every handle
    AudioSound* pSound;
    bool pending;
    bool started;
    uint64_t playNumber; // when the play started, counted in plays
};

// A handle is the channel number + 1 in its low bits and the channel's generation above them.
static const uint32_t CHANNEL_BITS = 7;
static const uint32_t CHANNEL_MASK = (1u << CHANNEL_BITS) - 1;
static_assert(AUDIO_CHANNEL_NUM_MAX <= int(CHANNEL_MASK), "channel numbers must fit the handle");

static AudioSystem sSystem;
static bool sSystemCreated = false;
static AudioChannelState sChannels[AUDIO_CHANNEL_NUM_MAX];
static std::vector<AudioSound*> sSounds; // every sound alive
static uint64_t sPlayCount = 0;          // plays started since the program began

static const char* const sErrorTexts[AUDIO_RESULT_NUM] = {
    "no error",
    "a sound system exists already",
    "the sound system has not been initialised",
    "the sound system has been initialised already",
    "SDL_mixer could open no audio output, not even a silent one",
    "an invalid parameter",
    "an invalid or stale handle",
    "the sound file could not be opened",
    "SDL_mixer cannot decode the sound file: damaged, or neither WAV nor MP3",
    "every channel is in use",
    "SDL_mixer refused to play the sound",
};

const char* AudioErrorString(int result)
{
    if (result < 0 || result >= AUDIO_RESULT_NUM) return "an unknown audio result";
    return sErrorTexts[result];
}

static bool SoundAlive(const AudioSound* pSound)
{
    return pSound && std::find(sSounds.begin(), sSounds.end(), pSound) != sSounds.end();
}

static void ChannelRetire(AudioChannelState* pCh)
{
    pCh->pSound  = nullptr;
    pCh->pending = false;
    pCh->started = false;
}

// Starts the channel's play (pending or new). When the mixer refuses, standard error says why and the
// channel is idle again.
static bool ChannelStart(int index)
{
    AudioChannelState* pCh = &sChannels[index];
    const std::string why  = PlatAudioPlay(index, pCh->pSound->pChunk);
    pCh->pending           = false;
    pCh->started           = why.empty();
    if (pCh->started) return true;
    fprintf(stderr, "audio: SDL_mixer did not play on channel %d: %s\n", index, why.c_str());
    ChannelRetire(pCh);
    return false;
}

// A started channel whose sound has ended becomes idle. True while the channel holds a play.
static bool ChannelLive(int index)
{
    AudioChannelState* pCh = &sChannels[index];
    if (pCh->started && !PlatAudioIsPlaying(index)) ChannelRetire(pCh);
    return pCh->pending || pCh->started;
}

// The channel index a handle names while its play is alive, else -1.
static int ChannelLookup(AudioChannel channel)
{
    if (!sSystemCreated || !sSystem.initialised) return -1;
    int index = int(channel & CHANNEL_MASK) - 1;
    if (index < 0 || index >= sSystem.channelNum) return -1;
    if (sChannels[index].generation != (channel >> CHANNEL_BITS)) return -1;
    return ChannelLive(index) ? index : -1;
}

static AudioChannel ChannelHandle(int index)
{
    return (sChannels[index].generation << CHANNEL_BITS) | uint32_t(index + 1);
}

static void ChannelStop(int index)
{
    if (sChannels[index].started) PlatAudioHalt(index);
    ChannelRetire(&sChannels[index]);
}

// With every channel busy a new play takes a sounding (not paused) channel, as a mixer of a fixed number of
// voices does: the oldest play of the shortest sound, so effects give way before music; -1 when every
// channel is paused or pending. The mixer plays in real time, so a game running faster than that
// (headless, on the fixed clock) keeps many more sounds alive than its own time would: without this their
// plays would be refused.
static int ChannelToTake()
{
    int taken = -1;
    for (int i = 0; i < sSystem.channelNum; ++i)
    {
        const AudioChannelState& ch = sChannels[i];
        if (!ch.started || PlatAudioIsPaused(i)) continue;
        const AudioChannelState* pBest = taken < 0 ? nullptr : &sChannels[taken];
        if (!pBest || ch.pSound->bytes < pBest->pSound->bytes ||
            (ch.pSound->bytes == pBest->pSound->bytes && ch.playNumber < pBest->playNumber))
            taken = i;
    }
    return taken;
}

AudioResult AudioSystemCreate(AudioSystem** ppSystem)
{
    if (!ppSystem) return AUDIO_ERR_INVALID_PARAM;
    if (sSystemCreated) return AUDIO_ERR_ALREADY_CREATED;
    sSystem        = AudioSystem{false, 0};
    sSystemCreated = true;
    *ppSystem      = &sSystem;
    return AUDIO_OK;
}

AudioResult AudioSystemInit(AudioSystem* pSystem, int channelNum)
{
    if (pSystem != &sSystem || !sSystemCreated) return AUDIO_ERR_INVALID_PARAM;
    if (sSystem.initialised) return AUDIO_ERR_INITIALIZED;
    if (channelNum < 1 || channelNum > AUDIO_CHANNEL_NUM_MAX) return AUDIO_ERR_INVALID_PARAM;
    const std::string why = PlatAudioOpen(channelNum);
    if (!why.empty())
    {
        fprintf(stderr, "audio: %s\n", why.c_str());
        return AUDIO_ERR_OUTPUT_INIT;
    }
    for (AudioChannelState& ch : sChannels) ch = AudioChannelState{0, nullptr, false, false, 0};
    sSystem.initialised = true;
    sSystem.channelNum  = channelNum;
    return AUDIO_OK;
}

AudioResult AudioSystemUpdate(AudioSystem* pSystem)
{
    if (pSystem != &sSystem || !sSystemCreated) return AUDIO_ERR_INVALID_PARAM;
    if (!sSystem.initialised) return AUDIO_ERR_UNINITIALIZED;
    for (int i = 0; i < sSystem.channelNum; ++i) ChannelLive(i);
    return AUDIO_OK;
}

AudioResult AudioSystemRelease(AudioSystem* pSystem)
{
    if (pSystem != &sSystem || !sSystemCreated) return AUDIO_ERR_INVALID_PARAM;
    if (sSystem.initialised)
    {
        for (int i = 0; i < sSystem.channelNum; ++i) ChannelStop(i);
        for (AudioSound* pSound : sSounds)
        {
            PlatAudioFree(pSound->pChunk);
            delete pSound;
        }
        sSounds.clear();
        PlatAudioClose();
    }
    sSystem        = AudioSystem{false, 0};
    sSystemCreated = false;
    return AUDIO_OK;
}

// A sound file that cannot be used is named once on standard error, however often it is loaded.
static void NameSilentSound(const char* fileName, const std::string& why)
{
    static std::vector<std::string> sNamed;
    if (std::find(sNamed.begin(), sNamed.end(), fileName) != sNamed.end()) return;
    sNamed.push_back(fileName);
    TextFileComplain(fileName, why + "; it stays silent");
}

AudioResult AudioSystemCreateSound(AudioSystem* pSystem, const char* fileName, AudioSound** ppSound)
{
    if (ppSound) *ppSound = nullptr;
    if (!ppSound || !fileName) return AUDIO_ERR_INVALID_PARAM;
    if (pSystem != &sSystem || !sSystemCreated) return AUDIO_ERR_INVALID_PARAM;
    if (!sSystem.initialised) return AUDIO_ERR_UNINITIALIZED;

    std::string data, why;
    PlatAudioChunk* pChunk = nullptr;
    TextFileResult read    = TextFileCheck(fileName, &data, &why);
    if (read == TEXT_FILE_READ)
    {
        why = PlatAudioLoad(data.data(), data.size(), &pChunk);
        if (!why.empty()) why = "cannot be decoded (" + why + ")";
    }
    if (!pChunk)
    {
        NameSilentSound(fileName, why);
        return read == TEXT_FILE_READ ? AUDIO_ERR_FORMAT : AUDIO_ERR_FILE_NOT_FOUND;
    }
    AudioSound* pSound = new AudioSound{pChunk, PlatAudioChunkBytes(pChunk)};
    sSounds.push_back(pSound);
    *ppSound = pSound;
    return AUDIO_OK;
}

AudioResult AudioSystemPlaySound(AudioSystem* pSystem, AudioSound* pSound, bool paused,
                                 AudioChannel* pChannel)
{
    if (pChannel) *pChannel = AUDIO_CHANNEL_NULL;
    if (!pChannel || pSystem != &sSystem || !sSystemCreated) return AUDIO_ERR_INVALID_PARAM;
    if (!sSystem.initialised) return AUDIO_ERR_UNINITIALIZED;
    if (!SoundAlive(pSound)) return AUDIO_ERR_INVALID_HANDLE;

    int index = 0;
    while (index < sSystem.channelNum && ChannelLive(index)) ++index;
    if (index == sSystem.channelNum) index = ChannelToTake();
    if (index < 0) return AUDIO_ERR_CHANNEL_ALLOC;
    ChannelStop(index);

    AudioChannelState* pCh = &sChannels[index];
    pCh->generation        = (pCh->generation + 1) & (~0u >> CHANNEL_BITS);
    pCh->pSound            = pSound;
    pCh->playNumber        = ++sPlayCount;
    PlatAudioSetVolume(index, 1.0f);
    if (paused)
        pCh->pending = true;
    else if (!ChannelStart(index))
        return AUDIO_ERR_PLAY;
    *pChannel = ChannelHandle(index);
    return AUDIO_OK;
}

AudioResult AudioSoundRelease(AudioSound* pSound)
{
    if (!SoundAlive(pSound)) return AUDIO_ERR_INVALID_HANDLE;
    for (int i = 0; i < sSystem.channelNum; ++i)
        if (sChannels[i].pSound == pSound) ChannelStop(i);
    PlatAudioFree(pSound->pChunk);
    sSounds.erase(std::find(sSounds.begin(), sSounds.end(), pSound));
    delete pSound;
    return AUDIO_OK;
}

AudioResult AudioChannelSetVolume(AudioChannel channel, float volume)
{
    int index = ChannelLookup(channel);
    if (index < 0) return AUDIO_ERR_INVALID_HANDLE;
    PlatAudioSetVolume(index, volume);
    return AUDIO_OK;
}

AudioResult AudioChannelGetVolume(AudioChannel channel, float* pVolume)
{
    if (!pVolume) return AUDIO_ERR_INVALID_PARAM;
    int index = ChannelLookup(channel);
    if (index < 0) return AUDIO_ERR_INVALID_HANDLE;
    *pVolume = PlatAudioGetVolume(index);
    return AUDIO_OK;
}

AudioResult AudioChannelSetPaused(AudioChannel channel, bool paused)
{
    int index = ChannelLookup(channel);
    if (index < 0) return AUDIO_ERR_INVALID_HANDLE;
    AudioChannelState* pCh = &sChannels[index];
    if (pCh->pending)
    {
        if (paused) return AUDIO_OK;
        if (!ChannelStart(index)) return AUDIO_ERR_PLAY;
    }
    else if (paused)
        PlatAudioPause(index);
    else
        PlatAudioResume(index);
    return AUDIO_OK;
}

AudioResult AudioChannelGetPaused(AudioChannel channel, bool* pPaused)
{
    if (!pPaused) return AUDIO_ERR_INVALID_PARAM;
    int index = ChannelLookup(channel);
    if (index < 0) return AUDIO_ERR_INVALID_HANDLE;
    *pPaused = sChannels[index].pending || PlatAudioIsPaused(index);
    return AUDIO_OK;
}

AudioResult AudioChannelIsPlaying(AudioChannel channel, bool* pPlaying)
{
    if (!pPlaying) return AUDIO_ERR_INVALID_PARAM;
    *pPlaying = ChannelLookup(channel) >= 0;
    return AUDIO_OK;
}

AudioResult AudioChannelStop(AudioChannel channel)
{
    int index = ChannelLookup(channel);
    if (index < 0) return AUDIO_ERR_INVALID_HANDLE;
    ChannelStop(index);
    return AUDIO_OK;
}
