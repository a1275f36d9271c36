#include "framework/Script.h"

#include "engine/KoInput.h"
#include "framework/TextFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace
{
enum ScriptKind
{
    SCRIPT_DOWN,
    SCRIPT_UP,
    SCRIPT_MOVE,
    SCRIPT_PRESS,
    SCRIPT_RELEASE
};

struct ScriptEvent
{
    long frame;
    int kind; // ScriptKind
    int a, b; // key code; x and y; button
};

std::vector<ScriptEvent> sEvents; // sorted by frame, file order within a frame
size_t sNext;                     // first event not yet injected
int sCursorX, sCursorY;           // where the scripted mouse is
bool sLeft, sRight;               // the scripted buttons held

// A whole token as an integer in [lo, hi]: decimal, or hexadecimal after "0x".
bool ParseInt(const std::string& tok, long lo, long hi, long* pOut)
{
    if (tok.empty()) return false;
    const char* s = tok.c_str();
    int base      = 10;
    if (tok.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
    {
        base = 16;
        s += 2;
    }
    const char* digits = (base == 10 && *s == '-') ? s + 1 : s;
    if (!(base == 16 ? isxdigit((unsigned char)*digits) : isdigit((unsigned char)*digits))) return false;
    errno   = 0;
    char* e = nullptr;
    long v  = strtol(s, &e, base);
    if (errno || *e || v < lo || v > hi) return false;
    *pOut = v;
    return true;
}
} // namespace

namespace Script
{
void Clear()
{
    sEvents.clear();
    sNext    = 0;
    sCursorX = sCursorY = 0;
    sLeft = sRight = false;
}

int EventCount()
{
    return int(sEvents.size());
}

bool Parse(const std::string& text, const std::string& name, std::string* pError)
{
    Clear();
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    std::vector<ScriptEvent> events;
    while (std::getline(in, line))
    {
        ++lineNo;
        std::string body = line.substr(0, line.find('#'));
        std::istringstream words(body);
        std::vector<std::string> tok;
        for (std::string w; words >> w;) tok.push_back(w);
        if (tok.empty()) continue;

        auto fail = [&](const char* why)
        {
            if (pError)
                *pError =
                    name + ":" + std::to_string(lineNo) + ": " + why + ": \"" + TextShownLine(line) + "\"";
            Clear();
            return false;
        };

        ScriptEvent ev{};
        long v = 0;
        if (!ParseInt(tok[0], 1, LONG_MAX, &ev.frame)) return fail("the frame must be a number from 1 on");
        if (tok.size() < 2) return fail("an event is missing");
        const std::string& kind = tok[1];
        if (kind == "down" || kind == "up")
        {
            if (tok.size() != 3) return fail("expected FRAME down|up VK");
            if (!ParseInt(tok[2], 0, 255, &v)) return fail("the key code must be 0 to 255");
            ev.kind = kind == "down" ? SCRIPT_DOWN : SCRIPT_UP;
            ev.a    = int(v);
        }
        else if (kind == "move")
        {
            long x = 0, y = 0;
            if (tok.size() != 4) return fail("expected FRAME move X Y");
            if (!ParseInt(tok[2], -100000, 100000, &x) || !ParseInt(tok[3], -100000, 100000, &y))
                return fail("the position must be two pixel numbers");
            ev.kind = SCRIPT_MOVE;
            ev.a    = int(x);
            ev.b    = int(y);
        }
        else if (kind == "press" || kind == "release")
        {
            if (tok.size() != 3) return fail("expected FRAME press|release BUTTON");
            if (!ParseInt(tok[2], 1, 2, &v)) return fail("the button must be 1 (left) or 2 (right)");
            ev.kind = kind == "press" ? SCRIPT_PRESS : SCRIPT_RELEASE;
            ev.a    = int(v);
        }
        else
            return fail("unknown event (down, up, move, press, release)");
        events.push_back(ev);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    sEvents = std::move(events);
    return true;
}

bool Load(const std::string& path, std::string* pError)
{
    std::string text, why;
    if (TextFileCheck(path.c_str(), &text, &why) != TEXT_FILE_READ)
    {
        if (pError) *pError = path + ": the script " + why;
        Clear();
        return false;
    }
    return Parse(text, path, pError);
}

void InjectFrame(long frame)
{
    while (sNext < sEvents.size() && sEvents[sNext].frame < frame) ++sNext;
    for (; sNext < sEvents.size() && sEvents[sNext].frame == frame; ++sNext)
    {
        const ScriptEvent& se = sEvents[sNext];
        switch (se.kind)
        {
            case SCRIPT_DOWN:
            case SCRIPT_UP:
                KoInputOnKey((unsigned char)se.a, se.kind == SCRIPT_DOWN);
                continue;
            case SCRIPT_MOVE:
                sCursorX = se.a;
                sCursorY = se.b;
                break;
            default: // a button goes down or up where the cursor is
                (se.a == 1 ? sLeft : sRight) = (se.kind == SCRIPT_PRESS);
                break;
        }
        KoInputOnPointer(sCursorX, sCursorY, sLeft, sRight);
    }
}
} // namespace Script
