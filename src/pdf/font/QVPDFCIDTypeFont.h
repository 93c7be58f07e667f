#pragma once
// A descendant CID font of a composite font: its character collection and its
// width tables (/DW, /W, /DW2, /W2). Never handed to the interpreter itself;
// the composite font asks it for the metrics of each CID.

#include "pdf/font/QVPDFFont.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/// Horizontal advance of the CIDs first..last (fraction of the font size).
struct QVPDFFontCIDWidthExcep {
    uint32_t first = 0;
    uint32_t last = 0;
    double width = 0;
};

/// Vertical advance and position vector of the CIDs first..last.
struct QVPDFFontCIDWidthExcepV {
    uint32_t first = 0;
    uint32_t last = 0;
    double height = 0;
    double vx = 0;
    double vy = 0;
};

struct QVPDFFontCIDWidths {
    double defWidth = 1.0;
    double defHeight = -1.0;
    double defVY = 0.88;
    /// Sorted by first CID (a stable sort: of two ranges starting at the same
    /// CID, the one written later is found).
    std::vector<QVPDFFontCIDWidthExcep> exceps;
    std::vector<QVPDFFontCIDWidthExcepV> excepsV;
};

class QVPDFCIDTypeFont : public QVPDFFont {
public:
    /// Most width exceptions kept per table; a real font has at most one per
    /// glyph (65536), so a longer array is damaged or hostile.
    static constexpr size_t kMaxExceptions = 1u << 17;

    /// Horizontal metrics (vertical == false): dx is the width, dy, ox and oy 0.
    /// Vertical: dx 0, dy the height, (ox, oy) the position vector.
    void getCIDWidths(uint32_t cid, bool vertical, float* dx, float* dy, float* ox,
                      float* oy) const;

    const QVPDFFontCIDWidths& cidWidths() const { return cidWidths_; }
    /// Registry-Ordering, e.g. "Adobe-Japan1"; none without /CIDSystemInfo.
    const std::optional<std::string>& cidSystemRegion() const { return cidSystemRegion_; }
    /// Registry-Ordering-Supplement, e.g. "Adobe-Japan1-4".
    const std::optional<std::string>& cidSystemInfo() const { return cidSystemInfo_; }

    /// The glyph index of a CID in the embedded program; none when unknown.
    virtual std::optional<uint32_t> glyphIndexForCID(uint32_t cid) const { return cid; }

protected:
    QVPDFCIDTypeFont(const platform::PdfObject& dict, const std::string& objectKey);

private:
    void setCIDSystemInfoWithDictionary(const platform::PdfObject& dict);
    void setWidthsWithFontDictionary(const platform::PdfObject& dict);
    void setDW(const platform::PdfObject& dict);
    void setDW2(const platform::PdfObject& dict);

    QVPDFFontCIDWidths cidWidths_;
    std::optional<std::string> cidSystemRegion_;
    std::optional<std::string> cidSystemInfo_;
};
