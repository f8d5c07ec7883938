#include "render/record_renderer.h"

#include <array>
#include <string_view>

#include "app/text_util.h"

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
        case 0x10:
            return {Payload::kText, "Box-Titel:\t\t", ""};
        case 0x11:
            return {Payload::kText, "Box-EAN:\t\t", ""};
        case 0x12:
            return {Payload::kText, "Box-Verpackung:\t", ""};
        case 0x13:
            return {Payload::kText, "Box-Extra:\t", ""};
        case 0x14:
            return {Payload::kTag, "Box-Tags:\t", ""};
        case 0x30:
            return {Payload::kText, "Dvd-Titel:\t\t", ""};
        case 0x31:
            return {Payload::kRegion, "Dvd-RC:\t\t", ""};
        case 0x32:
            return {Payload::kU8, "Dvd-OPT:\t{", "}"};
        case 0x33:
            return {Payload::kU32, "Dvd-SN:\t\t", ""};
        case 0x34:
            return {Payload::kU32, "Dvd-Low:\t\t", ""};
        case 0x35:
            return {Payload::kU32, "Dvd-High:\t", ""};
        case 0x36:
            return {Payload::kText, "Dvd-Format:\t", ""};
        case 0x37:
            return {Payload::kText, "Dvd-Extra:\t", ""};
        case 0x38:
            return {Payload::kU16, "Dvd-Jahr:\t\t", ""};
        case 0x39:
            return {Payload::kTag, "Dvd-Tags:\t", ""};
        case 0x50:
            return {Payload::kText, "Film-Titel:\t\t", ""};
        case 0x51:
            return {Payload::kText, "Film-Original-Titel:\t", ""};
        case 0x52:
            return {Payload::kText, "Weiterer Film-Titel:\t", ""};
        case 0x53:
            return {Payload::kU8, "Film-FSK:\t\t", ""};
        case 0x54:
            return {Payload::kU16, "Film-Jahr:\t\t", ""};
        case 0x55:
            return {Payload::kU16, "Film-L\xE4nge:\t", ""};
        case 0x56:
            return {Payload::kText, "Film-Bildformat:\t", ""};
        case 0x57:
            return {Payload::kText, "Film-Genre:\t", ""};
        case 0x58:
            return {Payload::kText, "Film-Untertitel:\t", ""};
        case 0x62:
            return {Payload::kTag, "Film-Tags:\t", ""};
        case 0x81:
            return {Payload::kU16, "Box-Dvds:\t", ""};
        case 0x83:
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
    uint32_t value = 0;
    for (size_t i = 0; i < width && i < payload.size(); ++i) {
        value |= static_cast<uint32_t>(payload[i]) << (8 * i);
    }
    return value;
}

}  // namespace

bool IsLongToken(unsigned char code) {
    return code == 0x14 || code == 0x39 || code == 0x60 || code == 0x61 || code == 0x62;
}

uint32_t CRecordRenderer::RenderToken(std::span<const unsigned char>& cursor, std::string& line,
                                      bool& personBlockEnded) {
    line.clear();
    if (cursor.empty()) {
        return 1;  // nothing to read; report progress so no walk can stall
    }
    const unsigned char code = cursor[0];
    const size_t headerSize = IsLongToken(code) ? 3 : 2;
    if (cursor.size() < headerSize) {
        cursor = {};
        return static_cast<uint32_t>(headerSize);
    }
    const size_t length = headerSize == 3 ? (cursor[1] | (size_t{cursor[2]} << 8)) : cursor[1];
    const size_t tokenSize = headerSize + length;
    if (cursor.size() < tokenSize) {
        // A token cut off by the block's end is not rendered: reading its
        // payload would leave the block.
        cursor = {};
        return static_cast<uint32_t>(tokenSize);
    }
    const std::span<const unsigned char> payload = cursor.subspan(headerSize, length);
    cursor = cursor.subspan(tokenSize);

    RenderPayload(code, payload, line);

    if ((m_lastToken == 0x5E && code != 0x5E && code != 0x5F) ||
        (m_lastToken == 0x5F && code != 0x5F)) {
        personBlockEnded = true;
    }
    m_lastToken = code;
    return static_cast<uint32_t>(tokenSize);
}

void CRecordRenderer::RenderPayload(unsigned char code, std::span<const unsigned char> payload,
                                    std::string& line) {
    DefinitionTable* definitions = nullptr;
    switch (code) {
        case 0x59:
            definitions = &m_languageTable;
            break;
        case 0x5A:
            definitions = &m_languageDetailTable;
            break;
        case 0x5C:
            definitions = &m_roleTable;
            break;
        case 0x5D:
            definitions = &m_personTable;
            break;
        case 0x5E:
            definitions = &m_personRefTable;
            break;
        case 0x5F:
            definitions = &m_personNoteTable;
            break;
        default:
            break;
    }
    if (definitions != nullptr) {
        // Every definition takes an id, also one that a duplicate drops.
        const int32_t id = definitions->nextId;
        definitions->nextId = static_cast<int32_t>(static_cast<uint32_t>(id) + 1);
        definitions->AddTableEntry(id, PayloadText(payload));
        return;
    }
    switch (code) {
        case 0x5B: {
            const std::string_view text = PayloadText(payload);
            const size_t hash = text.find('#');
            if (hash == std::string_view::npos || hash == 0) {
                line.assign(text);
            } else {
                line = "Film-Sprache:\t";
                line += FormatLanguage(AtoI(text), AtoI(text.substr(hash + 1)));
            }
            return;
        }
        case 0x60:
            m_contentText.assign(PayloadText(payload));
            return;
        case 0x61:
            m_commentText.assign(PayloadText(payload));
            return;
        case 0x80:
        case 0x85:
            return;
        default:
            break;
    }

    const TokenKind kind = Describe(code);
    if (kind.prefix == nullptr) {
        line = "unbekanntes Token...";
        return;
    }
    line = kind.prefix;
    switch (kind.payload) {
        case Payload::kText:
            line += PayloadText(payload);
            break;
        case Payload::kU8:
            line += std::to_string(PayloadUInt(payload, 1));
            break;
        case Payload::kU16:
            line += std::to_string(PayloadUInt(payload, 2));
            break;
        case Payload::kU32:
            line += std::to_string(PayloadUInt(payload, 4));
            break;
        case Payload::kRegion:
            line += FormatRegionCode(static_cast<unsigned char>(PayloadUInt(payload, 1)));
            break;
        case Payload::kTag:
            line += "<vorhanden>";
            break;
        case Payload::kNone:
            break;
    }
    line += kind.suffix;
}

std::string CRecordRenderer::FormatRegionCode(unsigned char mask) {
    if (mask == 0x00 || mask == 0xFF) {
        return "Regionalcode frei";
    }
    std::string text;
    for (int region = 1; region <= 8; ++region) {
        if (mask & (1u << (region - 1))) {
            if (!text.empty()) {
                text += ", ";
            }
            text += static_cast<char>('0' + region);
        }
    }
    return text;
}

std::string CRecordRenderer::FormatLanguage(int32_t languageId, int32_t detailId) const {
    const std::string* language = m_languageTable.FindById(languageId);
    const std::string* detail = m_languageDetailTable.FindById(detailId);
    if (language == nullptr || detail == nullptr || language->empty() || detail->empty()) {
        return {};
    }
    return *language + " in " + *detail;
}

void CRecordRenderer::ResetRecordTables() {
    for (DefinitionTable* table : {&m_languageTable, &m_languageDetailTable, &m_roleTable,
                                   &m_personTable, &m_personRefTable, &m_personNoteTable}) {
        table->FreeTable();
    }
}

void CRecordRenderer::BeginFile() {
    ResetRecordTables();
    m_contentText.clear();
    m_commentText.clear();
    m_lastToken = 0;
}

}  // namespace quorvel
