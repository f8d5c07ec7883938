// Texts on their way from the engine onto the screen, and the path the main
// window takes from the command line.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "app/text_util.h"
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
// each CR LF is one line break. One pass straight into UTF-16: a record of
// many megabytes is converted once, not three times over.
inline QString RecordViewText(std::string_view cp1252) {
    QString text(static_cast<qsizetype>(cp1252.size()), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    size_t length = 0;
    ForEachShownByte(cp1252, [out, &length](unsigned char c) { out[length++] = Cp1252ToUtf16(c); });
    text.truncate(static_cast<qsizetype>(length));
    return text;
}

}  // namespace quorvel
