#include "pdf/font/BuiltinFontManager.h"

#include <gtest/gtest.h>

namespace {

const BuiltinFontManager& manager() {
    return BuiltinFontManager::sharedManager();
}

TEST(BuiltinFontManager, FindsStandardFontsThroughAliasesAndSpaces) {
    const std::pair<const char*, const char*> rows[] = {
        {"Times New Roman", "Times-Roman"},
        {"Arial,Bold", "Helvetica-Bold"},
        {"Helvetica", "Helvetica"},
        {"ArialMT", "Helvetica"},
        {"CourierNewPS-BoldItalicMT", "Courier-BoldOblique"},
        {"Symbol,Italic", "Symbol"},
        {"TimesNewRomanPSMT,BoldItalic", "Times-BoldItalic"},
        {"ZapfDingbats", "ZapfDingbats"},
    };
    for (const auto& [name, expected] : rows) {
        auto font = manager().findBuildinFont(name);
        ASSERT_TRUE(font) << name;
        EXPECT_EQ(font->fontName(), expected) << name;
    }
    for (const char* unknown : {"Verdana", "", " ", "helvetica", "Arial-Black"})
        EXPECT_FALSE(manager().findBuildinFont(unknown)) << unknown;
}

TEST(BuiltinFontManager, RecordsCarryTheAfmMetrics) {
    ASSERT_EQ(manager().fontsArray().size(), 14u);
    auto helvetica = manager().findBuildinFont("Helvetica");
    EXPECT_DOUBLE_EQ(helvetica->ascent(), 0.718);
    EXPECT_DOUBLE_EQ(helvetica->descent(), -0.207);
    platform::Rect box = helvetica->bbox();
    EXPECT_DOUBLE_EQ(box.origin.x, -0.166);
    EXPECT_DOUBLE_EQ(box.origin.y, -0.225);
    EXPECT_DOUBLE_EQ(box.size.width, 1.0);
    EXPECT_DOUBLE_EQ(box.size.height, 0.931);
    EXPECT_EQ(helvetica->baseEncoding(), "StandardEncoding");
    auto symbol = manager().findBuildinFont("Symbol");
    EXPECT_DOUBLE_EQ(symbol->ascent(), 1.010);
    EXPECT_DOUBLE_EQ(symbol->descent(), -0.293);
    EXPECT_EQ(symbol->baseEncoding(), "SymbolEncoding");
    EXPECT_DOUBLE_EQ(manager().findBuildinFont("ZapfDingbats")->ascent(), 0.820);
    EXPECT_EQ(symbol->fontWidths().widthsCount(), 190u);
    EXPECT_EQ(manager().findBuildinFont("ZapfDingbats")->fontWidths().widthsCount(), 202u);
    EXPECT_EQ(manager().findBuildinFont("Times-Roman")->fontWidths().widthsCount(), 315u);
}

TEST(BuiltinFontManager, SubstitutesFollowTheFlagIndex) {
    const char* expected[12] = {
        "Courier",     "Courier-Oblique",   "Courier-Bold",   "Courier-BoldOblique",
        "Helvetica",   "Helvetica-Oblique", "Helvetica-Bold", "Helvetica-BoldOblique",
        "Times-Roman", "Times-Italic",      "Times-Bold",     "Times-BoldItalic"};
    const auto& subst = manager().fontsSubstArray();
    ASSERT_EQ(subst.size(), 12u);
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(subst[i]->fontName(), expected[i]) << i;
}

TEST(BuiltinFontWidths, WidthsByNameAndByCharacter) {
    struct Row {
        const char* font;
        const char* glyph;
        int width; // -1: no row
    } rows[] = {
        {"Helvetica", "space", 278},    {"Helvetica", "A", 667},      {"Helvetica", "a", 556},
        {"Helvetica", "Euro", 556},     {"Helvetica-Bold", "A", 722}, {"Times-Roman", "space", 250},
        {"Times-Roman", "A", 722},      {"Times-Roman", "Euro", 500}, {"Times-Italic", "A", 611},
        {"Symbol", "alpha", 631},       {"Symbol", "Euro", 750},      {"ZapfDingbats", "a1", 974},
        {"Courier", "quoteright", 600}, {"Helvetica", "bullet", 350}, {"Helvetica", ".notdef", -1},
        {"Helvetica", "alpha", -1},
    };
    for (const Row& r : rows) {
        auto w = manager().findBuildinFont(r.font)->fontWidths().getString(r.glyph);
        if (r.width < 0)
            EXPECT_FALSE(w) << r.font << " " << r.glyph;
        else
            EXPECT_EQ(w.value_or(0), r.width) << r.font << " " << r.glyph;
    }
    const auto& helvetica = manager().findBuildinFont("Helvetica")->fontWidths();
    EXPECT_EQ(helvetica.getCharacter(0x00E9).value_or(0), 556); // eacute
    EXPECT_EQ(helvetica.getCharacter(0x20AC).value_or(0), 556); // Euro
    EXPECT_FALSE(helvetica.getCharacter(0x0001));
    EXPECT_EQ(helvetica.widthOfSpace().value_or(0), 278);
}

// Characters are measured through a table made when the font is loaded;
// it must give what the glyph's name gives, for every font and character,
// also past the table's end.
TEST(BuiltinFontWidths, WidthOfACharacterIsTheWidthOfItsGlyphName) {
    for (const fontdata::StandardFontData& data : fontdata::kStandardFonts) {
        const auto font = manager().findBuildinFont(data.fontName);
        ASSERT_TRUE(font) << data.fontName;
        const BuiltinFontWidths& widths = font->fontWidths();
        size_t measured = 0;
        for (uint32_t u = 0; u <= 0x2FF; ++u) {
            const auto byName = widths.getString(BuiltinFontWidths::unicodeIDToName(u));
            const auto byCharacter = widths.getCharacter(static_cast<uint16_t>(u));
            EXPECT_EQ(byCharacter, byName) << data.fontName << " U+" << std::hex << u;
            measured += byName ? 1 : 0;
        }
        EXPECT_GT(measured, 0u) << data.fontName;
    }
}

TEST(BuiltinFontWidths, GlyphNamesResolveByTheGlyphListRules) {
    const std::pair<const char*, std::u16string> rows[] = {
        {"quoteright", u"\u2019"},
        {"A", u"A"},
        {"Euro", u"\u20AC"},
        {"bullet", u"\u2022"},
        {"uni00E9", u"\u00E9"},
        {"uni00e9", u"\u00E9"},
        {"uni00410042", u"AB"},
        {"u1F600", u"\U0001F600"},
        {"u00E9", u"\u00E9"},
        {"f_f_i", u"ffi"},
        {"f_i.alt", u"fi"},
        {"a.sc", u"a"},
        {"fi", u"\uFB01"},
        {"copyrightsans", u"\u00A9"},
        {"trademarkserif", u"\u2122"},
        {"nbspace", u"\u00A0"},
        {"7", u"7"},
        // TeX maths names the Adobe list lacks (the built-in encoding of CMSY and kin)
        {"angbracketleft", u"\u27E8"},
        {"angbracketright", u"\u27E9"},
        {"turnstileleft", u"\u22A2"},
        {"latticetop", u"\u22A4"},
        {"bardbl", u"\u2225"},
        {"negationslash", u"\u0338"},
        {"Rfractur", u"\u211C"},
        {"prime", u"\u2032"},    // A' in TeX is A with a raised prime of CMSY
        {"triangle", u"\u25B3"}, // the triangle ABC
        {"mapsto", u"\u21A6"},
        {"floorleft", u"\u230A"},
        {"epsilon1", u"\u03F5"},
        // the sized delimiters and operators of CMEX read as their sign
        {"parenleftbigg", u"("},
        {"bracerightBig", u"}"},
        {"summationdisplay", u"\u2211"},
        {"integraltext", u"\u222B"},
        {"uni233", u""},  // not a group of four hex digits
        {"uniD800", u""}, // a lone surrogate is no character
        {"u110000", u""}, // beyond Unicode
        {"g7", u""},
        {"glyph12", u""},
        {"cid00123", u""},
        {".notdef", u""},
        {"a1", u""}, // a ZapfDingbats name outside that font
    };
    for (const auto& [name, text] : rows)
        EXPECT_EQ(BuiltinFontWidths::unicodeForGlyphName(name), text) << name;
    EXPECT_EQ(BuiltinFontWidths::unicodeForGlyphName("a1", true), u"\u2701");
}

TEST(BuiltinFontWidths, NameAndUnicodeTables) {
    EXPECT_EQ(BuiltinFontWidths::nameToUnicodeID("quoteright"), 0x2019);
    EXPECT_EQ(BuiltinFontWidths::nameToUnicodeID("uni00E9"), 0x00E9);
    EXPECT_EQ(BuiltinFontWidths::nameToUnicodeID("g12"), 0);
    EXPECT_EQ(BuiltinFontWidths::nameToUnicodeID("f_f"), 0); // two units
    // The twelve names the first list mapped twice keep one value.
    const std::pair<const char*, uint16_t> twice[] = {
        {"Delta", 0x2206},       {"Omega", 0x2126},          {"Scedilla", 0x015E},
        {"fraction", 0x2044},    {"hyphen", 0x002D},         {"macron", 0x00AF},
        {"mu", 0x00B5},          {"periodcentered", 0x00B7}, {"space", 0x0020},
        {"Tcommaaccent", 0x0162}};
    for (const auto& [name, value] : twice)
        EXPECT_EQ(BuiltinFontWidths::nameToUnicodeID(name), value) << name;

    const std::pair<uint32_t, const char*> names[] = {
        {0x0041, "A"},       {0x0378, "uni0378"}, {0x00A0, "space"},
        {0x0000, ".notdef"}, {0x00AD, "hyphen"},  {0x2019, "quoteright"},
        {0x20AC, "Euro"},    {0x0394, "Delta"},   {0x1F600, "u1F600"},
    };
    for (const auto& [value, name] : names)
        EXPECT_EQ(BuiltinFontWidths::unicodeIDToName(value), name) << std::hex << value;
}

} // namespace
