#pragma once
// The family a word processor finds for a font known by its PostScript name.
//
// PDFs name their fonts by PostScript name (ArialMT, TimesNewRomanPSMT,
// Helvetica, Times-Roman, CMR10, ...). No font matcher resolves those names,
// so a reader sets such text in its wide default font, lines wrap and pages
// spill. For the well-known names this answers a family name readers resolve:
// the standard 14 as their metric-compatible core families (Helvetica as
// Arial, Times as Times New Roman, Courier as Courier New; Liberation, URW and
// TeX Gyre clones alike), the core fonts' PostScript names as their families,
// and TeX's Computer/Latin Modern faces as a serif, sans or monospaced core
// family (a reader rarely has them installed).

#include <cstdint>
#include <optional>
#include <string>

/// The generic kind of a family, for outputs that name a fallback beside it
/// (CSS's serif, sans-serif and monospace; RTF's roman, swiss and modern).
enum class ReaderFontKind : int8_t { Unknown, Serif, Sans, Mono };

struct ReaderFontFace {
    std::string family;
    /// The style the name gives, also where the usual name tests miss it
    /// (TeX's CMBX10 and CMTI10, URW's NimbusRomNo9L-ReguItal).
    bool bold = false;
    bool italic = false;
    ReaderFontKind kind = ReaderFontKind::Unknown;
};

/// The reader's face for a font name without its subset prefix; none for a
/// name it does not know.
std::optional<ReaderFontFace> readerFontFace(const std::string& fontName);

/// The kind of the family a font name gives: the known family's, else the
/// one its words say ("Mono", "Sans", "Gothic", "Serif", "Roman", ...); none
/// when they say nothing (symbol fonts, most made-up names).
ReaderFontKind readerFontKind(const std::string& fontName);

/// What a PDF font says of itself beside its name: its descriptor's flags
/// and metrics (zero where it has none) and the style its embedded program
/// declares.
struct ReaderFontFacts {
    bool hasDescriptor = false;
    bool fixedPitch = false;
    bool serif = false;
    bool symbolic = false;
    bool italic = false;    ///< the Italic flag
    bool forceBold = false; ///< the ForceBold flag
    double italicAngle = 0;
    double weight = 0;        ///< /FontWeight, 100..900
    double stemV = 0;         ///< vertical stem width in glyph space (1/1000 em)
    double averageWidth = 0;  ///< /AvgWidth in glyph space
    bool programBold = false; ///< the embedded program calls itself bold
    bool programItalic = false;
};

/// The face a reader sets a PDF font's text in, for any font: the known
/// family of its name (or of its family name), else the family its own name
/// gives when that has letters no reader could map (CJK names), else the
/// core family (Times New Roman, Arial, Arial Narrow, Courier New) that its
/// name words and descriptor flags call for. Bold and italic come from the
/// name's style words, and where the name says nothing, from the facts.
ReaderFontFace readerFontFor(const std::string& fontName, const std::string& familyName,
                             const ReaderFontFacts& facts);

class QVPDFFont;
/// The same for a font of a page: its name ("Arial Unicode MS" when it has
/// none), family name and descriptor.
ReaderFontFace readerFontFor(const QVPDFFont& font);

/// How fontTable.xml declares a family, so that a reader without it picks a
/// close one: its generic family ("roman", "swiss", "modern", "decorative",
/// "auto"), pitch ("variable", "fixed"), charset ("00", "02" for symbol
/// fonts) and the core family to stand in for it (the family itself for a
/// core family).
struct ReaderFontTableEntry {
    std::string family;
    std::string pitch;
    std::string charset;
    std::string altName;
};
ReaderFontTableEntry readerFontTableEntry(const std::string& family, ReaderFontKind kind);
