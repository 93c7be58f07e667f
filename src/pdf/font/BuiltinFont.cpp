#include "pdf/font/BuiltinFont.h"

BuiltinFont::BuiltinFont(const fontdata::StandardFontData& data)
    : fontName_(data.fontName), baseEncoding_(data.baseEncoding), ascent_(data.ascent * 0.001),
      descent_(data.descent * 0.001), bbox_{{data.bbox[0] * 0.001, data.bbox[1] * 0.001},
                                            {data.bbox[2] * 0.001, data.bbox[3] * 0.001}},
      fontWidths_(data.widths, data.widthCount) {}
