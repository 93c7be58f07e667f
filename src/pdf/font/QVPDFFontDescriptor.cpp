#include "pdf/font/QVPDFFontDescriptor.h"

#include "pdf/font/QVPDFFontUtilities.h"

#include <cmath>

namespace {

std::optional<double> numberEntry(const platform::PdfObject& dict, const char* key) {
    // Values far beyond any real font (glyph units are thousandths of an em) are damage.
    constexpr double kLimit = 1e7;
    auto v = dict.getNumber(key);
    if (v && std::isfinite(*v) && std::abs(*v) <= kLimit)
        return v;
    return std::nullopt;
}

} // namespace

std::shared_ptr<const QVPDFFontDescriptor>
QVPDFFontDescriptor::initWithPDFDictionary(const platform::PdfObject& dict) {
    if (!dict.isDictionary())
        return nullptr;
    std::shared_ptr<QVPDFFontDescriptor> d(new QVPDFFontDescriptor());

    if (auto v = numberEntry(dict, "Ascent"))
        d->ascent_ = *v * 0.001;
    if (auto v = numberEntry(dict, "Descent")) {
        d->descent_ = *v * 0.001;
        // Some producers write the descent positive.
        if (d->descent_ > 0)
            d->descent_ = -d->descent_;
    }
    if (auto v = numberEntry(dict, "Leading"))
        d->leading_ = *v;
    if (auto v = numberEntry(dict, "CapHeight"))
        d->capHeight_ = *v;
    if (auto v = numberEntry(dict, "XHeight"))
        d->xHeight_ = *v;
    if (auto v = numberEntry(dict, "AvgWidth"))
        d->averageWidth_ = *v * 0.001;
    if (auto v = numberEntry(dict, "MaxWidth"))
        d->maxWidth_ = *v * 0.001;
    if (auto v = numberEntry(dict, "MissingWidth"))
        d->missingWidth_ = *v * 0.001;
    if (auto v = numberEntry(dict, "StemV"))
        d->verticalStemWidth_ = *v;
    if (auto v = numberEntry(dict, "StemH"))
        d->horizontalStemHeigth_ = *v;
    if (auto v = numberEntry(dict, "ItalicAngle"))
        d->italicAngle_ = *v;
    if (auto v = numberEntry(dict, "FontWeight"))
        d->fontWeight_ = *v;
    if (auto v = dict.getInteger("Flags"); v && *v >= 0)
        d->flags_ = static_cast<uint64_t>(*v);
    else if (auto r = numberEntry(dict, "Flags"); r && *r >= 0 && *r < 4294967296.0)
        d->flags_ = static_cast<uint64_t>(*r);
    if (auto box = dict.getArray("FontBBox"); box && box->arraySize() == 4) {
        double v[4];
        for (size_t i = 0; i < 4; ++i) {
            auto n = box->numberAt(i);
            v[i] = n && std::isfinite(*n) && std::abs(*n) <= 1e7 ? *n * 0.001 : 0.0;
        }
        d->fontBBox_ = {{v[0], v[1]}, {v[2], v[3]}};
    }

    if (auto name = dict.getName("FontName"))
        d->fontName_ = QVPDFFontUtilities::fontNameToUTF8(*name);
    if (auto family = dict.getString("FontFamily")) {
        auto legacy = QVPDFFontUtilities::legacyCJKFontName(*family);
        d->fontFamily_ = legacy ? *legacy : QVPDFFontUtilities::textStringToUTF8(*family);
    }

    std::optional<platform::PdfObject> program;
    if ((program = dict.getStream("FontFile"))) {
        d->embFontNum_ = 1;
        d->embFontSubType_ = "Type1";
    } else if ((program = dict.getStream("FontFile2"))) {
        d->embFontNum_ = 2;
        d->embFontSubType_ = "CIDType2 or TrueType";
    } else if ((program = dict.getStream("FontFile3"))) {
        d->embFontNum_ = 3;
        if (auto sub = program->getName("Subtype"))
            d->embFontSubType_ = QVPDFFontUtilities::validUTF8(*sub);
    }
    if (program) {
        if (auto bytes = program->streamData()) {
            if (auto info = platform::readFontProgram(*bytes)) {
                if (!info->fullName.empty())
                    d->embFullName_ = QVPDFFontUtilities::validUTF8(info->fullName);
                if (!info->postScriptName.empty())
                    d->embPostScriptName_ = QVPDFFontUtilities::validUTF8(info->postScriptName);
                d->embFont_ = std::make_shared<const platform::FontProgramInfo>(std::move(*info));
            }
        }
    }
    return d;
}
