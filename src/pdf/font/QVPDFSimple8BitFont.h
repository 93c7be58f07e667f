#pragma once
// One-byte fonts (Type1, MMType1, TrueType, Type3): the encoding as glyph
// names (base encoding and /Differences), the Unicode text of every code, and
// the 256 advance widths. Everything is worked out at construction; decoding
// is a table lookup.

#include "pdf/font/QVPDFFont.h"

#include <array>
#include <map>
#include <optional>
#include <string>

class QVPDFSimple8BitFont : public QVPDFFont {
public:
    /// The class, which steers the default encoding and Type3's glyph space.
    enum class Kind { Type1, MMType1, TrueType, Type3, Type1C };

    QVPDFSimple8BitFont(const platform::PdfObject& dict, const std::string& objectKey, Kind kind);

    /// One byte: its code, its text and its width.
    int getNextChar(const unsigned char* s, int len, uint32_t* code, uint32_t* u, int uSize,
                    int* uLen, float* dx, float* dy, float* ox, float* oy) const override;
    /// The width of code 32 when it lies in (0, 1); else the smallest positive
    /// descriptor width; else 1.0 for fixed pitch, 0.5 otherwise.
    double widthOfSpace() const override;
    /// First non-zero of: descriptor of an embedded program, standard-font
    /// record, descriptor, Type3 /FontBBox, default.
    double ascent() const override;
    double descent() const override;
    platform::Rect fontBBox() const override;
    platform::AffineTransform glyphOrientation() const override { return glyphOrientation_; }

    Kind kind() const { return kind_; }
    /// Advance of each code as a fraction of the font size.
    const std::array<double, 256>& charWidths() const { return charWidths_; }
    /// The name of the base encoding in use: an encoding name, "FontSpecific"
    /// for the embedded program's own encoding, or the default's name.
    const std::optional<std::string>& fontEncodingName() const { return fontEncodingName_; }
    /// The text of each code named in /Differences by a name that has Unicode; none without any.
    const std::optional<std::map<int, std::u16string>>& differences() const { return differences_; }
    /// The glyph name of a code in the effective encoding (base and /Differences); empty when none.
    const std::string& glyphName(uint8_t code) const;
    /// The text a code decodes to (ToUnicode first, then /Differences, then the base encoding).
    const std::u16string& textForCode(uint8_t code) const { return unicode_[code]; }

private:
    void setEncodingWithFontDictionary(const platform::PdfObject& dict);
    void setEncodingWithEncodingObject(const platform::PdfObject& encoding);
    void setBaseEncodingNamed(const std::string& name);
    void setDifferencesWithDifferencesArray(const platform::PdfObject& array);
    void setDefaultEncoding();
    void setUnicodeTexts();
    void setWidthsWithFontDictionary(const platform::PdfObject& dict);
    void applyStandardWidths(const BuiltinFont& font);
    bool isDingbats() const;

    Kind kind_;
    std::array<double, 256> charWidths_{};
    std::optional<std::string> fontEncodingName_;
    bool hasBaseEncoding_ = false;
    std::array<std::string, 256> baseGlyphNames_;
    std::map<int, std::string> differenceNames_;
    std::optional<std::map<int, std::u16string>> differences_;
    std::array<std::u16string, 256> unicode_;
    /// Glyph space to text space: 0.001, or a Type3 font's /FontMatrix.
    double glyphScale_ = 0.001;
    std::optional<platform::Rect> type3BBox_;
    platform::AffineTransform glyphOrientation_ = platform::AffineTransform::identity();
};
