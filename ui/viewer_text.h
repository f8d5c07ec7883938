// Texts on their way from the engine (Windows-1252, CR LF) onto the screen,
// and the path the main window takes from the command line.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "app/text_util.h"

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

// A label text as a static control shows it: "&&" is one '&', a single '&'
// only marks the next character (no underline here) and vanishes.
inline QString MnemonicDisplayText(const QString& text) {
    return QString::fromStdString(ApplyMnemonicRule(text.toStdString()));
}

// A Windows-1252 label text as shown on screen.
inline QString LabelText(std::string_view cp1252) {
    return MnemonicDisplayText(QString::fromStdString(Cp1252ToUtf8(cp1252)));
}

// The record text for the text view: Windows-1252 to Unicode, each CR LF one
// line break.
inline QString RecordViewText(std::string_view cp1252) {
    QString text = QString::fromStdString(Cp1252ToUtf8(cp1252));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace quorvel
