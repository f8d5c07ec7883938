// Identifiers, texts and the control table of the main window (template 102)
// and the resources it uses.
#pragma once

#include <array>

#include "boxfile/box_display.h"

namespace quorvel {

inline constexpr int IDR_MAINFRAME = 128;      // icon group: 32 x 32 and 16 x 16
inline constexpr int IDR_DEFAULT_COVER = 129;  // type "JPG"
inline constexpr const char* kDefaultCoverType = "JPG";
inline constexpr int IDC_DROP_CURSOR = 147;  // arrow, hot spot (0, 0)

inline constexpr int IDC_RECORD_TEXT = 1000;
inline constexpr int IDC_TYPE = 1001;
inline constexpr int IDC_WIDTH = 1002;
inline constexpr int IDC_HEIGHT = 1003;
inline constexpr int IDC_COMPRESSION_LABEL = 1004;
inline constexpr int IDC_COMPRESSION = 1005;
inline constexpr int IDC_EXPORT_LABEL = 1006;
inline constexpr int IDC_EXPORT_DATE = 1007;
inline constexpr int IDC_EXPORT_TIME = 1008;
inline constexpr int IDC_COVER = 1090;

inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned ID_HELP = 0xE146;

inline constexpr const char* kCaption = "Quorvel";

// Template 102: 280 x 198 dialog units.
inline constexpr int kTemplateWidthDu = 280;
inline constexpr int kTemplateHeightDu = 198;

// Pixel rules of the window.
inline constexpr int kTextViewLeft = 105;   // text view's left edge after a resize
inline constexpr int kMinTrackWidth = 200;  // smallest outer size
inline constexpr int kMinTrackHeight = 167;
inline constexpr int kPictureRight = 99;  // cover rectangle 0, 0, 99, 139
inline constexpr int kPictureBottom = 139;
inline constexpr int kTabStopPx = 48;  // 32 dialog units across

enum class ControlKind { TextView, PictureFrame, Label };

struct TemplateControl {
    int id;
    const char* name;
    ControlKind kind;
    int x, y, width, height;  // dialog units
    const char* text;         // Windows-1252
};

// In the template's order, which is also the tab order.
inline constexpr std::array<TemplateControl, 10> kViewerTemplate{{
    {IDC_RECORD_TEXT, "IDC_RECORD_TEXT", ControlKind::TextView, 70, 0, 209, 199, ""},
    {IDC_COVER, "IDC_COVER", ControlKind::PictureFrame, 0, 0, 67, 88, ""},
    {IDC_TYPE, "IDC_TYPE", ControlKind::Label, 0, 92, 67, 8, InitialLabels::kType},
    {IDC_WIDTH, "IDC_WIDTH", ControlKind::Label, 0, 104, 67, 8, InitialLabels::kWidth},
    {IDC_HEIGHT, "IDC_HEIGHT", ControlKind::Label, 0, 116, 67, 8, InitialLabels::kHeight},
    {IDC_COMPRESSION_LABEL, "IDC_COMPRESSION_LABEL", ControlKind::Label, 0, 134, 67, 8,
     "Komprimierung:"},
    {IDC_COMPRESSION, "IDC_COMPRESSION", ControlKind::Label, 0, 146, 67, 8,
     InitialLabels::kCompression},
    {IDC_EXPORT_LABEL, "IDC_EXPORT_LABEL", ControlKind::Label, 0, 164, 67, 8, "Export-Zeitpunkt"},
    {IDC_EXPORT_DATE, "IDC_EXPORT_DATE", ControlKind::Label, 0, 176, 67, 8, InitialLabels::kDate},
    {IDC_EXPORT_TIME, "IDC_EXPORT_TIME", ControlKind::Label, 0, 186, 67, 8, InitialLabels::kTime},
}};

}  // namespace quorvel
