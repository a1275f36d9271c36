#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace Synth
{

static const float TWO_PI = 6.28318531f;

static float SweepAt(const Sweep& s, float u)
{
    if (s.a > 0 && s.b > 0) return s.a * std::pow(s.b / s.a, u);
    return s.a + (s.b - s.a) * u;
}

// Band-limited step correction for the saw and square oscillators.
static float PolyBlep(float t, float dt)
{
    if (t < dt)
    {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt)
    {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

struct Biquad
{
    float b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0, z1 = 0, z2 = 0;
};

static void BandPass(Biquad* q, float hz, float quality)
{
    float w     = TWO_PI * std::min(hz, RATE * 0.45f) / RATE;
    float alpha = std::sin(w) / (2 * quality), a0 = 1 + alpha;
    q->b0 = alpha / a0;
    q->b1 = 0;
    q->b2 = -alpha / a0;
    q->a1 = -2 * std::cos(w) / a0;
    q->a2 = (1 - alpha) / a0;
}

static float Run(Biquad* q, float x)
{
    float y = q->b0 * x + q->z1;
    q->z1   = q->b1 * x - q->a1 * y + q->z2;
    q->z2   = q->b2 * x - q->a2 * y;
    return y;
}

static float Noise(uint32_t* s)
{
    *s ^= *s << 13;
    *s ^= *s >> 17;
    *s ^= *s << 5;
    return (float)(*s & 0xFFFFFF) / 8388608.0f - 1.0f;
}

static float Drum(Wave w, float t, uint32_t* seed)
{
    switch (w)
    {
        case WAVE_KICK:
        {
            // pitch falls from 160 Hz towards 42 Hz; phase is the integral of that
            float ph    = 42 * t + (160 - 42) * 0.03f * (1 - std::exp(-t / 0.03f));
            float body  = std::sin(TWO_PI * ph) * std::exp(-t / 0.2f);
            float click = t < 0.004f ? Noise(seed) * (1 - t / 0.004f) * 0.5f : 0;
            return body + click;
        }
        case WAVE_SNARE:
            return Noise(seed) * std::exp(-t / 0.08f) * 0.8f +
                   std::sin(TWO_PI * 185 * t) * std::exp(-t / 0.04f) * 0.6f;
        case WAVE_HAT:
            return Noise(seed) * std::exp(-t / 0.025f);
        default:
            return 0;
    }
}

void RenderVoice(const Voice& v, std::vector<float>* buf)
{
    int first = (int)std::lround(v.start * RATE);
    int n     = (int)std::lround(v.dur * RATE);
    if (n <= 0) return;
    if ((int)buf->size() < first + n) buf->resize(first + n, 0.0f);
    uint32_t seed = v.seed * 2654435761u + 12345u;
    if (seed == 0) seed = 1;
    float phase = 0, phase2 = 0, lp1 = 0, lp2 = 0, hp1 = 0, hp2 = 0;
    Biquad f1, f2;
    bool drum = v.wave == WAVE_KICK || v.wave == WAVE_SNARE || v.wave == WAVE_HAT;
    for (int i = 0; i < n; ++i)
    {
        float t = (float)i / RATE, u = (float)i / n;
        float hz = v.freq.set ? SweepAt(v.freq, u) : 220.0f;
        if (v.vibDepth > 0) hz *= std::pow(2.0f, v.vibDepth / 12.0f * std::sin(TWO_PI * v.vibRate * t));
        float dt = hz / RATE, dt2 = dt * std::pow(2.0f, v.detune / 12.0f);
        float x = 0;
        if (drum)
            x = Drum(v.wave, t, &seed);
        else
            for (int osc = 0; osc < (v.detune != 0 ? 2 : 1); ++osc)
            {
                float& ph = osc == 0 ? phase : phase2;
                float d = osc == 0 ? dt : dt2, s = 0;
                switch (v.wave)
                {
                    case WAVE_SINE:
                        s = std::sin(TWO_PI * ph);
                        break;
                    case WAVE_SQUARE:
                    {
                        s = ph < v.duty ? 1.0f : -1.0f;
                        s += PolyBlep(ph, d);
                        float q = ph - v.duty + (ph < v.duty ? 1.0f : 0.0f);
                        s -= PolyBlep(q, d);
                        break;
                    }
                    case WAVE_SAW:
                        s = 2 * ph - 1 - PolyBlep(ph, d);
                        break;
                    case WAVE_TRI:
                        s = 4 * std::fabs(ph - 0.5f) - 1;
                        break;
                    default:
                        s = Noise(&seed);
                        break;
                }
                x += v.detune != 0 ? s * 0.6f : s;
                ph += d;
                ph -= std::floor(ph);
            }
        if (v.formant1.set)
        {
            if ((i & 31) == 0)
            {
                BandPass(&f1, SweepAt(v.formant1, u), 6);
                BandPass(&f2, SweepAt(v.formant2.set ? v.formant2 : v.formant1, u), 8);
            }
            x = Run(&f1, x) * 2.0f + Run(&f2, x) * 1.4f + x * 0.05f;
        }
        if (v.lowpass.set)
        {
            float a = 1 - std::exp(-TWO_PI * SweepAt(v.lowpass, u) / RATE);
            lp1 += a * (x - lp1);
            lp2 += a * (lp1 - lp2);
            x = lp2;
        }
        if (v.highpass.set)
        {
            float a = 1 - std::exp(-TWO_PI * SweepAt(v.highpass, u) / RATE);
            hp1 += a * (x - hp1);
            x -= hp1;
            hp2 += a * (x - hp2);
            x -= hp2;
        }
        float env = v.attack > 0 && t < v.attack ? t / v.attack : 1.0f;
        if (v.decay > 0 && t >= v.attack) env *= std::exp(-(t - v.attack) / v.decay);
        float left = v.dur - t;
        if (v.release > 0 && left < v.release) env *= left / v.release;
        if (v.tremDepth > 0) env *= 1 - v.tremDepth * (0.5f + 0.5f * std::sin(TWO_PI * v.tremRate * t));
        (*buf)[first + i] += x * env * v.gain;
    }
}

bool NoteFreq(const std::string& name, float* hz)
{
    static const int semis[7] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g from c
    if (name.size() < 2 || name[0] < 'a' || name[0] > 'g') return false;
    int s    = semis[name[0] - 'a'];
    size_t i = 1;
    if (name[i] == '#')
        ++s, ++i;
    else if (name[i] == 'b' && name.size() > 2)
        --s, ++i;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '8') return false;
    int midi = 12 * (name[i] - '0' + 1) + s;
    *hz      = 440.0f * std::pow(2.0f, (midi - 69) / 12.0f);
    return true;
}

// ---- recipes ---------------------------------------------------------------------------------------------

struct Instrument
{
    Voice v;
    float gate     = 0.9f;
    float echoTime = 0, echoFeedback = 0, echoMix = 0;
    std::vector<float> bus;
};

static bool ParseSweep(const std::string& tok, Sweep* s)
{
    char* end = nullptr;
    s->a      = strtof(tok.c_str(), &end);
    if (end == tok.c_str()) return false;
    s->b = s->a;
    if (*end == '>')
    {
        const char* rest = end + 1;
        s->b             = strtof(rest, &end);
        if (end == rest) return false;
    }
    s->set = true;
    return *end == 0;
}

static bool ParseNum(const std::string& tok, float* f)
{
    char* end = nullptr;
    *f        = strtof(tok.c_str(), &end);
    return !tok.empty() && *end == 0;
}

// Reads "key value..." pairs of a voice or an instrument from tok[from..].
static bool ParseVoice(const std::vector<std::string>& tok, size_t from, Voice* v, Instrument* ins,
                       std::string* err)
{
    static const std::map<std::string, Wave> waves = {
        {"sine", WAVE_SINE},   {"square", WAVE_SQUARE}, {"saw", WAVE_SAW},     {"tri", WAVE_TRI},
        {"noise", WAVE_NOISE}, {"kick", WAVE_KICK},     {"snare", WAVE_SNARE}, {"hat", WAVE_HAT}};
    for (size_t i = from; i < tok.size(); ++i)
    {
        const std::string& k = tok[i];
        auto w               = waves.find(k);
        if (w != waves.end())
        {
            v->wave = w->second;
            if (v->wave == WAVE_KICK || v->wave == WAVE_SNARE || v->wave == WAVE_HAT)
                v->dur = 0.5f, v->release = 0.02f;
            continue;
        }
        auto need = [&](size_t count)
        {
            if (i + count < tok.size()) return true;
            *err = "'" + k + "' needs " + std::to_string(count) + " value(s)";
            return false;
        };
        bool ok = true;
        if (k == "freq" || k == "lowpass" || k == "highpass")
        {
            if (!need(1)) return false;
            Sweep* s = k == "freq" ? &v->freq : k == "lowpass" ? &v->lowpass : &v->highpass;
            ok       = ParseSweep(tok[++i], s);
        }
        else if (k == "formant")
        {
            if (!need(2)) return false;
            ok = ParseSweep(tok[i + 1], &v->formant1) && ParseSweep(tok[i + 2], &v->formant2);
            i += 2;
        }
        else if (k == "vibrato" || k == "tremolo")
        {
            if (!need(2)) return false;
            float* a = k == "vibrato" ? &v->vibRate : &v->tremRate;
            float* b = k == "vibrato" ? &v->vibDepth : &v->tremDepth;
            ok       = ParseNum(tok[i + 1], a) && ParseNum(tok[i + 2], b);
            i += 2;
        }
        else if (k == "echo" && ins)
        {
            if (!need(3)) return false;
            ok = ParseNum(tok[i + 1], &ins->echoTime) && ParseNum(tok[i + 2], &ins->echoFeedback) &&
                 ParseNum(tok[i + 3], &ins->echoMix) && ins->echoFeedback < 1;
            i += 3;
        }
        else
        {
            static const char* keys[] = {"start", "dur",  "attack", "decay", "release",
                                         "gain",  "duty", "detune", "seed",  "gate"};
            float* dest[]             = {&v->start, &v->dur,  &v->attack, &v->decay, &v->release,
                                         &v->gain,  &v->duty, &v->detune, nullptr,   ins ? &ins->gate : nullptr};
            size_t idx                = 0;
            while (idx < 10 && k != keys[idx]) ++idx;
            if (idx == 10 || (idx == 9 && !ins))
            {
                *err = "unknown setting '" + k + "'";
                return false;
            }
            if (!need(1)) return false;
            float val;
            ok = ParseNum(tok[++i], &val);
            if (idx == 8)
                v->seed = (uint32_t)val;
            else
                *dest[idx] = val;
        }
        if (!ok)
        {
            *err = "bad value for '" + k + "'";
            return false;
        }
    }
    return true;
}

static void ApplyEcho(Instrument* ins, size_t length)
{
    ins->bus.resize(length, 0.0f);
    if (ins->echoTime <= 0) return;
    size_t d = (size_t)(ins->echoTime * RATE);
    std::vector<float> wet(length, 0.0f);
    for (size_t i = d; i < length; ++i) wet[i] = (ins->bus[i - d] + wet[i - d]) * ins->echoFeedback;
    for (size_t i = 0; i < length; ++i) ins->bus[i] += wet[i] * ins->echoMix;
}

// A recipe as read: its instruments, its patterns (lines of tokens, an instrument and its steps) and its song
// (pattern names in playing order), and the song's timing.
struct Recipe
{
    std::map<std::string, Instrument> instruments;
    std::map<std::string, std::vector<std::vector<std::string>>> patterns;
    std::vector<std::string> song;
    float tempo = 120, steps = 4, length = 0;
};

// Cuts the comment off a recipe line and returns its words: '#' starts a comment at the start of a word;
// inside a note name it is a sharp.
static std::vector<std::string> RecipeTokens(std::string* pLine)
{
    std::string& line = *pLine;
    for (size_t h = 0; h < line.size(); ++h)
        if (line[h] == '#' && (h == 0 || isspace((unsigned char)line[h - 1])))
        {
            line.erase(h);
            break;
        }
    std::istringstream ls(line);
    std::vector<std::string> tok;
    std::string t;
    while (ls >> t) tok.push_back(t);
    return tok;
}

// Plays the song's patterns onto the instruments' buses; *pEnd is where the song ends, in seconds.
static bool PlaySong(Recipe* r, double* pEnd, std::string* err)
{
    float stepLen = 60.0f / r->tempo / r->steps;
    double cursor = 0;
    int voiceNo   = 0;
    for (const std::string& name : r->song)
    {
        size_t patLen = 0;
        for (const auto& tl : r->patterns[name])
        {
            patLen          = std::max(patLen, tl.size() - 1);
            Instrument& ins = r->instruments[tl[0]];
            for (size_t s = 1; s < tl.size(); ++s)
            {
                const std::string& tk = tl[s];
                if (tk == "." || tk == "-") continue;
                size_t held = 1;
                while (s + held < tl.size() && tl[s + held] == "-") ++held;
                Voice v   = ins.v;
                v.start   = (float)(cursor + (s - 1) * stepLen);
                v.seed    = ins.v.seed * 7919u + (uint32_t)(++voiceNo);
                bool drum = v.wave == WAVE_KICK || v.wave == WAVE_SNARE || v.wave == WAVE_HAT;
                if (tk == "x" || tk == "X")
                {
                    if (tk == "X") v.gain *= 1.35f;
                    if (!drum && !v.freq.set)
                    {
                        *err = "pattern " + name + ": '" + tk + "' needs a pitched note";
                        return false;
                    }
                    if (!drum) v.dur = held * stepLen * ins.gate;
                }
                else
                {
                    float hz;
                    if (!NoteFreq(tk, &hz))
                    {
                        *err = "pattern " + name + ": bad note '" + tk + "'";
                        return false;
                    }
                    float ratio = v.freq.set && v.freq.a > 0 ? v.freq.b / v.freq.a : 1.0f;
                    v.freq.a    = hz;
                    v.freq.b    = hz * ratio;
                    v.freq.set  = true;
                    if (!drum) v.dur = held * stepLen * ins.gate;
                }
                RenderVoice(v, &ins.bus);
            }
        }
        cursor += patLen * stepLen;
    }
    *pEnd = cursor;
    return true;
}

// The voices already in *out, the instruments' buses with their echoes and the song's end make the length
// (or the recipe's own length); the buses are mixed into *out.
static void MixDown(Recipe* r, double songEnd, std::vector<float>* out)
{
    size_t total = out->size();
    for (auto& kv : r->instruments) total = std::max(total, kv.second.bus.size());
    if (!r->song.empty()) total = std::max(total, (size_t)(songEnd * RATE));
    if (r->length > 0) total = (size_t)(r->length * RATE);
    out->resize(total, 0.0f);
    for (auto& kv : r->instruments)
    {
        ApplyEcho(&kv.second, total);
        for (size_t i = 0; i < total; ++i) (*out)[i] += kv.second.bus[i];
    }
}

bool RenderRecipe(const std::string& text, const std::string& fileName, std::vector<float>* out,
                  std::string* outName, float* peakDb, std::string* err)
{
    Recipe r;
    *peakDb = -3;
    outName->clear();
    out->clear();
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    std::string openPattern;
    auto fail = [&](const std::string& msg)
    {
        *err = fileName + ":" + std::to_string(lineNo) + ": " + msg;
        return false;
    };
    while (std::getline(in, line))
    {
        ++lineNo;
        std::vector<std::string> tok = RecipeTokens(&line);
        if (tok.empty()) continue;
        if (!openPattern.empty())
        {
            if (tok[0] == "end")
                openPattern.clear();
            else if (!r.instruments.count(tok[0]))
                return fail("no instrument '" + tok[0] + "'");
            else
                r.patterns[openPattern].push_back(tok);
            continue;
        }
        const std::string& cmd = tok[0];
        if (cmd == "out")
        {
            size_t q0 = line.find('"'), q1 = line.rfind('"');
            if (q0 == std::string::npos || q1 <= q0 + 1) return fail("usage: out \"FILE\"");
            *outName = line.substr(q0 + 1, q1 - q0 - 1);
        }
        else if (cmd == "peak" || cmd == "tempo" || cmd == "steps" || cmd == "length")
        {
            float v;
            if (tok.size() != 2 || !ParseNum(tok[1], &v)) return fail("usage: " + cmd + " NUMBER");
            if (cmd == "peak") *peakDb = v;
            if (cmd == "tempo") r.tempo = v;
            if (cmd == "steps") r.steps = v;
            if (cmd == "length") r.length = v;
        }
        else if (cmd == "voice")
        {
            Voice v;
            v.seed = (uint32_t)lineNo;
            std::string msg;
            if (!ParseVoice(tok, 1, &v, nullptr, &msg)) return fail(msg);
            RenderVoice(v, out);
        }
        else if (cmd == "instrument")
        {
            if (tok.size() < 3) return fail("usage: instrument NAME SETTINGS...");
            Instrument ins;
            ins.v.seed = (uint32_t)lineNo;
            std::string msg;
            if (!ParseVoice(tok, 2, &ins.v, &ins, &msg)) return fail(msg);
            r.instruments[tok[1]] = ins;
        }
        else if (cmd == "pattern")
        {
            if (tok.size() != 2) return fail("usage: pattern NAME");
            openPattern = tok[1];
            r.patterns[openPattern].clear();
        }
        else if (cmd == "song")
        {
            for (size_t i = 1; i < tok.size(); ++i)
            {
                std::string name = tok[i];
                int times        = 1;
                size_t star      = name.find('*');
                if (star != std::string::npos)
                {
                    times = atoi(name.c_str() + star + 1);
                    name.erase(star);
                }
                if (!r.patterns.count(name) || times < 1) return fail("no pattern '" + tok[i] + "'");
                for (int k = 0; k < times; ++k) r.song.push_back(name);
            }
        }
        else
            return fail("unknown command '" + cmd + "'");
    }
    if (!openPattern.empty()) return fail("pattern without end");
    if (outName->empty()) return fail("no out line");

    double songEnd = 0;
    std::string msg;
    if (!PlaySong(&r, &songEnd, &msg)) return fail(msg);
    MixDown(&r, songEnd, out);
    if (out->empty()) return fail("the recipe makes no sound");
    return true;
}

void Normalise(std::vector<float>* buf, float peakDb)
{
    float peak = 0;
    for (float s : *buf) peak = std::max(peak, std::fabs(s));
    if (peak <= 0) return;
    float g = std::pow(10.0f, peakDb / 20.0f) / peak;
    for (float& s : *buf) s *= g;
}

static void Put(std::string* s, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) *s += (char)((v >> (8 * i)) & 0xFF);
}

std::string EncodeWav(const std::vector<float>& buf)
{
    std::string s = "RIFF";
    uint32_t data = (uint32_t)buf.size() * 2;
    Put(&s, 36 + data, 4);
    s += "WAVEfmt ";
    Put(&s, 16, 4);
    Put(&s, 1, 2); // PCM
    Put(&s, 1, 2); // mono
    Put(&s, RATE, 4);
    Put(&s, RATE * 2, 4);
    Put(&s, 2, 2);
    Put(&s, 16, 2);
    s += "data";
    Put(&s, data, 4);
    for (float f : buf)
    {
        float c = std::max(-1.0f, std::min(1.0f, f));
        Put(&s, (uint32_t)(int32_t)std::lround(c * 32767.0f), 2);
    }
    return s;
}

} // namespace Synth
