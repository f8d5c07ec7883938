// Renders the record token stream of a box file's data block into German
// labelled lines (Windows-1252, no line ends), one token at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "render/definition_table.h"
#include "render/record_sink.h"

namespace quorvel {

// Header forms: these five codes carry a 16-bit length, all others 8 bits.
bool IsLongToken(unsigned char code);

// The six definition tables a record defines and refers to.
enum class RecordTable { kLanguage, kLanguageDetail, kRole, kPerson, kPersonRef, kPersonNote };
inline constexpr size_t kRecordTableCount = 6;

class CRecordRenderer {
public:
    // Renders the token at the front of `cursor` into `line` (empty when the
    // token yields none) and advances `cursor` past it. Returns the token's
    // size, header and payload. A token whose header or payload does not fit
    // in `cursor` is not rendered at all: `cursor` is emptied, nothing else
    // changes, and the returned size is the size it claims (at least what was
    // left), so a caller's running total passes the block's end.
    uint32_t RenderToken(std::span<const unsigned char>& cursor, std::string& line,
                         bool& personBlockEnded);

    // Appends "\r\n" + "Film-Person:\t..." for every person reference, then
    // empties all tables.
    void AppendPersonLines(std::string& text);

    // Empties every table and sets every nextId to 1.
    void ResetRecordTables();

    // While `block` is walked the tables refer to its bytes instead of
    // copying them; EndLoan empties them before the block may go. BlockLoan
    // pairs the two.
    void LendBlock(std::span<const unsigned char> block);
    void EndLoan();

    // The start of a file's display: ids restart, content and comment are
    // cleared, and the last token is forgotten so no file's display depends
    // on the file shown before it.
    void BeginFile();

    // The two texts a language reference joins; none unless both are found
    // and non-empty.
    std::optional<std::pair<std::string_view, std::string_view>> ResolveLanguage(
        int32_t languageId, int32_t detailId) const;

    // An observer of the walk (may be null); it outlives its use here.
    void SetSink(RecordSink* sink) { m_sink = sink; }
    RecordSink* Sink() const { return m_sink; }
    // The value of the token RenderToken rendered last.
    const RenderedValue& LastRendered() const { return m_rendered; }

    const std::string& ContentText() const { return m_contentText; }
    const std::string& CommentText() const { return m_commentText; }

    // Read-only: only the tokens fill a table and only a reset empties it.
    const DefinitionTable& Table(RecordTable which) const {
        return m_tables[static_cast<size_t>(which)];
    }

private:
    void RenderPayload(unsigned char code, std::span<const unsigned char> payload,
                       std::string& line);

    std::array<DefinitionTable, kRecordTableCount> m_tables;
    unsigned char m_lastToken = 0;
    std::string m_contentText;
    std::string m_commentText;
    RecordSink* m_sink = nullptr;
    RenderedValue m_rendered;
};

// Lends a block to a renderer's tables for the time of one walk.
class BlockLoan {
public:
    BlockLoan(CRecordRenderer& renderer, std::span<const unsigned char> block)
        : m_renderer(renderer) {
        m_renderer.LendBlock(block);
    }
    ~BlockLoan() { m_renderer.EndLoan(); }
    BlockLoan(const BlockLoan&) = delete;
    BlockLoan& operator=(const BlockLoan&) = delete;

private:
    CRecordRenderer& m_renderer;
};

}  // namespace quorvel
