#include "framework/Settings.h"

#include <cstdio>

#include "engine/KoGraphics.h"
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
const size_t KEY_NUM = sizeof KEYS / sizeof KEYS[0];

bool sInFile[KEY_NUM]; // the values the file holds (or would hold)
bool sSeen[KEY_NUM];   // the values of the run when they were last looked at
bool sActive = false;  // set by Remember: a run that never loaded the settings never writes them

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Reads "key = on|off" lines (blank lines and '#' comments allowed) into values. False, with the reason,
// at the first line that is anything else.
bool Parse(const std::string& text, bool* values, std::string* pWhy)
{
    size_t pos = 0;
    for (int lineNo = 1; pos < text.size(); ++lineNo)
    {
        size_t end       = text.find('\n', pos);
        std::string line = Trim(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        pos              = end == std::string::npos ? text.size() : end + 1;
        if (line.empty() || line[0] == '#') continue;
        size_t eq         = line.find('=');
        std::string key   = Trim(line.substr(0, eq));
        std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
        size_t k          = 0;
        while (k < KEY_NUM && key != KEYS[k].name) ++k;
        if (k == KEY_NUM || (value != "on" && value != "off"))
        {
            std::string keys;
            for (const SettingKey& known : KEYS) keys += (keys.empty() ? "" : "|") + std::string(known.name);
            *pWhy = "line " + std::to_string(lineNo) + " is not '" + keys + " = on|off': \"" +
                    line.substr(0, 60) + "\"";
            return false;
        }
        values[k] = value == "on";
    }
    return true;
}

std::string ConfigDir()
{
    if (!gConfigDirOverride.empty()) return gConfigDirOverride;
    std::string base = PlatUserConfigDir();
    return base.empty() ? std::string() : base + "/skarnhold";
}
} // namespace

namespace Settings
{
std::string FilePath()
{
    std::string dir = ConfigDir();
    return dir.empty() ? std::string() : dir + "/settings.ini";
}

void Load()
{
    bool values[KEY_NUM];
    for (size_t k = 0; k < KEY_NUM; ++k) values[k] = KEYS[k].byDefault;
    std::string path = FilePath(), text, why;
    if (!path.empty() && TextFileRead(path.c_str(), &text) && !Parse(text, values, &why))
    {
        fprintf(stderr, "skarnhold: %s: %s; using the default settings\n", path.c_str(), why.c_str());
        for (size_t k = 0; k < KEY_NUM; ++k) values[k] = KEYS[k].byDefault;
    }
    for (size_t k = 0; k < KEY_NUM; ++k) *KEYS[k].pValue = sInFile[k] = values[k];
    Remember();
}

void Remember()
{
    for (size_t k = 0; k < KEY_NUM; ++k) sSeen[k] = *KEYS[k].pValue;
    sActive = true;
}

void SaveChanged()
{
    bool changed = false;
    for (size_t k = 0; sActive && k < KEY_NUM; ++k)
    {
        if (*KEYS[k].pValue == sSeen[k]) continue;
        sSeen[k] = sInFile[k] = *KEYS[k].pValue;
        changed               = true;
    }
    if (!changed) return;
    std::string text;
    for (size_t k = 0; k < KEY_NUM; ++k)
        text += std::string(KEYS[k].name) + (sInFile[k] ? " = on\n" : " = off\n");
    std::string path = FilePath(), why;
    if (path.empty())
        why = "no home folder";
    else if (int err = PlatMakeDirs(ConfigDir()))
        why = PlatErrorText(err);
    else
        why = PlatReplaceFile(path, text.data(), text.size());
    if (!why.empty())
        fprintf(stderr, "skarnhold: the settings could not be saved to %s: %s\n",
                path.empty() ? "settings.ini" : path.c_str(), why.c_str());
}
} // namespace Settings
