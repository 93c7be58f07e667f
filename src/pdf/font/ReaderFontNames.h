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
