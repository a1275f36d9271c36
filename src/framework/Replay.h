// Replays: every input the simulation consumed, stamped by simulation step, in a plain-text file, and the
// same inputs fed back at their steps whatever the draw rate.
//
// The file: the version line "skarnhold-replay 1", then "data HASH" (a checksum of the data files the
// simulation reads: every file of Meshes/ and Tilemaps/ the readers take), then one line per change of the
// input a step saw:
// "STEP down VK", "STEP up VK", "STEP press BUTTON", "STEP release BUTTON" (1 left, 2 right), "STEP move X Y
// W H" (the cursor at client pixel X, Y of a W x H client area); STEP counts the 1 ms steps from the
// program's start. "end STEP" closes it with the last step run. '#' starts a comment. A recording whose
// recorder was killed has no end line: it plays to its last input.
#pragma once
#include <string>

namespace Replay
{
// The checksum of the data files in the working directory, as 16 hexadecimal digits.
std::string DataChecksum();

// Starts a recording: writes the header. False with a message if the file cannot be written, is no regular
// file, or is the replay being played.
bool Record(const std::string& path, std::string* pError);
// After a step took its input: writes what changed since the step before, and flushes it. False once the
// recording could not be written (said on standard error): the run ends.
bool RecordStep(long step);
// Writes the end line and closes the file. False when the recording could not be written.
bool RecordEnd(long step);

// Reads a replay and checks its version and data against the working directory. False with a message
// (naming the line of a malformed one) otherwise. From then on the live input is ignored.
bool Load(const std::string& path, std::string* pError);
// Before a step takes its input: sets what the replay recorded for it.
void FeedStep(long step);
// True when a replay plays and the step is its last: where its recording ended, or the last input of a
// recording cut short (said once on standard error).
bool Ended(long step);
} // namespace Replay
