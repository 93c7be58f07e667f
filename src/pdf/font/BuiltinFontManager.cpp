#include "pdf/font/BuiltinFontManager.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

// Names that producers write for the standard fonts (the comma is part of the name).
constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
    {"Arial", "Helvetica"},
    {"ArialMT", "Helvetica"},
    {"Arial,Bold", "Helvetica-Bold"},
    {"Arial-Bold", "Helvetica-Bold"},
    {"Arial-BoldMT", "Helvetica-Bold"},
    {"Helvetica,Bold", "Helvetica-Bold"},
    {"Arial,BoldItalic", "Helvetica-BoldOblique"},
    {"Arial-BoldItalic", "Helvetica-BoldOblique"},
    {"Arial-BoldItalicMT", "Helvetica-BoldOblique"},
    {"Helvetica,BoldItalic", "Helvetica-BoldOblique"},
    {"Helvetica-BoldItalic", "Helvetica-BoldOblique"},
    {"Arial,Italic", "Helvetica-Oblique"},
    {"Arial-Italic", "Helvetica-Oblique"},
    {"Arial-ItalicMT", "Helvetica-Oblique"},
    {"Helvetica,Italic", "Helvetica-Oblique"},
    {"Helvetica-Italic", "Helvetica-Oblique"},
    {"CourierNew", "Courier"},
    {"CourierNewPSMT", "Courier"},
    {"Courier,Bold", "Courier-Bold"},
    {"CourierNew,Bold", "Courier-Bold"},
    {"CourierNew-Bold", "Courier-Bold"},
    {"CourierNewPS-BoldMT", "Courier-Bold"},
    {"Courier,BoldItalic", "Courier-BoldOblique"},
    {"CourierNew,BoldItalic", "Courier-BoldOblique"},
    {"CourierNew-BoldItalic", "Courier-BoldOblique"},
    {"CourierNewPS-BoldItalicMT", "Courier-BoldOblique"},
    {"Courier,Italic", "Courier-Oblique"},
    {"CourierNew,Italic", "Courier-Oblique"},
    {"CourierNew-Italic", "Courier-Oblique"},
    {"CourierNewPS-ItalicMT", "Courier-Oblique"},
    {"Symbol,Bold", "Symbol"},
    {"Symbol,BoldItalic", "Symbol"},
    {"Symbol,Italic", "Symbol"},
    {"TimesNewRoman", "Times-Roman"},
    {"TimesNewRomanPS", "Times-Roman"},
    {"TimesNewRomanPSMT", "Times-Roman"},
    {"TimesNewRoman,Bold", "Times-Bold"},
    {"TimesNewRoman-Bold", "Times-Bold"},
    {"TimesNewRomanPS-Bold", "Times-Bold"},
    {"TimesNewRomanPS-BoldMT", "Times-Bold"},
    {"TimesNewRomanPSMT,Bold", "Times-Bold"},
    {"TimesNewRoman,BoldItalic", "Times-BoldItalic"},
    {"TimesNewRoman-BoldItalic", "Times-BoldItalic"},
    {"TimesNewRomanPS-BoldItalic", "Times-BoldItalic"},
    {"TimesNewRomanPS-BoldItalicMT", "Times-BoldItalic"},
    {"TimesNewRomanPSMT,BoldItalic", "Times-BoldItalic"},
    {"TimesNewRoman,Italic", "Times-Italic"},
    {"TimesNewRoman-Italic", "Times-Italic"},
    {"TimesNewRomanPS-Italic", "Times-Italic"},
    {"TimesNewRomanPS-ItalicMT", "Times-Italic"},
    {"TimesNewRomanPSMT,Italic", "Times-Italic"},
};

constexpr std::string_view kSubstitutes[12] = {
    "Courier",     "Courier-Oblique",   "Courier-Bold",   "Courier-BoldOblique",
    "Helvetica",   "Helvetica-Oblique", "Helvetica-Bold", "Helvetica-BoldOblique",
    "Times-Roman", "Times-Italic",      "Times-Bold",     "Times-BoldItalic",
};

} // namespace

const BuiltinFontManager& BuiltinFontManager::sharedManager() {
    // Function-local static: its first construction is thread-safe.
    static const BuiltinFontManager manager;
    return manager;
}

BuiltinFontManager::BuiltinFontManager() {
    for (const auto& data : fontdata::kStandardFonts)
        fontsArray_.push_back(std::make_shared<const BuiltinFont>(data));
    for (std::string_view name : kSubstitutes)
        for (const auto& font : fontsArray_)
            if (font->fontName() == name)
                fontsSubstArray_.push_back(font);
}

std::shared_ptr<const BuiltinFont>
BuiltinFontManager::findBuildinFont(const std::string& name) const {
    std::string key;
    for (char c : name)
        if (c != ' ')
            key += c;
    if (key.empty())
        return nullptr;
    for (const auto& [alias, standard] : kAliases)
        if (key == alias) {
            key = standard;
            break;
        }
    for (const auto& font : fontsArray_)
        if (font->fontName() == key)
            return font;
    return nullptr;
}
