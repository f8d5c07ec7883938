#include "cli/dump_args.h"

#include <algorithm>
#include <cstdio>

#include "boxfile/record_fields.h"

namespace quorvel {
namespace {

constexpr const char* kTool = "quorvel-dump";
constexpr size_t kUsageWidth = 79;
constexpr size_t kHelpColumn = 15;

int UsageError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kTool, message.c_str(), kTool);
    return 2;
}

std::string Joined(const std::vector<std::string>& items, std::string_view separator = ", ",
                   std::string_view last = ", ") {
    std::string joined;
    for (size_t i = 0; i < items.size(); ++i) {
        joined.append(i == 0 ? "" : i + 1 == items.size() ? last : separator).append(items[i]);
    }
    return joined;
}

// "--cover DIR"; "(no option)" for the form without one.
std::string Label(const DumpForm& form) {
    return form.option.empty() ? "(no option)"
                               : std::string(form.option) + (form.argument.empty() ? "" : " ") +
                                     std::string(form.argument);
}

// The options of the forms that pass `test`, joined: "--a, --b and --c".
template <typename Test>
std::string FormOptions(Test test, std::string_view last) {
    std::vector<std::string> names;
    for (const DumpForm& form : DumpForms().subspan(1)) {
        if (test(form)) {
            names.emplace_back(form.option);
        }
    }
    return Joined(names, ", ", last);
}

std::string Keys(std::span<const Field> fields);

std::string Member(const Field& field) {
    std::string member = "\"" + std::string(field.jsonKey) + "\"";
    std::vector<std::string> keys;
    const auto entryKeys = [&keys](const auto& members) {
        for (const auto& m : members) {
            keys.push_back("\"" + std::string(m.key) + "\"");
        }
    };
    switch (field.kind) {
        case FieldKind::kItems:
            return member + ": [" + Keys(field.items) + "]";
        case FieldKind::kLanguages:
            entryKeys(kLanguageMembers);
            return member + ": [{" + Joined(keys) + "}]";
        case FieldKind::kPersons:
            entryKeys(kPersonMembers);
            return member + ": [{" + Joined(keys) + "}]";
        default:
            return member;
    }
}

// The keys of the records' objects: {"file", ..., "cover": {...}, "dvds": [{...}]}.
std::string Keys(std::span<const Field> fields) {
    std::vector<std::string> members;
    for (size_t i = 0; i < fields.size();) {
        const size_t end = GroupEnd(fields, i);
        if (fields[i].group.empty()) {
            members.push_back(Member(fields[i]));
        } else {
            std::vector<std::string> inner;
            for (size_t j = i; j < end; ++j) {
                inner.push_back(Member(fields[j]));
            }
            members.push_back("\"" + std::string(fields[i].group) + "\": {" + Joined(inner) + "}");
        }
        i = end;
    }
    return "{" + Joined(members) + "}";
}

// `text` broken after its commas into lines of at most kUsageWidth, the
// first led by `first`, the others by two blanks.
std::string Wrapped(std::string_view first, std::string_view text) {
    std::string out;
    std::string line(first);
    bool lineEmpty = true;
    while (!text.empty()) {
        const size_t comma = text.find(", ");
        const std::string_view piece =
            text.substr(0, comma == std::string_view::npos ? comma : comma + 1);
        if (!lineEmpty && line.size() + 1 + piece.size() > kUsageWidth) {
            out += line + "\n";
            line = "  ";
            lineEmpty = true;
        }
        line.append(lineEmpty ? "" : " ").append(piece);
        lineEmpty = false;
        text.remove_prefix(std::min(text.size(), piece.size() + 1));
    }
    return out + line + "\n";
}

std::string DumpUsage() {
    std::vector<std::string> labels;
    for (const DumpForm& form : DumpForms().subspan(1)) {
        labels.push_back(Label(form));
    }
    std::string usage = std::string("Usage: ") + kTool + " [" + Joined(labels, " | ", " | ") +
                        "] [--lines]\n                    [--] FILE...\n"
                        "       quorvel-dump --sqlite DB PATH...\n"
                        "       quorvel-dump --search QUERY --sqlite DB [--json | --lines]\n"
                        "Prints what the Quorvel viewer shows for each box FILE: the export "
                        "summary\nand the record text. FILE '-' reads one box from standard "
                        "input.\n\n";
    // Each option's help starts in one column, on as many lines as it has.
    const auto option = [&usage](std::string_view label, std::string_view help) {
        usage.append("  ").append(label);
        usage.append(label.size() + 3 < kHelpColumn ? kHelpColumn - 2 - label.size() : 1, ' ');
        for (size_t start = 0, end = 0; end != std::string_view::npos; start = end + 1) {
            end = help.find('\n', start);
            usage.append(start == 0 ? 0 : kHelpColumn, ' ').append(help.substr(start, end - start));
            usage += '\n';
        }
    };
    for (const DumpForm& form : DumpForms()) {
        option(Label(form), form.help);
    }
    option("--lines", "with " + FormOptions([](const DumpForm& f) { return f.lines; }, " or ") +
                          ": one object per line, no array");
    option("--sqlite DB", "indexes the box files of the folder trees and files PATH into the\n"
                          "SQLite database DB, reading only what changed; unreadable files\n"
                          "are kept with their reason; with --search, the database to search");
    option("--search QUERY", "\nprints the box paths in DB that match, best first (with --json\n"
                             "or --lines each with its matching films); all words are\n"
                             "needed, the last also as a prefix; \"a phrase\"; person:,\n"
                             "titel:, genre:, sprache:, ean:, jahr:1990-1999, fsk:12");
    option("--help", "this text");
    option("--version", "the version");
    usage +=
        "\nEach file's result is written as soon as it is done. On a terminal, the text\n"
        "and CSV forms show control characters visibly (ESC as ^[, DEL as ^?, C1 as\n"
        "<U+009B>); --json, --records and --raw stay exact.\n\n";
    usage += Wrapped("Records: ", Keys(BoxFileFields()));
    usage +=
        "  \"error\" only for a file that is no readable box; \"exported\" in ISO 8601;\n"
        "  \"cover\" is null without a cover block, and so is a field the record\n"
        "  does not set. The README has the details.\n"
        "\n"
        "Exit status: 0 when every FILE was a readable box file (and, with --cover,\n"
        "had its cover written), 1 when any was not (the others are still done) or\n"
        "writing the output failed, 2 for a usage error.\n";
    return usage;
}

}  // namespace

std::variant<DumpArgs, int> ParseDumpArgs(std::span<const char* const> args) {
    const std::span<const DumpForm> forms = DumpForms();
    DumpArgs parsed;
    parsed.form = &forms[0];
    bool optionsDone = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string arg = args[i];
        if (optionsDone || arg.size() < 2 || arg[0] != '-') {
            parsed.files.push_back(arg);
        } else if (arg == "--") {
            optionsDone = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(DumpUsage().c_str(), stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("%s %s\n", kTool, QUORVEL_VERSION);
            return 0;
        } else if (arg == "--lines") {
            parsed.lines = true;
        } else {
            const auto form = std::find_if(forms.begin(), forms.end(), [&arg](const DumpForm& f) {
                return !f.option.empty() && f.option == arg;
            });
            if (form == forms.end()) {
                return UsageError("unknown option " + arg);
            }
            if (parsed.form != &forms[0] && parsed.form != &*form) {
                return UsageError(FormOptions([](const DumpForm&) { return true; }, " and ") +
                                  " exclude each other");
            }
            if (!form->argument.empty()) {
                if (i + 1 >= args.size()) {
                    return UsageError(arg + " needs " + std::string(form->argument));
                }
                parsed.argument = args[++i];
            }
            parsed.form = &*form;
        }
    }
    if (parsed.files.empty()) {
        return UsageError("no FILE given");
    }
    if (parsed.form->oneFile && parsed.files.size() != 1) {
        return UsageError(std::string(parsed.form->option) + " takes exactly one FILE");
    }
    if (parsed.lines && !parsed.form->lines) {
        return UsageError("--lines goes with " +
                          FormOptions([](const DumpForm& f) { return f.lines; }, " or "));
    }
    return parsed;
}

}  // namespace quorvel
