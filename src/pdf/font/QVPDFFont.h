#pragma once
// A decoded PDF font: walks the bytes of a shown string as character codes
// with their Unicode text and advances, and answers the metrics and names the
// exporters read. Fonts are immutable after construction and shared
// (std::shared_ptr<const QVPDFFont>) by collections, graphics states and the
// per-document QVPDFFontCache. Every metric is a fraction of the font size.

#include "platform/Geometry.h"
#include "platform/pdf/PdfObject.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

class QVPDFFontDescriptor;
class BuiltinFont;
class QVPDFCharCodeToUnicode;
class QVPDFFontCache;

class QVPDFFont {
public:
    /// The factory: the concrete class by /Subtype; none for a dictionary that is
    /// not a usable font (a /Type other than /Font, an unknown or descendant
    /// /Subtype, failed construction). /Type may be absent.
    static std::shared_ptr<const QVPDFFont> fontWithDictionary(const platform::PdfObject& dict,
                                                               const std::string& objectKey);
    virtual ~QVPDFFont();

    /// Decodes the next character of `s` (len >= 1 bytes left). Writes the code,
    /// at most uSize UTF-16 units to u (count in uLen), the advance (dx, dy) and
    /// the origin displacement (ox, oy); returns the bytes consumed, 1..len.
    /// The caller presets code 32, u[] 32, uLen 0 and the floats 0.
    virtual int getNextChar(const unsigned char* s, int len, uint32_t* code, uint32_t* u, int uSize,
                            int* uLen, float* dx, float* dy, float* ox, float* oy) const;
    virtual double widthOfSpace() const { return 0.0; }
    virtual double ascent() const { return 0.95; }
    virtual double descent() const { return -0.35; }
    /// Lower-left corner as origin, upper-right corner in the size fields.
    virtual platform::Rect fontBBox() const { return {{0.95, -0.35}, {1.0, 1.0}}; }
    /// Writing mode: 0 horizontal; any other value vertical (composite fonts
    /// with a vertical CMap), whose advances are in dy.
    virtual int wMode() const { return 0; }

    /// Resource name under which the font was first loaded (fonts shared through
    /// the document cache keep the first name).
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
    /// Whether /ToUnicode is the name Identity-H or Identity-V on a font of
    /// two-byte codes: each two-byte code is then its own Unicode value.
    bool identityToUnicode() const { return identityToUnicode_; }

protected:
    QVPDFFont() = default;

    // Construction steps shared by every font class, run in the order its class gives.
    /// /Subtype, /BaseFont (valid UTF-8; "Arial Unicode MS" for names containing
    /// "unknown"), the name without subset prefix, and the family name.
    void setSubtypeBaseFontName(const platform::PdfObject& dict);
    /// The standard-14 record matching fontName (aliases followed).
    void setBuiltinFontWithFontDictionary(const platform::PdfObject& dict);
    /// /FontDescriptor; its /FontFamily names the family when it has one.
    void setFontDescriptorWithFontDictionary(const platform::PdfObject& dict);
    /// /ToUnicode, parsed as bytes with the given usual code width (8 or 16 bits).
    /// An entry that is not a stream counts as absent, except that the names
    /// Identity-H and Identity-V with 16-bit codes set identityToUnicode.
    void setToUnicodeWithFontDictionary(const platform::PdfObject& dict, int nBits);
    /// The space width from the width w of the font's space: w when it lies in
    /// (0, 1); else the smallest positive descriptor width (missing, average,
    /// maximum, the box's upper-right x) below 1; else 1.0 for a fixed-pitch
    /// descriptor and 0.5 otherwise.
    static double spaceWidthFrom(double w, const QVPDFFontDescriptor* descriptor);

    std::string objectKey_;
    std::optional<std::string> subtype_;
    std::optional<std::string> baseFontName_;
    std::optional<std::string> fontName_;
    std::optional<std::string> fontFamilyName_;
    std::shared_ptr<const BuiltinFont> builtinFont_;
    std::shared_ptr<const QVPDFFontDescriptor> fontDescriptor_;
    std::shared_ptr<const QVPDFCharCodeToUnicode> embToUnicodeMap_;
    bool identityToUnicode_ = false;
};

/// Fonts of one /Font resource dictionary, by resource name.
class QVPDFFontCollection {
public:
    QVPDFFontCollection() = default;
    /// Every dictionary entry the factory accepts; others are skipped. None gives
    /// an empty collection. With a cache, fonts that are indirect objects are
    /// taken from it (and parsed into it on first use), so pages and forms that
    /// share a font dictionary share one parsed font.
    explicit QVPDFFontCollection(const std::optional<platform::PdfObject>& fontDictionary,
                                 QVPDFFontCache* cache = nullptr);
    std::shared_ptr<const QVPDFFont> fontNamed(const std::string& name) const;
    /// True when the /Font dictionary has an entry of that name, whether or not
    /// it gave a usable font (Tf with such a name selects "no font").
    bool containsName(const std::string& name) const {
        return fonts_.count(name) != 0 || rejectedNames_.count(name) != 0;
    }
    const std::map<std::string, std::shared_ptr<const QVPDFFont>>& fonts() const { return fonts_; }

private:
    std::map<std::string, std::shared_ptr<const QVPDFFont>> fonts_;
    std::set<std::string> rejectedNames_;
};
