// What the record walk tells an observer besides the text it assembles: each
// token's decoded value and each person line's parts, taken from the same
// tables and rules as the lines, so a structured reading of a record cannot
// come to differ from the text the viewer shows.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorvel {

// The value a rendered token carried. Texts are Windows-1252 and borrowed:
// valid only during the call that hands them over.
struct RenderedValue {
    enum class Kind {
        kNone,          // no line (definitions, markers, content, comment, cut-off tokens)
        kText,          // text: the payload text
        kNumber,        // u8, u16 or u32: number
        kRegion,        // number: the region mask byte
        kTags,          // tags present
        kLanguage,      // a language reference: text and detail, both empty when unresolved
        kLanguageText,  // a language line that is no reference: text as shown
        kUnknown,       // an unrecognised code
    };
    unsigned char code = 0;
    Kind kind = Kind::kNone;
    std::string_view text;
    std::string_view detail;
    uint32_t number = 0;
};

// One person line's parts. When the line shows nothing after its label
// (role or name unresolved), `shown` is false and the parts are empty.
struct PersonParts {
    bool shown = false;
    std::string_view role;
    std::string_view name;  // "A, B" or "A, B [N]"
    bool hasNote = false;
    std::string_view note;  // the notes joined by ", ", as inside the braces
};

class RecordSink {
public:
    virtual ~RecordSink() = default;
    // Every token the walk rendered, in stream order; `lineShown` says
    // whether its line reached the text (never for the block's last token,
    // nor for a line the text's bound left out).
    virtual void Token(const RenderedValue& value, bool lineShown) = 0;
    // Every person line the text shows, when it is appended.
    virtual void Person(const PersonParts& person) = 0;
    // The end of every person-line flush; the tables are empty again.
    virtual void PersonsDone() = 0;
    // After the walk: the content and comment texts the text shows (empty:
    // none, or left out by the bound).
    virtual void Sections(std::string_view content, std::string_view comment) = 0;
    // The text reached its bound: nothing after the last shown line is shown.
    virtual void TextCut() = 0;
};

}  // namespace quorvel
