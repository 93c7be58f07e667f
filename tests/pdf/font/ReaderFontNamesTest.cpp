#include "pdf/font/ReaderFontNames.h"

#include <gtest/gtest.h>

namespace {

TEST(ReaderFontNames, WellKnownNamesGiveFamiliesReadersFind) {
    const struct {
        const char* name;
        const char* family; // empty: not known
        bool bold, italic;  // the style the name gives
    } rows[] = {
        // The standard 14 as their metric-compatible core families.
        {"Helvetica", "Arial", false, false},
        {"Helvetica-BoldOblique", "Arial", false, false},
        {"Helvetica-Narrow", "Arial Narrow", false, false},
        {"Times-Roman", "Times New Roman", false, false},
        {"Times-BoldItalic", "Times New Roman", false, true},
        {"Courier", "Courier New", false, false},
        {"Courier-Oblique", "Courier New", false, false},
        // Core fonts under their PostScript and TrueType names.
        {"ArialMT", "Arial", false, false},
        {"Arial-BoldMT", "Arial", false, false},
        {"Arial,Bold", "Arial", false, false},
        {"Arial-Black", "Arial Black", false, false},
        {"ArialNarrow-Bold", "Arial Narrow", false, false},
        {"TimesNewRomanPSMT", "Times New Roman", false, false},
        {"TimesNewRoman,Italic", "Times New Roman", false, true},
        {"CourierNewPSMT", "Courier New", false, false},
        {"Calibri-Light", "Calibri Light", false, false},
        {"SegoeUI-Semibold", "Segoe UI", false, false},
        {"TrebuchetMS-Bold", "Trebuchet MS", false, false},
        // Clones of the core fonts and URW's abbreviated styles.
        {"LiberationSerif-Bold", "Times New Roman", false, false},
        {"NimbusRomNo9L-Medi", "Times New Roman", true, false},
        {"NimbusRomNo9L-ReguItal", "Times New Roman", false, true},
        {"NimbusSanL-Regu", "Arial", false, false},
        {"NimbusMonoPS-Regular", "Courier New", false, false},
        {"URWPalladioL-Roma", "Palatino Linotype", false, false},
        {"Bookman-Demi", "Bookman Old Style", true, false},
        {"NimbusSans-Medium", "Arial", false, false},
        // TeX's faces: a core family of their kind, style from the face letters.
        {"CMR10", "Times New Roman", false, false},
        {"CMBX12", "Times New Roman", true, false},
        {"CMTI10", "Times New Roman", false, true},
        {"CMBXTI10", "Times New Roman", true, true},
        {"CMMI7", "Times New Roman", false, true},
        {"CMSS10", "Arial", false, false},
        {"CMTT9", "Courier New", false, false},
        {"SFRM1000", "Times New Roman", false, false},
        {"SFBX1200", "Times New Roman", true, false},
        {"LMRoman10-Regular", "Times New Roman", false, false},
        {"LMRomanSlant10-Regular", "Times New Roman", false, true},
        {"LMSans10-Regular", "Arial", false, false},
        {"LMMono10-Regular", "Courier New", false, false},
        {"MSBM10", "Times New Roman", false, false},
        // Condensed Helvetica is set narrow.
        {"HelveticaLTStd-LightCond", "Arial Narrow", false, false},
        {"HelveticaNeueLTStd-Cn", "Arial Narrow", false, false},
        {"HelveticaNeueLTPro-Lt", "Arial", false, false},
        // Symbol and East Asian families under their PostScript names.
        {"SymbolMT", "Symbol", false, false},
        {"Wingdings3", "Wingdings 3", false, false},
        {"MS-PGothic", "MS PGothic", false, false},
        // A composite font's character map leaves its name.
        {"SimSun-GBK-EUC-H", "SimSun", false, false},
        {"\xE5\xAE\x8B\xE4\xBD\x93-WinCharSetFFFF-H", "\xE5\xAE\x8B\xE4\xBD\x93", false, false},
        {"LMRoman12-Bold-Identity-H", "Times New Roman", false, false},
        {"Foo-Identity-V", "Foo", false, false},
        // Unknown names stay as they are.
        {"MinionPro-Regular", "", false, false},
        {"CMRoman", "", false, false},
        {"SF", "", false, false},
        {"Symbol", "", false, false},
        {"Bar-Baz-H", "", false, false},
        {"ZapfDingbats", "", false, false},
        {"宋体", "", false, false},
        {"", "", false, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const auto face = readerFontFace(r.name);
        if (!*r.family) {
            EXPECT_FALSE(face) << face->family;
            continue;
        }
        ASSERT_TRUE(face);
        EXPECT_EQ(face->family, r.family);
        EXPECT_EQ(face->bold, r.bold);
        EXPECT_EQ(face->italic, r.italic);
    }
}

TEST(ReaderFontNames, AnyFontGetsAFaceReadersHaveWithItsStyle) {
    // Descriptor flags: 1 fixed pitch, 2 serif, 4 symbolic, 32 nonsymbolic, 64 italic.
    const auto flags = [](int f) {
        ReaderFontFacts d;
        d.hasDescriptor = true;
        d.fixedPitch = f & 1;
        d.serif = f & 2;
        d.symbolic = f & 4;
        d.italic = f & 64;
        d.forceBold = f & (1 << 18);
        return d;
    };
    const auto with = [](ReaderFontFacts d, auto change) {
        change(d);
        return d;
    };
    const struct {
        const char* name;
        const char* family; // the font's family name, as the font model gives it
        ReaderFontFacts facts;
        const char* shown;
        bool bold, italic;
    } rows[] = {
        // Families no reader has: the core family of their flags, the
        // style from the name's suffix.
        {"Melior", "Melior", flags(34), "Times New Roman", false, false},
        {"Melior-Bold", "Melior", flags(262178), "Times New Roman", true, false},
        {"Melior-Italic", "Melior", flags(98), "Times New Roman", false, true},
        {"AdvPS405B6", "AdvPS405B6", flags(34), "Times New Roman", false, false},
        {"Roboto-Regular", "Roboto", flags(32), "Arial", false, false},
        {"FranklinGothic-Medium", "FranklinGothic", flags(32), "Arial", false, false},
        {"NimbusMonL-Regu", "NimbusMonL", flags(33), "Courier New", false, false},
        {"NimbusMonL-BoldObli", "NimbusMonL", flags(33), "Courier New", true, true},
        {"AGaramondPro-SemiboldItalic", "AGaramondPro", flags(34), "Times New Roman", true, true},
        {"Century", "Century", flags(34), "Times New Roman", false, false},
        {"UniversLTStd-Cond", "UniversLTStd", flags(32), "Arial Narrow", false, false},
        {"Frutiger", "Frutiger", with(flags(32), [](auto& d) { d.averageWidth = 350; }),
         "Arial Narrow", false, false},
        {"SourceCodeMono-Light", "SourceCodeMono", flags(32), "Courier New", false, false},
        {"DroidSerifBoldItalic", "DroidSerifBoldItalic", flags(32), "Times New Roman", true,
         true},
        // Without a descriptor, the words of the name, else a sans.
        {"MyFancySerif", "MyFancySerif", {}, "Times New Roman", false, false},
        {"XYZ", "XYZ", {}, "Arial", false, false},
        // Style from the descriptor where the name says nothing of it:
        // weight, stems, slant, the program's own style.
        {"AdvP1", "AdvP1", with(flags(34), [](auto& d) { d.weight = 700; }), "Times New Roman",
         true, false},
        {"AdvP2", "AdvP2", with(flags(34), [](auto& d) { d.stemV = 140; }), "Times New Roman",
         true, false},
        {"AdvP3", "AdvP3", with(flags(34), [](auto& d) { d.stemV = 85; }), "Times New Roman",
         false, false},
        {"AdvP4", "AdvP4", with(flags(6), [](auto& d) { d.stemV = 580; }), "Times New Roman",
         false, false},
        {"AdvP5", "AdvP5", with(flags(34), [](auto& d) { d.italicAngle = -12; }),
         "Times New Roman", false, true},
        {"AdvP6", "AdvP6", with(flags(34), [](auto& d) { d.programItalic = true; }),
         "Times New Roman", false, true},
        // A name that says "Regular" is regular whatever its stems.
        {"Foo-Regular", "Foo", with(flags(32), [](auto& d) { d.stemV = 140; }), "Arial", false,
         false},
        // Known families stay, with the name's style and the descriptor's.
        {"Tahoma", "Tahoma", flags(32), "Tahoma", false, false},
        {"Tahoma-Bold", "Tahoma", flags(32), "Tahoma", true, false},
        {"Arial-BoldItalicMT", "Arial", flags(96), "Arial", true, true},
        {"Arial,Italic", "Arial", flags(68), "Arial", false, true},
        {"Arial-Black", "Arial", flags(32), "Arial Black", false, false},
        {"TimesNewRomanPS-BoldMT", "TimesNewRoman", flags(34), "Times New Roman", true, false},
        {"Calibri", "Calibri", with(flags(32), [](auto& d) { d.stemV = 124; }), "Calibri", false,
         false},
        {"CMR10", "CMR10", flags(34), "Times New Roman", false, false},
        {"SFRM1095", "SFRM1095", flags(34), "Times New Roman", false, false},
        {"EUFM10", "EUFM10", flags(4), "Times New Roman", false, false},
        {"Symbol", "Symbol", flags(4), "Symbol", false, false},
        {"SymbolMT", "Symbol", flags(4), "Symbol", false, false},
        {"Wingdings-Regular", "Wingdings", flags(4), "Wingdings", false, false},
        // East Asian families keep their names, in Latin or their own script.
        {"SimSun", "SimSun", flags(6), "SimSun", false, false},
        {"SimHei-Bold", "SimHei", flags(4), "SimHei", true, false},
        {"\xE5\xAE\x8B\xE4\xBD\x93", "\xE5\xAE\x8B\xE4\xBD\x93", flags(4),
         "\xE5\xAE\x8B\xE4\xBD\x93", false, false},
        {"AdobeSongStd-Light-Identity-H", "AdobeSongStd", flags(4), "SimSun", false, false},
        // A composite font's character map is no style.
        {"Melior-Identity-H", "Melior", flags(34), "Times New Roman", false, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const ReaderFontFace face = readerFontFor(r.name, r.family, r.facts);
        EXPECT_EQ(face.family, r.shown);
        EXPECT_EQ(face.bold, r.bold);
        EXPECT_EQ(face.italic, r.italic);
    }
}

TEST(ReaderFontNames, FontTableEntriesLetAReaderPickACloseFamily) {
    using K = ReaderFontKind;
    const struct {
        const char* family;
        ReaderFontKind kind;
        const char* generic;
        const char* pitch;
        const char* charset;
        const char* altName;
    } rows[] = {
        {"Times New Roman", K::Serif, "roman", "variable", "00", "Times New Roman"},
        {"Arial", K::Sans, "swiss", "variable", "00", "Arial"},
        {"Arial Narrow", K::Sans, "swiss", "variable", "00", "Arial"},
        {"Courier New", K::Mono, "modern", "fixed", "00", "Courier New"},
        // The core family's kind wins over a kind handed in.
        {"Courier New", K::Unknown, "modern", "fixed", "00", "Courier New"},
        {"Tahoma", K::Sans, "swiss", "variable", "00", "Arial"},
        {"Georgia", K::Serif, "roman", "variable", "00", "Times New Roman"},
        {"Consolas", K::Mono, "modern", "fixed", "00", "Courier New"},
        {"Symbol", K::Unknown, "roman", "variable", "02", "Symbol"},
        {"Wingdings", K::Unknown, "auto", "variable", "02", "Wingdings"},
        {"SimSun", K::Serif, "roman", "variable", "86", "SimSun"},
        {"MingLiU", K::Serif, "roman", "variable", "88", "MingLiU"},
        {"MS Gothic", K::Sans, "swiss", "variable", "80", "MS Gothic"},
        {"Batang", K::Serif, "roman", "variable", "81", "Batang"},
        {"Somefont", K::Unknown, "auto", "variable", "00", "Somefont"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.family);
        const ReaderFontTableEntry e = readerFontTableEntry(r.family, r.kind);
        EXPECT_EQ(e.family, r.generic);
        EXPECT_EQ(e.pitch, r.pitch);
        EXPECT_EQ(e.charset, r.charset);
        EXPECT_EQ(e.altName, r.altName);
    }
}

} // namespace
