// The thumbnail cache file managers share: one PNG per file under
// $XDG_CACHE_HOME/thumbnails/normal (128 pixels) and large (256), named
// after the MD5 of the file's URI, carrying that URI and the file's
// modification time, and valid only while the time still matches. A file
// that has no usable cover gets an entry under fail/, so no one tries it
// again until it changes. Folders are 0700, files 0600, and every file is
// written under a temporary name in its folder and renamed into place.
#pragma once

#include <QImage>
#include <optional>
#include <string>

namespace quorvel {

enum class ThumbnailFlavor { kNormal, kLarge };

// 128 or 256.
int FlavorSize(ThumbnailFlavor flavor);

// "file://" and the absolute path, escaped as the desktop's file managers
// escape it: letters, digits and -._~!$&'()*+,=:@/ stay, every other byte
// becomes %XX.
std::string FileUri(const std::string& absolutePath);

// The lower-case hexadecimal MD5 of `uri` with ".png": the entry's name.
std::string ThumbnailName(const std::string& uri);

class ThumbnailCache {
public:
    // `root` is the thumbnails folder ending in '/'; `software` is written
    // into every entry and names this program's folder under fail/.
    ThumbnailCache(std::string root, std::string software);

    // $XDG_CACHE_HOME/thumbnails/ when that is an absolute path, else
    // ~/.cache/thumbnails/.
    static std::string DefaultRoot();

    // What the cache says of the file at `path` (absolute).
    enum class State {
        kMissing,  // nothing valid: make it
        kValid,    // a thumbnail for the file as it is now
        kFailed,   // a failure entry for the file as it is now: no cover
    };
    struct Lookup {
        State state = State::kMissing;
        QImage image;  // when kValid
    };
    // An entry that cannot be read, names another file or another time
    // counts as missing.
    Lookup Find(const std::string& path, ThumbnailFlavor flavor) const;

    // Makes the thumbnail with the thumbnailer's code and stores it, or a
    // failure entry when the box has no usable cover. The image, null for a
    // failure. A cache that cannot be written still gives the image.
    QImage Make(const std::string& path, ThumbnailFlavor flavor) const;

    // Where the entries of `path` go.
    std::string EntryPath(const std::string& path, ThumbnailFlavor flavor) const;
    std::string FailurePath(const std::string& path) const;

private:
    std::string m_root;
    std::string m_software;
};

}  // namespace quorvel
