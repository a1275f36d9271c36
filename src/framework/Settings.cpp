#include "framework/Settings.h"

#include <cstdio>
#include <strings.h>

#include "engine/KoGraphics.h"
#include "framework/GameMain.h"
#include "framework/GameStateMgr.h"
#include "framework/TextFile.h"
#include "platform/PlatFiles.h"

std::string gConfigDirOverride;

namespace
{
struct SettingKey
{
    const char* name;
    bool* pValue;
    bool byDefault;
};

const SettingKey KEYS[] = {
    {"sound", &gSoundOn, true}, {"fullscreen", &gKoGfxFullScreen, true}, {"vsync", &gVsync, false}};
const int KEY_NUM = int(sizeof KEYS / sizeof KEYS[0]);
// The values a setting takes, in any case: the first four mean on.
const char* const WORDS[] = {"on", "true", "yes", "1", "off", "false", "no", "0"};

bool sSeen[KEY_NUM];      // the values of the run when they were last looked at
bool sActive = false;     // set by Remember: a run that never loaded the settings never writes them
std::string sLastProblem; // why the last save failed: said once, not at every change

// What one line of the file says.
struct SettingLine
{
    int key         = -1;    // the setting it names (KEYS), -1 for none
    bool value      = false; // its value, when the line counts (a key and no why)
    size_t valueAt  = 0;     // where its value stands in the line
    size_t valueEnd = 0;
    std::string why; // why the line is ignored; empty for a line that counts, a comment or a blank
};

SettingLine ParseLine(const std::string& line)
{
    SettingLine s;
    size_t b = line.find_first_not_of(" \t\r");
    if (b == std::string::npos || line[b] == '#' || line[b] == ';') return s;
    size_t eq = line.find('=');
    if (eq == std::string::npos)
    {
        s.why = "it is not 'setting = value'";
        return s;
    }
    size_t keyEnd   = line.find_last_not_of(" \t", eq == 0 ? 0 : eq - 1);
    std::string key = eq == 0 || keyEnd < b ? std::string() : line.substr(b, keyEnd + 1 - b);
    for (int k = 0; k < KEY_NUM; ++k)
        if (strcasecmp(key.c_str(), KEYS[k].name) == 0) s.key = k;
    if (s.key < 0)
    {
        s.why = "there is no setting '" + TextShownLine(key) + "' (sound, fullscreen, vsync)";
        return s;
    }
    s.valueEnd = line.find_last_not_of(" \t\r") + 1;
    s.valueAt  = line.find_first_not_of(" \t", eq + 1);
    if (s.valueAt > s.valueEnd) s.valueAt = s.valueEnd;
    const std::string value = line.substr(s.valueAt, s.valueEnd - s.valueAt);
    for (int w = 0; w < 8; ++w)
        if (strcasecmp(value.c_str(), WORDS[w]) == 0)
        {
            s.value = w < 4;
            return s;
        }
    s.why = "a setting is on or off (true/false, yes/no, 1/0)";
    return s;
}

// Calls fn(line number, offset of the line, the line) for every line of text; a byte order mark is no part
// of the first line.
template <class Fn> void ForEachLine(const std::string& text, Fn fn)
{
    size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int lineNo = 1; pos < text.size(); ++lineNo)
    {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        fn(lineNo, pos, text.substr(pos, end - pos));
        pos = end + 1;
    }
}

// The text with the value of every changed setting: its last line takes the new value, the rest of the
// text stays as it was; a setting without a line gets one at the end.
std::string Rewritten(std::string text, const bool* changed)
{
    size_t at[KEY_NUM];
    SettingLine last[KEY_NUM];
    for (int k = 0; k < KEY_NUM; ++k) at[k] = std::string::npos;
    ForEachLine(text,
                [&](int, size_t pos, const std::string& line)
                {
                    SettingLine s = ParseLine(line);
                    if (s.key < 0) return;
                    at[s.key]   = pos;
                    last[s.key] = s;
                });
    // From the end of the text back, so that the places of the earlier lines hold.
    for (size_t done = 0; done < size_t(KEY_NUM); ++done)
    {
        int k = -1;
        for (int c = 0; c < KEY_NUM; ++c)
            if (changed[c] && at[c] != std::string::npos && (k < 0 || at[c] > at[k])) k = c;
        if (k < 0) break;
        text.replace(at[k] + last[k].valueAt, last[k].valueEnd - last[k].valueAt,
                     *KEYS[k].pValue ? "on" : "off");
        at[k] = std::string::npos;
    }
    for (int k = 0; k < KEY_NUM; ++k)
    {
        if (!changed[k] || last[k].key == k) continue;
        if (!text.empty() && text.back() != '\n') text += '\n';
        text += std::string(KEYS[k].name) + (*KEYS[k].pValue ? " = on\n" : " = off\n");
    }
    return text;
}

std::string ConfigDir(std::string* pWhy)
{
    if (!gConfigDirOverride.empty()) return gConfigDirOverride;
    std::string base, why = PlatUserConfigDir(&base);
    if (pWhy) *pWhy = why;
    return why.empty() ? base + "/skarnhold" : std::string();
}
} // namespace

namespace Settings
{
std::string FilePath()
{
    std::string dir = ConfigDir(nullptr);
    return dir.empty() ? std::string() : dir + "/settings.ini";
}

void Load()
{
    for (const SettingKey& key : KEYS) *key.pValue = key.byDefault;
    std::string path = FilePath(), text;
    if (!path.empty() && TextFileRead(path.c_str(), &text))
        ForEachLine(text,
                    [&](int lineNo, size_t, const std::string& line)
                    {
                        SettingLine s = ParseLine(line);
                        if (!s.why.empty())
                            fprintf(stderr, "skarnhold: %s: line %d is ignored: %s: \"%s\"\n", path.c_str(),
                                    lineNo, s.why.c_str(), TextShownLine(line).c_str());
                        else if (s.key >= 0)
                            *KEYS[s.key].pValue = s.value;
                    });
    Remember();
}

void Remember()
{
    for (int k = 0; k < KEY_NUM; ++k) sSeen[k] = *KEYS[k].pValue;
    sActive = true;
}

void SaveChanged()
{
    bool changed[KEY_NUM], any = false;
    for (int k = 0; k < KEY_NUM; ++k)
    {
        changed[k] = sActive && *KEYS[k].pValue != sSeen[k];
        if (changed[k]) sSeen[k] = *KEYS[k].pValue;
        any = any || changed[k];
    }
    if (!any || gWatchOnly) return; // a replay's changes hold for its run only
    std::string why, text;
    const std::string dir = ConfigDir(&why), path = FilePath();
    why = dir.empty() ? "there is no configuration folder: " + why : PlatMakeDirs(dir);
    if (why.empty() && TextFileCheck(path.c_str(), &text, &why) != TEXT_FILE_REFUSED)
    {
        text = Rewritten(text, changed);
        why  = PlatReplaceFile(path, text.data(), text.size());
    }
    if (!why.empty() && why != sLastProblem)
        fprintf(stderr,
                "skarnhold: the settings could not be saved to %s: %s; the change holds for this run\n",
                path.empty() ? "settings.ini" : path.c_str(), why.c_str());
    sLastProblem = why;
}
} // namespace Settings
