// What the two editors print over their picture: a legend of their keys, shown for the first seconds in the
// editor and toggled with H, and a status line after each save that names the file or says why it failed.
#pragma once

#include <string>

namespace EditorHelp
{
const float LEGEND_SECONDS = 5.0f; // the legend shows this long after the editor is entered
const float STATUS_SECONDS = 6.0f; // a save's status line shows this long

// Load: the font. Unload frees it.
void Load();
void Unload();
// Init: the editor's name is the status lines' prefix ("tile editor"); the legend (lines of text) shows
// from now for LEGEND_SECONDS; no status line.
void Init(const char* pEditor, const char* pLegend);
// Once per Update: H shows or hides the legend; the clocks run on gFrameTime.
void Update();
// After a save to pPath: why is empty on success, otherwise the reason. The status line says so; a failure
// also goes to standard error.
void SaveResult(const char* pPath, const std::string& why);
// Last in the editor's Draw.
void Draw();

bool LegendShown();
// The status line, empty when none shows.
const std::string& Status();
} // namespace EditorHelp
