#pragma once
// The DrawingML property records of slide text: text-body properties
// (a:bodyPr), paragraph properties (a:pPr) and run properties (a:rPr). Plain
// values, copied whole. Lengths in points unless a field says otherwise.

#include <cstdint>
#include <optional>
#include <string>

struct QVPPTX_TxBodyPr {
    std::string warp; ///< the "wrap" keyword
    int32_t lIns = 0; ///< EMU
    int32_t tIns = 0; ///< EMU
    int32_t rIns = 0; ///< EMU
    int8_t rtlCol = 0;
    std::string anchor; ///< vertical anchoring keyword
};

struct QVPPTX_PPr_TabList {
    int32_t pos = 0; ///< whole points; written only when above 0
    std::string algn;
};

struct QVPPTX_PPr_EndParaRPr {
    std::string lang;
    std::string altLang;
};

struct QVPPTX_PPr {
    float marL = 0; ///< left margin inside the text box
    /// Exact line spacing, points; kept to the hundredth of a point the
    /// format holds, so that many lines do not drift from their places.
    float lnSpc = 0;
    QVPPTX_PPr_TabList tabList;
    std::string algn; ///< written by freeforms only
    QVPPTX_PPr_EndParaRPr endParaRPr;
};

struct QVPPTX_RunPr_Font {
    std::optional<std::string> typeface;
    std::optional<std::string> pitchFamily;
    std::optional<std::string> charset;
};

struct QVPPTX_RunPr {
    std::optional<std::string> lang;
    std::optional<std::string> altLang;
    float sz = 12; ///< font size
    int8_t dirty = 0;
    int8_t smtClean = 0;
    int8_t b = 0;                        ///< bold face
    int8_t i = 0;                        ///< italic face
    std::optional<std::string> rgbColor; ///< six hex digits, maybe with "#"
    /// Text that paints nothing (text rendering mode 3): written with no fill.
    int8_t invisible = 0;
    QVPPTX_RunPr_Font latin;
    QVPPTX_RunPr_Font cs;
};

/// Same typeface, pitch family and character set; a missing text equals nothing.
bool QVPPTX_RunPrFontIsEqual(const QVPPTX_RunPr_Font& a, const QVPPTX_RunPr_Font& b);
/// Whether text with properties `b` may join a run with properties `a`.
bool QVPPTX_RunPrIsEqual(const QVPPTX_RunPr& a, const QVPPTX_RunPr& b);
