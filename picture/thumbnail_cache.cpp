#include "picture/thumbnail_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageWriter>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "app/platform.h"
#include "app/unique_fd.h"
#include "picture/box_thumbnail.h"
#include "picture/png_text.h"

namespace quorvel {
namespace {

constexpr const char* kMimeType = "application/x-mirax-box";

struct FileStamp {
    long long mtime = 0;
    long long size = 0;
};

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileStamp{static_cast<long long>(info.st_mtim.tv_sec),
                     static_cast<long long>(info.st_size)};
}

const char* FlavorFolder(ThumbnailFlavor flavor) {
    return flavor == ThumbnailFlavor::kLarge ? "large/" : "normal/";
}

// Makes each missing folder of `folder` (ending in '/') below an existing
// one, private to the user as the cache's folders must be.
bool MakePrivateFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return IsDirectory(folder);
}

// Writes `png` to `path`, 0600, whole or not at all.
bool WriteEntry(const std::string& path, const QByteArray& png) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || !MakePrivateFolders(path.substr(0, slash + 1))) {
        return false;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(png.constData());
    return WriteFileReplacing(path, {bytes, static_cast<size_t>(png.size())}, 0600) == 0;
}

// The picture as PNG with the entry's texts, each a plain tEXt chunk, as
// every reader of the cache takes them.
QByteArray EncodePng(const QImage& image, const std::string& uri, const FileStamp& stamp,
                     const std::string& software) {
    QByteArray plain;
    QBuffer buffer(&plain);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        return {};
    }
    const std::string png =
        WithPngTextChunks({reinterpret_cast<const unsigned char*>(plain.constData()),
                           static_cast<size_t>(plain.size())},
                          {{"Thumb::URI", uri},
                           {"Thumb::MTime", std::to_string(stamp.mtime)},
                           {"Thumb::Size", std::to_string(stamp.size)},
                           {"Thumb::Mimetype", kMimeType},
                           {"Software", software}});
    return QByteArray::fromStdString(png);
}

// Thumbnails are a few dozen KiB; an entry beyond this is no thumbnail.
constexpr size_t kMaxEntryBytes = size_t{8} << 20;

// True when the entry at `entry` exists and names `uri` at `stamp`; its
// picture goes to `image` when asked for.
bool EntryMatches(const std::string& entry, const std::string& uri, const FileStamp& stamp,
                  QImage* image) {
    const UniqueFd fd(::open(entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size <= 0 || static_cast<uint64_t>(info.st_size) > kMaxEntryBytes) {
        return false;
    }
    QByteArray png(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
    const std::span<unsigned char> bytes(reinterpret_cast<unsigned char*>(png.data()),
                                         static_cast<size_t>(png.size()));
    if (ReadFullyAt(fd.Get(), 0, bytes) != ReadOutcome::kComplete) {
        return false;
    }
    const std::map<std::string, std::string> texts = PngTextChunks(bytes);
    const auto text = [&texts](const char* key) {
        const auto found = texts.find(key);
        return found == texts.end() ? std::string() : found->second;
    };
    if (text("Thumb::URI") != uri || text("Thumb::MTime") != std::to_string(stamp.mtime)) {
        return false;
    }
    if (image == nullptr) {
        return true;
    }
    return image->loadFromData(png, "PNG") && !image->isNull();
}

}  // namespace

int FlavorSize(ThumbnailFlavor flavor) {
    return flavor == ThumbnailFlavor::kLarge ? 256 : 128;
}

std::string FileUri(const std::string& absolutePath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : absolutePath) {
        const auto b = static_cast<unsigned char>(c);
        const bool kept = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
                          (b >= '0' && b <= '9') ||
                          std::string_view("-._~!$&'()*+,=:@/").find(c) != std::string_view::npos;
        if (kept) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[b >> 4];
            uri += kHex[b & 0x0F];
        }
    }
    return uri;
}

std::string ThumbnailName(const std::string& uri) {
    const QByteArray md5 =
        QCryptographicHash::hash(QByteArray::fromStdString(uri), QCryptographicHash::Md5);
    return md5.toHex().toStdString() + ".png";
}

ThumbnailCache::ThumbnailCache(std::string root, std::string software)
    : m_root(std::move(root)), m_software(std::move(software)) {
    AppendSlash(m_root);
}

std::string ThumbnailCache::DefaultRoot() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string root = cache != nullptr && cache[0] == '/' ? cache : HomeFolder() + ".cache";
    AppendSlash(root);
    return root + "thumbnails/";
}

std::string ThumbnailCache::EntryPath(const std::string& path, ThumbnailFlavor flavor) const {
    return m_root + FlavorFolder(flavor) + ThumbnailName(FileUri(path));
}

std::string ThumbnailCache::FailurePath(const std::string& path) const {
    // One folder per program and version, as the cache's rules ask.
    std::string program = m_software;
    for (char& c : program) {
        if (c == ' ' || c == '/') {
            c = '-';
        }
    }
    return m_root + "fail/" + program + "/" + ThumbnailName(FileUri(path));
}

ThumbnailCache::Lookup ThumbnailCache::Find(const std::string& path, ThumbnailFlavor flavor) const {
    Lookup found;
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp) {
        return found;
    }
    const std::string uri = FileUri(path);
    if (EntryMatches(EntryPath(path, flavor), uri, *stamp, &found.image)) {
        found.state = State::kValid;
    } else if (EntryMatches(FailurePath(path), uri, *stamp, nullptr)) {
        found.image = QImage();
        found.state = State::kFailed;
    } else {
        found.image = QImage();
    }
    return found;
}

QImage ThumbnailCache::Make(const std::string& path, ThumbnailFlavor flavor) const {
    // The time is taken before the cover is read: a file changed meanwhile
    // gets an entry that no longer matches, and is made again.
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp) {
        return {};
    }
    const std::string uri = FileUri(path);
    const QImage image = MakeBoxThumbnail(path, FlavorSize(flavor));
    if (image.isNull()) {
        QImage mark(1, 1, QImage::Format_ARGB32);
        mark.fill(Qt::transparent);
        WriteEntry(FailurePath(path), EncodePng(mark, uri, *stamp, m_software));
        return {};
    }
    WriteEntry(EntryPath(path, flavor), EncodePng(image, uri, *stamp, m_software));
    return image;
}

}  // namespace quorvel
