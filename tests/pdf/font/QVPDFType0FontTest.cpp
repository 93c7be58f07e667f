// Composite fonts: CID widths (/W, /DW, /W2, /DW2), decoding through the
// CMap, where the text comes from (ToUnicode by code, the collection's map by
// CID, the embedded TrueType program's cmap), the space width, the factory's
// refusals and hostile tables.

#include "pdf/font/QVPDFType0Font.h"
#include "pdf/font/FontTestSupport.h"
#include "pdf/font/QVPDFCIDType2Font.h"
#include "pdf/font/QVPDFFontDescriptor.h"
#include "platform/Files.h"
#include "platform/text/FontProgram.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

/// A Type0 font over one CIDFontType2 descendant; `extra` goes into the
/// descendant, `top` into the Type0 dictionary.
std::string type0(const std::string& encoding, const std::string& extra,
                  const std::string& top = "", const std::string& ordering = "Identity") {
    return "<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+Test-" + encoding + " /Encoding /" +
           encoding + " " + top +
           " /DescendantFonts [<< /Type /Font /Subtype /CIDFontType2 /BaseFont /ABCDEF+Test "
           "/CIDSystemInfo << /Registry (Adobe) /Ordering (" +
           ordering + ") /Supplement 0 >> " + extra + " >>] >>";
}

const QVPDFType0Font& asType0(const fonttest::LoadedFont& loaded) {
    auto* font = dynamic_cast<const QVPDFType0Font*>(loaded.font.get());
    if (!font)
        throw std::runtime_error("no composite font");
    return *font;
}

struct Metrics {
    float dx, dy, ox, oy;
};
Metrics metrics(const QVPDFType0Font& font, uint32_t cid) {
    Metrics m{9, 9, 9, 9};
    font.getCIDWidths(cid, &m.dx, &m.dy, &m.ox, &m.oy);
    return m;
}

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

TEST(QVPDFType0Font, HorizontalWidthRows) {
    struct Row {
        const char* w;
        uint32_t cid;
        double width;
    } rows[] = {
        {"/DW 1000 /W [1 [500 600] 10 20 250]", 1, 0.5},
        {"/DW 1000 /W [1 [500 600] 10 20 250]", 2, 0.6},
        {"/DW 1000 /W [1 [500 600] 10 20 250]", 3, 1.0},
        {"/DW 1000 /W [1 [500 600] 10 20 250]", 0, 1.0},
        {"/DW 1000 /W [1 [500 600] 10 20 250]", 10, 0.25},
        {"/DW 1000 /W [1 [500 600] 10 20 250]", 15, 0.25},
        {"/DW 1000 /W [1 [500 600] 10 20 250]", 20, 0.25},
        {"/DW 1000 /W [1 [500 600] 10 20 250]", 21, 1.0},
        {"/W [5 [300 /Foo 400]]", 5, 0.3},
        {"/W [5 [300 /Foo 400]]", 6, 0.4},
        {"/W [5 [300 /Foo 400]]", 7, 1.0},
        {"/W [7 9]", 8, 1.0},
        {"/DW 500", 42, 0.5},
        {"/DW 500.5", 42, 1.0},                      // /DW counts only as an integer
        {"/W [40 50 100 1 5 200 30 [700]]", 3, 0.2}, // written out of order
        {"/W [40 50 100 1 5 200 30 [700]]", 45, 0.1},
        {"/W [40 50 100 1 5 200 30 [700]]", 30, 0.7},
        {"/W [40 50 100 1 5 200 30 [700]]", 35, 1.0},
        {"/W [10 20 300 50 /X 60 [100]]", 15, 0.3}, // stops at the name
        {"/W [10 20 300 50 /X 60 [100]]", 60, 1.0},
        {"/W [20 10 300]", 15, 1.0}, // a range written backwards adds nothing
        {"/W [0 4294967295 500]", 65535, 0.5},
    };
    for (const Row& r : rows) {
        auto loaded = fonttest::loadFontSource(type0("Identity-H", r.w));
        Metrics m = metrics(asType0(loaded), r.cid);
        EXPECT_FLOAT_EQ(m.dx, static_cast<float>(r.width)) << r.w << " CID " << r.cid;
        EXPECT_EQ(m.dy, 0.0f);
        EXPECT_EQ(m.ox, 0.0f);
        EXPECT_EQ(m.oy, 0.0f);
    }
}

TEST(QVPDFType0Font, VerticalWidthRows) {
    const std::string w2 = "/W2 [100 [-900 400 800] 200 210 -1000 500 880]";
    struct Row {
        std::string dict;
        uint32_t cid;
        Metrics expected;
    } rows[] = {
        {w2, 100, {0, -0.9f, 0.4f, 0.8f}},
        {w2, 200, {0, -1.0f, 0.5f, 0.88f}},
        {w2, 205, {0, -1.0f, 0.5f, 0.88f}},
        {w2, 210, {0, -1.0f, 0.5f, 0.88f}},
        {w2, 101, {0, -1.0f, 0.5f, 0.88f}}, // no /DW2: −1.0 and 0.88, half the width
        {w2 + " /DW 800", 7, {0, -1.0f, 0.4f, 0.88f}},
        {"/DW2 [900 -1200]", 7, {0, -1.2f, 0.5f, 0.9f}},
        {"/DW2 [900]", 7, {0, -1.0f, 0.5f, 0.88f}}, // a damaged /DW2 keeps the defaults
        // The position vector's default x is half the CID's own width.
        {"/W [7 [600]]", 7, {0, -1.0f, 0.3f, 0.88f}},
        {"/W2 [1 [-500 250 880 -600]]", 1, {0, -0.5f, 0.25f, 0.88f}}, // incomplete triplet
        {"/W2 [1 [-500 250 880 -600]]", 2, {0, -1.0f, 0.5f, 0.88f}},
        {"/W2 [1 2 -500 250]", 1, {0, -1.0f, 0.5f, 0.88f}}, // incomplete range
    };
    for (const Row& r : rows) {
        auto loaded = fonttest::loadFontSource(type0("Identity-V", r.dict));
        const auto& font = asType0(loaded);
        EXPECT_EQ(font.wMode(), 1);
        Metrics m = metrics(font, r.cid);
        EXPECT_EQ(m.dx, r.expected.dx) << r.dict << " CID " << r.cid;
        EXPECT_FLOAT_EQ(m.dy, r.expected.dy) << r.dict << " CID " << r.cid;
        EXPECT_FLOAT_EQ(m.ox, r.expected.ox) << r.dict << " CID " << r.cid;
        EXPECT_FLOAT_EQ(m.oy, r.expected.oy) << r.dict << " CID " << r.cid;
    }
}

std::string toUnicodeStream(fixtures::PdfBuilder& b, const std::string& body) {
    return b.addStream("<< >>", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                                "1 begincodespacerange <0000> <FFFF> endcodespacerange\n" +
                                    body + "\nendcmap end end\n");
}

TEST(QVPDFType0Font, DecodingRows) {
    struct Row {
        const char* what;
        std::string encoding, ordering, toUnicode, w;
        std::string bytes;
        // Per character: CID, bytes used, text, advance.
        std::vector<std::tuple<uint32_t, int, std::u16string, float>> chars;
    } rows[] = {
        {"Identity-H with ToUnicode",
         "Identity-H",
         "Identity",
         "2 beginbfchar <0002> <0041> <0003> <D835DC00> endbfchar",
         "/W [2 [500]]",
         bytes({0x00, 0x02, 0x00, 0x03}),
         {{2, 2, u"A", 0.5f}, {3, 2, u"\U0001D400", 1.0f}}},
        {"a string ending inside a code: its byte, no text",
         "Identity-H",
         "Identity",
         "1 beginbfchar <0002> <0041> endbfchar",
         "/W [0 [300]]",
         bytes({0x00, 0x02, 0x00}),
         {{2, 2, u"A", 1.0f}, {0, 1, u"", 0.3f}}},
        {"Identity ordering without ToUnicode: codes consumed and advanced, no text",
         "Identity-H",
         "Identity",
         "",
         "/W [5 [250]]",
         bytes({0x00, 0x05, 0x01, 0x00}),
         {{5, 2, u"", 0.25f}, {256, 2, u"", 1.0f}}},
        {"collection map by CID",
         "UniJIS-UCS2-H",
         "Japan1",
         "",
         "/W [1 [250]]",
         bytes({0x30, 0x42, 0x00, 0x20}),
         {{843, 2, u"\u3042", 1.0f}, {1, 2, u" ", 0.25f}}},
        {"ToUnicode keyed by the code as written, the collection for what it lacks",
         "90ms-RKSJ-H",
         "Japan1",
         "1 beginbfchar <82A0> <0058> endbfchar",
         "",
         bytes({0x82, 0xA0, 0x82, 0xA2, 0x41}),
         {{843, 2, u"X", 1.0f}, {845, 2, u"\u3044", 1.0f}, {264, 1, u"A", 1.0f}}},
        {"an empty ToUnicode destination: no text, not the collection's",
         "90ms-RKSJ-H",
         "Japan1",
         "1 beginbfchar <82A0> <> endbfchar",
         "",
         bytes({0x82, 0xA0, 0x82, 0xA2}),
         {{843, 2, u"", 1.0f}, {845, 2, u"\u3044", 1.0f}}},
        {"collection variation selectors dropped",
         "Identity-H",
         "Japan1",
         "",
         "",
         bytes({0x04, 0x6D}),
         {{0x046D, 2, u"\u9022", 1.0f}}},
        {"GB1 through UniGB-UCS2-H",
         "UniGB-UCS2-H",
         "GB1",
         "",
         "",
         bytes({0x4E, 0x2D, 0x65, 0x87}),
         {{4559, 2, u"\u4E2D", 1.0f}, {3795, 2, u"\u6587", 1.0f}}},
        {"Korea1 through KSCms-UHC-H",
         "KSCms-UHC-H",
         "Korea1",
         "",
         "",
         bytes({0xB0, 0xA1, 0x41}),
         {{1086, 2, u"\uAC00", 1.0f}, {34, 1, u"A", 1.0f}}},
        {"CNS1 through ETen-B5-H",
         "ETen-B5-H",
         "CNS1",
         "",
         "",
         bytes({0xA4, 0x40}),
         {{595, 2, u"\u4E00", 1.0f}}},
    };
    for (const Row& r : rows) {
        auto loaded = fonttest::loadFont([&](fixtures::PdfBuilder& b) {
            std::string top =
                r.toUnicode.empty() ? "" : "/ToUnicode " + toUnicodeStream(b, r.toUnicode);
            return b.addObject(type0(r.encoding, r.w, top, r.ordering));
        });
        ASSERT_TRUE(loaded.font) << r.what;
        auto got = fonttest::decodeAll(*loaded.font, r.bytes);
        ASSERT_EQ(got.size(), r.chars.size()) << r.what;
        for (size_t i = 0; i < got.size(); ++i) {
            const auto& [cid, used, text, dx] = r.chars[i];
            EXPECT_EQ(got[i].code, cid) << r.what << " #" << i;
            EXPECT_EQ(got[i].consumed, used) << r.what << " #" << i;
            EXPECT_EQ(fonttest::utf8(got[i].text), fonttest::utf8(text)) << r.what << " #" << i;
            EXPECT_FLOAT_EQ(got[i].dx, dx) << r.what << " #" << i;
        }
    }
}

TEST(QVPDFType0Font, WidthOfSpace) {
    struct Row {
        const char* what;
        std::string encoding, ordering, toUnicode, w;
        double expected;
    } rows[] = {
        {"the ToUnicode space's width", "Identity-H", "Identity",
         "1 beginbfchar <0003> <0020> endbfchar", "/W [3 [278]]", 0.278},
        {"through the CMap from the space's code", "90ms-RKSJ-H", "Japan1",
         "1 beginbfchar <20> <0020> endbfchar", "/W [231 [333]]", 0.333},
        {"the collection's space CID", "UniJIS-UCS2-H", "Japan1", "", "/W [1 [250]]", 0.25},
        {"CID 32 without a map", "Identity-H", "Identity", "", "/W [32 [400]]", 0.4},
        {"a full-width space falls back", "Identity-H", "Identity", "", "", 0.5},
    };
    for (const Row& r : rows) {
        auto loaded = fonttest::loadFont([&](fixtures::PdfBuilder& b) {
            std::string top =
                r.toUnicode.empty() ? "" : "/ToUnicode " + toUnicodeStream(b, r.toUnicode);
            return b.addObject(type0(r.encoding, r.w, top, r.ordering));
        });
        ASSERT_TRUE(loaded.font) << r.what;
        EXPECT_NEAR(loaded.font->widthOfSpace(), r.expected, 1e-6) << r.what;
    }
}

TEST(QVPDFType0Font, FactoryNamesAndDescriptor) {
    struct Refused {
        const char* what;
        std::string source;
    } refused[] = {
        {"no /Encoding", "<< /Type /Font /Subtype /Type0 /DescendantFonts [] >>"},
        {"a number", "<< /Type /Font /Subtype /Type0 /Encoding 3 >>"},
        {"a CMap that does not exist", "<< /Type /Font /Subtype /Type0 /Encoding /Nope-H >>"},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(fonttest::loadFontSource(r.source).font) << r.what;

    auto loaded = fonttest::loadFontSource(
        "<< /Type /Font /Subtype /Type0 /BaseFont /XYZABC+Gothic-Identity-H /Encoding "
        "/Identity-H /DescendantFonts [/Junk << /Subtype /CIDFontType0 /BaseFont /XYZABC+Gothic "
        "/FontDescriptor << /Type /FontDescriptor /FontName /XYZABC+Gothic /Ascent 880 "
        "/Descent -120 /FontBBox [0 -120 1000 880] /Flags 4 >> >>] >>");
    ASSERT_TRUE(loaded.font);
    const auto& font = asType0(loaded);
    EXPECT_EQ(font.fontName(), "Gothic-Identity-H");
    EXPECT_EQ(font.cMapName(), "Identity-H");
    ASSERT_EQ(font.descendantFonts().size(), 1u);
    EXPECT_EQ(font.fontDescriptor(), font.cidTypeFont()->fontDescriptor());
    EXPECT_DOUBLE_EQ(font.ascent(), 0.88);
    EXPECT_DOUBLE_EQ(font.descent(), -0.12);
    EXPECT_DOUBLE_EQ(font.fontBBox().size.height, 0.88);
    EXPECT_FALSE(font.cidTypeFont()->cidSystemRegion());

    // Without a descendant the font is made: no widths, text only from ToUnicode.
    auto bare = fonttest::loadFont([](fixtures::PdfBuilder& b) {
        return b.addObject("<< /Type /Font /Subtype /Type0 /Encoding /Identity-H /ToUnicode " +
                           toUnicodeStream(b, "1 beginbfchar <0001> <0041> endbfchar") + " >>");
    });
    ASSERT_TRUE(bare.font);
    auto chars = fonttest::decodeAll(*bare.font, bytes({0x00, 0x01}));
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].text, u"A");
    EXPECT_EQ(chars[0].dx, 0.0f);
    EXPECT_DOUBLE_EQ(bare.font->ascent(), 0.95);
}

TEST(QVPDFType0Font, EmbeddedTrueTypeCmapGivesTheTextWithoutToUnicode) {
    auto ttf = platform::readFile(kDejaVu);
    ASSERT_TRUE(ttf) << kDejaVu << " (fonts-dejavu-core)";
    auto program = platform::readFontProgram(*ttf);
    ASSERT_TRUE(program);
    auto gidOf = [&](char32_t c) {
        for (size_t g = 0; g < program->glyphUnicodes.size(); ++g)
            if (program->glyphUnicodes[g] == c)
                return static_cast<int>(g);
        return 0;
    };
    // CIDs 1..4 stand for H, e, l, o through a /CIDToGIDMap stream.
    std::string cidToGid(10, '\0');
    int cid = 1;
    for (char32_t c : {U'H', U'e', U'l', U'o'}) {
        int g = gidOf(c);
        ASSERT_GT(g, 0);
        cidToGid[2 * cid] = static_cast<char>(g >> 8);
        cidToGid[2 * cid + 1] = static_cast<char>(g & 0xFF);
        ++cid;
    }
    for (bool identity : {true, false}) {
        auto loaded = fonttest::loadFont([&](fixtures::PdfBuilder& b) {
            std::string file = b.addStream("<< >>", *ttf);
            std::string map = identity ? "/Identity" : b.addStream("<< >>", cidToGid);
            return b.addObject(
                type0("Identity-H", "/CIDToGIDMap " + map +
                                        " /FontDescriptor << /Type /FontDescriptor /FontName "
                                        "/ABCDEF+Test /Flags 4 /FontFile2 " +
                                        file + " >>"));
        });
        ASSERT_TRUE(loaded.font);
        std::string s;
        if (identity) {
            for (char32_t c : {U'H', U'e', U'l', U'l', U'o'}) {
                s += static_cast<char>(gidOf(c) >> 8);
                s += static_cast<char>(gidOf(c) & 0xFF);
            }
        } else {
            s = bytes({0, 1, 0, 2, 0, 3, 0, 3, 0, 4, 0, 9});
        }
        // CID 9 lies beyond the map: no glyph, no text.
        EXPECT_EQ(fonttest::decodeText(*loaded.font, s), u"Hello") << identity;
    }
}

TEST(QVPDFType0Font, HostileTablesStayBounded) {
    std::string many = "/W [0 [";
    for (int i = 0; i < 1000000; ++i)
        many += "500 ";
    many += "] 5 4294967295 300 ]";
    auto loaded = fonttest::loadFontSource(type0("Identity-H", many));
    const auto& font = asType0(loaded);
    EXPECT_LE(font.cidTypeFont()->cidWidths().exceps.size(), QVPDFCIDTypeFont::kMaxExceptions);
    EXPECT_FLOAT_EQ(metrics(font, 7).dx, 0.5f);

    // Damaged numbers stay finite.
    auto odd = fonttest::loadFontSource(type0("Identity-V", "/DW 99999999999 /W [1 [1e300]] "
                                                            "/W2 [1 [-1e300 1e300 1e300]]"));
    for (uint32_t c : {0u, 1u}) {
        Metrics m = metrics(asType0(odd), c);
        EXPECT_TRUE(std::isfinite(m.dy) && std::isfinite(m.ox) && std::isfinite(m.oy));
    }
}

} // namespace
