#include "framework/Replay.h"

#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "framework/TextFile.h"
#include "platform/PlatFiles.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
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
std::string sOutPath;                  // its path, for messages
size_t sOutBytes;                      // what it holds so far
bool sOutFailed;                       // a write failed: the run ends
std::string sOutText;                  // the lines of one step, written at once
unsigned char sKeys[256], sButtons[3]; // the input as last written
int sCursorX = -1, sCursorY = -1;      // the cursor as last written
std::vector<ReplayEvent> sEvents;      // the replay, in file order
size_t sNext;                          // first event not yet fed
bool sPlaying;                         // a replay was loaded
std::string sPath;                     // its path, for messages
long sEndStep;                         // its end line, or its last input's step when it has none
bool sCutShort;                        // it has no end line (said once it ends)
dev_t sDevice;                         // the file it was read from
ino_t sInode;

// Room kept for the end line: a recording stops before it would grow past what a replay may hold.
const size_t END_LINE_ROOM = 64;

// FNV-1a over the bytes.
void Hash(uint64_t* pHash, const char* p, size_t n)
{
    for (size_t i = 0; i < n; ++i) *pHash = (*pHash ^ (unsigned char)p[i]) * 1099511628211ull;
}

// A step stamp: decimal digits only, from 1 to the largest long.
bool ParseStep(const std::string& text, long* pStep)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno  = 0;
    *pStep = strtol(text.c_str(), nullptr, 10);
    return errno == 0 && *pStep >= 1;
}

// Appends the text to the recording and flushes it: 0, or the errno value of the failure.
int RecordWrite(const std::string& text)
{
    errno = 0;
    if (fwrite(text.data(), 1, text.size(), sOut) != text.size() || fflush(sOut) != 0)
        return errno ? errno : EIO;
    sOutBytes += text.size();
    return 0;
}

// Closes the recording: 0, or the errno value of the failure.
int RecordCloseFile()
{
    errno    = 0;
    FILE* pf = sOut;
    sOut     = nullptr;
    return fclose(pf) == 0 ? 0 : errno ? errno : EIO;
}

// Says why the recording failed, once, and closes it: the run ends.
bool RecordFailed(int err)
{
    fprintf(stderr, "skarnhold: %s: the recording could not be written: %s; the game ends\n",
            sOutPath.c_str(), PlatErrorText(err).c_str());
    if (sOut) RecordCloseFile();
    sOutFailed = true;
    return false;
}

// Writes the end line and closes the recording.
bool RecordClose(long step)
{
    char line[40];
    snprintf(line, sizeof line, "end %ld\n", step);
    int err = RecordWrite(line);
    if (err == 0) err = RecordCloseFile();
    return err == 0 || RecordFailed(err);
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
        // What the game could load: a file its readers refuse (no regular file, too large) is never read.
        for (const std::string& name : names)
        {
            std::string path = std::string(folder) + "/" + name, text;
            if (TextFileCheck(path.c_str(), &text, nullptr) != TEXT_FILE_READ) continue;
            Hash(&hash, path.c_str(), path.size() + 1);
            Hash(&hash, text.data(), text.size());
        }
    }
    char buf[17];
    snprintf(buf, sizeof buf, "%016" PRIx64, hash);
    return buf;
}

bool Record(const std::string& path, std::string* pError)
{
    // Opened without waiting and looked at before anything is cut: a FIFO, a folder or the replay being
    // played is left as it is.
    struct stat st;
    int fd           = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    int err          = errno;
    const bool known = fd >= 0 ? fstat(fd, &st) == 0 : stat(path.c_str(), &st) == 0;
    if (known && !S_ISREG(st.st_mode))
        *pError = path + (S_ISDIR(st.st_mode) ? ": the recording is a folder, not a file"
                                              : ": the recording is not a regular file, not written");
    else if (known && sPlaying && st.st_dev == sDevice && st.st_ino == sInode)
        *pError = path + ": is the replay being played; it is not recorded over";
    else if (fd < 0 || ftruncate(fd, 0) != 0 || !(sOut = fdopen(fd, "w")))
        *pError = path + ": the recording cannot be written: " + PlatErrorText(fd < 0 ? err : errno);
    if (!sOut)
    {
        if (fd >= 0) close(fd);
        return false;
    }
    sOutPath = path;
    err      = RecordWrite(
             std::string(VERSION_LINE) + "\ndata " + DataChecksum() +
             "\n# STEP down|up VK, STEP press|release BUTTON, STEP move X Y W H; STEP counts 1 ms steps\n");
    if (err == 0) return true;
    RecordCloseFile();
    *pError = path + ": the recording cannot be written: " + PlatErrorText(err);
    return false;
}

bool RecordStep(long step)
{
    if (!sOut) return !sOutFailed;
    sOutText.clear();
    char line[80];
    for (int vk = 0; vk < 256; ++vk)
    {
        unsigned char down = KoInputCheckCurr((unsigned char)vk) ? 1 : 0;
        if (down == sKeys[vk]) continue;
        sKeys[vk] = down;
        snprintf(line, sizeof line, "%ld %s %d\n", step, down ? "down" : "up", vk);
        sOutText += line;
    }
    for (int b = 1; b <= 2; ++b)
    {
        unsigned char down = KoInputMouseCheckCurr((unsigned char)b) ? 1 : 0;
        if (down == sButtons[b]) continue;
        sButtons[b] = down;
        snprintf(line, sizeof line, "%ld %s %d\n", step, down ? "press" : "release", b);
        sOutText += line;
    }
    int x = 0, y = 0;
    KoInputGetCursorClientPos(&x, &y);
    if (x != sCursorX || y != sCursorY)
    {
        sCursorX = x;
        sCursorY = y;
        snprintf(line, sizeof line, "%ld move %d %d %d %d\n", step, x, y, KoGfxGetViewportWidth(),
                 KoGfxGetViewportHeight());
        sOutText += line;
    }
    if (sOutText.empty()) return true;
    if (sOutBytes + sOutText.size() + END_LINE_ROOM > DATA_FILE_MAX_BYTES)
    {
        // A longer file could not be played: the recording ends before this step, the game goes on.
        fprintf(stderr,
                "skarnhold: %s: the recording holds the %zu MiB a replay may hold; it ends at step %ld\n",
                sOutPath.c_str(), DATA_FILE_MAX_BYTES >> 20, step - 1);
        return RecordClose(step - 1);
    }
    int err = RecordWrite(sOutText);
    return err == 0 || RecordFailed(err);
}

bool RecordEnd(long step)
{
    return sOut ? RecordClose(step) : !sOutFailed;
}

bool Load(const std::string& path, std::string* pError)
{
    std::string text, why;
    struct stat st;
    if (TextFileCheck(path.c_str(), &text, &why) != TEXT_FILE_READ || stat(path.c_str(), &st) != 0)
    {
        *pError = path + ": the replay " + why;
        return false;
    }
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != VERSION_LINE)
    {
        *pError = path + ": not a replay of this version (its first line must be \"" + VERSION_LINE + "\")";
        return false;
    }
    const std::string data = DataChecksum();
    if (!std::getline(in, line) || line != "data " + data)
    {
        *pError = path + ": recorded with other data files (\"" + TextShownLine(line) +
                  "\", this data folder: data " + data + ")";
        return false;
    }
    sEvents.clear();
    sEndStep    = 0;
    bool hasEnd = false;
    for (int lineNo = 3; std::getline(in, line); ++lineNo)
    {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string first, kind;
        if (!(words >> first)) continue;
        ReplayEvent ev{};
        std::string rest, stamp;
        bool ok = false;
        if (first == "end") // the last line, at or after the last input
        {
            ok = !hasEnd && (words >> stamp) && ParseStep(stamp, &sEndStep) && !(words >> rest) &&
                 (sEvents.empty() || sEvents.back().step <= sEndStep);
            hasEnd = true;
        }
        else if (in.eof()) // an input line cut off by the end of a recording cut short is not played
            break;
        else if (!hasEnd && ParseStep(first, &ev.step) && (words >> kind))
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
            *pError =
                path + ":" + std::to_string(lineNo) + ": not a replay line: \"" + TextShownLine(line) + "\"";
            return false;
        }
    }
    if (!hasEnd) sEndStep = sEvents.empty() ? 0 : sEvents.back().step;
    sCutShort = !hasEnd;
    sPlaying  = true;
    sPath     = path;
    sDevice   = st.st_dev;
    sInode    = st.st_ino;
    sNext     = 0;
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

bool Ended(long step)
{
    if (!sPlaying || step < sEndStep) return false;
    if (sCutShort)
        fprintf(stderr,
                "skarnhold: %s: the recording was cut short (it has no end line); the replay ends at its "
                "last input, step %ld\n",
                sPath.c_str(), sEndStep);
    sCutShort = false;
    return true;
}

} // namespace Replay
