// Scripted input for reproducible runs: events by frame, fed to the engine through the same path as the
// window's own events.
//
// One event a line: "FRAME down VK", "FRAME up VK", "FRAME move X Y", "FRAME press BUTTON",
// "FRAME release BUTTON" (1 left, 2 right). FRAME counts from 1; VK is decimal or 0x hex; '#' starts a
// comment; blank lines are skipped.
#pragma once
#include <string>

namespace Script
{
// Replaces the loaded events by those of the text. False with a message naming the line on a malformed
// line (nothing is loaded then).
bool Parse(const std::string& text, const std::string& name, std::string* pError);
// Reads and parses a file. False with a message if it cannot be read or is malformed.
bool Load(const std::string& path, std::string* pError);
// Plays the events of the given frame into the input where the window's own arrive (KoInputOnKey,
// KoInputOnPointer), before the frame's input is gathered.
void InjectFrame(long frame);
// Number of events loaded.
int EventCount();
void Clear();
} // namespace Script
