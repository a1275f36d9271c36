#include "framework/Replay.h"

#include "engine/KoGraphics.h"
#include "engine/KoInput.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace
{
const char* const VERSION_LINE = "skarnhold-replay 1";

enum ReplayKind
{
    REPLAY_KEY,    // a: key code, b: down
    REPLAY_BUTTON, // a: button, b: down
    REPLAY_MOVE    // a, b: client pixel; w, h: client size
};

struct ReplayEvent
{
    long step;
    int kind; // ReplayKind
    int a, b, w, h;
};

FILE* sOut;                            // the recording, when one is made
unsigned char sKeys[256], sButtons[3]; // the input as last written
int sCursorX = -1, sCursorY = -1;      // the cursor as last written
std::vector<ReplayEvent> sEvents;      // the replay, in file order
size_t sNext;                          // first event not yet fed
long sEndStep;                         // its end line, 0 if it has none

// FNV-1a over the bytes.
void Hash(uint64_t* pHash, const char* p, size_t n)
{
    for (size_t i = 0; i < n; ++i) *pHash = (*pHash ^ (unsigned char)p[i]) * 1099511628211ull;
}
} // namespace

namespace Replay
{

std::string DataChecksum()
{
    uint64_t hash = 14695981039346656037ull;
    for (const char* folder : {"Meshes", "Tilemaps"})
    {
        std::vector<std::string> names;
        if (DIR* pDir = opendir(folder))
        {
            while (dirent* pEntry = readdir(pDir)) names.push_back(pEntry->d_name);
            closedir(pDir);
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
        {
            std::string path = std::string(folder) + "/" + name;
            struct stat st;
            if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            std::ifstream f(path, std::ios::binary);
            std::ostringstream text;
            text << f.rdbuf();
            Hash(&hash, path.c_str(), path.size() + 1);
            Hash(&hash, text.str().data(), text.str().size());
        }
    }
    char buf[17];
    snprintf(buf, sizeof buf, "%016" PRIx64, hash);
    return buf;
}

bool Record(const std::string& path, std::string* pError)
{
    sOut = fopen(path.c_str(), "w");
    if (!sOut)
    {
        *pError = path + ": cannot write the replay";
        return false;
    }
    fprintf(sOut, "%s\ndata %s\n", VERSION_LINE, DataChecksum().c_str());
    fprintf(sOut,
            "# STEP down|up VK, STEP press|release BUTTON, STEP move X Y W H; STEP counts 1 ms steps\n");
    fflush(sOut);
    return true;
}

void RecordStep(long step)
{
    if (!sOut) return;
    bool wrote = false;
    for (int vk = 0; vk < 256; ++vk)
    {
        unsigned char down = KoInputCheckCurr((unsigned char)vk) ? 1 : 0;
        if (down == sKeys[vk]) continue;
        sKeys[vk] = down;
        fprintf(sOut, "%ld %s %d\n", step, down ? "down" : "up", vk);
        wrote = true;
    }
    for (int b = 1; b <= 2; ++b)
    {
        unsigned char down = KoInputMouseCheckCurr((unsigned char)b) ? 1 : 0;
        if (down == sButtons[b]) continue;
        sButtons[b] = down;
        fprintf(sOut, "%ld %s %d\n", step, down ? "press" : "release", b);
        wrote = true;
    }
    int x = 0, y = 0;
    KoInputGetCursorClientPos(&x, &y);
    if (x != sCursorX || y != sCursorY)
    {
        sCursorX = x;
        sCursorY = y;
        fprintf(sOut, "%ld move %d %d %d %d\n", step, x, y, KoGfxGetViewportWidth(),
                KoGfxGetViewportHeight());
        wrote = true;
    }
    if (wrote) fflush(sOut);
}

void RecordEnd(long step)
{
    if (!sOut) return;
    fprintf(sOut, "end %ld\n", step);
    fclose(sOut);
    sOut = nullptr;
}

bool Load(const std::string& path, std::string* pError)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
    {
        *pError = path + ": cannot read the replay";
        return false;
    }
    std::string line;
    if (!std::getline(f, line) || line != VERSION_LINE)
    {
        *pError = path + ": not a replay of this version (its first line must be \"" + VERSION_LINE + "\")";
        return false;
    }
    const std::string data = DataChecksum();
    if (!std::getline(f, line) || line != "data " + data)
    {
        *pError =
            path + ": recorded with other data files (\"" + line + "\", this data folder: data " + data + ")";
        return false;
    }
    sEvents.clear();
    sEndStep = 0;
    for (int lineNo = 3; std::getline(f, line); ++lineNo)
    {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string first, kind;
        if (!(words >> first)) continue;
        ReplayEvent ev{};
        std::string rest;
        bool ok = false;
        if (first == "end")
            ok = (words >> sEndStep) && sEndStep >= 0 && !(words >> rest);
        else if (sscanf(first.c_str(), "%ld", &ev.step) == 1 && ev.step >= 1 && (words >> kind))
        {
            ev.kind = kind == "down" || kind == "up" ? REPLAY_KEY
                      : kind == "move"               ? REPLAY_MOVE
                                                     : REPLAY_BUTTON;
            ev.b    = kind == "down" || kind == "press";
            if (ev.kind == REPLAY_MOVE)
                ok = (words >> ev.a >> ev.b >> ev.w >> ev.h) && ev.w > 0 && ev.h > 0;
            else
                ok = (words >> ev.a) &&
                     (kind == "down" || kind == "up"
                          ? ev.a >= 0 && ev.a <= 255
                          : (kind == "press" || kind == "release") && (ev.a == 1 || ev.a == 2));
            ok = ok && !(words >> rest) && (sEvents.empty() || sEvents.back().step <= ev.step);
            sEvents.push_back(ev);
        }
        if (!ok)
        {
            *pError = path + ":" + std::to_string(lineNo) + ": not a replay line: \"" + line + "\"";
            return false;
        }
    }
    sNext = 0;
    KoInputIgnoreLive(true);
    return true;
}

void FeedStep(long step)
{
    for (; sNext < sEvents.size() && sEvents[sNext].step <= step; ++sNext)
    {
        const ReplayEvent& ev = sEvents[sNext];
        if (ev.kind == REPLAY_KEY)
            KoInputSetKey((unsigned char)ev.a, ev.b != 0);
        else if (ev.kind == REPLAY_BUTTON)
            KoInputSetButton((unsigned char)ev.a, ev.b != 0);
        else
        {
            // The same pixel in a client area of the recorded size; scaled into another one.
            int w = KoGfxGetViewportWidth(), h = KoGfxGetViewportHeight();
            int x = ev.a, y = ev.b;
            if (w != ev.w || h != ev.h)
            {
                x = int(int64_t(x) * w / ev.w);
                y = int(int64_t(y) * h / ev.h);
            }
            KoInputSetCursor(x, y);
        }
    }
}

long EndStep()
{
    return sEndStep;
}

} // namespace Replay
