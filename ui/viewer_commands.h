// The main window's commands, one row each: what it does, its keys, its
// entry in the context menus and its line in `quorvel --help`. The window
// turns every row into one QAction (keys window-wide, the same action in the
// menus); the usage text is written from the rows, and the manual page's key
// list is checked against that text (tests/install/check_manuals.py).
#pragma once

#include <QKeyCombination>
#include <array>
#include <string>

namespace quorvel {

enum class CommandId {
    kAbout,
    kOpen,
    kRefresh,
    kNextFile,
    kPreviousFile,
    kFind,
    kFindNext,
    kFindPrevious,
    kZoomIn,
    kZoomOut,
    kZoomReset,
    kSaveCover,
    kEscape,
    kOpenCollection,
};

// Which context menus show a command (bits).
enum CommandMenu : unsigned {
    kNoMenu = 0,
    kTextViewMenu = 1,
    kLeftColumnMenu = 2,
};

struct ViewerCommand {
    CommandId id;
    const char* name;      // the action's object name
    const char* menuText;  // UTF-8, '&' marks the mnemonic; nullptr outside the menus
    unsigned menus;        // CommandMenu bits
    bool separatorBefore;  // in a menu, after a separator
    bool needsCover;       // enabled only while the shown file has a cover
    // Empty slots are Qt::Key_unknown.
    std::array<QKeyCombination, 2> keys;
    const char* help;  // the usage text's words for it
};

// In the order of the usage text and of the menus; the about entry comes
// last in both menus.
inline constexpr std::array<ViewerCommand, 14> kViewerCommands{{
    {CommandId::kOpen,
     "open",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::CTRL | Qt::Key_O},
     "open a box file"},
    {CommandId::kRefresh,
     "refresh",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::Key_F5},
     "show the last opened file again"},
    {CommandId::kNextFile,
     "nextFile",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::CTRL | Qt::Key_PageDown},
     "the next box file of its folder"},
    {CommandId::kPreviousFile,
     "previousFile",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::CTRL | Qt::Key_PageUp},
     "the previous box file of its folder"},
    {CommandId::kFind,
     "find",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::CTRL | Qt::Key_F},
     "find text (the find bar)"},
    {CommandId::kFindNext,
     "findNext",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::Key_F3},
     "the next match"},
    {CommandId::kFindPrevious,
     "findPrevious",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::SHIFT | Qt::Key_F3},
     "the previous match"},
    // Ctrl+= too: on many keyboards '+' needs Shift, '=' is on the same key.
    {CommandId::kZoomIn,
     "zoomIn",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal},
     "larger text"},
    {CommandId::kZoomOut,
     "zoomOut",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::CTRL | Qt::Key_Minus},
     "smaller text"},
    {CommandId::kZoomReset,
     "zoomReset",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::CTRL | Qt::Key_0},
     "text at its first size"},
    {CommandId::kSaveCover,
     "saveCover",
     "Cover speichern unter...",
     kLeftColumnMenu,
     false,
     true,
     {},
     "save the shown file's cover"},
    {CommandId::kEscape,
     "escape",
     nullptr,
     kNoMenu,
     false,
     false,
     {Qt::Key_Escape},
     "close the find bar, else end the viewer"},
    // Only where the program says how to open a folder (SetFolderOpener).
    {CommandId::kOpenCollection,
     "openCollection",
     "Sammlung \u00f6ffnen...",
     kTextViewMenu | kLeftColumnMenu,
     true,
     false,
     {Qt::CTRL | Qt::SHIFT | Qt::Key_O},
     "open a folder in the collection window"},
    {CommandId::kAbout,
     "about",
     "Inf&o \u00fcber Quorvel...",
     kTextViewMenu | kLeftColumnMenu,
     true,
     false,
     {Qt::Key_F1},
     "the program information"},
}};

// "Ctrl+PgDown" and the like, as the usage text and the manual page spell
// them.
std::string KeyName(QKeyCombination key);

// The usage text's part on keys and menus, one line per command.
std::string CommandHelpText();

}  // namespace quorvel
