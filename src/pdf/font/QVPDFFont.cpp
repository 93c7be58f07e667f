#include "pdf/font/QVPDFFont.h"

#include "pdf/cmap/QVPDFCharCodeToUnicode.h"
#include "pdf/font/BuiltinFontManager.h"
#include "pdf/font/QVPDFFontCache.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "pdf/font/QVPDFFontUtilities.h"
#include "pdf/font/QVPDFMMType1Font.h"
#include "pdf/font/QVPDFTrueTypeFont.h"
#include "pdf/font/QVPDFType0Font.h"
#include "pdf/font/QVPDFType1Font.h"
#include "pdf/font/QVPDFType3Font.h"

#include <algorithm>
#include <cctype>

QVPDFFont::~QVPDFFont() = default;

int QVPDFFont::getNextChar(const unsigned char*, int, uint32_t*, uint32_t*, int, int*, float*,
                           float*, float*, float*) const {
    return 1;
}

std::shared_ptr<const QVPDFFont> QVPDFFont::fontWithDictionary(const platform::PdfObject& dict,
                                                               const std::string& objectKey) {
    if (!dict.isDictionary())
        return nullptr;
    // /Type is optional in practice; a dictionary that says it is something else is not a font.
    if (auto type = dict.getName("Type"); type && *type != "Font")
        return nullptr;
    auto subtype = dict.getName("Subtype");
    if (!subtype)
        return nullptr;
    if (*subtype == "Type1")
        return std::make_shared<const QVPDFType1Font>(dict, objectKey);
    if (*subtype == "MMType1")
        return std::make_shared<const QVPDFMMType1Font>(dict, objectKey);
    if (*subtype == "TrueType")
        return std::make_shared<const QVPDFTrueTypeFont>(dict, objectKey);
    if (*subtype == "Type3")
        return std::make_shared<const QVPDFType3Font>(dict, objectKey);
    if (*subtype == "Type0")
        return QVPDFType0Font::initWithDictionary(dict, objectKey);
    // Descendants (CIDFontType0/2) are never fonts for the interpreter.
    return nullptr;
}

void QVPDFFont::setSubtypeBaseFontName(const platform::PdfObject& dict) {
    if (auto sub = dict.getName("Subtype"))
        subtype_ = QVPDFFontUtilities::validUTF8(*sub);
    auto base = dict.getName("BaseFont");
    if (!base)
        return;
    std::string name = QVPDFFontUtilities::fontNameToUTF8(*base);
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("unknown") != std::string::npos)
        name = "Arial Unicode MS";
    baseFontName_ = name;
    size_t plus = name.find('+');
    fontName_ = plus == std::string::npos ? name : name.substr(plus + 1);
    fontFamilyName_ = QVPDFFontUtilities::FamilyName(fontName_);
    if (!fontFamilyName_)
        fontFamilyName_ = QVPDFFontUtilities::FamilyNameCut(*fontName_);
}

void QVPDFFont::setBuiltinFontWithFontDictionary(const platform::PdfObject& dict) {
    if (!fontName_ || !baseFontName_)
        setSubtypeBaseFontName(dict);
    if (!fontName_)
        return;
    builtinFont_ = BuiltinFontManager::sharedManager().findBuildinFont(*fontName_);
}

void QVPDFFont::setFontDescriptorWithFontDictionary(const platform::PdfObject& dict) {
    auto fd = dict.getDictionary("FontDescriptor");
    if (!fd)
        return;
    fontDescriptor_ = QVPDFFontDescriptor::initWithPDFDictionary(*fd);
    if (fontDescriptor_ && fontDescriptor_->fontFamily() &&
        !fontDescriptor_->fontFamily()->empty()) {
        const std::string& family = *fontDescriptor_->fontFamily();
        // Without a catalogue the descriptor's own family name serves.
        auto matched = QVPDFFontUtilities::FamilyName(family);
        fontFamilyName_ = matched ? *matched : family;
    }
}

double QVPDFFont::spaceWidthFrom(double w, const QVPDFFontDescriptor* d) {
    if (w > 0 && w < 1)
        return w;
    if (d) {
        double s = w > 0 ? w : 1.0;
        for (double v : {d->missingWidth(), d->averageWidth(), d->maxWidth()})
            if (v > 0)
                s = std::min(s, v);
        if (d->fontBBox().size.width > 0)
            s = std::min(s, d->fontBBox().size.width);
        if (s > 0 && s < 1)
            return s;
        return d->isFixedWidth() ? 1.0 : 0.5;
    }
    return 0.5;
}

void QVPDFFont::setToUnicodeWithFontDictionary(const platform::PdfObject& dict, int nBits) {
    auto stream = dict.getStream("ToUnicode");
    if (!stream) {
        // Producers write the CMap's name where the map belongs; other
        // readers take the identity names as "the codes are Unicode".
        const auto name = dict.getName("ToUnicode");
        identityToUnicode_ = nBits == 16 && name && (*name == "Identity-H" || *name == "Identity-V");
        return;
    }
    if (auto data = stream->streamData())
        embToUnicodeMap_ = QVPDFCharCodeToUnicode::parseCMap(*data, nBits);
}

QVPDFFontCollection::QVPDFFontCollection(const std::optional<platform::PdfObject>& dict,
                                         QVPDFFontCache* cache) {
    if (!dict || !dict->isDictionary())
        return;
    for (const std::string& key : dict->keys()) {
        platform::PdfObject value = dict->get(key);
        if (!value.isDictionary()) {
            rejectedNames_.insert(key);
            continue;
        }
        auto font = cache ? cache->fontWithDictionary(value, key)
                          : QVPDFFont::fontWithDictionary(value, key);
        if (font)
            fonts_[key] = std::move(font);
        else
            rejectedNames_.insert(key);
    }
}

std::shared_ptr<const QVPDFFont> QVPDFFontCollection::fontNamed(const std::string& name) const {
    auto it = fonts_.find(name);
    return it == fonts_.end() ? nullptr : it->second;
}
