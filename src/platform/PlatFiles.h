// Files and folders: the per-user data folder, folder creation and whole-file replacement.
#pragma once

#include <cstddef>
#include <string>

// The per-user data folder: $XDG_DATA_HOME when it is set to an absolute path, otherwise
// $HOME/.local/share; no trailing '/'. An empty or relative variable is ignored, as the XDG base directory
// rules say (a relative one would depend on the working directory). Empty when neither is usable, and
// *pWhy (when given) says why: "HOME is not an absolute path ('home')".
std::string PlatUserDataDir(std::string* pWhy = nullptr);
// The per-user configuration folder: $XDG_CONFIG_HOME when absolute, otherwise $HOME/.config; the same
// rules.
std::string PlatUserConfigDir(std::string* pWhy = nullptr);
// Creates one folder (mode 0700 for user data). Returns 0 on success, otherwise the errno value of the
// failure (EEXIST when it exists already).
int PlatMakeDir(const char* path);
// Creates a folder and every missing folder above it. Returns 0 when the folder exists afterwards,
// otherwise the errno value of the level that could not be made (ENOTDIR when a file is in the way, ELOOP
// for a link loop).
int PlatMakeDirs(const std::string& path);
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
// holds it, at most waitMs milliseconds. Returns the lock's handle (>= 0), or -1 and *pWhy says why.
int PlatLockFile(const std::string& path, int waitMs, std::string* pWhy);
// Gives the lock back.
void PlatUnlockFile(int handle);

// What reading a whole file found.
enum PlatReadResult
{
    PLAT_READ_OK,
    PLAT_READ_MISSING,     // nothing at the path (or a folder on the way is missing)
    PLAT_READ_NOT_REGULAR, // a folder, a FIFO, a device or a socket: not read
    PLAT_READ_TOO_LARGE,   // more than the limit: not read
    PLAT_READ_FAILED,      // it could not be opened or read; *pErr says why
};
// Reads the whole regular file at path into *pData (appending) when it holds at most maxBytes bytes. It is
// opened without waiting (a FIFO with no writer does not hold the program up) and looked at before a
// byte is read. *pErr gets the errno value of a failure to open or read (0 otherwise).
PlatReadResult PlatReadFile(const char* path, size_t maxBytes, std::string* pData, int* pErr);
// True when anything (a file, a folder, a dangling link) stands at path.
bool PlatExists(const std::string& path);
// True when a folder stands at path.
bool PlatIsDir(const std::string& path);
