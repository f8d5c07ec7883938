#include "ui/viewer_commands.h"

#include <QKeySequence>
#include <QString>
#include <algorithm>
#include <utility>
#include <vector>

#include "app/text_util.h"

namespace quorvel {
namespace {

// Two-column lines, the words in the options' column or further right when
// a left part is longer.
std::string HelpLines(const std::vector<std::pair<QString, std::string>>& lines) {
    qsizetype column = 21;
    for (const auto& [left, words] : lines) {
        column = std::max(column, left.size() + 3);
    }
    std::string text;
    for (const auto& [left, words] : lines) {
        text += "  " + left.leftJustified(column).toStdString() + words + '\n';
    }
    return text;
}

}  // namespace

std::string KeyName(QKeyCombination key) {
    return QKeySequence(key).toString(QKeySequence::PortableText).toStdString();
}

std::string CommandHelpText() {
    std::vector<std::pair<QString, std::string>> keyLines;
    std::vector<std::pair<QString, std::string>> menuLines;
    for (const ViewerCommand& command : kViewerCommands) {
        std::string keys;
        for (const QKeyCombination key : command.keys) {
            if (key.key() != Qt::Key_unknown) {
                keys += (keys.empty() ? "" : ", ") + KeyName(key);
            }
        }
        if (!keys.empty()) {
            keyLines.emplace_back(QString::fromStdString(keys), command.help);
        }
        if (command.menus != kNoMenu) {
            const char* where = command.menus == kTextViewMenu     ? "text: "
                                : command.menus == kLeftColumnMenu ? "left column: "
                                                                   : "both: ";
            const std::string shown = ApplyMnemonicRule(command.menuText);
            menuLines.emplace_back(QString::fromStdString('"' + shown + '"'),
                                   where + std::string(command.help));
        }
    }
    return "Keys:\n" + HelpLines(keyLines) + "Context menus (on the text, on the left column):\n" +
           HelpLines(menuLines);
}

}  // namespace quorvel
