// Where the default log goes once the program is installed.
//
// Beside the program, as it always was, only while the program runs from a
// folder of the running user's own: a build tree, a program unpacked in the
// home folder. An installed program never logs into its own folder, whoever
// runs it: /usr/bin, /usr/local/bin and /opt/.../bin belong to root, and a
// program run as root (sudo) counts every folder as installed, so that
// `sudo quorvel -log 8` leaves no mirax.log beside the program for a package
// removal to miss. Its log goes to the state folder instead:
// $XDG_STATE_HOME/quorvel/, else ~/.local/state/quorvel/. The "logdatei"
// option still wins over both.
#pragma once

#include <sys/types.h>

#include <string>

namespace quorvel {

// $XDG_STATE_HOME/quorvel/ when that variable holds an absolute path (the
// base directory rules ignore a relative one), else ~/.local/state/quorvel/.
std::string StateFolder();

// Whether `folder` is a folder of `user`'s own, where a program may keep its
// log: `user` is not root, and owns the folder and may write into it.
bool IsOwnProgramFolder(const std::string& folder, uid_t user);

// The program's folder when it is the effective user's own (above), else
// StateFolder(). Ends in '/'.
std::string DefaultLogFolder();

}  // namespace quorvel
