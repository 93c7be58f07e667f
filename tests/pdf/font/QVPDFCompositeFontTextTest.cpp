// Composite fonts end to end through the content interpreter: a cairo-made
// CJK page (Identity-H subset with ToUnicode), predefined CJK CMaps with
// non-embedded fonts, vertical writing with /W2, an embedded CMap stream, a
// string that ends inside a code. The text is the source text and every word
// lands where pdftotext -bbox-layout puts it, within 0.5 pt along its line.

#include "fixtures/PdfBuilder.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/font/FontTestSupport.h"
#include "pdf/font/QVPDFFontCache.h"
#include "platform/Files.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/text/FontProgram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

const std::string kScripts = std::string(CORVALA_SOURCE_DIR) + "/tests/pdf/font/fixtures/";

/// One text report: the text and where its advance runs, in display space
/// (points, origin at the top-left of the media box, y down).
struct Shown {
    std::string text;
    double x0, y0, x1, y1;
    double em; ///< the font size
};

class Collector : public QVPDFConentParserDelegate {
public:
    explicit Collector(double pageHeight) : height_(pageHeight) {}
    std::vector<Shown> shown;

    void didScanText(QVPDFConentParser& p, const std::u16string& text,
                     platform::Size advance) override {
        const QVPDFRenderState& st = *p.currentRenderingState();
        platform::Point a = st.textMatrix().concat(st.ctm()).apply({0, 0});
        // The run's glyphs end before the last character's spacing, as pdftotext's boxes do.
        double tc = st.characterSpacing();
        bool vertical = st.font() && st.font()->wMode() != 0;
        platform::Size glyphs =
            vertical ? platform::Size{advance.width, advance.height - tc}
                     : platform::Size{advance.width - tc * st.horizontalScaling(), advance.height};
        platform::Point b =
            st.textMatrix().translate(glyphs.width, glyphs.height).concat(st.ctm()).apply({0, 0});
        shown.push_back(
            {fonttest::utf8(text), a.x, height_ - a.y, b.x, height_ - b.y, st.fontSize()});
    }

private:
    double height_;
};

std::vector<Shown> interpret(const platform::PdfDocument& doc, size_t pageNumber = 1) {
    auto page = doc.page(pageNumber);
    Collector collector(page->mediaBox()->size.height);
    QVPDFConentParser parser(page->dictionary(), std::make_shared<platform::PdfContentStream>(
                                                     page->documentImpl(), page->contentData()));
    parser.setDelegate(&collector);
    parser.setFontCache(std::make_shared<QVPDFFontCache>());
    parser.startParser();
    return collector.shown;
}

std::vector<std::string> textsOf(const std::vector<Shown>& shown) {
    std::vector<std::string> out;
    for (const auto& s : shown)
        out.push_back(s.text);
    return out;
}

bool isVertical(const Shown& s) {
    return std::abs(s.x1 - s.x0) < std::abs(s.y1 - s.y0);
}

/// Reports that continue one another without a gap or a space make one word.
std::vector<Shown> wordsOf(const std::vector<Shown>& shown) {
    std::vector<Shown> words;
    bool open = false;
    for (const Shown& s : shown) {
        if (s.text.find_first_not_of(' ') == std::string::npos) {
            open = false; // a blank report ends the word
            continue;
        }
        if (open && !words.empty()) {
            Shown& last = words.back();
            bool continues = std::hypot(s.x0 - last.x1, s.y0 - last.y1) < 0.01 &&
                             isVertical(s) == isVertical(last) && s.text.front() != ' ' &&
                             last.text.back() != ' ';
            if (continues) {
                last.text += s.text;
                last.x1 = s.x1;
                last.y1 = s.y1;
                continue;
            }
        }
        words.push_back(s);
        open = true;
    }
    return words;
}

/// Each word has a pdftotext word of the same text whose extent along the
/// line agrees: x for horizontal runs, y for vertical ones. pdftotext boxes a
/// vertical glyph one em above its pen position, where the glyph hangs below
/// it (the position vector puts the glyph's top at the pen), so vertical
/// boxes are compared one em lower.
void expectWordsMatch(const std::string& pdf, const std::vector<Shown>& shown) {
    auto oracle = fonttest::pdftotextWords(pdf, 1);
    ASSERT_FALSE(oracle.empty()) << "pdftotext found no words in " << pdf;
    for (const Shown& s : wordsOf(shown)) {
        bool vertical = isVertical(s);
        double lo = vertical ? std::min(s.y0, s.y1) : std::min(s.x0, s.x1);
        double hi = vertical ? std::max(s.y0, s.y1) : std::max(s.x0, s.x1);
        double best = 1e9;
        for (const auto& w : oracle) {
            if (w.text != s.text)
                continue;
            double olo = vertical ? w.yMin + s.em : w.xMin, ohi = vertical ? w.yMax + s.em : w.xMax;
            best = std::min(best, std::max(std::abs(olo - lo), std::abs(ohi - hi)));
        }
        EXPECT_LE(best, 0.5) << "\"" << s.text << "\" at " << lo << ".." << hi
                             << (best > 1e8 ? " (pdftotext has no such word)" : "");
    }
}

std::string writeFixture(fixtures::PdfBuilder& b, const std::string& name) {
    std::string folder = fixtures::makeTestFolder("cid-" + name);
    return b.writeTo(folder + "/" + name + ".pdf");
}

std::string hexString(const std::string& hex) {
    return "<" + hex + ">";
}

/// A non-embedded CJK font over a predefined CMap.
std::string cjkFont(fixtures::PdfBuilder& b, const std::string& baseFont,
                    const std::string& encoding, const std::string& ordering,
                    const std::string& widths) {
    std::string descriptor =
        b.addObject("<< /Type /FontDescriptor /FontName /" + baseFont +
                    " /Flags 6 /FontBBox [-100 -140 1000 880] /ItalicAngle 0 /Ascent 880 "
                    "/Descent -120 /CapHeight 700 /StemV 80 >>");
    std::string descendant =
        b.addObject("<< /Type /Font /Subtype /CIDFontType0 /BaseFont /" + baseFont +
                    " /CIDSystemInfo << /Registry (Adobe) /Ordering (" + ordering +
                    ") /Supplement 2 >> /FontDescriptor " + descriptor + " " + widths + " >>");
    return b.addObject("<< /Type /Font /Subtype /Type0 /BaseFont /" + baseFont + "-" + encoding +
                       " /Encoding /" + encoding + " /DescendantFonts [" + descendant + "] >>");
}

TEST(QVPDFCompositeFontText, PredefinedCMapsDecodeThroughTheCollections) {
    fixtures::PdfBuilder b;
    std::string fonts = "<< /Font << /F1 " +
                        cjkFont(b, "KozMinPr6N-Regular", "UniJIS-UCS2-H", "Japan1",
                                "/DW 1000 /W [843 [500] 1200 1300 900]") +
                        " /F2 " + cjkFont(b, "KozMinPr6N-Regular", "90ms-RKSJ-H", "Japan1", "") +
                        " /F3 " +
                        cjkFont(b, "STSong-Light", "UniGB-UCS2-H", "GB1", "/W [4559 [800]]") +
                        " /F4 " + cjkFont(b, "HYSMyeongJo-Medium", "UniKS-UCS2-H", "Korea1", "") +
                        " /F5 " + cjkFont(b, "HYSMyeongJo-Medium", "KSCms-UHC-H", "Korea1", "") +
                        " /F6 " + cjkFont(b, "MSung-Light", "ETen-B5-H", "CNS1", "") + " >> >>";
    fixtures::PageSpec page;
    page.content = "BT /F1 12 Tf 72 700 Td " + hexString("30533093306b3061306f4e16754c") +
                   " Tj ET\n"
                   "BT /F2 14 Tf 72 660 Td " +
                   hexString("8365835883678abf8e9a") +
                   " Tj [-250 (ABC)] TJ ET\n"
                   "BT /F3 10 Tf 2 Tc 72 620 Td " +
                   hexString("4e2d65876587672c") +
                   " Tj ET\n"
                   "BT /F4 12 Tf 72 580 Td " +
                   hexString("d55cad6dc5b4") +
                   " Tj ET\n"
                   "BT /F5 12 Tf 72 540 Td " +
                   hexString("c7d1b1b9beee") +
                   " Tj ET\n"
                   "BT /F6 12 Tf 72 500 Td [" +
                   hexString("a4a4") + " -500 " + hexString("a4e5a672") + "] TJ ET\n";
    page.resources = fonts;
    b.addPage(page);
    std::string pdf = writeFixture(b, "predefined");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto shown = interpret(*doc);
    EXPECT_EQ(textsOf(shown),
              (std::vector<std::string>{"こんにちは世界", "テスト漢字", "ABC", "中文文本", "한국어",
                                        "한국어", "中", "文字"}));
    expectWordsMatch(pdf, shown);
}

TEST(QVPDFCompositeFontText, VerticalWritingAdvancesDownTheColumn) {
    fixtures::PdfBuilder b;
    // Identity-V over Japan1 CIDs (こ 860, ん 924, に 884, ち 874); /W2 gives ん
    // its own height.
    std::string identityV =
        b.addObject("<< /Type /Font /Subtype /Type0 /BaseFont /KozMinPr6N-Regular-Identity-V "
                    "/Encoding /Identity-V /DescendantFonts [" +
                    b.addObject("<< /Type /Font /Subtype /CIDFontType0 /BaseFont "
                                "/KozMinPr6N-Regular /CIDSystemInfo << /Registry (Adobe) "
                                "/Ordering (Japan1) /Supplement 6 >> /DW 1000 /DW2 [880 -1000] "
                                "/W2 [924 [-800 500 880]] /FontDescriptor " +
                                b.addObject("<< /Type /FontDescriptor /FontName "
                                            "/KozMinPr6N-Regular /Flags 6 /FontBBox [0 -120 1000 "
                                            "880] /Ascent 880 /Descent -120 >>") +
                                " >>") +
                    "] >>");
    std::string uniV = cjkFont(b, "KozMinPr6N-Regular", "UniJIS-UCS2-V", "Japan1", "");
    fixtures::PageSpec page;
    page.content = "BT /F1 20 Tf 300 700 Td <035C039C> Tj [<0374> 500 <036A>] TJ ET\n"
                   "BT /F2 16 Tf 1 Tc 50 Tz 200 700 Td " +
                   hexString("7e2666f8304d") + " Tj ET\n";
    page.resources = "<< /Font << /F1 " + identityV + " /F2 " + uniV + " >> >>";
    b.addPage(page);
    std::string pdf = writeFixture(b, "vertical");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto shown = interpret(*doc);
    ASSERT_EQ(textsOf(shown), (std::vector<std::string>{"こん", "に", "ち", "縦書き"}));
    // ん (CID 924) is 0.8 em high: こん runs 20 + 16 down from y 92 (display).
    EXPECT_DOUBLE_EQ(shown[0].y1 - shown[0].y0, 36.0);
    EXPECT_DOUBLE_EQ(shown[0].x1, shown[0].x0);
    // The TJ number moves down the column, not along x.
    EXPECT_DOUBLE_EQ(shown[2].y0, shown[1].y1 + 10.0);
    EXPECT_DOUBLE_EQ(shown[2].x0, 300.0);
    // Character spacing is added to each vertical advance (-16 + 1): the glyphs
    // of 16 pt follow one another 15 pt apart; the horizontal scaling plays no part.
    EXPECT_DOUBLE_EQ(shown[3].y1 - shown[3].y0, 46.0);
    expectWordsMatch(pdf, shown);
}

/// The reports' texts joined into lines (a line ends where the next report
/// does not start on the same baseline).
std::vector<std::string> linesOf(const std::vector<Shown>& shown) {
    std::vector<std::string> lines;
    double lastY = -1e9;
    for (const Shown& s : shown) {
        if (lines.empty() || std::abs(s.y0 - lastY) > 0.5)
            lines.emplace_back();
        lines.back() += s.text;
        lastY = s.y1;
    }
    return lines;
}

std::string runOrFail(const std::string& command, const std::string& output) {
    int rc = std::system((command + " >/dev/null 2>&1").c_str());
    EXPECT_EQ(rc, 0) << command << " (scripts/deps installs the tools)";
    return output;
}

TEST(QVPDFCompositeFontText, CairoSubsetCJKFontDecodesToItsSourceText) {
    std::string folder = fixtures::makeTestFolder("cid-cairo");
    std::string pdf =
        runOrFail("/usr/bin/python3 '" + kScripts + "cairo-cjk.py' '" + folder + "/cjk.pdf'",
                  folder + "/cjk.pdf");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto shown = interpret(*doc);
    EXPECT_EQ(linesOf(shown),
              (std::vector<std::string>{"中文文本 日本語のテキスト", "한국어 텍스트",
                                        "繁體中文，標點。", "Mixed"}));
    expectWordsMatch(pdf, shown);
}

TEST(QVPDFCompositeFontText, EmbeddedCMapStreamAndAStringEndingInsideACode) {
    fixtures::PdfBuilder b;
    // One-byte codes 0x41.. for the hiragana あいう (Japan1 CIDs 843..), two-byte
    // codes 0x8xxx for the digits, over the collection's Unicode map.
    std::string cmap = b.addStream(
        "<< /Type /CMap /CMapName /Test-Mixed /CIDSystemInfo << /Registry (Adobe) /Ordering "
        "(Japan1) /Supplement 2 >> >>",
        "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
        "2 begincodespacerange <00> <7F> <8000> <FFFF> endcodespacerange\n"
        "2 begincidrange <41> <45> 843 <8030> <8039> 17 endcidrange\n"
        "endcmap CMapName currentdict /CMap defineresource pop end end\n");
    auto descendant = [&](const std::string& ordering, const std::string& w) {
        return b.addObject(
            "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /KozMinPr6N-Regular /CIDSystemInfo "
            "<< /Registry (Adobe) /Ordering (" +
            ordering + ") /Supplement 2 >> /DW 1000 " + w +
            " /FontDescriptor << /Type /FontDescriptor /FontName /KozMinPr6N-Regular /Flags 6 "
            "/FontBBox [0 -120 1000 880] /Ascent 880 /Descent -120 >> >>");
    };
    std::string embedded =
        b.addObject("<< /Type /Font /Subtype /Type0 /BaseFont /KozMinPr6N-Regular /Encoding " +
                    cmap + " /DescendantFonts [" + descendant("Japan1", "/W [17 26 500]") + "] >>");
    std::string toUnicode =
        b.addStream("<< >>", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                             "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
                             "1 beginbfrange <0001> <0003> <0058> endbfrange\n"
                             "endcmap CMapName currentdict /CMap defineresource pop end end\n");
    std::string identity = b.addObject(
        "<< /Type /Font /Subtype /Type0 /BaseFont /Test-Identity-H /Encoding /Identity-H "
        "/ToUnicode " +
        toUnicode + " /DescendantFonts [" + descendant("Identity", "/W [1 3 600]") + "] >>");
    fixtures::PageSpec page;
    page.content = "BT /F1 12 Tf 72 700 Td <414243803180328033> Tj ET\n"
                   "BT /F2 12 Tf 72 650 Td <00010002000300> Tj <0001> Tj ET\n";
    page.resources = "<< /Font << /F1 " + embedded + " /F2 " + identity + " >> >>";
    b.addPage(page);
    std::string pdf = writeFixture(b, "embedded-cmap");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto shown = interpret(*doc);
    ASSERT_EQ(textsOf(shown), (std::vector<std::string>{"あぃい123", "XYZ", "X"}));
    // 3 x 12 + 3 x 6
    EXPECT_DOUBLE_EQ(shown[0].x1 - shown[0].x0, 54.0);
    // The odd last byte is CID 0 at the default width: X starts 3 x 7.2 + 12 on.
    EXPECT_NEAR(shown[2].x0, 72 + 3 * 7.2 + 12, 1e-4);
    EXPECT_EQ(fonttest::pdftotextLines(pdf, 1),
              (std::vector<std::string>{"あぃい123", "XYZ", "X"}));
    // XYZ's report runs on over the textless CID 0, which pdftotext leaves out of the word.
    expectWordsMatch(pdf, {shown[0], shown[2]});
}

TEST(QVPDFCompositeFontText, IdentityFontWithoutToUnicodeReadsTheProgramsCmap) {
    const std::string ttf = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    auto bytes = platform::readFile(ttf);
    ASSERT_TRUE(bytes) << ttf << " (fonts-dejavu-core)";
    auto program = platform::readFontProgram(*bytes);
    ASSERT_TRUE(program);
    auto gids = [&](const std::u32string& text) {
        std::string hex = "<";
        for (char32_t c : text) {
            size_t g = 0;
            while (g < program->glyphUnicodes.size() && program->glyphUnicodes[g] != c)
                ++g;
            static const char* kHex = "0123456789ABCDEF";
            for (int shift : {12, 8, 4, 0})
                hex += kHex[(g >> shift) & 15];
        }
        return hex + ">";
    };
    fixtures::PdfBuilder b;
    std::string file = b.addStream("<< >>", *bytes);
    std::string font = b.addObject(
        "<< /Type /Font /Subtype /Type0 /BaseFont /DejaVuSans /Encoding /Identity-H "
        "/DescendantFonts [<< /Type /Font /Subtype /CIDFontType2 /BaseFont /DejaVuSans "
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> "
        "/CIDToGIDMap /Identity /DW 600 /FontDescriptor << /Type /FontDescriptor /FontName "
        "/DejaVuSans /Flags 32 /FontBBox [-1021 -463 1793 1232] /Ascent 928 /Descent -236 "
        "/FontFile2 " +
        file + " >> >>] >>");
    fixtures::PageSpec page;
    page.content = "BT /F1 12 Tf 72 700 Td " + gids(U"Hello") + " Tj " + gids(U" ") + " Tj " +
                   gids(U"w\u00F6rld\u2014\u0416") + " Tj ET";
    page.resources = "<< /Font << /F1 " + font + " >> >>";
    b.addPage(page);
    std::string pdf = writeFixture(b, "identity-cmap");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto shown = interpret(*doc);
    EXPECT_EQ(textsOf(shown), (std::vector<std::string>{"Hello", " ", "w\u00F6rld\u2014\u0416"}));
    // pdftotext does not read the program's cmap (its text is the glyph
    // indices taken as codes), so only the line's extent is compared.
    auto oracle = fonttest::pdftotextWords(pdf, 1);
    ASSERT_EQ(oracle.size(), 1u);
    EXPECT_NEAR(oracle[0].xMin, shown.front().x0, 0.5);
    EXPECT_NEAR(oracle[0].xMax, shown.back().x1, 0.5);
}

TEST(QVPDFCompositeFontText, ReportLabCIDFontsWithoutToUnicode) {
    std::string folder = fixtures::makeTestFolder("cid-reportlab");
    std::string pdf =
        runOrFail("/usr/bin/python3 '" + kScripts + "reportlab-cid.py' '" + folder + "/cid.pdf'",
                  folder + "/cid.pdf");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto chars = fonttest::placeText(*doc, 1);
    std::vector<std::string> texts;
    for (const auto& w : fonttest::wordsOf(chars))
        texts.push_back(w.text);
    // MSung-Light's codes are UniGB-UCS2-H's, so the text is read through
    // Adobe-GB1, the collection that CMap makes CIDs of.
    EXPECT_EQ(texts,
              (std::vector<std::string>{"日本語のテキスト", "ABC", "123", "简体中文", "测试",
                                        "한국어", "텍스트", "繁體中文", "測試", "縦書きです"}));
    // Through the interpreter the same text, each string one report.
    EXPECT_EQ(textsOf(interpret(*doc)),
              (std::vector<std::string>{"日本語のテキスト ABC 123", "简体中文 测试",
                                        "한국어 텍스트", "繁體中文 測試", "縦書きです"}));

    // pdftotext refuses the mismatched MSung-Light font; every other word
    // lands where it puts it (vertical boxes one em lower, as above).
    auto oracle = fonttest::pdftotextWords(pdf, 1);
    for (const auto& w : fonttest::wordsOf(chars)) {
        if (w.text == "繁體中文" || w.text == "測試")
            continue;
        bool vertical = std::abs(w.x1 - w.x0) < std::abs(w.y1 - w.y0);
        double em = vertical ? 16 : 0;
        double best = 1e9;
        for (const auto& o : oracle) {
            if (o.text != w.text)
                continue;
            best = std::min(
                best, vertical
                          ? std::max(std::abs(o.yMin + em - w.y0), std::abs(o.yMax + em - w.y1))
                          : std::max(std::abs(o.xMin - w.x0), std::abs(o.xMax - w.x1)));
        }
        EXPECT_LE(best, 0.5) << w.text;
    }
}

} // namespace

namespace {

/// The offset and length of an sfnt table in `font`; none when it has none.
std::optional<std::pair<size_t, size_t>> sfntTable(const std::string& font, const char* tag) {
    auto u16 = [&](size_t at) { return size_t(uint8_t(font[at])) << 8 | uint8_t(font[at + 1]); };
    auto u32 = [&](size_t at) { return u16(at) << 16 | u16(at + 2); };
    for (size_t i = 0, n = u16(4); i < n; ++i) {
        const size_t entry = 12 + 16 * i;
        if (font.compare(entry, 4, tag) == 0)
            return std::make_pair(u32(entry + 8), u32(entry + 12));
    }
    return std::nullopt;
}

/// `font` with the named sfnt tables hidden (renamed), as subsetters drop them.
std::string withoutTables(std::string font, std::initializer_list<const char*> tags) {
    for (size_t i = 0, n = size_t(uint8_t(font[4])) << 8 | uint8_t(font[5]); i < n; ++i)
        for (const char* tag : tags)
            if (font.compare(12 + 16 * i, 4, tag) == 0)
                font[12 + 16 * i] = 'z';
    return font;
}

struct ProgramCase {
    const char* name;
    std::string fontFile; ///< FontFile2, or FontFile3 with its /Subtype
    std::string program;
    std::string subtype; ///< CIDFontType2 or CIDFontType0
    std::string text;    ///< the text expected
};

} // namespace

// Identity-H, no /ToUnicode: the embedded program's own names say what its
// glyphs are when it has no Unicode cmap (a name-keyed CFF program, a TrueType
// subset that kept its 'post' names); with neither the string is reported
// with empty text.
TEST(QVPDFCompositeFontText, IdentityFontWithoutToUnicodeOrCmapReadsTheGlyphNames) {
    const std::string ttfPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    const std::string otfPath = "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf";
    auto ttf = platform::readFile(ttfPath);
    auto otf = platform::readFile(otfPath);
    ASSERT_TRUE(ttf && otf) << "fonts-dejavu-core, fonts-urw-base35";
    auto cff = sfntTable(*otf, "CFF ");
    ASSERT_TRUE(cff);
    const std::u32string czech =
        U"P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148";
    const std::string czechUtf8 =
        "P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148";
    const std::vector<ProgramCase> cases = {
        {"CFF glyph names", "/FontFile3", otf->substr(cff->first, cff->second), "CIDFontType0",
         czechUtf8},
        {"TrueType post names", "/FontFile2", withoutTables(*ttf, {"cmap"}), "CIDFontType2",
         czechUtf8},
        {"TrueType without cmap or names", "/FontFile2", withoutTables(*ttf, {"cmap", "post"}),
         "CIDFontType2", ""},
    };
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Glyph indices from the whole program's cmap, which the embedded one lacks.
        auto whole = platform::readFontProgram(c.subtype == "CIDFontType0" ? *otf : *ttf);
        ASSERT_TRUE(whole);
        std::string hex = "<";
        for (char32_t ch : czech) {
            const auto& map = whole->glyphUnicodes;
            const size_t g = size_t(std::find(map.begin(), map.end(), ch) - map.begin());
            ASSERT_LT(g, map.size()) << uint32_t(ch);
            static const char* kHex = "0123456789ABCDEF";
            for (int shift : {12, 8, 4, 0})
                hex += kHex[(g >> shift) & 15];
        }
        hex += ">";
        fixtures::PdfBuilder b;
        std::string file = b.addStream(
            c.fontFile == "/FontFile3" ? "<< /Subtype /CIDFontType0C >>" : "<< >>", c.program);
        std::string font = b.addObject(
            "<< /Type /Font /Subtype /Type0 /BaseFont /Embedded /Encoding /Identity-H "
            "/DescendantFonts [<< /Type /Font /Subtype /" +
            c.subtype +
            " /BaseFont /Embedded /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) "
            "/Supplement 0 >> /DW 600 /FontDescriptor << /Type /FontDescriptor /FontName "
            "/Embedded /Flags 32 /FontBBox [-1021 -463 1793 1232] /Ascent 928 /Descent -236 " +
            c.fontFile + " " + file + " >> >>] >>");
        fixtures::PageSpec page;
        page.content = "BT /F1 12 Tf 72 700 Td " + hex + " Tj ET";
        page.resources = "<< /Font << /F1 " + font + " >> >>";
        b.addPage(page);
        auto doc = platform::PdfDocument::open(writeFixture(b, "identity-names"));
        ASSERT_TRUE(doc);
        auto shown = interpret(*doc);
        EXPECT_EQ(textsOf(shown), std::vector<std::string>{c.text});
    }
}

// A /ToUnicode that is not a stream counts as absent; the names Identity-H and
// Identity-V there make each two-byte code its own Unicode value, as other
// readers take them. Whatever it holds, the string is reported: a font that
// cannot be decoded gives a report with empty text, never none.
TEST(QVPDFCompositeFontText, ToUnicodeGivenAsANameIsNoMap) {
    const std::u16string czech = u"V\u00FDbava na p\u0159\u00E1n\u00ED";
    const std::string czechUtf8 = "V\u00FDbava na p\u0159\u00E1n\u00ED";
    std::string codes;
    for (char16_t c : czech) {
        static const char* kHex = "0123456789ABCDEF";
        for (int shift : {12, 8, 4, 0})
            codes += kHex[(c >> shift) & 15];
    }
    const struct {
        const char* name;
        std::string toUnicode;
        std::string text;
    } cases[] = {
        {"the name Identity-H", "/Identity-H", czechUtf8},
        {"the name Identity-V", "/Identity-V", czechUtf8},
        {"another name", "/UniGB-UCS2-H", ""},
        {"an array", "[/Identity-H]", ""},
        {"a reference to nothing", "99 0 R", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::PdfBuilder b;
        std::string font = b.addObject(
            "<< /Type /Font /Subtype /Type0 /BaseFont /ArialMT /Encoding /Identity-H /ToUnicode " +
            c.toUnicode +
            " /DescendantFonts [<< /Type /Font /Subtype /CIDFontType2 /BaseFont /ArialMT "
            "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /DW 500 "
            "/FontDescriptor << /Type /FontDescriptor /FontName /ArialMT /Flags 32 /FontBBox "
            "[-665 -325 2000 1006] /ItalicAngle 0 /Ascent 905 /Descent -212 /CapHeight 716 "
            "/StemV 80 >> >>] >>");
        fixtures::PageSpec page;
        page.content = "BT /F1 14 Tf 72 700 Td " + hexString(codes) + " Tj ET";
        page.resources = "<< /Font << /F1 " + font + " >> >>";
        b.addPage(page);
        std::string pdf = writeFixture(b, "tounicode-name");
        auto doc = platform::PdfDocument::open(pdf);
        ASSERT_TRUE(doc);
        auto shown = interpret(*doc);
        ASSERT_EQ(textsOf(shown), std::vector<std::string>{c.text});
        // Fifteen codes of width 500 at 14 points, decoded or not.
        EXPECT_NEAR(shown[0].x1 - shown[0].x0, 15 * 7.0, 1e-6);
        if (c.toUnicode == "/Identity-H") {
            auto oracle = fonttest::pdftotextWords(pdf, 1);
            std::string words;
            for (const auto& w : oracle)
                words += (words.empty() ? "" : " ") + w.text;
            EXPECT_EQ(words, czechUtf8);
        }
    }
}
