// The settings a player changes in the game (sound on or off, window or full screen) and vsync (set in the
// file or for one run with --vsync), remembered between runs in settings.ini of the per-user configuration
// folder: one "key = value" a line, "on" or "off".
#pragma once

#include <string>

namespace Settings
{
// The settings file: gConfigDirOverride (--config-dir) or the per-user configuration folder + "skarnhold",
// then "/settings.ini". Empty when no folder can be found.
std::string FilePath();
// Start-up: the settings take the file's values. A missing file leaves the defaults (sound on, full screen,
// no vsync);
// a damaged one leaves the defaults too and says why in one line on standard error.
void Load();
// The current values, command-line choices for this run included, count as seen: only a later change is
// written to the file.
void Remember();
// Called once per frame: when a setting differs from what was seen last, the file takes its new value (the
// others keep the values the file held) and is replaced whole. A failed write is reported once per change.
void SaveChanged();
} // namespace Settings

// Configuration folder chosen on the command line (--config-dir); empty means the per-user folder.
extern std::string gConfigDirOverride;
