#include "ui/collection_texts.h"
#include "ui/qt_strings.h"

#include <QLocale>
#include <QSet>
#include <QStringList>
#include <string_view>

namespace quorvel {
namespace {

// "Box" or "Boxen" by the number it counts.
QString Counted(int64_t count, const char* one, const char* many) {
    return QString::fromUtf8(count == 1 ? one : many);
}

}  // namespace

QString GermanNumber(int64_t value) {
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german.toString(static_cast<qlonglong>(value));
}

QString CountsText(int64_t shownBoxes, int64_t boxes, int64_t shownFilms, int64_t films) {
    return QStringLiteral("%1 von %2 %3, %4 von %5 %6")
        .arg(GermanNumber(shownBoxes), GermanNumber(boxes), Counted(boxes, "Box", "Boxen"),
             GermanNumber(shownFilms), GermanNumber(films), Counted(films, "Film", "Filmen"));
}

QString ProgressText(int64_t done, int64_t found) {
    return QStringLiteral("Lese %1 von %2 %3")
        .arg(GermanNumber(done), GermanNumber(found), Counted(found, "Datei", "Dateien"));
}

QString ProblemCountText(int64_t problems, bool withFolders) {
    const QString what = withFolders ? Counted(problems, "Datei oder Ordner", "Dateien oder Ordner")
                                     : Counted(problems, "Datei", "Dateien");
    return QStringLiteral("%1 %2 nicht lesbar").arg(GermanNumber(problems), what);
}

QString BoxProblemText(const std::string& status, const std::string& reason) {
    struct Word {
        std::string_view status;
        const char* text;
    };
    static constexpr Word kWords[] = {
        {"not-found", "nicht gefunden"},
        {"not-regular-file", "keine gewöhnliche Datei"},
        {"not-readable", "kein Lesezugriff"},
        {"too-short", "zu kurz für den 64-Byte-Kopf einer Box-Datei"},
        {"too-large", "zu groß für eine Box-Datei"},
        {"wrong-magic", "keine Box-Datei des Datenmodells 4.0 (falsche Kennung)"},
        {"read-error", "Lesefehler"},
        {"not-box-name", "der Name endet nicht auf .box"},
    };
    QString text = FromUtf8(reason);
    for (const Word& word : kWords) {
        if (word.status == status) {
            text = QString::fromUtf8(word.text);
            // The system's own message, when the loader added one.
            if (const size_t colon = reason.find(": "); colon != std::string::npos) {
                text += QStringLiteral(": ") + FromUtf8(std::string_view(reason).substr(colon + 2));
            }
            break;
        }
    }
    return text;
}

QString FolderProblemText(const std::string& reason) {
    return QStringLiteral("Ordner nicht lesbar: ") + FromUtf8(reason);
}

QString HitsText(const std::vector<FilmHit>& films) {
    QStringList parts;
    for (const FilmHit& film : films) {
        QString part = film.title ? FromUtf8(*film.title) : QStringLiteral("(ohne Titel)");
        if (film.year) {
            part += QStringLiteral(" (%1)").arg(*film.year);
        }
        parts.append(part);
    }
    return parts.isEmpty() ? QString()
                           : QStringLiteral("Treffer: ") + parts.join(QStringLiteral(", "));
}

QString GenresText(const std::optional<std::string>& genres) {
    if (!genres) {
        return {};
    }
    QStringList each;
    QSet<QString> seen;  // case-folded: a box of many films repeats its genres
    for (const QString& genre : FromUtf8(*genres).split(QLatin1Char(','))) {
        const QString trimmed = genre.trimmed();
        if (!trimmed.isEmpty() && !seen.contains(trimmed.toCaseFolded())) {
            seen.insert(trimmed.toCaseFolded());
            each.append(trimmed);
        }
    }
    return each.join(QStringLiteral(", "));
}

QString YearsText(const std::optional<int64_t>& low, const std::optional<int64_t>& high) {
    if (!low || !high) {
        return {};
    }
    return *low == *high ? QString::number(*low)
                         : QStringLiteral("%1\u2013%2").arg(*low).arg(*high);
}

}  // namespace quorvel
