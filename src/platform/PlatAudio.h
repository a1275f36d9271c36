// The audio device and its mixer (SDL2_mixer): whole decoded sounds ("chunks") played on numbered
// channels. This header never includes SDL.
#pragma once

#include <cstddef>
#include <string>

struct PlatAudioChunk;

// Opens the mixer with channelNum channels on the system's audio device, or on SDL's dummy driver
// (silent output) when no device opens (said on standard error). Empty when it is open; otherwise why not
// even silent output could be opened.
std::string PlatAudioOpen(int channelNum);
void PlatAudioClose();
// True while the mixer runs on silent output.
bool PlatAudioIsSilent();
// The loudest sample the mixer has put out since the previous call, 0.0 to 1.0: what a listener hears.
float PlatAudioTakePeak();

// Decodes a whole WAV or MP3 file held in memory into *ppChunk. Empty on success; otherwise why it cannot
// be decoded (*ppChunk is then null).
std::string PlatAudioLoad(const void* data, size_t size, PlatAudioChunk** ppChunk);
// The decoded length of a chunk in bytes.
size_t PlatAudioChunkBytes(const PlatAudioChunk* pChunk);
// Frees a chunk; the mixer first halts every channel playing it.
void PlatAudioFree(PlatAudioChunk* pChunk);

// Plays the chunk once on the channel, from the start and unpaused. Empty on success; otherwise why the
// mixer refused.
std::string PlatAudioPlay(int channel, PlatAudioChunk* pChunk);
void PlatAudioHalt(int channel);
void PlatAudioPause(int channel);
void PlatAudioResume(int channel);
// Playing includes paused; a channel stops playing when its sound has ended.
bool PlatAudioIsPlaying(int channel);
bool PlatAudioIsPaused(int channel);
// 0.0 to 1.0; also applies to a channel that is not playing yet.
void PlatAudioSetVolume(int channel, float volume);
float PlatAudioGetVolume(int channel);
