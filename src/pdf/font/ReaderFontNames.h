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

#include <optional>
#include <string>

struct ReaderFontFace {
    std::string family;
    /// The style the name gives, also where the usual name tests miss it
    /// (TeX's CMBX10 and CMTI10, URW's NimbusRomNo9L-ReguItal).
    bool bold = false;
    bool italic = false;
};

/// The reader's face for a font name without its subset prefix; none for a
/// name it does not know.
std::optional<ReaderFontFace> readerFontFace(const std::string& fontName);
