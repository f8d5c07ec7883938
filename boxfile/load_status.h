// What became of loading a box file, and the words a user is told about it.
#pragma once

#include <string>

namespace quorvel {

enum class LoadStatus {
    kNotLoaded,       // nothing has been loaded yet
    kLoaded,          // header and blocks loaded
    kNotFound,        // no file by that name
    kNotRegularFile,  // a folder, FIFO, device or socket
    kNotReadable,     // there, but cannot be opened
    kTooShort,        // shorter than the 64-byte header
    kTooLarge,        // larger than kMaxBoxFileBytes
    kWrongMagic,      // header loaded, but not data model 4.0: no blocks
    kReadError,       // reading failed or ended early
};

struct LoadResult {
    LoadStatus status = LoadStatus::kNotLoaded;
    int error = 0;  // errno behind kNotReadable or kReadError, else 0

    bool Loaded() const { return status == LoadStatus::kLoaded; }
    // The viewer shows a file whose header it has read, even one with the
    // wrong magic.
    bool HeaderLoaded() const {
        return status == LoadStatus::kLoaded || status == LoadStatus::kWrongMagic;
    }
};

// Why a file is no readable box, in a few English words (the system's own
// message added where there is one); empty for kLoaded. The dump tool and the
// viewer print this on stderr.
std::string LoadReason(const LoadResult& result);

// The reason for a name the viewer does not even try to open.
inline constexpr const char* kNotBoxNameReason = "not opened: the name does not end in .box";

}  // namespace quorvel
