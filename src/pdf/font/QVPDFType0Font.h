#pragma once
// A composite (Type0) font: its /Encoding CMap splits strings into codes and
// maps them to CIDs, the first descendant CID font gives each CID its
// advance, and the text comes from the /ToUnicode map (keyed by the code as
// written), else the character collection's CID-to-Unicode map, else the
// embedded TrueType program's own Unicode cmap.

#include "pdf/cmap/QVPDFCharCodeToUnicode.h"
#include "pdf/cmap/QVPDFCodeToCIDMap.h"
#include "pdf/font/QVPDFCIDTypeFont.h"
#include "pdf/font/QVPDFFont.h"

#include <memory>
#include <string>
#include <vector>

class QVPDFType0Font : public QVPDFFont {
public:
    /// None when /Encoding is neither a name nor a stream, or names a CMap
    /// that does not exist (the identity names need no file).
    static std::shared_ptr<const QVPDFType0Font> initWithDictionary(const platform::PdfObject& dict,
                                                                    const std::string& objectKey);

    /// One code of the CMap: code = its CID; the text of the code; the CID's
    /// metrics in the CMap's writing mode. A string that ends inside a code
    /// uses up its last bytes as CID 0 without text.
    int getNextChar(const unsigned char* s, int len, uint32_t* code, uint32_t* u, int uSize,
                    int* uLen, float* dx, float* dy, float* ox, float* oy) const override;
    /// The width of the CID that decodes to U+0020 (CID 32 without any Unicode
    /// map) when it lies in (0, 1); else the descriptor rule of simple fonts.
    double widthOfSpace() const override;
    double ascent() const override;
    double descent() const override;
    platform::Rect fontBBox() const override;
    int wMode() const override { return extToCIDMap_->wMode(); }

    /// The first descendant, or none.
    const QVPDFCIDTypeFont* cidTypeFont() const {
        return descendantFonts_.empty() ? nullptr : descendantFonts_.front().get();
    }
    /// The CIDs' metrics of the first descendant; all 0 without one.
    void getCIDWidths(uint32_t cid, float* dx, float* dy, float* ox, float* oy) const;

    const std::shared_ptr<const QVPDFCharCodeToUnicode>& extToUnicodeMap() const {
        return extToUnicodeMap_;
    }
    const std::shared_ptr<const QVPDFCodeToCIDMap>& extToCIDMap() const { return extToCIDMap_; }
    const std::vector<std::shared_ptr<const QVPDFCIDTypeFont>>& descendantFonts() const {
        return descendantFonts_;
    }
    /// The /Encoding name; for an embedded CMap its /CMapName, else empty.
    const std::string& cMapName() const { return cMapName_; }

private:
    QVPDFType0Font() = default;
    void setDescendantFontsWithDictionary(const platform::PdfObject& dict);
    void setFontDescriptorWithCIDTypeFont();
    /// The text the embedded program's cmap gives the CID's glyph; 0 units when none.
    int glyphUnicode(uint32_t cid, uint32_t* u, int uSize) const;
    double computeWidthOfSpace() const;

    std::shared_ptr<const QVPDFCharCodeToUnicode> extToUnicodeMap_;
    std::shared_ptr<const QVPDFCodeToCIDMap> extToCIDMap_;
    std::vector<std::shared_ptr<const QVPDFCIDTypeFont>> descendantFonts_;
    std::string cMapName_;
    double widthOfSpace_ = 0.0;
};
