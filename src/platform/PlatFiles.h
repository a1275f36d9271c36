// Files and folders: the per-user data folder, folder creation and whole-file replacement.
#pragma once

#include <cstddef>
#include <string>

// The per-user data folder into *pDir: $XDG_DATA_HOME when it is set to an absolute path, otherwise
// $HOME/.local/share; no trailing '/'. An empty or relative variable is ignored, as the XDG base directory
// rules say (a relative one would depend on the working directory). Empty when it is found; otherwise why
// neither is usable ("HOME is not an absolute path ('home')") and *pDir is left alone.
std::string PlatUserDataDir(std::string* pDir);
// The per-user configuration folder: $XDG_CONFIG_HOME when absolute, otherwise $HOME/.config; the same
// rules.
std::string PlatUserConfigDir(std::string* pDir);
// Creates a folder (mode 0700) and every missing folder above it. Empty when the folder exists afterwards,
// otherwise why not: "cannot make the folder PATH: Not a directory" (a file in the way), "...: Too many
// levels of symbolic links" (a link loop).
std::string PlatMakeDirs(const std::string& path);
// The system's text for an errno value ("No space left on device").
std::string PlatErrorText(int err);
// Replaces the file at path by size bytes of data: they are written to a temporary file of this process
// beside it (path + ".PID.N.tmp", N counting the process's writes), flushed to the disk, and renamed over
// path, so path always holds either its old or its new contents, and two games writing at once never
// share a temporary file. A symbolic link at path is written through: its target is replaced, the link
// stays. A file without any write permission is left alone ("it is read-only"). Returns an empty text on
// success. On any failure the temporary file is removed, path is untouched and the result says why ("No
// space left on device", "Is a directory"). Temporary files of path left by processes that no longer run
// (a game killed while it wrote) are removed first.
std::string PlatReplaceFile(const std::string& path, const char* data, size_t size);
// Takes the exclusive lock of the lock file at path (created when missing), waiting while another process
// holds it, at most waitMs milliseconds. Empty when *pHandle holds the lock's handle; otherwise why not.
std::string PlatLockFile(const std::string& path, int waitMs, int* pHandle);
// Gives the lock back.
void PlatUnlockFile(int handle);

// PlatReadFile's reason when nothing stands at the path (or a folder on the way is missing).
constexpr const char* PLAT_FILE_MISSING = "is missing";
// Reads the whole regular file at path into *pData (appending) when it holds at most maxBytes bytes. It is
// opened without waiting (a FIFO with no writer does not hold the program up) and looked at before a
// byte is read. Empty on success; otherwise why not, as the end of a line that names the file:
// PLAT_FILE_MISSING, "is a folder, not a file", "is not a regular file, not read", "is larger than 16 MiB,
// not read", "cannot be read: Permission denied"; *pData is then as it was.
std::string PlatReadFile(const char* path, size_t maxBytes, std::string* pData);
// True when anything (a file, a folder, a dangling link) stands at path.
bool PlatExists(const std::string& path);
// True when a folder stands at path.
bool PlatIsDir(const std::string& path);
