// The settings a player changes in the game (sound on or off, window or full screen) and vsync (set in the
// file or for one run with --vsync), remembered between runs in settings.ini of the per-user configuration
// folder: one "setting = value" a line, a file the player may edit by hand. Settings and values are read in
// any case; a value is on/off, true/false, yes/no or 1/0; blank lines, '#' and ';' comments and a byte
// order mark are skipped. A line that names no setting or gives no such value is ignored with one line on
// standard error, and every other line still counts; the last line of a setting wins.
#pragma once

#include <string>

namespace Settings
{
// The settings file: gConfigDirOverride (--config-dir) or the per-user configuration folder + "skarnhold",
// then "/settings.ini". Empty when no folder can be found.
std::string FilePath();
// Start-up: the settings take the defaults (sound on, full screen, no vsync), then the values of the file's
// lines that count.
void Load();
// The current values, command-line choices for this run included, count as seen: only a later change is
// written to the file.
void Remember();
// Called once per frame: when a setting differs from what was seen last, the file as it is now gets the new
// value in that setting's last line (or a line added at the end); comments, unknown lines and the order
// stay. The file is replaced atomically (PlatReplaceFile: a symbolic link is written through, a read-only
// file is left alone). A failure is said once on standard error; the change holds for the run. While a
// replay plays (gWatchOnly) nothing is written.
void SaveChanged();
} // namespace Settings

// Configuration folder chosen on the command line (--config-dir); empty means the per-user folder.
extern std::string gConfigDirOverride;
