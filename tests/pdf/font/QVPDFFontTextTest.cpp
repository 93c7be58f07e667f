// End to end: real PDFs made by Debian tools (Ghostscript, ReportLab, cairo)
// and fixtures built here decode to their known text through
// QVPDFFontCollection and getNextChar, and the words land where pdftotext
// -bbox-layout puts them (within 0.5 pt along the baseline).

#include "fixtures/PdfBuilder.h"
#include "pdf/font/FontTestSupport.h"
#include "pdf/font/QVPDFFontCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

const std::string kScripts = std::string(CORVALA_SOURCE_DIR) + "/tests/pdf/font/fixtures/";

std::string runOrFail(const std::string& command, const std::string& output) {
    int rc = std::system((command + " >/dev/null 2>&1").c_str());
    EXPECT_EQ(rc, 0) << command << " (scripts/deps installs the tools)";
    return output;
}

/// Lines of placed characters: a new line starts where a character does not
/// follow on from the one before it.
std::vector<std::string> linesOf(const std::vector<fonttest::PlacedChar>& chars) {
    std::vector<std::u16string> lines;
    double lastX = 0, lastY = 0;
    for (const auto& c : chars) {
        double gap = std::hypot(c.x0 - lastX, c.y0 - lastY);
        if (lines.empty() || gap > 2 * std::abs(c.fontSize))
            lines.emplace_back();
        lines.back() += c.text;
        lastX = c.x1;
        lastY = c.y1;
    }
    std::vector<std::string> out;
    for (auto& l : lines) {
        while (!l.empty() && l.back() == u' ')
            l.pop_back();
        if (!l.empty())
            out.push_back(fonttest::utf8(l));
    }
    return out;
}

/// Every word (or, for text running right to left, every character) has a
/// pdftotext word of the same text whose box agrees along the baseline.
void expectPositionsMatch(const std::string& pdf, const std::vector<fonttest::PlacedChar>& chars) {
    auto oracle = fonttest::pdftotextWords(pdf, 1);
    ASSERT_FALSE(oracle.empty()) << "pdftotext found no words in " << pdf;
    std::vector<bool> used(oracle.size(), false);
    std::vector<fonttest::Word> items;
    for (const auto& w : fonttest::wordsOf(chars)) {
        if (w.x1 < w.x0 - 0.01 && std::abs(w.y1 - w.y0) < 0.01) {
            // Mirrored text: pdftotext reports each glyph as a word of its own.
            for (const auto& c : chars)
                if (!c.text.empty() && c.text != u" " && c.y0 == w.y0 && c.x0 <= w.x0 + 0.01 &&
                    c.x1 >= w.x1 - 0.01)
                    items.push_back({fonttest::utf8(c.text), c.x0, c.y0, c.x1, c.y1});
        } else {
            items.push_back(w);
        }
    }
    for (const auto& w : items) {
        bool horizontal = std::abs(w.y1 - w.y0) < std::abs(w.x1 - w.x0);
        double lo = horizontal ? std::min(w.x0, w.x1) : std::min(w.y0, w.y1);
        double hi = horizontal ? std::max(w.x0, w.x1) : std::max(w.y0, w.y1);
        int best = -1;
        double bestError = 1e9;
        for (size_t i = 0; i < oracle.size(); ++i) {
            if (used[i] || oracle[i].text != w.text)
                continue;
            double olo = horizontal ? oracle[i].xMin : oracle[i].yMin;
            double ohi = horizontal ? oracle[i].xMax : oracle[i].yMax;
            double error = std::max(std::abs(olo - lo), std::abs(ohi - hi));
            if (error < bestError) {
                bestError = error;
                best = static_cast<int>(i);
            }
        }
        ASSERT_GE(best, 0) << "pdftotext has no word \"" << w.text << "\"";
        used[static_cast<size_t>(best)] = true;
        EXPECT_LE(bestError, 0.5) << "word \"" << w.text << "\" at " << lo << ".." << hi;
    }
}

TEST(QVPDFFontText, GhostscriptStandard14FontsNotEmbedded) {
    std::string folder = fixtures::makeTestFolder("fonts-gs");
    std::string pdf = runOrFail("ps2pdf -dEmbedAllFonts=false -dSubsetFonts=false '" + kScripts +
                                    "standard14.ps' '" + folder + "/standard14.pdf'",
                                folder + "/standard14.pdf");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto chars = fonttest::placeText(*doc, 1);
    EXPECT_EQ(linesOf(chars), (std::vector<std::string>{
                                  "Helvetica \u201Cquoted\u201D text \u2013 and \u2014 dashes",
                                  "Times Roman: it\u2019s caf\u00E9 time",
                                  "Courier fixed pitch 0123",
                                  "\u2022 \u03B1\u03B2\u03B3 \u221E",
                                  "\u2701\u2702\u2703",
                              }));
    expectPositionsMatch(pdf, chars);
}

TEST(QVPDFFontText, ReportLabSubsetTrueTypeWithToUnicode) {
    std::string folder = fixtures::makeTestFolder("fonts-reportlab");
    std::string pdf = runOrFail("/usr/bin/python3 '" + kScripts + "truetype-subset.py' '" + folder +
                                    "/subset.pdf'",
                                folder + "/subset.pdf");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto chars = fonttest::placeText(*doc, 1);
    EXPECT_EQ(linesOf(chars), (std::vector<std::string>{
                                  "Hello \u201Cquoted\u201D \uFB01ne \u2014 caf\u00E9 \u20AC5",
                                  "Narrow spaced words",
                                  "Rotated line",
                                  "Mirrored",
                              }));
    expectPositionsMatch(pdf, chars);
}

TEST(QVPDFFontText, CairoSubsetTrueTypeWithWinAnsi) {
    std::string folder = fixtures::makeTestFolder("fonts-cairo");
    std::string pdf =
        runOrFail("/usr/bin/python3 '" + kScripts + "cairo-truetype.py' '" + folder + "/cairo.pdf'",
                  folder + "/cairo.pdf");
    auto doc = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(doc);
    auto chars = fonttest::placeText(*doc, 1);
    EXPECT_EQ(linesOf(chars), (std::vector<std::string>{
                                  "Hello \u201Cquoted\u201D world \u2014 it\u2019s na\u00EFve",
                                  "Price: \u20AC12.50 \u2022 \u00BD off"}));
    expectPositionsMatch(pdf, chars);
}

std::string writeFixture(fixtures::PdfBuilder& b, const std::string& name) {
    std::string folder = fixtures::makeTestFolder("fonts-" + name);
    return b.writeTo(folder + "/" + name + ".pdf");
}

TEST(QVPDFFontText, Type3FontWithFontMatrixOfOneHundredth) {
    fixtures::PdfBuilder b;
    std::string h = b.addStream("<< >>", "75 0 0 0 60 80 d1 0 0 60 80 re f");
    std::string i = b.addStream("<< >>", "25 0 0 0 20 80 d1 0 0 20 80 re f");
    std::string widths;
    for (int c = 72; c <= 105; ++c)
        widths += c == 72 ? " 75" : c == 105 ? " 25" : " 0";
    std::string font = b.addObject(
        "<< /Type /Font /Subtype /Type3 /FontMatrix [0.01 0 0 0.01 0 0] /FontBBox [0 0 75 80] "
        "/CharProcs << /H " +
        h + " /i " + i +
        " >> /Encoding << /Type /Encoding /Differences "
        "[72 /H 105 /i] >> /FirstChar 72 /LastChar 105 /Widths [" +
        widths + "] /Resources << >> >>");
    fixtures::PageSpec page;
    page.content = "BT /F1 12 Tf 100 700 Td (Hi) Tj 0 -40 Td [(H) -500 (iHi)] TJ ET";
    page.resources = "<< /Font << /F1 " + font + " >> >>";
    b.addPage(page);
    std::string pdf = writeFixture(b, "type3");
    auto doc = platform::PdfDocument::open(pdf);
    auto chars = fonttest::placeText(*doc, 1);
    ASSERT_EQ(chars.size(), 6u);
    EXPECT_NEAR(chars[1].x0, 109.0, 1e-6); // H advances 0.75 x 12
    EXPECT_NEAR(chars[1].x1, 112.0, 1e-6); // i is 0.25 x 12 wide
    EXPECT_EQ(linesOf(chars), (std::vector<std::string>{"Hi", "HiHi"}));
    expectPositionsMatch(pdf, chars);
}

TEST(QVPDFFontText, SubsetWithSyntheticGlyphNamesAndToUnicode) {
    fixtures::PdfBuilder b;
    std::string cmap = b.addStream(
        "<< >>", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                 "1 begincodespacerange <00> <FF> endcodespacerange\n"
                 "5 beginbfchar <01> <0054> <02> <0065> <03> <0078> <04> <0074> <05> <00660069> "
                 "endbfchar\n1 beginbfrange <06> <07> <2018> endbfrange\nendcmap end end\n");
    std::string font = b.addObject(
        "<< /Type /Font /Subtype /TrueType /BaseFont /QWERTY+Synthetic /FirstChar 1 /LastChar 8 "
        "/Widths [611 556 500 333 556 222 222 278] /Encoding << /Differences [1 /g1 /g2 /g3 /g4 "
        "/g5 /g6 /g7 /glyph8] >> /ToUnicode " +
        cmap + " >>");
    fixtures::PageSpec page;
    page.content = "BT /F1 10 Tf 72 720 Td <0102030408050206010407> Tj ET";
    page.resources = "<< /Font << /F1 " + font + " >> >>";
    b.addPage(page);
    std::string pdf = writeFixture(b, "synthetic");
    auto doc = platform::PdfDocument::open(pdf);
    auto chars = fonttest::placeText(*doc, 1);
    // Code 8 has no Unicode (neither the map nor its name gives one) but still advances.
    EXPECT_EQ(linesOf(chars), (std::vector<std::string>{"Textfie\u2018Tt\u2019"}));
    EXPECT_NEAR(chars[5].x0, 72 + (6.11 + 5.56 + 5.00 + 3.33 + 2.78), 1e-4);
    expectPositionsMatch(pdf, chars);
}

TEST(QVPDFFontText, PagesSharingAFontParseItOnce) {
    fixtures::PdfBuilder b;
    std::string font = b.addStandardFont("Helvetica");
    std::string fonts = b.addObject("<< /F1 " + font + " >>");
    for (int i = 0; i < 200; ++i) {
        fixtures::PageSpec page;
        page.content = "BT /F1 12 Tf 72 700 Td (Page " + std::to_string(i + 1) + ") Tj ET";
        // Every page has its own resource dictionary naming the same font object.
        page.resources =
            "<< /Font << /F" + std::to_string(i % 3 + 1) + " " + font + " /F1 " + font + " >> >>";
        b.addPage(page);
    }
    (void)fonts;
    auto doc = platform::PdfDocument::openFromMemory(b.build(), "shared fonts");
    ASSERT_TRUE(doc);
    QVPDFFontCache cache;
    std::shared_ptr<const QVPDFFont> first;
    for (size_t p = 1; p <= 200; ++p) {
        auto chars = fonttest::placeText(*doc, p, &cache);
        ASSERT_FALSE(chars.empty());
        auto res = doc->page(p)->dictionary().getDictionary("Resources");
        QVPDFFontCollection collection(res->getDictionary("Font"), &cache);
        if (!first)
            first = collection.fontNamed("F1");
        EXPECT_EQ(collection.fontNamed("F1"), first) << "page " << p;
    }
    EXPECT_EQ(cache.parseCount(), 1u);
}

TEST(QVPDFFontText, CollectionSkipsWhatIsNoFont) {
    fixtures::PdfBuilder b;
    std::string good = b.addStandardFont("Times-Roman");
    std::string cid = b.addObject("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /X >>");
    fixtures::PageSpec page;
    page.content = "BT ET";
    page.resources = "<< /Font << /F1 " + good + " /F2 " + cid + " /F3 42 /F4 /Name >> >>";
    b.addPage(page);
    auto doc = platform::PdfDocument::openFromMemory(b.build(), "collection");
    auto res = doc->page(1)->dictionary().getDictionary("Resources");
    QVPDFFontCollection collection(res->getDictionary("Font"));
    EXPECT_EQ(collection.fonts().size(), 1u);
    EXPECT_TRUE(collection.fontNamed("F1"));
    for (const char* rejected : {"F2", "F3", "F4"}) {
        EXPECT_FALSE(collection.fontNamed(rejected)) << rejected;
        EXPECT_TRUE(collection.containsName(rejected)) << rejected;
    }
    EXPECT_FALSE(collection.containsName("F9"));
    EXPECT_TRUE(QVPDFFontCollection(std::nullopt).fonts().empty());
}

} // namespace
