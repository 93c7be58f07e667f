#pragma once
// The values of a PDF /FontDescriptor: metrics, flags, names and the kind of
// embedded font program (with the names and built-in encoding FreeType reads
// from it). Immutable after construction.

#include "platform/Geometry.h"
#include "platform/pdf/PdfObject.h"
#include "platform/text/FontProgram.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QVPDFFontDescriptor {
public:
    /// None when `dict` is not a dictionary. /Type is not required; numbers
    /// stored as reals are read like integers.
    static std::shared_ptr<const QVPDFFontDescriptor>
    initWithPDFDictionary(const platform::PdfObject& dict);

    double descent() const { return descent_; }
    double ascent() const { return ascent_; }
    double leading() const { return leading_; }
    double capHeight() const { return capHeight_; }
    double xHeight() const { return xHeight_; }
    double averageWidth() const { return averageWidth_; }
    double maxWidth() const { return maxWidth_; }
    double missingWidth() const { return missingWidth_; }
    double verticalStemWidth() const { return verticalStemWidth_; }
    double horizontalStemHeigth() const { return horizontalStemHeigth_; }
    double italicAngle() const { return italicAngle_; }
    /// /FontWeight (100..900), 0 when absent.
    double fontWeight() const { return fontWeight_; }
    /// Lower-left corner as origin, upper-right corner in the size fields.
    const platform::Rect& fontBBox() const { return fontBBox_; }
    uint64_t flags() const { return flags_; }
    const std::optional<std::string>& fontName() const { return fontName_; }
    const std::optional<std::string>& fontFamily() const { return fontFamily_; }
    /// The embedded program as FreeType read it; none without one or when unreadable.
    const std::shared_ptr<const platform::FontProgramInfo>& embFont() const { return embFont_; }
    /// 0 none, 1 /FontFile, 2 /FontFile2, 3 /FontFile3.
    int64_t embFontNum() const { return embFontNum_; }
    const std::string& embFontSubType() const { return embFontSubType_; }
    const std::string& embFullName() const { return embFullName_; }
    const std::string& embPostScriptName() const { return embPostScriptName_; }

    bool isFixedWidth() const { return flags_ & 1; }
    bool isSerif() const { return flags_ & 2; }
    bool isSymbolic() const { return flags_ & 4; }
    bool isItalic() const { return flags_ & 64; }
    /// The ForceBold flag (bit 19) or a /FontWeight of 600 or more.
    bool isBold() const { return (flags_ & (1u << 18)) || fontWeight_ >= 600; }

private:
    QVPDFFontDescriptor() = default;

    double descent_ = 0;
    double ascent_ = 0;
    double leading_ = 0;
    double capHeight_ = 0;
    double xHeight_ = 0;
    double averageWidth_ = 0;
    double maxWidth_ = 0;
    double missingWidth_ = 0;
    double verticalStemWidth_ = 0;
    double horizontalStemHeigth_ = 0;
    double italicAngle_ = 0;
    double fontWeight_ = 0;
    platform::Rect fontBBox_;
    uint64_t flags_ = 2;
    std::optional<std::string> fontName_;
    std::optional<std::string> fontFamily_;
    std::shared_ptr<const platform::FontProgramInfo> embFont_;
    int64_t embFontNum_ = 0;
    std::string embFontSubType_ = "Unknown embedded font type";
    std::string embFullName_ = "Unknown embedded font full name";
    std::string embPostScriptName_ = "Unknown embedded font postscript name";
};
