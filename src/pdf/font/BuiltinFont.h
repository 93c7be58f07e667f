#pragma once
// One of the standard 14 fonts: name, built-in encoding name, metrics as
// fractions of the font size, and the glyph widths (static rows, shared).

#include "pdf/font/BuiltinFontWidths.h"
#include "platform/Geometry.h"

#include <string>

class BuiltinFont {
public:
    explicit BuiltinFont(const fontdata::StandardFontData& data);

    const std::string& fontName() const { return fontName_; }
    /// "StandardEncoding", "SymbolEncoding" or "ZapfDingbatsEncoding".
    const std::string& baseEncoding() const { return baseEncoding_; }
    double ascent() const { return ascent_; }
    double descent() const { return descent_; }
    /// Lower-left corner as origin, upper-right corner in the size fields.
    const platform::Rect& bbox() const { return bbox_; }
    const BuiltinFontWidths& fontWidths() const { return fontWidths_; }

private:
    std::string fontName_;
    std::string baseEncoding_;
    double ascent_;
    double descent_;
    platform::Rect bbox_;
    BuiltinFontWidths fontWidths_;
};
