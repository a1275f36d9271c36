// The audio layer: a small sound system with the operations the sound manager needs (system create, init,
// update and release; sound create and release; channel play, volume, pause, playing and stop), mixed by
// the platform's audio device.
//
// Sounds are decoded whole when they are created (WAV and MP3) and play once. A play takes a free channel
// of the system's channels and starts it paused, so volume and other settings apply before the first
// sample sounds. A channel handle names a channel and the play that started it: once that play has ended,
// been stopped, or the channel has been taken by a later play, the handle is stale and answers as a
// channel that no longer plays (AUDIO_ERR_INVALID_HANDLE from every operation but AudioChannelIsPlaying,
// which reports false). When no audio device can be opened the system runs on silent output.
#pragma once

#include <cstdint>

// Results; AudioErrorString gives each its text.
enum AudioResult
{
    AUDIO_OK = 0,
    AUDIO_ERR_ALREADY_CREATED, // only one sound system can exist at a time
    AUDIO_ERR_UNINITIALIZED,   // the system has not been initialised
    AUDIO_ERR_INITIALIZED,     // the system is initialised already
    AUDIO_ERR_OUTPUT_INIT,     // no audio output could be opened, not even silent output
    AUDIO_ERR_INVALID_PARAM,   // a null or out-of-range argument
    AUDIO_ERR_INVALID_HANDLE,  // a null or stale handle
    AUDIO_ERR_FILE_NOT_FOUND,  // the sound file cannot be opened
    AUDIO_ERR_FORMAT,          // the sound file cannot be decoded
    AUDIO_ERR_CHANNEL_ALLOC,   // every channel is in use
    AUDIO_ERR_PLAY,            // the output refused to start the sound
    AUDIO_RESULT_NUM
};

struct AudioSystem;
struct AudioSound;

// A channel handle: 0 is no channel; any other value names one play on one channel.
typedef uint32_t AudioChannel;
constexpr AudioChannel AUDIO_CHANNEL_NULL = 0;

constexpr int AUDIO_CHANNEL_NUM_MAX = 100; // most channels a system can be initialised with

// The text of a result, for the error line; any value outside the table gives "an unknown audio result".
const char* AudioErrorString(int result);

AudioResult AudioSystemCreate(AudioSystem** ppSystem);
// Opens the output with channelNum channels (1 to AUDIO_CHANNEL_NUM_MAX); falls back to silent output when
// no audio device opens.
AudioResult AudioSystemInit(AudioSystem* pSystem, int channelNum);
// Once per frame: retires the channels whose sound has ended.
AudioResult AudioSystemUpdate(AudioSystem* pSystem);
// Stops every channel, frees every sound still alive, closes the output and destroys the system.
AudioResult AudioSystemRelease(AudioSystem* pSystem);

// Decodes the whole file into a new sound; *ppSound is null on failure.
AudioResult AudioSystemCreateSound(AudioSystem* pSystem, const char* fileName, AudioSound** ppSound);
// Starts the sound on the lowest free channel, paused or not, at the channel's full volume;
// *pChannel is the new handle, or AUDIO_CHANNEL_NULL on failure.
AudioResult AudioSystemPlaySound(AudioSystem* pSystem, AudioSound* pSound, bool paused,
                                 AudioChannel* pChannel);
// Stops the channels playing the sound and frees it. Null gives AUDIO_ERR_INVALID_HANDLE.
AudioResult AudioSoundRelease(AudioSound* pSound);

AudioResult AudioChannelSetVolume(AudioChannel channel, float volume); // 0.0 to 1.0, clamped
AudioResult AudioChannelGetVolume(AudioChannel channel, float* pVolume);
AudioResult AudioChannelSetPaused(AudioChannel channel, bool paused);
AudioResult AudioChannelGetPaused(AudioChannel channel, bool* pPaused);
// Never fails for a handle: a null, ended, stopped or reused channel is simply not playing. A paused
// channel counts as playing.
AudioResult AudioChannelIsPlaying(AudioChannel channel, bool* pPlaying);
AudioResult AudioChannelStop(AudioChannel channel);
