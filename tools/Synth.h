// The sound synthesiser of soundgen: voices (oscillator or noise, envelope, pitch sweep, filters) rendered
// into a mono buffer, recipes for effects and for pattern-based music, and WAV output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Synth
{

const int RATE = 44100;

enum Wave
{
    WAVE_SINE,
    WAVE_SQUARE,
    WAVE_SAW,
    WAVE_TRI,
    WAVE_NOISE,
    WAVE_KICK, // drum voices: fixed recipes that ignore the pitch
    WAVE_SNARE,
    WAVE_HAT,
};

// A value that may glide from a to b over the voice's duration (exponentially when both are positive).
struct Sweep
{
    float a = 0, b = 0;
    bool set = false;
};

struct Voice
{
    Wave wave = WAVE_SINE;
    Sweep freq;           // Hz
    float start   = 0;    // seconds
    float dur     = 0.1f; // seconds
    float attack  = 0.005f;
    float decay   = 0; // exponential decay time constant after the attack; 0 = sustain
    float release = 0.01f;
    float gain    = 1;
    float duty    = 0.5f; // square waves
    Sweep lowpass, highpass;
    Sweep formant1, formant2;        // vowel band-passes, in parallel
    float vibRate = 0, vibDepth = 0; // Hz, semitones
    float tremRate = 0, tremDepth = 0;
    float detune  = 0; // a second oscillator this many semitones away
    uint32_t seed = 1;
};

// Adds one voice into buf (grown as needed).
void RenderVoice(const Voice& v, std::vector<float>* buf);

// Parses a recipe (effect or song) and renders it. outName gets the file name from its "out" line and
// peakDb the level its peak is set to. Errors name the line.
bool RenderRecipe(const std::string& text, const std::string& fileName, std::vector<float>* out,
                  std::string* outName, float* peakDb, std::string* err);

// Scales the buffer so that its largest magnitude is at peakDb dBFS (nothing for silence).
void Normalise(std::vector<float>* buf, float peakDb);
// 16-bit mono PCM WAV at RATE.
std::string EncodeWav(const std::vector<float>& buf);
// Frequency of a note name such as "a4", "c#3" or "eb5"; false for anything else.
bool NoteFreq(const std::string& name, float* hz);

} // namespace Synth
