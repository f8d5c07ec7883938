// The operating-system services of the application frame: paths, folders,
// the program's own location and the log file. Readers of box files and
// the programs open and read their files themselves (app/unique_fd.h).
//
// Paths are 8-bit strings in the local encoding; '/' is the only folder
// separator and there are no drive letters (the drive part of a split path is
// always empty). Nothing here changes the process's current directory: a
// relative path given by the user stays relative to the folder the program
// was started in.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

// A path cut into its parts by the classic runtime rules: `dir` keeps its
// trailing '/', `ext` is the last '.' of the last component and what follows
// it, `fname` is the rest of the last component.
struct PathParts {
    std::string drive;  // always empty here
    std::string dir;
    std::string fname;
    std::string ext;
};
PathParts SplitPath(std::string_view path);

// $TMPDIR, else /tmp, always ending in '/'. Stands in for the root of the
// system drive as the log's fallback folder.
std::string TempFolder();

// $HOME (else the password database's entry, else "/"), ending in '/'.
std::string HomeFolder();

// Full path of the running executable (/proc/self/exe), or the path set for
// tests. Empty when it cannot be read.
std::string ExecutablePath();

// Makes ExecutablePath (and so the program folder and the application name)
// report `path`; an empty string restores the real executable.
void SetExecutablePathForTesting(std::string path);

// Folder of the executable, ending in '/'.
std::string ProgramFolder();

// The executable's file name without folder and extension.
std::string ApplicationName();

// True when `path` names an existing folder (symbolic links followed).
bool IsDirectory(const std::string& path);

// The one trailing-separator rule: appends '/' to a non-empty path that does
// not end in one. An empty path stays empty (it names no folder).
void AppendSlash(std::string& path);

// Makes sure a folder exists, parents included; a last component without a
// '.' counts as a folder. 0 created, EEXIST (17) already there, ENOENT (2)
// for an empty path, else the errno of the mkdir that failed. Never changes
// the current directory.
int CreateFolderChain(std::string path);

// mkdir(path, 0777): 0 on success, else errno.
int MakeDirectory(const std::string& path);

// Local time now, as localtime_r gives it.
std::tm LocalTimeNow();

// Appends `bytes` to the regular file at `path`, creating it when absent,
// and returns the file's length afterwards. Never follows a symbolic link in
// the last component, never blocks on or writes into a FIFO, device or
// folder: those yield nullopt, as does a file that cannot be opened. A write
// that fails part-way still reports the length.
std::optional<long long> AppendToRegularFile(const std::string& path, std::string_view bytes);

// Moves `from` to `to`, replacing `to` atomically. False (and `from` left as
// it was) when the move is not possible.
bool RenameReplacing(const std::string& from, const std::string& to);

// Gives the calling thread a lower priority (nice 10): work in the
// background yields the processor to a window's own thread. Threads it
// starts later inherit it.
void LowerThreadPriority();

// Writes `bytes` as the file `path` (`mode` less the umask), whole or not at
// all: into a new file beside it, then renamed over it. Never follows a
// symbolic link: one at `path` is refused (ELOOP), one put there meanwhile
// is replaced. 0 on success, else errno.
int WriteFileReplacing(const std::string& path, std::span<const unsigned char> bytes,
                       mode_t mode = 0666);

}  // namespace quorvel
