// Where the default log goes once the program is installed.
//
// Beside the program, as it always was, while that folder can be written
// (a build tree, a program unpacked in the home folder). An installed
// program in /usr/bin cannot write there, so its log goes to the user's
// state folder instead: $XDG_STATE_HOME/quorvel/, else
// ~/.local/state/quorvel/. The "logdatei" option still wins over both.
#pragma once

#include <string>

namespace quorvel {

// $XDG_STATE_HOME/quorvel/ when that variable holds an absolute path (the
// base directory rules ignore a relative one), else ~/.local/state/quorvel/.
std::string StateFolder();

// The program's folder when the current user may write into it, else
// StateFolder(). Ends in '/'.
std::string DefaultLogFolder();

}  // namespace quorvel
