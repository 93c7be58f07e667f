#include "pdf/font/QVPDFSimple8BitFont.h"

#include "pdf/font/BuiltinFont.h"
#include "pdf/font/FontTestSupport.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using fonttest::decodeText;
using fonttest::loadFont;
using fonttest::loadFontSource;

std::string toUnicodeCMap(const std::string& body) {
    return "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
           "1 begincodespacerange <00> <FF> endcodespacerange\n" +
           body + "\nendcmap end end\n";
}

/// A font dictionary source plus an optional ToUnicode stream (its source uses "TU").
fonttest::LoadedFont makeFont(const std::string& fontSource, const std::string& toUnicode = "") {
    return loadFont([&](fixtures::PdfBuilder& b) {
        std::string src = fontSource;
        if (!toUnicode.empty()) {
            std::string ref = b.addStream("<< >>", toUnicodeCMap(toUnicode));
            src.replace(src.find("TU"), 2, ref);
        }
        return b.addObject(src);
    });
}

TEST(QVPDFSimple8BitFont, DecodingRows) {
    struct Row {
        const char* what;
        std::string font;
        std::string toUnicode;
        std::string bytes;
        std::u16string text;
    } rows[] = {
        {"WinAnsi euro, quotes, dashes, bullet",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>", "",
         "\x80\x93\x94\x96\x97\x95\x92", u"\u20AC\u201C\u201D\u2013\u2014\u2022\u2019"},
        {"StandardEncoding is the real table",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /StandardEncoding >>", "",
         "'`\xE1\xAE\x80", u"\u2019\u2018\u00C6\uFB01"},
        {"MacRoman",
         "<< /Type /Font /Subtype /TrueType /BaseFont /Foo /Encoding /MacRomanEncoding >>", "",
         "\xD2\xDB\x8E", u"\u201C\u00A4\u00E9"},
        {"PDFDoc", "<< /Type /Font /Subtype /Type1 /BaseFont /Foo /Encoding /PDFDocEncoding >>", "",
         "\x80\x93", u"\u2022\uFB01"},
        {"Differences over WinAnsi",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Foo /Encoding << /BaseEncoding "
         "/WinAnsiEncoding /Differences [39 /quoteright 96 /quoteleft] >> >>",
         "", "'(`", u"\u2019(\u2018"},
        {"synthetic glyph names fall back to the base encoding",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Foo /Encoding << /Differences [65 /g7 "
         "/glyph12 /cid00123] >> >>",
         "", "ABC", u"ABC"},
        {"ligature and uni names",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Foo /Encoding << /Differences [65 /f_f_i "
         "/uni20AC /u1D400 /fi.alt] >> >>",
         "", "ABCD", u"ffi\u20AC\U0001D400\uFB01"},
        {"Differences elements of other types are skipped",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Foo /Encoding << /Differences [65 (x) 1.5 "
         "/Z 300 /A] >> >>",
         "", "AB", u"ZB"},
        {"ToUnicode lacking a code: the encoding decodes it",
         "<< /Type /Font /Subtype /TrueType /BaseFont /Foo /ToUnicode TU >>",
         "1 beginbfchar <42> <0062> endbfchar", "AB", u"Ab"},
        {"an empty ToUnicode destination: no text, not the encoding's",
         "<< /Type /Font /Subtype /TrueType /BaseFont /Foo /ToUnicode TU >>",
         "1 beginbfchar <41> <> endbfchar", "AB", u"B"},
        {"ToUnicode wins over Differences",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Foo /Encoding << /Differences [65 /Z] >> "
         "/ToUnicode TU >>",
         "1 beginbfchar <41> <0078> endbfchar", "AB", u"xB"},
        {"ToUnicode ligature and surrogates",
         "<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+Foo /ToUnicode TU >>",
         "2 beginbfchar <01> <00660069> <02> <D835DC00> endbfchar", "\x01\x02", u"fi\U0001D400"},
        {"Symbol uses its own encoding", "<< /Type /Font /Subtype /Type1 /BaseFont /Symbol >>", "",
         "\xB7"
         "a\xE5",
         u"\u2022\u03B1\u2211"},
        {"ZapfDingbats uses its own encoding",
         "<< /Type /Font /Subtype /Type1 /BaseFont /ZapfDingbats >>", "", "!\x6C", u"\u2701\u25CF"},
        {"standard font without /Encoding: StandardEncoding",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>", "", "'", u"\u2019"},
        {"other fonts without /Encoding: WinAnsi",
         "<< /Type /Font /Subtype /TrueType /BaseFont /Verdana >>", "", "'\x92", u"'\u2019"},
        {"Type3 without /Encoding: StandardEncoding",
         "<< /Type /Font /Subtype /Type3 /FontMatrix [0.001 0 0 0.001 0 0] /FontBBox [0 0 1 1] "
         "/CharProcs << >> >>",
         "", "A'", u"A\u2019"},
        {"control codes give no text",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>", "",
         std::string("\x01\x00", 2), u""},
        {"an unknown encoding name is no encoding",
         "<< /Type /Font /Subtype /TrueType /BaseFont /Foo /Encoding /Bogus >>", "", "\x80",
         u"\u20AC"},
    };
    for (const Row& r : rows) {
        auto loaded = makeFont(r.font, r.toUnicode);
        ASSERT_TRUE(loaded.font) << r.what;
        EXPECT_EQ(decodeText(*loaded.font, r.bytes), r.text) << r.what;
    }
}

TEST(QVPDFSimple8BitFont, DecodingContract) {
    auto loaded = loadFontSource(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Foo /Encoding << /Differences [65 /f_f_i] >> "
        "/FirstChar 65 /LastChar 65 /Widths [750] >>");
    const unsigned char s[] = {'A', 'B'};
    uint32_t code = 32, u[2] = {32, 32};
    int uLen = 0;
    float dx = 0, dy = 1, ox = 1, oy = 1;
    EXPECT_EQ(loaded.font->getNextChar(s, 2, &code, u, 2, &uLen, &dx, &dy, &ox, &oy), 1);
    EXPECT_EQ(code, 65u);
    EXPECT_EQ(uLen, 2); // "ffi" cut to the room given
    EXPECT_EQ(u[0], u'f');
    EXPECT_EQ(u[1], u'f');
    EXPECT_FLOAT_EQ(dx, 0.75f);
    EXPECT_EQ(dy, 0.0f);
    EXPECT_EQ(ox, 0.0f);
    EXPECT_EQ(oy, 0.0f);
}

TEST(QVPDFSimple8BitFont, FactoryAndNames) {
    const std::pair<const char*, bool> factory[] = {
        {"<< /Subtype /Type1 /BaseFont /Helvetica >>", true}, // /Type may be missing
        {"<< /Type /Font /Subtype /MMType1 /BaseFont /Foo >>", true},
        {"<< /Type /XObject /Subtype /Type1 /BaseFont /Helvetica >>", false},
        {"<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Foo >>", false},
        {"<< /Type /Font /BaseFont /Foo >>", false},
        {"<< /Type /Font /Subtype /Image >>", false},
    };
    for (const auto& [src, made] : factory)
        EXPECT_EQ(static_cast<bool>(loadFontSource(src).font), made) << src;

    auto subset =
        loadFontSource("<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+Helvetica-Bold >>");
    EXPECT_EQ(subset.font->baseFontName().value_or(""), "ABCDEF+Helvetica-Bold");
    EXPECT_EQ(subset.font->fontName().value_or(""), "Helvetica-Bold");
    EXPECT_EQ(subset.font->subtype().value_or(""), "Type1");
    ASSERT_TRUE(subset.font->builtinFont());
    EXPECT_EQ(subset.font->builtinFont()->fontName(), "Helvetica-Bold");
    EXPECT_EQ(subset.font->fontFamilyName().value_or(""), "Helvetica");

    auto unknown = loadFontSource("<< /Type /Font /Subtype /TrueType /BaseFont /UnKnOwN-Font >>");
    EXPECT_EQ(unknown.font->baseFontName().value_or(""), "Arial Unicode MS");
    EXPECT_EQ(unknown.font->fontName().value_or(""), "Arial Unicode MS");

    auto nameless =
        loadFontSource("<< /Type /Font /Subtype /Type3 /FontMatrix [0.001 0 0 0.001 0 0] >>");
    ASSERT_TRUE(nameless.font);
    EXPECT_FALSE(nameless.font->fontName());
    EXPECT_FALSE(nameless.font->baseFontName());
    EXPECT_FALSE(nameless.font->fontDescriptor());
    EXPECT_EQ(nameless.font->objectKey(), "F1");

    // Names that are not UTF-8 are made valid before anyone sees them.
    auto latin = loadFontSource("<< /Type /Font /Subtype /TrueType /BaseFont /Caf#E9 >>");
    EXPECT_EQ(latin.font->fontName().value_or(""), "Caf\xC3\xA9");
}

double width(const QVPDFFont& font, unsigned char code) {
    return static_cast<const QVPDFSimple8BitFont&>(font).charWidths()[code];
}

TEST(QVPDFSimple8BitFont, StandardFontWidthsGoThroughTheEncoding) {
    auto helvetica = loadFontSource(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    const std::pair<unsigned char, double> rows[] = {
        {' ', 0.278},  {'A', 0.667},  {'a', 0.556},  {0x92, 0.222}, {0x93, 0.333},
        {0x96, 0.556}, {0x97, 1.000}, {0x95, 0.350}, {0x80, 0.556}, {0xE9, 0.556},
    };
    for (const auto& [code, w] : rows)
        EXPECT_NEAR(width(*helvetica.font, code), w, 1e-9) << int(code);
    EXPECT_NEAR(helvetica.font->widthOfSpace(), 0.278, 1e-9);
    EXPECT_NEAR(helvetica.font->ascent(), 0.718, 1e-9);
    EXPECT_NEAR(helvetica.font->descent(), -0.207, 1e-9);

    // /Differences names reach the metric file too.
    auto diffs = loadFontSource("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding "
                                "<< /Differences [65 /emdash /uni20AC] >> >>");
    EXPECT_NEAR(width(*diffs.font, 'A'), 1.0, 1e-9);
    EXPECT_NEAR(width(*diffs.font, 'B'), 0.5, 1e-9);

    auto symbol = loadFontSource("<< /Type /Font /Subtype /Type1 /BaseFont /Symbol >>");
    EXPECT_NEAR(width(*symbol.font, 0xB7), 0.460, 1e-9); // bullet
    EXPECT_NEAR(width(*symbol.font, 'a'), 0.631, 1e-9);  // alpha
}

TEST(QVPDFSimple8BitFont, WidthsArrayRows) {
    std::string w95, w300;
    for (int i = 0; i < 95; ++i)
        w95 += " " + std::to_string(100 + i);
    for (int i = 0; i < 300; ++i)
        w300 += " " + std::to_string(i + 1);
    struct Row {
        const char* what;
        std::string entries;
        unsigned char code;
        double width;
    } rows[] = {
        {"FirstChar 32 first", "/FirstChar 32 /LastChar 126 /Widths [" + w95 + "]", 32, 0.1},
        {"FirstChar 32 last", "/FirstChar 32 /LastChar 126 /Widths [" + w95 + "]", 126, 0.194},
        {"outside keeps the missing width",
         "/FirstChar 32 /LastChar 126 /Widths [" + w95 +
             "] /FontDescriptor << /MissingWidth 333 >>",
         200, 0.333},
        {"FirstChar 300 reads as 0", "/FirstChar 300 /Widths [500 600]", 1, 0.6},
        {"LastChar -1 reads as 255", "/LastChar -1 /Widths [500 600]", 1, 0.6},
        {"300 widths: the first 256", "/FirstChar 0 /Widths [" + w300 + "]", 255, 0.256},
        {"real widths", "/FirstChar 65 /LastChar 65 /Widths [612.5]", 65, 0.6125},
        {"LastChar below FirstChar: none", "/FirstChar 66 /LastChar 65 /Widths [612]", 66, 0.0},
        {"non-number elements keep their width", "/FirstChar 65 /LastChar 66 /Widths [/x 200]", 65,
         0.0},
    };
    for (const Row& r : rows) {
        auto loaded =
            loadFontSource("<< /Type /Font /Subtype /TrueType /BaseFont /Foo " + r.entries + " >>");
        EXPECT_NEAR(width(*loaded.font, r.code), r.width, 1e-9) << r.what;
    }
}

TEST(QVPDFSimple8BitFont, SubstituteWidthsByDescriptorFlags) {
    const std::tuple<const char*, unsigned char, double> rows[] = {
        {"/FontDescriptor << /Flags 66 >>", 'A', 0.611}, // serif italic: Times-Italic
        {"/FontDescriptor << /Flags 1 >>", 'i', 0.600},  // fixed pitch: Courier
        {"/FontDescriptor << /Flags 32 /FontWeight 700 >>", 'A', 0.722}, // bold: Helvetica-Bold
        {"", ' ', 0.278},                                                // nothing: Helvetica
    };
    for (const auto& [entries, code, w] : rows) {
        auto loaded = loadFontSource(
            std::string("<< /Type /Font /Subtype /TrueType /BaseFont /Foo ") + entries + " >>");
        EXPECT_NEAR(width(*loaded.font, code), w, 1e-9) << entries;
    }
    auto plain = loadFontSource("<< /Type /Font /Subtype /TrueType /BaseFont /Foo >>");
    EXPECT_NEAR(plain.font->widthOfSpace(), 0.278, 1e-9);
}

TEST(QVPDFSimple8BitFont, Type3WidthsGoThroughTheFontMatrix) {
    auto loaded = loadFontSource(
        "<< /Type /Font /Subtype /Type3 /FontMatrix [0.01 0 0 0.01 0 0] /FontBBox [0 -20 100 80] "
        "/CharProcs << >> /Encoding << /Differences [72 /H /i] >> /FirstChar 72 /LastChar 73 "
        "/Widths [75 25] >>");
    EXPECT_NEAR(width(*loaded.font, 'H'), 0.75, 1e-9);
    EXPECT_NEAR(width(*loaded.font, 'I'), 0.25, 1e-9);
    EXPECT_EQ(decodeText(*loaded.font, "HI"), u"Hi");
    EXPECT_NEAR(loaded.font->ascent(), 0.8, 1e-9);
    EXPECT_NEAR(loaded.font->descent(), -0.2, 1e-9);
}

TEST(QVPDFSimple8BitFont, MetricsFallThroughMissingOrZeroValues) {
    struct Row {
        const char* what;
        std::string font;
        double ascent, descent;
    } rows[] = {
        {"descriptor without ascent: defaults",
         "<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FontDescriptor << /Ascent 0 >> >>",
         0.95, -0.35},
        {"descriptor values",
         "<< /Type /Font /Subtype /TrueType /BaseFont /Foo /FontDescriptor << "
         "/Ascent 891 /Descent -216 >> >>",
         0.891, -0.216},
        {"standard record before a descriptor of nothing embedded",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /FontDescriptor << /Ascent 900 >> >>",
         0.718, -0.207},
    };
    for (const Row& r : rows) {
        auto loaded = loadFontSource(r.font);
        EXPECT_NEAR(loaded.font->ascent(), r.ascent, 1e-9) << r.what;
        EXPECT_NEAR(loaded.font->descent(), r.descent, 1e-9) << r.what;
    }
    auto noBox = loadFontSource("<< /Type /Font /Subtype /TrueType /BaseFont /Foo >>");
    EXPECT_EQ(noBox.font->fontBBox(), (platform::Rect{{0.95, -0.35}, {1.0, 1.0}}));
}

TEST(QVPDFSimple8BitFont, WidthOfSpaceRules) {
    const std::pair<const char*, double> rows[] = {
        {"/FirstChar 32 /LastChar 32 /Widths [0] /FontDescriptor << /MissingWidth 300 /AvgWidth "
         "450 >>",
         0.3},
        {"/FirstChar 32 /LastChar 32 /Widths [1500] /FontDescriptor << /AvgWidth 450 >>", 0.45},
        {"/FirstChar 32 /LastChar 32 /Widths [0] /FontDescriptor << /Flags 1 >>", 1.0},
        {"/FirstChar 32 /LastChar 32 /Widths [0]", 0.5},
    };
    for (const auto& [entries, w] : rows) {
        auto loaded = loadFontSource(
            std::string("<< /Type /Font /Subtype /TrueType /BaseFont /Foo ") + entries + " >>");
        EXPECT_NEAR(loaded.font->widthOfSpace(), w, 1e-9) << entries;
    }
}

/// A PFB file's segments joined as a PDF /FontFile stream wants them.
std::string pfbToFontFile(const std::string& pfb, size_t lengths[3]) {
    std::string out;
    size_t pos = 0;
    int segment = 0;
    while (pos + 6 <= pfb.size() && static_cast<unsigned char>(pfb[pos]) == 0x80 &&
           pfb[pos + 1] != 3) {
        size_t len = static_cast<unsigned char>(pfb[pos + 2]) |
                     (static_cast<unsigned char>(pfb[pos + 3]) << 8) |
                     (static_cast<unsigned char>(pfb[pos + 4]) << 16) |
                     (size_t(static_cast<unsigned char>(pfb[pos + 5])) << 24);
        out += pfb.substr(pos + 6, len);
        if (segment < 3)
            lengths[segment++] = len;
        pos += 6 + len;
    }
    return out.empty() ? pfb : out;
}

TEST(QVPDFSimple8BitFont, EmbeddedType1UsesItsBuiltInEncoding) {
    auto pfb = platform::readFile("/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1");
    ASSERT_TRUE(pfb) << "fonts-urw-base35 (scripts/deps) is missing";
    size_t lengths[3] = {0, 0, 0};
    std::string program = pfbToFontFile(*pfb, lengths);
    auto loaded = loadFont([&](fixtures::PdfBuilder& b) {
        std::string file = b.addStream("<< /Length1 " + std::to_string(lengths[0]) + " /Length2 " +
                                           std::to_string(lengths[1]) + " /Length3 0 >>",
                                       program);
        std::string fd = b.addObject("<< /Type /FontDescriptor /FontName /NimbusSans-Regular "
                                     "/Flags 32 /Ascent 729 /Descent -218 /FontFile " +
                                     file + " >>");
        return b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /NimbusSans-Regular "
                           "/FontDescriptor " +
                           fd + " >>");
    });
    auto* simple = static_cast<const QVPDFSimple8BitFont*>(loaded.font.get());
    EXPECT_EQ(simple->fontEncodingName().value_or(""), "FontSpecific");
    // The program's encoding is StandardEncoding: 0x27 is quoteright.
    EXPECT_EQ(decodeText(*loaded.font, "A'"), u"A\u2019");
    EXPECT_NEAR(loaded.font->ascent(), 0.729, 1e-9); // descriptor of an embedded program first
    EXPECT_EQ(loaded.font->fontDescriptor()->embPostScriptName(), "NimbusSans-Regular");
}

TEST(QVPDFSimple8BitFont, EmbeddedTrueTypeCmapServesSymbolicFontsOnly) {
    auto ttf = platform::readFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_TRUE(ttf) << "fonts-dejavu-core (scripts/deps) is missing";
    for (int flags : {4, 32}) {
        auto loaded = loadFont([&](fixtures::PdfBuilder& b) {
            std::string file = b.addStream("<< >>", *ttf);
            std::string fd = b.addObject("<< /Type /FontDescriptor /FontName /DejaVuSans /Flags " +
                                         std::to_string(flags) + " /FontFile2 " + file + " >>");
            return b.addObject("<< /Type /Font /Subtype /TrueType /BaseFont /DejaVuSans "
                               "/FontDescriptor " +
                               fd + " >>");
        });
        auto* simple = static_cast<const QVPDFSimple8BitFont*>(loaded.font.get());
        if (flags == 4) {
            // The program's Mac Roman cmap with its glyph names: 0x8E is eacute there.
            EXPECT_EQ(simple->fontEncodingName().value_or(""), "FontSpecific");
            EXPECT_EQ(decodeText(*loaded.font, "A\x8E"), u"A\u00E9");
        } else {
            EXPECT_EQ(simple->fontEncodingName().value_or(""), "WinAnsiEncoding");
            EXPECT_EQ(decodeText(*loaded.font, "A\x8E"), u"A\u017D");
        }
    }
}

TEST(QVPDFSimple8BitFont, DamagedDictionariesGiveSaneFonts) {
    const char* rows[] = {
        "<< /Subtype /Type1 /BaseFont /Foo /Widths [1e300 -1e300] /FirstChar 65 >>",
        "<< /Subtype /Type1 /BaseFont /Foo /FirstChar /x /LastChar (y) /Widths 5 >>",
        "<< /Subtype /Type1 /BaseFont /Foo /Encoding 42 >>",
        "<< /Subtype /Type1 /BaseFont /Foo /Encoding << /BaseEncoding 7 /Differences "
        "[9223372036854775807 /a /b -5 /c /d 65] >> >>",
        "<< /Subtype /Type3 /FontMatrix [0 0 0 0 0 0] /FontBBox [1 2] /Widths [500] /FirstChar 65 "
        ">>",
        "<< /Subtype /Type3 /FontMatrix [1e300 0 0 1e300 0 0] /FontBBox [0 0 1e300 1e300] /Widths "
        "[500] /FirstChar 65 >>",
        "<< /Subtype /TrueType /BaseFont (string) /FontDescriptor 5 /ToUnicode (not a stream) >>",
        "<< /Subtype /TrueType /BaseFont /Foo /FontDescriptor << /Ascent 1e300 /Descent -1e300 "
        "/Flags -1 /FontBBox [1e308 1e308 -1e308 -1e308] /MissingWidth 1e200 >> >>",
        "<< /Subtype /MMType1 /BaseFont /+ >>",
    };
    for (const char* src : rows) {
        auto loaded = loadFontSource(src);
        ASSERT_TRUE(loaded.font) << src;
        for (const auto& c : fonttest::decodeAll(*loaded.font, "AB\xFF\x00")) {
            EXPECT_TRUE(std::isfinite(c.dx) && std::abs(c.dx) <= 1000) << src;
            EXPECT_LE(c.text.size(), 16u) << src;
        }
        EXPECT_TRUE(std::isfinite(loaded.font->ascent()) && std::isfinite(loaded.font->descent()))
            << src;
        EXPECT_GT(loaded.font->widthOfSpace(), 0.0) << src;
        EXPECT_LE(loaded.font->widthOfSpace(), 1.0) << src;
    }
}

} // namespace

// A Type 3 /FontBBox without height gave text a glyph box of no height (top
// = bottom), which the spreadsheet could not place; such text takes the
// default ascent and descent, as a font without metrics does.
TEST(QVPDFSimple8BitFont, Type3BoxWithoutHeightTakesTheDefaultMetrics) {
    struct Row {
        const char* box;
        double ascent, descent;
    } rows[] = {
        {"[0 -0.1 1000 0.1]", 0.95, -0.35}, {"[0 -1 1000 1]", 0.95, -0.35},
        {"[0 0 0 0]", 0.95, -0.35},         {"[0 -200 800 800]", 0.8, -0.2},
        {"[0 0 500 100]", 0.1, -0.35}, // a tenth of an em is height enough
    };
    for (const Row& r : rows) {
        auto loaded = loadFontSource(
            std::string("<< /Type /Font /Subtype /Type3 /FontMatrix [0.001 0 0 0.001 0 0] "
                        "/FontBBox ") +
            r.box + " /CharProcs << >> /FirstChar 65 /LastChar 65 /Widths [500] >>");
        EXPECT_NEAR(loaded.font->ascent(), r.ascent, 1e-9) << r.box;
        EXPECT_NEAR(loaded.font->descent(), r.descent, 1e-9) << r.box;
        EXPECT_GT(loaded.font->ascent() - loaded.font->descent(), 0.09) << r.box;
    }
}
