// rand() and srand() of the web build. The game draws its chunk order, its shakes and its particles from
// the C library's rand() and never seeds it; the desktop's C library (glibc) and the browser's (emscripten's
// musl) draw different sequences from it, so a replay recorded on the desktop would play a different level
// in a page. The page therefore draws glibc's sequence: the additive generator r[i] = r[i-3] + r[i-31]
// (mod 2^32) over 34 values filled from the seed by 16807 x mod 2^31 - 1, whose outputs start at r[344],
// each shifted right by one bit.
#ifdef __EMSCRIPTEN__
#include <cstdint>
#include <cstdlib>

static const int RAND_LAGS    = 34;  // r[i] needs r[i-31] and r[i-3]: the last 34 values are enough
static const int RAND_SKIPPED = 310; // values drawn and thrown away after seeding

static uint32_t sRing[RAND_LAGS];
static int sNext    = 0; // the ring slot of the next value
static bool sSeeded = false;

static uint32_t RandNext()
{
    const uint32_t v =
        sRing[(sNext + RAND_LAGS - 31) % RAND_LAGS] + sRing[(sNext + RAND_LAGS - 3) % RAND_LAGS];
    sRing[sNext] = v;
    sNext        = (sNext + 1) % RAND_LAGS;
    return v;
}

extern "C" void srand(unsigned seed)
{
    int32_t word = seed ? int32_t(seed) : 1;
    sRing[0]     = uint32_t(word);
    for (int i = 1; i < 31; ++i)
    {
        // 16807 * word mod 2^31 - 1, without overflow (Schrage's method)
        const int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        sRing[i] = uint32_t(word);
    }
    for (int i = 31; i < RAND_LAGS; ++i) sRing[i] = sRing[i - 31];
    sNext   = 0;
    sSeeded = true;
    for (int i = 0; i < RAND_SKIPPED; ++i) RandNext();
}

extern "C" int rand()
{
    if (!sSeeded) srand(1);
    return int(RandNext() >> 1);
}
#endif
