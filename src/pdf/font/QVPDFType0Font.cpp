#include "pdf/font/QVPDFType0Font.h"

#include "pdf/font/BuiltinFontWidths.h"
#include "pdf/font/QVPDFCIDType0Font.h"
#include "pdf/font/QVPDFCIDType2Font.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "pdf/font/QVPDFFontUtilities.h"

#include <algorithm>

namespace {

bool isVariationSelector(uint32_t unit) {
    return unit >= 0xFE00 && unit <= 0xFE0F;
}

/// Drops variation selectors (U+FE00..FE0F, and U+E0100..E01EF as the
/// surrogate pairs DB40 DD00..DDEF) that the collection files append to pick
/// glyph variants: extracted text wants the base character.
int dropVariationSelectors(uint32_t* u, int n) {
    int out = 0;
    for (int i = 0; i < n; ++i) {
        if (isVariationSelector(u[i]))
            continue;
        if (u[i] == 0xDB40 && i + 1 < n && u[i + 1] >= 0xDD00 && u[i + 1] <= 0xDDEF) {
            ++i;
            continue;
        }
        u[out++] = u[i];
    }
    return out;
}

} // namespace

std::shared_ptr<const QVPDFType0Font>
QVPDFType0Font::initWithDictionary(const platform::PdfObject& dict, const std::string& objectKey) {
    std::shared_ptr<QVPDFType0Font> font(new QVPDFType0Font());
    font->objectKey_ = objectKey;
    font->setSubtypeBaseFontName(dict);
    font->setDescendantFontsWithDictionary(dict);
    font->setFontDescriptorWithCIDTypeFont();

    const QVPDFCIDTypeFont* cid = font->cidTypeFont();
    const std::string collection = cid && cid->cidSystemInfo() ? *cid->cidSystemInfo() : "";
    platform::PdfObject encoding = dict.get("Encoding");
    if (auto name = encoding.name()) {
        font->cMapName_ = QVPDFFontUtilities::validUTF8(*name);
        font->extToCIDMap_ = QVPDFCodeToCIDMap::parse(collection, *name);
    } else if (encoding.isStream()) {
        // An embedded CMap, read with the same parser (usecmap reaches the predefined ones).
        font->extToCIDMap_ = QVPDFCodeToCIDMap::parseStream(
            encoding, collection.empty() ? std::nullopt : std::optional<std::string>(collection));
        if (font->extToCIDMap_ && font->extToCIDMap_->cMapName())
            font->cMapName_ = QVPDFFontUtilities::validUTF8(*font->extToCIDMap_->cMapName());
    }
    if (!font->extToCIDMap_)
        return nullptr;

    // The CIDs are those of the collection the CMap names for itself (a
    // UniGB-UCS2-H map makes Adobe-GB1 CIDs whatever the descendant claims);
    // identity maps, CMaps that name none and collections without a file
    // leave it to the descendant's.
    if (const auto& region = font->extToCIDMap_->cMapRegion())
        font->extToUnicodeMap_ = QVPDFCharCodeToUnicode::collectionMap(*region);
    if (!font->extToUnicodeMap_ && cid && cid->cidSystemRegion())
        font->extToUnicodeMap_ = QVPDFCharCodeToUnicode::collectionMap(*cid->cidSystemRegion());
    font->setToUnicodeWithFontDictionary(dict, 16);
    // Asked for every run; finding the space code searches whole maps.
    font->widthOfSpace_ = font->computeWidthOfSpace();
    return font;
}

void QVPDFType0Font::setDescendantFontsWithDictionary(const platform::PdfObject& dict) {
    auto descendants = dict.getArray("DescendantFonts");
    if (!descendants)
        return;
    // Only the first descendant is ever used; a damaged array may be long.
    const size_t n = std::min<size_t>(descendants->arraySize(), 8);
    for (size_t i = 0; i < n; ++i) {
        platform::PdfObject d = descendants->at(i);
        if (!d.isDictionary())
            continue;
        auto subtype = d.getName("Subtype");
        if (!subtype)
            continue;
        if (*subtype == "CIDFontType0")
            descendantFonts_.push_back(std::make_shared<const QVPDFCIDType0Font>(d, objectKey_));
        else if (*subtype == "CIDFontType2")
            descendantFonts_.push_back(std::make_shared<const QVPDFCIDType2Font>(d, objectKey_));
    }
}

void QVPDFType0Font::setFontDescriptorWithCIDTypeFont() {
    const QVPDFCIDTypeFont* cid = cidTypeFont();
    fontDescriptor_ = cid ? cid->fontDescriptor() : nullptr;
    if (fontDescriptor_ && fontDescriptor_->fontFamily() &&
        !fontDescriptor_->fontFamily()->empty()) {
        const std::string& family = *fontDescriptor_->fontFamily();
        // Without a catalogue the descriptor's own family name serves.
        auto matched = QVPDFFontUtilities::FamilyName(family);
        fontFamilyName_ = matched ? *matched : family;
    }
}

void QVPDFType0Font::getCIDWidths(uint32_t cid, float* dx, float* dy, float* ox, float* oy) const {
    if (const QVPDFCIDTypeFont* font = cidTypeFont()) {
        font->getCIDWidths(cid, extToCIDMap_->isVertical(), dx, dy, ox, oy);
        return;
    }
    *dx = *dy = *ox = *oy = 0;
}

int QVPDFType0Font::glyphUnicode(uint32_t cid, uint32_t* u, int uSize) const {
    const QVPDFCIDTypeFont* font = cidTypeFont();
    if (!font || !fontDescriptor_ || !fontDescriptor_->embFont() || uSize < 2)
        return 0;
    const platform::FontProgramInfo& program = *fontDescriptor_->embFont();
    const auto& unicodes = program.glyphUnicodes;
    auto gid = font->glyphIndexForCID(cid);
    if (!gid || *gid == 0)
        return 0;
    if (unicodes.empty() && *gid < program.glyphNames.size()) {
        // No cmap: the glyph's own name, read by the glyph list's rules.
        std::u16string text = BuiltinFontWidths::unicodeForGlyphName(program.glyphNames[*gid]);
        const int n = std::min(static_cast<int>(text.size()), uSize);
        for (int i = 0; i < n; ++i)
            u[i] = text[static_cast<size_t>(i)];
        return n;
    }
    if (*gid >= unicodes.size())
        return 0;
    char32_t c = unicodes[*gid];
    if (c == 0)
        return 0;
    if (c < 0x10000) {
        u[0] = c;
        return 1;
    }
    u[0] = 0xD800 + ((c - 0x10000) >> 10);
    u[1] = 0xDC00 + ((c - 0x10000) & 0x3FF);
    return 2;
}

int QVPDFType0Font::getNextChar(const unsigned char* s, int len, uint32_t* code, uint32_t* u,
                                int uSize, int* uLen, float* dx, float* dy, float* ox,
                                float* oy) const {
    QVPDFCodeToCIDMap::Lookup r = extToCIDMap_->getCID(s, len);
    *code = r.cid;
    int n = 0;
    if (r.complete && uSize > 0) {
        // The ToUnicode map is keyed by the code as written; the collection's
        // map and the program's cmap stand in, per code, for what it lacks,
        // unless it gives the code no text on purpose.
        bool silent = false;
        if (embToUnicodeMap_) {
            n = embToUnicodeMap_->mapToUnicode(r.code, u, uSize);
            silent = n == 0 && embToUnicodeMap_->mapsToNothing(r.code);
        } else if (identityToUnicode_ && r.nUsed == 2 && r.code != 0 &&
                   !(r.code >= 0xD800 && r.code <= 0xDFFF)) {
            u[0] = r.code;
            n = 1;
        }
        if (n == 0 && !silent && extToUnicodeMap_ && r.cid != 0)
            n = dropVariationSelectors(u, extToUnicodeMap_->mapToUnicode(r.cid, u, uSize));
        if (n == 0 && !silent)
            n = glyphUnicode(r.cid, u, uSize);
    }
    *uLen = n;
    getCIDWidths(r.cid, dx, dy, ox, oy);
    return std::clamp(r.nUsed, 1, len);
}

double QVPDFType0Font::widthOfSpace() const {
    return widthOfSpace_;
}

double QVPDFType0Font::computeWidthOfSpace() const {
    uint32_t spaceCID = 32;
    if (embToUnicodeMap_)
        spaceCID = extToCIDMap_->cidForCode(embToUnicodeMap_->spaceCIDCode()).value_or(0);
    else if (identityToUnicode_)
        spaceCID = extToCIDMap_->cidForCode(0x20).value_or(0);
    else if (extToUnicodeMap_)
        spaceCID = extToUnicodeMap_->spaceCIDCode();
    float dx = 0, dy = 0, ox = 0, oy = 0;
    getCIDWidths(spaceCID, &dx, &dy, &ox, &oy);
    return spaceWidthFrom(dx, fontDescriptor_.get());
}

double QVPDFType0Font::ascent() const {
    if (fontDescriptor_ && fontDescriptor_->ascent() > 0)
        return fontDescriptor_->ascent();
    return QVPDFFont::ascent();
}

double QVPDFType0Font::descent() const {
    if (fontDescriptor_ && fontDescriptor_->descent() < 0)
        return fontDescriptor_->descent();
    return QVPDFFont::descent();
}

platform::Rect QVPDFType0Font::fontBBox() const {
    if (fontDescriptor_) {
        const platform::Rect& box = fontDescriptor_->fontBBox();
        if (box.size.width != box.origin.x && box.size.height != box.origin.y)
            return box;
    }
    return QVPDFFont::fontBBox();
}
