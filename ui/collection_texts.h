// The collection window's words: German, whatever the desktop's language,
// numbers with German thousands separators ("1.234").
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collection/search.h"

namespace quorvel {

QString GermanNumber(int64_t value);

// "1.234 von 5.678 Boxen, 3.456 von 12.345 Filmen".
QString CountsText(int64_t shownBoxes, int64_t boxes, int64_t shownFilms, int64_t films);
// "Lese 1.234 von 5.678 Dateien".
QString ProgressText(int64_t done, int64_t found);
// "3 Dateien nicht lesbar"; "... oder Ordner ..." when folders are among them.
QString ProblemCountText(int64_t problems, bool withFolders);

// Why a box could not be read, from the index's status word and the
// loader's reason (whose system message, after ": ", is kept as the system
// gives it, in the desktop's language).
QString BoxProblemText(const std::string& status, const std::string& reason);
// Why a folder could not be read: the system's message.
QString FolderProblemText(const std::string& reason);

// "Treffer: Der Zeuge (1999), Die Flucht" for the films a search matched.
QString HitsText(const std::vector<FilmHit>& films);

// The films' genres, each once, in the order met: a film's genre may
// itself be a list ("Krimi, Thriller").
QString GenresText(const std::optional<std::string>& genres);

// A year span: "1999", "1987–1999", or empty.
QString YearsText(const std::optional<int64_t>& low, const std::optional<int64_t>& high);

}  // namespace quorvel
