#pragma once
// Plain value records describing the look of text, paragraphs and sections,
// named after the WordprocessingML elements they feed (w:rPr, w:pPr,
// w:sectPr). Lengths are points; QVDocxUtilities turns them into the XML's
// units. Every record owns its strings, so a record may outlive the page
// whose font gave it its name.

#include "pdf/font/ReaderFontNames.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct QVDocx_RFonts {
    std::string ascii; ///< the font name; the only one writers and the equality tests read
    std::string hAnsi;
    std::string cs;
    std::string eastAsia;
};

struct QVDocx_Color {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    int32_t alpha = 0;
};

struct QVDocx_RPr {
    std::string lang;
    QVDocx_RFonts rFonts;
    /// The generic kind of rFonts' family, for the outputs that name a
    /// fallback (HTML, RTF); Word finds its fallbacks itself.
    ReaderFontKind fontKind = ReaderFontKind::Unknown;
    int8_t vanish = 0;
    int32_t kern = 0;
    int8_t b = 0;
    int8_t i = 0;
    float sz = 0;
    float szCs = 0;
    QVDocx_Color color;
    float spacing = 0;  ///< extra space between characters; written only above 0
    float position = 0;
    float w = 0;        ///< horizontal scale in percent
    int32_t u = 0;      ///< 0 none, 1 single, 2 double
    QVDocx_Color u_color;
    int32_t strikethrough = 0;
    int32_t highlight = 0;
    int32_t capsStyle = 0;
    int32_t misc = 0;
    int32_t scrpit = 0; ///< 0 baseline, 1 superscript, 2 subscript
    int8_t noProof = 0;
};

struct QVDocx_Spacing {
    float before = 0;
    float after = 0;
    float line = 0;
    std::string lineRule;
};

struct QVDocx_Ind {
    float firstLine = 0;
    float left = 0;
};

struct QVDocx_PPr {
    int8_t widowControl = 0;
    QVDocx_Spacing spacing;
    QVDocx_Ind ind;
    std::string jc;
};

struct QVDocx_PgSz {
    float w = 0;
    float h = 0;
};

struct QVDocx_PgMar {
    float top = 0;
    float right = 0;
    float bottom = 0;
    float left = 0;
    float header = 0;
    float footer = 0;
    float gutter = 0;
};

struct QVDocx_Col {
    float space = 0; ///< gap after the column
    float w = 0;     ///< column width
};

struct QVDocx_Cols {
    int32_t num = 0; ///< the columns element is written only above 1
    int8_t sep = 0;
    float space = 0;
    float equalWidth = 0;
    std::vector<QVDocx_Col> col; ///< `num` entries when num > 1
};

struct QVDocx_DocGrid {
    std::optional<std::string> type; ///< none: no grid is written
    float linePitch = 0;
};

struct QVDocx_SectPr {
    int8_t write = 0; ///< zero: the record writes nothing
    int32_t type = 0; ///< 0 none, 1 continuous, 2 evenPage, 3 nextColumn, 4 nextPage, 5 oddPage
    QVDocx_PgSz pgSz;
    QVDocx_PgMar pgMar;
    QVDocx_Cols cols;
    QVDocx_DocGrid docGrid;
};

struct QVDocx_Tab {
    std::string val;
    float pos = 0;
};

struct QVDocx_Tabs {
    int32_t num = 0;
    std::vector<QVDocx_Tab> tab;
};

struct QVDocx_DocPr {
    std::string view = "page";
    float zoom = 100;
};

/// Same font, size, scale and character spacing (colour, weight, slant,
/// underline and script position aside): runs whose space width is alike.
bool QVDocx_RPrMetricsIsEqual(const QVDocx_RPr& a, const QVDocx_RPr& b);
/// Same look as far as any writer shows it: neighbouring text with equal
/// records joins into one run. Floats compare exactly.
bool QVDocx_RPrIsEqual(const QVDocx_RPr& a, const QVDocx_RPr& b);
