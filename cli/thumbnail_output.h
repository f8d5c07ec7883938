// Writing a thumbnail into the OUTPUT a file manager names.
//
// Callers differ: tumbler creates OUTPUT, keeps it open and reads it through
// that descriptor once the thumbnailer has ended, so the bytes must go into
// that very file, not a new one renamed over its name; GNOME names a path
// that does not exist yet. A downloaded file's thumbnail must not become a
// way to write elsewhere, so OUTPUT is never followed through a symbolic
// link, and only a regular file with no other name is written.
#pragma once

#include <span>
#include <string>

namespace quorvel {

// Writes `png` into the file at `path`: an existing regular file of one
// name is emptied and written in place (its descriptor, owner and mode
// kept); a missing one is made with mode 0600, as thumbnails are private to
// their user. A symbolic link (dangling or not), a folder, a FIFO, a device
// or a socket, and a file with further hard links, are refused untouched.
// Empty on success, else why nothing was written; a write that fails part
// way leaves an existing file empty and removes one it made.
std::string WriteThumbnailFile(const std::string& path, std::span<const unsigned char> png);

}  // namespace quorvel
