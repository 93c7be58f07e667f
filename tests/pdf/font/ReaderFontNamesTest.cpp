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

} // namespace
