#include "pptx/QVPPTXProperties.h"

namespace {
bool sameText(const std::optional<std::string>& a, const std::optional<std::string>& b) {
    return a && b && *a == *b;
}
} // namespace

bool QVPPTX_RunPrFontIsEqual(const QVPPTX_RunPr_Font& a, const QVPPTX_RunPr_Font& b) {
    return sameText(a.typeface, b.typeface) && sameText(a.pitchFamily, b.pitchFamily) &&
           sameText(a.charset, b.charset);
}

bool QVPPTX_RunPrIsEqual(const QVPPTX_RunPr& a, const QVPPTX_RunPr& b) {
    return sameText(a.lang, b.lang) && sameText(a.altLang, b.altLang) &&
           sameText(a.rgbColor, b.rgbColor) && a.sz == b.sz && a.dirty == b.dirty &&
           a.smtClean == b.smtClean && a.b == b.b && a.i == b.i &&
           a.invisible == b.invisible && QVPPTX_RunPrFontIsEqual(a.latin, b.latin) && QVPPTX_RunPrFontIsEqual(a.cs, b.cs);
}
