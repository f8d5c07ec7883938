// The collection window's commands, one row each: its menu, its German
// text, its keys. The window turns every row into one QAction in its menu
// bar (keys window-wide); the manual page's key list follows this table.
#pragma once

#include <QKeyCombination>
#include <array>

#include "ui/collection_model.h"

namespace quorvel {

enum class CollectionCommandId {
    kOpenCollection,
    kRefresh,
    kExport,
    kProblems,
    kClose,
    kFind,
    kCopyPaths,
    kOpenBox,
    kGrid,
    kSort,  // by the row's column; -1 for the index's own order
    kAbout,
};

enum class CollectionMenu { kCollection, kEdit, kView, kSortBy, kHelp };

struct CollectionCommand {
    CollectionCommandId id;
    const char* name;  // the action's object name
    CollectionMenu menu;
    const char* text;                     // UTF-8, '&' marks the mnemonic
    std::array<QKeyCombination, 2> keys;  // empty slots are Qt::Key_unknown
    int column = -1;                      // kSort's column
};

inline constexpr std::array<CollectionCommand, 20> kCollectionCommands{{
    {CollectionCommandId::kOpenCollection,
     "openCollection",
     CollectionMenu::kCollection,
     "Sammlung &öffnen...",
     {Qt::CTRL | Qt::Key_O}},
    {CollectionCommandId::kRefresh,
     "refresh",
     CollectionMenu::kCollection,
     "&Neu einlesen",
     {Qt::Key_F5}},
    {CollectionCommandId::kExport,
     "export",
     CollectionMenu::kCollection,
     "Liste &exportieren...",
     {Qt::CTRL | Qt::Key_E}},
    {CollectionCommandId::kProblems,
     "problems",
     CollectionMenu::kCollection,
     "Nicht &lesbare Dateien...",
     {Qt::CTRL | Qt::Key_L}},
    {CollectionCommandId::kClose,
     "close",
     CollectionMenu::kCollection,
     "&Schließen",
     {Qt::CTRL | Qt::Key_W, Qt::CTRL | Qt::Key_Q}},
    {CollectionCommandId::kFind, "find", CollectionMenu::kEdit, "&Suchen", {Qt::CTRL | Qt::Key_F}},
    {CollectionCommandId::kCopyPaths,
     "copyPaths",
     CollectionMenu::kEdit,
     "&Pfade kopieren",
     {Qt::CTRL | Qt::Key_C}},
    {CollectionCommandId::kOpenBox,
     "openBox",
     CollectionMenu::kEdit,
     "Box ö&ffnen",
     {Qt::Key_Return, Qt::Key_Enter}},
    {CollectionCommandId::kGrid,
     "grid",
     CollectionMenu::kView,
     "&Coveransicht",
     {Qt::CTRL | Qt::Key_G}},
    {CollectionCommandId::kSort,
     "sortTitle",
     CollectionMenu::kSortBy,
     "&Titel",
     {Qt::CTRL | Qt::Key_1},
     kTitleColumn},
    {CollectionCommandId::kSort,
     "sortHits",
     CollectionMenu::kSortBy,
     "&Gefundene Filme",
     {Qt::CTRL | Qt::Key_2},
     kHitsColumn},
    {CollectionCommandId::kSort,
     "sortDvds",
     CollectionMenu::kSortBy,
     "&DVDs",
     {Qt::CTRL | Qt::Key_3},
     kDvdsColumn},
    {CollectionCommandId::kSort,
     "sortFilms",
     CollectionMenu::kSortBy,
     "&Filme",
     {Qt::CTRL | Qt::Key_4},
     kFilmsColumn},
    {CollectionCommandId::kSort,
     "sortYears",
     CollectionMenu::kSortBy,
     "&Jahre",
     {Qt::CTRL | Qt::Key_5},
     kYearsColumn},
    {CollectionCommandId::kSort,
     "sortFsk",
     CollectionMenu::kSortBy,
     "FS&K",
     {Qt::CTRL | Qt::Key_6},
     kFskColumn},
    {CollectionCommandId::kSort,
     "sortGenre",
     CollectionMenu::kSortBy,
     "G&enre",
     {Qt::CTRL | Qt::Key_7},
     kGenreColumn},
    {CollectionCommandId::kSort,
     "sortEan",
     CollectionMenu::kSortBy,
     "E&AN",
     {Qt::CTRL | Qt::Key_8},
     kEanColumn},
    {CollectionCommandId::kSort,
     "sortFile",
     CollectionMenu::kSortBy,
     "Datei&name",
     {Qt::CTRL | Qt::Key_9},
     kFileColumn},
    {CollectionCommandId::kSort,
     "sortIndex",
     CollectionMenu::kSortBy,
     "&Ohne (Pfad oder Rang der Suche)",
     {Qt::CTRL | Qt::Key_0},
     -1},
    {CollectionCommandId::kAbout,
     "about",
     CollectionMenu::kHelp,
     "Inf&o über Quorvel...",
     {Qt::Key_F1}},
}};

}  // namespace quorvel
