// The codes of the record token stream, named once for the renderer and
// everything that reasons about the stream.
#pragma once

namespace quorvel::token {

// Box level.
inline constexpr unsigned char kBoxTitle = 0x10;
inline constexpr unsigned char kBoxEan = 0x11;
inline constexpr unsigned char kBoxPackaging = 0x12;
inline constexpr unsigned char kBoxExtra = 0x13;
inline constexpr unsigned char kBoxTags = 0x14;
inline constexpr unsigned char kBoxDvdCount = 0x81;

// DVD level.
inline constexpr unsigned char kDvdTitle = 0x30;
inline constexpr unsigned char kDvdRegion = 0x31;
inline constexpr unsigned char kDvdOpt = 0x32;
inline constexpr unsigned char kDvdSerial = 0x33;
inline constexpr unsigned char kDvdLow = 0x34;
inline constexpr unsigned char kDvdHigh = 0x35;
inline constexpr unsigned char kDvdFormat = 0x36;
inline constexpr unsigned char kDvdExtra = 0x37;
inline constexpr unsigned char kDvdYear = 0x38;
inline constexpr unsigned char kDvdTags = 0x39;
inline constexpr unsigned char kDvdFilmCount = 0x83;

// Film level.
inline constexpr unsigned char kFilmTitle = 0x50;
inline constexpr unsigned char kFilmOriginalTitle = 0x51;
inline constexpr unsigned char kFilmFurtherTitle = 0x52;
inline constexpr unsigned char kFilmRating = 0x53;
inline constexpr unsigned char kFilmYear = 0x54;
inline constexpr unsigned char kFilmLength = 0x55;
inline constexpr unsigned char kFilmPictureFormat = 0x56;
inline constexpr unsigned char kFilmGenre = 0x57;
inline constexpr unsigned char kFilmSubtitle = 0x58;
inline constexpr unsigned char kFilmLanguage = 0x5B;
inline constexpr unsigned char kFilmTags = 0x62;

// Definitions: each adds an entry to one table.
inline constexpr unsigned char kLanguageDefinition = 0x59;
inline constexpr unsigned char kLanguageDetailDefinition = 0x5A;
inline constexpr unsigned char kRoleDefinition = 0x5C;
inline constexpr unsigned char kPersonDefinition = 0x5D;
inline constexpr unsigned char kPersonReference = 0x5E;  // part of a person block
inline constexpr unsigned char kPersonNote = 0x5F;       // part of a person block

// Whole texts shown after the walk.
inline constexpr unsigned char kContent = 0x60;
inline constexpr unsigned char kComment = 0x61;

// Markers: no line.
inline constexpr unsigned char kMarkerA = 0x80;
inline constexpr unsigned char kMarkerB = 0x85;

}  // namespace quorvel::token
