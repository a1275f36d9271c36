#include "platform/PlatAudio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#ifndef __EMSCRIPTEN__
#include <dlfcn.h>
#endif

static bool sOpen   = false;
static bool sSilent = false;
static std::atomic<int> sPeak{0}; // loudest output sample since the last PlatAudioTakePeak

// Runs on the mixer's thread after each buffer is mixed (16-bit samples).
static void MeasurePeak(void*, Uint8* pStream, int len)
{
    const Sint16* pSample = reinterpret_cast<const Sint16*>(pStream);
    int peak              = 0;
    for (int i = 0; i < len / 2; ++i) peak = SDL_max(peak, abs(int(pSample[i])));
    int seen = sPeak.load();
    while (peak > seen && !sPeak.compare_exchange_weak(seen, peak))
    {
    }
}

// ALSA reports every failure of its own (no sound card, no default device) on standard error before SDL
// can fall back; the fallback line of ours says all that matters. SDL loads libasound by name at run time,
// so the error handler is set on that same library the same way, when it is there; it stays loaded.
// A web page has no ALSA.
#ifndef __EMSCRIPTEN__
static void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}
#endif

static void QuietAlsa()
{
#ifndef __EMSCRIPTEN__
    static bool sDone = false;
    if (sDone) return;
    sDone         = true;
    void* pAlsa   = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    void* pSetter = pAlsa ? dlsym(pAlsa, "snd_lib_error_set_handler") : nullptr;
    typedef int (*SetHandler)(void (*)(const char*, int, const char*, int, const char*, ...));
    if (pSetter) reinterpret_cast<SetHandler>(pSetter)(QuietAlsaError);
#endif
}

// Brings the audio subsystem up (with the driver SDL chooses) and opens the mixer on it. Empty on success,
// otherwise SDL's reason.
static std::string OpenMixer(int channelNum)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return SDL_GetError();
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, 1024) != 0)
    {
        std::string why = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return why;
    }
    Mix_AllocateChannels(channelNum);
    Mix_SetPostMix(MeasurePeak, nullptr);
    return std::string();
}

std::string PlatAudioOpen(int channelNum)
{
    if (sOpen) return std::string();
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0)
        fprintf(stderr, "audio: no MP3 decoder (%s); MP3 sounds will not load\n", Mix_GetError());

    QuietAlsa();
    const char* driver = SDL_GetHint(SDL_HINT_AUDIODRIVER);
    sSilent            = driver && SDL_strcmp(driver, "dummy") == 0;
    std::string why    = OpenMixer(channelNum);
    if (!why.empty() && !sSilent)
    {
        fprintf(stderr, "audio: no audio device (%s); playing on silent output\n", why.c_str());
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        sSilent = true;
        why     = OpenMixer(channelNum);
    }
    if (!why.empty())
    {
        Mix_Quit();
        return "not even silent output could be opened: " + why;
    }
    sOpen = true;
    return std::string();
}

void PlatAudioClose()
{
    if (!sOpen) return;
    Mix_HaltChannel(-1);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sOpen = false;
}

float PlatAudioTakePeak()
{
    return float(sPeak.exchange(0)) / 32768.0f;
}

bool PlatAudioIsSilent()
{
    return sOpen && sSilent;
}

std::string PlatAudioLoad(const void* data, size_t size, PlatAudioChunk** ppChunk)
{
    SDL_RWops* pRw = SDL_RWFromConstMem(data, int(size));
    *ppChunk       = pRw ? reinterpret_cast<PlatAudioChunk*>(Mix_LoadWAV_RW(pRw, 1)) : nullptr;
    return *ppChunk ? std::string() : std::string(Mix_GetError());
}

size_t PlatAudioChunkBytes(const PlatAudioChunk* pChunk)
{
    return reinterpret_cast<const Mix_Chunk*>(pChunk)->alen;
}

void PlatAudioFree(PlatAudioChunk* pChunk)
{
    if (pChunk) Mix_FreeChunk(reinterpret_cast<Mix_Chunk*>(pChunk));
}

std::string PlatAudioPlay(int channel, PlatAudioChunk* pChunk)
{
    // A new play on a channel starts unpaused.
    if (Mix_PlayChannel(channel, reinterpret_cast<Mix_Chunk*>(pChunk), 0) == channel) return std::string();
    return Mix_GetError();
}

void PlatAudioHalt(int channel)
{
    Mix_HaltChannel(channel);
}
void PlatAudioPause(int channel)
{
    Mix_Pause(channel);
}
void PlatAudioResume(int channel)
{
    Mix_Resume(channel);
}
bool PlatAudioIsPlaying(int channel)
{
    return Mix_Playing(channel) != 0;
}
bool PlatAudioIsPaused(int channel)
{
    return Mix_Paused(channel) != 0;
}

void PlatAudioSetVolume(int channel, float volume)
{
    if (!(volume > 0.0f)) volume = 0.0f;
    if (volume > 1.0f) volume = 1.0f;
    Mix_Volume(channel, int(volume * MIX_MAX_VOLUME + 0.5f));
}

float PlatAudioGetVolume(int channel)
{
    return float(Mix_Volume(channel, -1)) / MIX_MAX_VOLUME;
}
