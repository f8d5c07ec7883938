#include "ui/viewer_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/limits.h"
#include "app/terminal_text.h"
#include "ui/viewer_resources.h"

namespace quorvel {

QString LineCutMark(size_t hidden) {
    // Digits in groups of three, as German writes them: 178.305.
    std::string digits = std::to_string(hidden);
    for (size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, 1, '.');
    }
    return QStringLiteral(u" \u2026 [Der Rest der Zeile wird nicht angezeigt: %1 Zeichen.]")
        .arg(QString::fromLatin1(digits));
}

QString RecordViewText(std::string_view cp1252) {
    const size_t size = cp1252.size();
    const char* bytes = cp1252.data();
    // Every byte is one UTF-16 unit or none; each cut drops more than the
    // kMaxShownLineChars it keeps and adds one mark.
    const size_t marks = size / (kMaxShownLineChars + 1);
    const size_t markRoom = static_cast<size_t>(LineCutMark(size).size());
    QString text(static_cast<qsizetype>(size + marks * markRoom), Qt::Uninitialized);
    char16_t* const start = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = start;
    // The next LF at or after `from`, or `size`; looked for once per LF, so
    // lines between lone CRs do not each search the rest of the text.
    const auto nextLf = [bytes, size](size_t from) {
        if (from >= size) {
            return size;
        }
        const void* lf = std::memchr(bytes + from, '\n', size - from);
        return lf != nullptr ? static_cast<size_t>(static_cast<const char*>(lf) - bytes) : size;
    };
    size_t at = 0;
    size_t lfAt = nextLf(0);
    while (at < size) {
        // The line runs to the next LF or CR, a line break as the view
        // counts them; the CR of a CR LF is dropped, its LF kept.
        if (lfAt < at) {
            lfAt = nextLf(at);
        }
        const char* cr = static_cast<const char*>(std::memchr(bytes + at, '\r', lfAt - at));
        const size_t end = cr != nullptr ? static_cast<size_t>(cr - bytes) : lfAt;
        const size_t shown = std::min(end - at, kMaxShownLineChars);
        for (size_t i = at; i < at + shown; ++i) {
            *out++ = Cp1252ToUtf16(static_cast<unsigned char>(bytes[i]));
        }
        if (end - at > shown) {
            const QString mark = LineCutMark(end - at - shown);
            out =
                std::copy_n(reinterpret_cast<const char16_t*>(mark.constData()), mark.size(), out);
        }
        if (end == size) {
            break;
        }
        const bool crlf = bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n';
        *out++ = crlf ? u'\n' : static_cast<char16_t>(bytes[end]);
        at = end + (crlf ? 2 : 1);
    }
    text.truncate(out - start);
    return text;
}

QString ShownFileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name =
        slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
    return QString::fromStdString(MakeVisible(SanitizeUtf8(name)));
}

QString WindowTitle(const std::string& shownPath) {
    const QString caption = QString::fromUtf8(kCaption);
    return shownPath.empty() ? caption
                             : ShownFileName(shownPath) + QStringLiteral(u" \u2013 ") + caption;
}

namespace {

// The system's reason behind a failed open or read, where a user can act on it.
const char* ErrorWords(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "keine Berechtigung";
        case EIO:
            return "Ein-/Ausgabefehler";
        case ENAMETOOLONG:
            return "der Name ist zu lang";
        case ELOOP:
            return "zu viele symbolische Verkn\u00fcpfungen";
        default:
            return nullptr;
    }
}

// Why the file is no box the window can show, in German; the words of
// LoadReason, which stderr keeps.
std::string GermanReason(const BoxDisplay& display) {
    if (!display.boxName) {
        return "ihr Name endet nicht auf \u201e.box\u201c";
    }
    std::string reason;
    switch (display.load.status) {
        case LoadStatus::kLoaded:
            return {};
        case LoadStatus::kNotLoaded:
            reason = "sie wurde nicht geladen";
            break;
        case LoadStatus::kNotFound:
            reason = "es gibt sie nicht";
            break;
        case LoadStatus::kNotRegularFile:
            reason =
                "sie ist keine gew\u00f6hnliche Datei (ein Ordner, ein Ger\u00e4t oder eine "
                "Pipe)";
            break;
        case LoadStatus::kNotReadable:
            reason = "sie kann nicht ge\u00f6ffnet werden";
            break;
        case LoadStatus::kTooShort:
            reason = "sie ist k\u00fcrzer als die 64 Bytes des Kopfes einer Box-Datei";
            break;
        case LoadStatus::kTooLarge:
            reason = "sie ist gr\u00f6\u00dfer als " + std::to_string(kMaxBoxFileBytes >> 20) +
                     " MiB, zu gro\u00df f\u00fcr eine Box-Datei";
            break;
        case LoadStatus::kWrongMagic:
            reason =
                "sie ist keine Box-Datei des Datenmodells 4.0 (ihr Anfang ist nicht "
                "\u201eMIRAX4.0\u201c)";
            break;
        case LoadStatus::kReadError:
            reason = "beim Lesen trat ein Fehler auf";
            break;
    }
    if (const char* words = ErrorWords(display.load.error)) {
        reason += ": ";
        reason += words;
    }
    return reason;
}

}  // namespace

QString NotShownMessage(const std::string& path, const BoxDisplay& display) {
    const std::string reason = GermanReason(display);
    if (reason.empty()) {
        return {};
    }
    return QStringLiteral(u"Die Datei \u201e%1\u201c kann nicht angezeigt werden: %2.")
        .arg(ShownFileName(path), QString::fromStdString(reason));
}

}  // namespace quorvel
