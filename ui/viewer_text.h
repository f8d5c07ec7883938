// Texts on their way from the engine onto the screen, and the path the main
// window takes from the command line.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "app/text_util.h"
#include "boxfile/box_display.h"
#include "boxfile/shown_text.h"

namespace quorvel {

// Command lines this long or longer name no file.
inline constexpr size_t kMaxCommandLinePath = 260;

// The box path in the command-line text: nothing for an empty text or one of
// 260 characters or more; otherwise the text without one leading and one
// trailing double quote, each removed on its own. Blanks and options stay.
inline std::optional<std::string> CommandLinePath(std::string_view commandLine) {
    // The length test comes first, so quotes never bring a long line under it.
    if (commandLine.empty() || commandLine.size() >= kMaxCommandLinePath) {
        return std::nullopt;
    }
    std::string_view path = commandLine;
    if (path.front() == '"') {
        path.remove_prefix(1);
    }
    if (!path.empty() && path.back() == '"') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

// True when the command line holds options only: nothing but blanks and
// quotes before its first '-', where a file's path would stand.
inline bool OptionsOnly(std::string_view commandLine) {
    const size_t dash = commandLine.find('-');
    return dash != std::string_view::npos &&
           commandLine.substr(0, dash).find_first_not_of(" \t\r\n\"") == std::string_view::npos;
}

// A label text as a static control shows it: "&&" is one '&', a single '&'
// only marks the next character (no underline here) and vanishes.
inline QString MnemonicDisplayText(const QString& text) {
    return QString::fromStdString(ApplyMnemonicRule(text.toStdString()));
}

// A Windows-1252 label text as shown on screen.
inline QString LabelText(std::string_view cp1252) {
    return QString::fromStdString(LabelAsShown(cp1252));
}

// The record text (Windows-1252, CR LF as stored) for the text view, where
// each CR LF is one line break. A line longer than kMaxShownLineChars is
// shown that far, then LineCutMark. One pass straight into UTF-16: a record
// of many megabytes is converted once, not three times over.
QString RecordViewText(std::string_view cp1252);

// What stands for the `hidden` characters of a line the view does not show.
QString LineCutMark(size_t hidden);

// The file's name (the path's last part) as the window names it: valid
// UTF-8, control characters shown as in a terminal message.
QString ShownFileName(const std::string& path);

// "two-dvds.box – Quorvel" for the file shown, "Quorvel" with none.
QString WindowTitle(const std::string& shownPath);

// The message line's German words for why `path` is not shown as a box
// ("Die Datei „x.box“ kann nicht angezeigt werden: ..."); empty when it is.
QString NotShownMessage(const std::string& path, const BoxDisplay& display);

}  // namespace quorvel
