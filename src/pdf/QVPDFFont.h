#pragma once
// A decoded PDF font: walks the bytes of a shown string as character codes
// with their Unicode text and advances, and answers the metrics and names the
// exporters read. Fonts are immutable after construction and shared
// (std::shared_ptr<const QVPDFFont>) by collections and graphics states.
// Every metric is a fraction of the font size.

#include "platform/Geometry.h"
#include "platform/PdfObject.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QVPDFFontDescriptor;
class BuiltinFont;
class QVPDFCharCodeToUnicode;

class QVPDFFont {
public:
    /// The factory: the concrete class by /Subtype; none for a dictionary that is
    /// not a usable font (no /Type /Font, unknown or descendant /Subtype, failed construction).
    static std::shared_ptr<const QVPDFFont> fontWithDictionary(const platform::PdfObject& dict,
                                                                const std::string& objectKey);
    virtual ~QVPDFFont();

    /// Decodes the next character of `s` (len >= 1 bytes left). Writes the code,
    /// at most uSize UTF-16 units to u (count in uLen), the advance (dx, dy) and
    /// the origin displacement (ox, oy); returns the bytes consumed, 1..len.
    /// The caller presets code 32, u[] 32, uLen 0 and the floats 0.
    virtual int getNextChar(const unsigned char* s, int len, uint32_t* code, uint32_t* u,
                            int uSize, int* uLen, float* dx, float* dy, float* ox,
                            float* oy) const;
    virtual double widthOfSpace() const { return 0.0; }
    virtual double ascent() const { return 0.95; }
    virtual double descent() const { return -0.35; }
    /// Lower-left corner as origin, upper-right corner in the size fields.
    virtual platform::Rect fontBBox() const { return {{0.95, -0.35}, {1.0, 1.0}}; }

    const std::string& objectKey() const { return objectKey_; }
    const std::optional<std::string>& subtype() const { return subtype_; }
    const std::optional<std::string>& baseFontName() const { return baseFontName_; }
    /// PostScript name without the subset prefix; exporters use "Arial Unicode MS" when none.
    const std::optional<std::string>& fontName() const { return fontName_; }
    const std::optional<std::string>& fontFamilyName() const { return fontFamilyName_; }
    const std::shared_ptr<const BuiltinFont>& builtinFont() const { return builtinFont_; }
    const std::shared_ptr<const QVPDFFontDescriptor>& fontDescriptor() const {
        return fontDescriptor_;
    }
    const std::shared_ptr<const QVPDFCharCodeToUnicode>& embToUnicodeMap() const {
        return embToUnicodeMap_;
    }

protected:
    QVPDFFont() = default;
    std::string objectKey_;
    std::optional<std::string> subtype_;
    std::optional<std::string> baseFontName_;
    std::optional<std::string> fontName_;
    std::optional<std::string> fontFamilyName_;
    std::shared_ptr<const BuiltinFont> builtinFont_;
    std::shared_ptr<const QVPDFFontDescriptor> fontDescriptor_;
    std::shared_ptr<const QVPDFCharCodeToUnicode> embToUnicodeMap_;
};

/// Fonts of one /Font resource dictionary, by resource name.
class QVPDFFontCollection {
public:
    QVPDFFontCollection() = default;
    /// Every dictionary entry the factory accepts; others are skipped. None gives an empty collection.
    explicit QVPDFFontCollection(const std::optional<platform::PdfObject>& fontDictionary);
    std::shared_ptr<const QVPDFFont> fontNamed(const std::string& name) const;
    const std::map<std::string, std::shared_ptr<const QVPDFFont>>& fonts() const { return fonts_; }

private:
    std::map<std::string, std::shared_ptr<const QVPDFFont>> fonts_;
};
