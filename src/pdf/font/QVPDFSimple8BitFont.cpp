#include "pdf/font/QVPDFSimple8BitFont.h"

#include "pdf/cmap/QVPDFCharCodeToUnicode.h"
#include "pdf/font/BuiltinFontManager.h"
#include "pdf/font/QVPDFFontData.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "pdf/font/QVPDFFontUtilities.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const* encodingTable(const std::string& name) {
    if (name == "StandardEncoding")
        return fontdata::kStandardEncoding;
    if (name == "WinAnsiEncoding")
        return fontdata::kWinAnsiEncoding;
    if (name == "MacRomanEncoding")
        return fontdata::kMacRomanEncoding;
    if (name == "MacExpertEncoding")
        return fontdata::kMacExpertEncoding;
    if (name == "SymbolEncoding")
        return fontdata::kSymbolEncoding;
    if (name == "ZapfDingbatsEncoding")
        return fontdata::kZapfDingbatsEncoding;
    if (name == "PDFDocEncoding")
        return fontdata::kPDFDocEncoding;
    return nullptr;
}

/// Widths beyond a thousand font sizes are damage; they are kept within that
/// so every width converts to float and sums stay finite.
double saneWidth(double w) {
    constexpr double kLimit = 1000.0;
    return std::isfinite(w) ? std::clamp(w, -kLimit, kLimit) : 0.0;
}

/// The least height, in ems, of a Type 3 /FontBBox that is taken for the
/// glyphs' extent: a tenth of an em, below any real script's x-height.
constexpr double kMinType3BoxHeight = 0.1;

bool usableBox(const platform::Rect& r) {
    // The size fields hold the upper-right corner.
    return r.size.width > r.origin.x && r.size.height > r.origin.y;
}

} // namespace

QVPDFSimple8BitFont::QVPDFSimple8BitFont(const platform::PdfObject& dict,
                                         const std::string& objectKey, Kind kind)
    : kind_(kind) {
    objectKey_ = objectKey;
    setSubtypeBaseFontName(dict);
    setBuiltinFontWithFontDictionary(dict);
    setFontDescriptorWithFontDictionary(dict);
    if (kind_ == Kind::Type3) {
        if (auto m = dict.getArray("FontMatrix"); m && m->arraySize() == 6) {
            auto a = m->numberAt(0);
            if (a && std::isfinite(*a) && *a != 0)
                glyphScale_ = *a;
            double v[6];
            bool ok = true;
            for (size_t i = 0; i < 6; ++i) {
                auto n = m->numberAt(i);
                ok = ok && n && std::isfinite(*n);
                v[i] = ok ? *n : 0;
            }
            // The matrix splits into a scale, which the widths and the box
            // take, and what is left of it, which turns the glyphs in text
            // space: glyphs drawn with y down in a space that a negative d
            // flips stand upright through a flipped text matrix.
            const platform::AffineTransform fm{v[0], v[1], v[2], v[3], 0, 0};
            double k = std::fabs(v[0]);
            if (!(k > 0))
                k = std::sqrt(std::fabs(v[0] * v[3] - v[1] * v[2]));
            const bool turned = ok && std::isfinite(k) && k > 0;
            if (turned)
                glyphOrientation_ = {v[0] / k, v[1] / k, v[2] / k, v[3] / k, 0, 0};
            auto box = dict.getArray("FontBBox");
            if (ok && box && box->arraySize() == 4) {
                double b[4];
                for (size_t i = 0; i < 4; ++i)
                    b[i] = box->numberAt(i).value_or(0);
                platform::Rect glyphs{{std::min(b[0], b[2]), std::min(b[1], b[3])},
                                      {std::fabs(b[2] - b[0]), std::fabs(b[3] - b[1])}};
                // Glyphs stand on their baseline: a box lying mostly below it
                // was drawn with y down (a picture placed by a flipping cm), so
                // the glyphs' up is their -y. Google Docs' emoji glyphs do so
                // through a flipping font matrix, text matrix and page CTM and
                // show upright.
                if (turned && -glyphs.minY() > glyphs.maxY()) {
                    glyphOrientation_ =
                        platform::AffineTransform{1, 0, 0, -1, 0, 0}.concat(glyphOrientation_);
                    glyphs.origin.y = -glyphs.maxY();
                }
                // The box as text space holds it, for its height; in the
                // glyphs' own frame (scaled only) for the metrics.
                const platform::Rect shown = fm.applyToRect(glyphs);
                const double scale = turned ? k : 1.0;
                const platform::AffineTransform own =
                    turned ? platform::AffineTransform{scale, 0, 0, scale, 0, 0} : fm;
                const platform::Rect r = own.applyToRect(glyphs);
                platform::Rect box{{r.minX(), r.minY()}, {r.maxX(), r.maxY()}};
                bool sane = true;
                for (double v2 : {box.origin.x, box.origin.y, box.size.width, box.size.height})
                    sane = sane && std::isfinite(v2) && std::abs(v2) <= 1000.0;
                // A box without height (flat, or a point: producers write
                // zeros or a unit box) says nothing of the glyphs' extent; the
                // default metrics then give the text its height from the font
                // size, as for any font that tells nothing better.
                if (sane && shown.size.height >= kMinType3BoxHeight)
                    type3BBox_ = box;
            }
        }
    }
    setEncodingWithFontDictionary(dict);
    if (!hasBaseEncoding_)
        setDefaultEncoding();
    setToUnicodeWithFontDictionary(dict, 8);
    setUnicodeTexts();
    setWidthsWithFontDictionary(dict);
}

// Encoding --------------------------------------------------------------------------------

void QVPDFSimple8BitFont::setBaseEncodingNamed(const std::string& name) {
    const char* const* table = encodingTable(name);
    if (!table)
        return;
    for (int c = 0; c < 256; ++c)
        baseGlyphNames_[c] = table[c] ? table[c] : "";
    fontEncodingName_ = name;
    hasBaseEncoding_ = true;
}

void QVPDFSimple8BitFont::setEncodingWithFontDictionary(const platform::PdfObject& dict) {
    platform::PdfObject encoding = dict.get("Encoding");
    if (!encoding.isNull())
        setEncodingWithEncodingObject(encoding);
}

void QVPDFSimple8BitFont::setEncodingWithEncodingObject(const platform::PdfObject& encoding) {
    if (auto name = encoding.name()) {
        setBaseEncodingNamed(*name);
    } else if (encoding.isDictionary()) {
        if (auto base = encoding.getName("BaseEncoding"))
            setBaseEncodingNamed(*base);
        if (auto diffs = encoding.getArray("Differences"))
            setDifferencesWithDifferencesArray(*diffs);
    }
}

void QVPDFSimple8BitFont::setDifferencesWithDifferencesArray(const platform::PdfObject& array) {
    long long code = 0;
    std::map<int, std::u16string> texts;
    for (size_t i = 0; i < array.arraySize(); ++i) {
        platform::PdfObject item = array.at(i);
        if (auto n = item.integer()) {
            code = *n;
        } else if (auto name = item.name()) {
            if (code >= 0 && code <= 255) {
                differenceNames_[static_cast<int>(code)] = *name;
                std::u16string text = BuiltinFontWidths::unicodeForGlyphName(*name, isDingbats());
                if (!text.empty())
                    texts[static_cast<int>(code)] = std::move(text);
                else
                    texts.erase(static_cast<int>(code));
            }
            // Codes past 255 are never used; stop counting there (no overflow).
            if (code <= 255)
                ++code;
        }
    }
    if (!texts.empty())
        differences_ = std::move(texts);
}

void QVPDFSimple8BitFont::setDefaultEncoding() {
    // The embedded program's own encoding, when FreeType can read it. A TrueType
    // program's cmap is its encoding only for a symbolic font; text fonts follow
    // the default below.
    bool programEncoding =
        kind_ != Kind::TrueType || (fontDescriptor_ && fontDescriptor_->isSymbolic());
    if (programEncoding && fontDescriptor_ && fontDescriptor_->embFont() &&
        fontDescriptor_->embFont()->hasBuiltinEncoding) {
        baseGlyphNames_ = fontDescriptor_->embFont()->builtinEncoding;
        fontEncodingName_ = "FontSpecific";
        hasBaseEncoding_ = true;
        return;
    }
    // A standard font that is not embedded: its own encoding (Standard, Symbol, ZapfDingbats).
    bool embedded = fontDescriptor_ && fontDescriptor_->embFontNum() > 0;
    if (builtinFont_ && !embedded && kind_ != Kind::Type3) {
        setBaseEncodingNamed(builtinFont_->baseEncoding());
        return;
    }
    setBaseEncodingNamed(kind_ == Kind::Type3 ? "StandardEncoding" : "WinAnsiEncoding");
}

bool QVPDFSimple8BitFont::isDingbats() const {
    if (builtinFont_ && builtinFont_->fontName() == "ZapfDingbats")
        return true;
    return fontName_ && fontName_->find("Dingbats") != std::string::npos;
}

const std::string& QVPDFSimple8BitFont::glyphName(uint8_t code) const {
    auto it = differenceNames_.find(code);
    return it != differenceNames_.end() ? it->second : baseGlyphNames_[code];
}

void QVPDFSimple8BitFont::setUnicodeTexts() {
    const bool dingbats = isDingbats();
    for (int c = 0; c < 256; ++c) {
        std::u16string text;
        // ToUnicode wins; /Differences and the base encoding serve the codes it lacks.
        if (embToUnicodeMap_) {
            text = embToUnicodeMap_->textForCode(static_cast<uint32_t>(c));
            if (text.empty() && embToUnicodeMap_->mapsToNothing(static_cast<uint32_t>(c))) {
                unicode_[c].clear(); // no text on purpose
                continue;
            }
        }
        if (text.empty() && differences_) {
            auto it = differences_->find(c);
            if (it != differences_->end())
                text = it->second;
        }
        if (text.empty() && !baseGlyphNames_[c].empty())
            text = BuiltinFontWidths::unicodeForGlyphName(baseGlyphNames_[c], dingbats);
        // A printable code without a glyph name stands for its Latin-1 character;
        // control codes give no text.
        if (text.empty() && baseGlyphNames_[c].empty() && differenceNames_.count(c) == 0 &&
            ((c >= 0x20 && c < 0x7F) || c >= 0xA0))
            text = std::u16string(1, static_cast<char16_t>(c));
        unicode_[c] = std::move(text);
    }
}

// Widths ----------------------------------------------------------------------------------

void QVPDFSimple8BitFont::applyStandardWidths(const BuiltinFont& font) {
    const BuiltinFontWidths& widths = font.fontWidths();
    if (auto w = widths.widthOfSpace())
        charWidths_[32] = *w * 0.001;
    for (int c = 0; c < 256; ++c) {
        std::optional<uint16_t> w;
        const std::string& name = glyphName(static_cast<uint8_t>(c));
        if (!name.empty())
            w = widths.getString(name);
        // Names such as uni20AC reach the metric file's names through their text.
        if (!w && unicode_[c].size() == 1)
            w = widths.getCharacter(static_cast<uint16_t>(unicode_[c][0]));
        if (!w && !baseGlyphNames_[c].empty())
            w = widths.getString(baseGlyphNames_[c]);
        if (w)
            charWidths_[c] = *w * 0.001;
    }
}

void QVPDFSimple8BitFont::setWidthsWithFontDictionary(const platform::PdfObject& dict) {
    double missing = fontDescriptor_ ? fontDescriptor_->missingWidth() : 0.0;
    if (kind_ == Kind::Type3)
        missing = missing * 1000.0 * glyphScale_;
    charWidths_.fill(saneWidth(missing));
    if (builtinFont_)
        applyStandardWidths(*builtinFont_);

    auto widths = dict.getArray("Widths");
    if (widths) {
        auto readCode = [&](const char* key, long long fallback) {
            auto v = dict.getNumber(key);
            if (!v || !std::isfinite(*v) || *v < 0 || *v > 255)
                return fallback;
            return static_cast<long long>(*v);
        };
        long long first = readCode("FirstChar", 0);
        long long last = readCode("LastChar", 255);
        if (last >= first) {
            size_t count =
                std::min<size_t>(widths->arraySize(), static_cast<size_t>(last - first + 1));
            for (size_t i = 0; i < count; ++i) {
                auto w = widths->numberAt(i);
                if (w && std::isfinite(*w))
                    charWidths_[static_cast<size_t>(first) + i] = saneWidth(*w * glyphScale_);
            }
        }
    } else if (!builtinFont_) {
        const auto* d = fontDescriptor_.get();
        int index = 4;
        if (d)
            index = d->isFixedWidth() ? 0 : d->isSerif() ? 8 : 4;
        bool bold = (d && d->isBold()) || QVPDFFontUtilities::isBoldFontName(fontName_);
        bool italic = (d && d->isItalic()) || QVPDFFontUtilities::isItalicFontName(fontName_);
        index += (bold ? 2 : 0) + (italic ? 1 : 0);
        const auto& substitutes = BuiltinFontManager::sharedManager().fontsSubstArray();
        if (index < static_cast<int>(substitutes.size()))
            applyStandardWidths(*substitutes[static_cast<size_t>(index)]);
    }
}

// Decoding and metrics --------------------------------------------------------------------

int QVPDFSimple8BitFont::getNextChar(const unsigned char* s, int len, uint32_t* code, uint32_t* u,
                                     int uSize, int* uLen, float* dx, float* dy, float* ox,
                                     float* oy) const {
    if (len <= 0)
        return 0;
    const unsigned char b = s[0];
    *code = b;
    const std::u16string& text = unicode_[b];
    int n = std::min(static_cast<int>(text.size()), std::max(uSize, 0));
    for (int i = 0; i < n; ++i)
        u[i] = text[static_cast<size_t>(i)];
    *uLen = n;
    *dx = static_cast<float>(charWidths_[b]);
    *dy = 0;
    *ox = 0;
    *oy = 0;
    return 1;
}

double QVPDFSimple8BitFont::widthOfSpace() const {
    return spaceWidthFrom(charWidths_[32], fontDescriptor_.get());
}

double QVPDFSimple8BitFont::ascent() const {
    const auto* d = fontDescriptor_.get();
    if (d && d->embFontNum() > 0 && d->ascent() > 0)
        return d->ascent();
    if (builtinFont_ && builtinFont_->ascent() > 0)
        return builtinFont_->ascent();
    if (d && d->ascent() > 0)
        return d->ascent();
    if (type3BBox_ && type3BBox_->size.height > 0)
        return type3BBox_->size.height;
    return QVPDFFont::ascent();
}

double QVPDFSimple8BitFont::descent() const {
    const auto* d = fontDescriptor_.get();
    if (d && d->embFontNum() > 0 && d->descent() < 0)
        return d->descent();
    if (builtinFont_ && builtinFont_->descent() < 0)
        return builtinFont_->descent();
    if (d && d->descent() < 0)
        return d->descent();
    if (type3BBox_ && type3BBox_->origin.y < 0)
        return type3BBox_->origin.y;
    return QVPDFFont::descent();
}

platform::Rect QVPDFSimple8BitFont::fontBBox() const {
    const auto* d = fontDescriptor_.get();
    if (d && d->embFontNum() > 0 && usableBox(d->fontBBox()))
        return d->fontBBox();
    if (builtinFont_ && usableBox(builtinFont_->bbox()))
        return builtinFont_->bbox();
    if (d && usableBox(d->fontBBox()))
        return d->fontBBox();
    if (type3BBox_ && usableBox(*type3BBox_))
        return *type3BBox_;
    return QVPDFFont::fontBBox();
}
