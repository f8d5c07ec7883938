#include "render/record_renderer.h"

#include <array>
#include <optional>
#include <string_view>

#include "app/byte_read.h"
#include "app/text_util.h"
#include "render/token_codes.h"
#include "render/value_texts.h"

namespace quorvel {
namespace {

enum class Payload { kText, kU8, kU16, kU32, kRegion, kTag, kNone };

struct TokenKind {
    Payload payload;
    const char* prefix;  // the label up to and including its tabs
    const char* suffix;
};

// Line formats of the tokens that render through a fixed label.
constexpr TokenKind Describe(unsigned char code) {
    switch (code) {
        case token::kBoxTitle:
            return {Payload::kText, "Box-Titel:\t\t", ""};
        case token::kBoxEan:
            return {Payload::kText, "Box-EAN:\t\t", ""};
        case token::kBoxPackaging:
            return {Payload::kText, "Box-Verpackung:\t", ""};
        case token::kBoxExtra:
            return {Payload::kText, "Box-Extra:\t", ""};
        case token::kBoxTags:
            return {Payload::kTag, "Box-Tags:\t", ""};
        case token::kDvdTitle:
            return {Payload::kText, "Dvd-Titel:\t\t", ""};
        case token::kDvdRegion:
            return {Payload::kRegion, "Dvd-RC:\t\t", ""};
        case token::kDvdOpt:
            return {Payload::kU8, "Dvd-OPT:\t{", "}"};
        case token::kDvdSerial:
            return {Payload::kU32, "Dvd-SN:\t\t", ""};
        case token::kDvdLow:
            return {Payload::kU32, "Dvd-Low:\t\t", ""};
        case token::kDvdHigh:
            return {Payload::kU32, "Dvd-High:\t", ""};
        case token::kDvdFormat:
            return {Payload::kText, "Dvd-Format:\t", ""};
        case token::kDvdExtra:
            return {Payload::kText, "Dvd-Extra:\t", ""};
        case token::kDvdYear:
            return {Payload::kU16, "Dvd-Jahr:\t\t", ""};
        case token::kDvdTags:
            return {Payload::kTag, "Dvd-Tags:\t", ""};
        case token::kFilmTitle:
            return {Payload::kText, "Film-Titel:\t\t", ""};
        case token::kFilmOriginalTitle:
            return {Payload::kText, "Film-Original-Titel:\t", ""};
        case token::kFilmFurtherTitle:
            return {Payload::kText, "Weiterer Film-Titel:\t", ""};
        case token::kFilmRating:
            return {Payload::kU8, "Film-FSK:\t\t", ""};
        case token::kFilmYear:
            return {Payload::kU16, "Film-Jahr:\t\t", ""};
        case token::kFilmLength:
            return {Payload::kU16, "Film-L\xE4nge:\t", ""};
        case token::kFilmPictureFormat:
            return {Payload::kText, "Film-Bildformat:\t", ""};
        case token::kFilmGenre:
            return {Payload::kText, "Film-Genre:\t", ""};
        case token::kFilmSubtitle:
            return {Payload::kText, "Film-Untertitel:\t", ""};
        case token::kFilmTags:
            return {Payload::kTag, "Film-Tags:\t", ""};
        case token::kBoxDvdCount:
            return {Payload::kU16, "Box-Dvds:\t", ""};
        case token::kDvdFilmCount:
            return {Payload::kU16, "Dvd-Filme:\t", ""};
        default:
            return {Payload::kNone, nullptr, nullptr};
    }
}

// The payload as text: up to the first NUL or the payload's end.
std::string_view PayloadText(std::span<const unsigned char> payload) {
    std::string_view text(reinterpret_cast<const char*>(payload.data()), payload.size());
    return text.substr(0, text.find('\0'));
}

// A little-endian number of `width` bytes; bytes the payload lacks read as 0.
uint32_t PayloadUInt(std::span<const unsigned char> payload, size_t width) {
    return static_cast<uint32_t>(ReadLittleEndian(payload, width));
}

// The table a definition token fills, if the code is one.
std::optional<RecordTable> DefinedTable(unsigned char code) {
    switch (code) {
        case token::kLanguageDefinition:
            return RecordTable::kLanguage;
        case token::kLanguageDetailDefinition:
            return RecordTable::kLanguageDetail;
        case token::kRoleDefinition:
            return RecordTable::kRole;
        case token::kPersonDefinition:
            return RecordTable::kPerson;
        case token::kPersonReference:
            return RecordTable::kPersonRef;
        case token::kPersonNote:
            return RecordTable::kPersonNote;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool IsLongToken(unsigned char code) {
    return code == token::kBoxTags || code == token::kDvdTags || code == token::kContent ||
           code == token::kComment || code == token::kFilmTags;
}

uint32_t CRecordRenderer::RenderToken(std::span<const unsigned char>& cursor, std::string& line,
                                      bool& personBlockEnded) {
    line.clear();
    m_rendered = RenderedValue{};
    if (cursor.empty()) {
        return 1;  // nothing to read; report progress so no walk can stall
    }
    const unsigned char code = cursor[0];
    const size_t headerSize = IsLongToken(code) ? 3 : 2;
    if (cursor.size() < headerSize) {
        cursor = {};
        return static_cast<uint32_t>(headerSize);
    }
    const size_t length = ReadLittleEndian(cursor.subspan(1), headerSize - 1);
    const size_t tokenSize = headerSize + length;
    if (cursor.size() < tokenSize) {
        // A token cut off by the block's end is not rendered: reading its
        // payload would leave the block.
        cursor = {};
        return static_cast<uint32_t>(tokenSize);
    }
    const std::span<const unsigned char> payload = cursor.subspan(headerSize, length);
    cursor = cursor.subspan(tokenSize);
    m_rendered.code = code;

    RenderPayload(code, payload, line);

    // A person block is a run of references followed by a run of notes; the
    // first other token ends it.
    if ((m_lastToken == token::kPersonReference && code != token::kPersonReference &&
         code != token::kPersonNote) ||
        (m_lastToken == token::kPersonNote && code != token::kPersonNote)) {
        personBlockEnded = true;
    }
    m_lastToken = code;
    return static_cast<uint32_t>(tokenSize);
}

void CRecordRenderer::RenderPayload(unsigned char code, std::span<const unsigned char> payload,
                                    std::string& line) {
    if (const std::optional<RecordTable> table = DefinedTable(code)) {
        m_tables[static_cast<size_t>(*table)].Define(PayloadText(payload));
        return;
    }
    switch (code) {
        case token::kFilmLanguage: {
            const std::string_view text = PayloadText(payload);
            const size_t hash = text.find('#');
            if (hash == std::string_view::npos || hash == 0) {
                line.assign(text);
                m_rendered.kind = RenderedValue::Kind::kLanguageText;
                m_rendered.text = text;
            } else {
                line = "Film-Sprache:\t";
                const auto resolved = ResolveLanguage(AtoI(text), AtoI(text.substr(hash + 1)));
                if (resolved) {
                    AppendLanguageText(line, resolved->first, resolved->second);
                    m_rendered.text = resolved->first;
                    m_rendered.detail = resolved->second;
                }
                m_rendered.kind = RenderedValue::Kind::kLanguage;
            }
            return;
        }
        case token::kContent:
            m_contentText.assign(PayloadText(payload));
            return;
        case token::kComment:
            m_commentText.assign(PayloadText(payload));
            return;
        case token::kMarkerA:
        case token::kMarkerB:
            return;
        default:
            break;
    }

    const TokenKind kind = Describe(code);
    if (kind.prefix == nullptr) {
        line = "unbekanntes Token...";
        m_rendered.kind = RenderedValue::Kind::kUnknown;
        return;
    }
    line = kind.prefix;
    using Kind = RenderedValue::Kind;
    switch (kind.payload) {
        case Payload::kText:
            m_rendered.kind = Kind::kText;
            m_rendered.text = PayloadText(payload);
            line += m_rendered.text;
            break;
        case Payload::kU8:
        case Payload::kU16:
        case Payload::kU32:
            m_rendered.kind = Kind::kNumber;
            m_rendered.number = PayloadUInt(payload, kind.payload == Payload::kU8    ? 1
                                                     : kind.payload == Payload::kU16 ? 2
                                                                                     : 4);
            line += std::to_string(m_rendered.number);
            break;
        case Payload::kRegion:
            m_rendered.kind = Kind::kRegion;
            m_rendered.number = PayloadUInt(payload, 1);
            AppendRegionText(line, m_rendered.number);
            break;
        case Payload::kTag:
            m_rendered.kind = Kind::kTags;
            line += "<vorhanden>";
            break;
        case Payload::kNone:
            break;
    }
    line += kind.suffix;
}

std::optional<std::pair<std::string_view, std::string_view>> CRecordRenderer::ResolveLanguage(
    int32_t languageId, int32_t detailId) const {
    const std::optional<std::string_view> language =
        Table(RecordTable::kLanguage).FindById(languageId);
    const std::optional<std::string_view> detail =
        Table(RecordTable::kLanguageDetail).FindById(detailId);
    if (!language || !detail || language->empty() || detail->empty()) {
        return std::nullopt;
    }
    return std::pair{*language, *detail};
}

void CRecordRenderer::ResetRecordTables() {
    for (DefinitionTable& table : m_tables) {
        table.FreeTable();
    }
}

void CRecordRenderer::LendBlock(std::span<const unsigned char> block) {
    const std::string_view bytes(reinterpret_cast<const char*>(block.data()), block.size());
    for (DefinitionTable& table : m_tables) {
        table.LendSource(bytes);
    }
}

void CRecordRenderer::EndLoan() {
    for (DefinitionTable& table : m_tables) {
        table.EndLoan();
    }
}

void CRecordRenderer::BeginFile() {
    ResetRecordTables();
    m_contentText.clear();
    m_commentText.clear();
    m_lastToken = 0;
}

}  // namespace quorvel
