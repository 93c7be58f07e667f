// The page frame: geometry per page, a fresh state stack, the real
// interpreter with the exporter as delegate, and the writer's page ended even
// when a report throws.
#include "converter/QVPDFPageExporter.h"
#include "converter/QVPDFConverter.h"
#include "fixtures/PdfBuilder.h"
#include "pdf/QVPDFPageGeometry.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/content/RenderingStateStack.h"
#include "pdf/font/QVPDFFont.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/Dispatch.h"
#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using Events = std::vector<std::string>;

class FrameExporter : public QVPDFPageExporter {
public:
    Events* log = nullptr;
    int throwOnPage = 0;
    int page = 0;

    void resetPageState() override { ++page; }
    void beginWriterPage(platform::Size size) override {
        log->push_back("begin " + platform::formatShortest(size.width) + "x" +
                       platform::formatShortest(size.height));
    }
    void endWriterPage() override { log->push_back("end"); }
    void didScanPath(QVPDFConentParser& parser, const platform::Path& path, bool, bool) override {
        if (page == throwOnPage)
            throw std::runtime_error("exporter failed");
        // The frame's stack is the one the reports read, and a fresh one per page.
        EXPECT_EQ(parser.currentRenderingState(), renderingStateStack()->topRenderingState());
        platform::Rect box =
            path.transformed(parser.currentRenderingState()->ctm().concat(currentPageTransform()))
                .boundingBox();
        log->push_back("path " + platform::formatShortest(box.origin.x) + "," +
                       platform::formatShortest(box.origin.y) + " w" +
                       platform::formatShortest(parser.currentRenderingState()->lineWidth()));
    }
};

struct Reports : QVPDFConverterDelegate {
    Events events;
    bool ended = false;
    void convertPDFPageIndex(QVPDFConverter&, int64_t p, size_t, size_t) override {
        events.push_back("ok " + std::to_string(p));
    }
    void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t p, const QVError&) override {
        events.push_back("fail " + std::to_string(p));
    }
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>&) override { ended = true; }
};

} // namespace

TEST(QVPDFPageExporter, ThrowingReportFailsOnlyItsPage) {
    std::string folder = fixtures::makeTestFolder("page-frame");
    fixtures::PdfBuilder b;
    // A page that leaves its line width at 5 must not leak it into the next.
    for (int i = 0; i < 3; ++i) {
        fixtures::PageSpec spec;
        spec.content = "10 20 30 40 re f 5 w";
        spec.mediaBox = {0, 0, 200, 100};
        b.addPage(spec);
    }
    std::string pdf = b.writeTo(folder + "/three.pdf");

    Events log;
    Reports reports;
    QVPDFConverter converter;
    converter.setDelegate(&reports);
    converter.setExporterFactory([&log](const std::string&, const QVPDFOptions&) {
        auto e = std::make_unique<FrameExporter>();
        e->log = &log;
        e->throwOnPage = 2;
        return e;
    });
    ASSERT_TRUE(converter.convertPDFAtPath(pdf, std::nullopt, {1, 2, 3}, "xlsx",
                                           folder + "/out.xlsx", QVPDFOptions()));
    platform::MainQueue::shared().runUntil([&] { return reports.ended; });
    EXPECT_EQ(reports.events, (Events{"ok 1", "fail 2", "ok 3"}));
    // Display space: y down from the top of a 100 pt high page.
    EXPECT_EQ(log, (Events{"begin 200x100", "path 10,40 w1", "end", "begin 200x100", "end",
                           "begin 200x100", "path 10,40 w1", "end"}));
}

namespace {

// Records the glyph geometry of each string as every exporter takes it.
class GeometryExporter : public QVPDFPageExporter {
public:
    std::vector<QVPDF_CTMInfo> shown;
    void didScanText(QVPDFConentParser&, const std::u16string& text, platform::Size) override {
        const QVPDFRenderState* s = renderingStateStack()->topRenderingState();
        if (text.empty() || !s || !s->font())
            return;
        shown.push_back(QVPDF_CTMInfoMake(s->fontSize(), s->font()->ascent(),
                                          s->font()->descent(), currentDisplayTextTransform()));
    }
};

} // namespace

// Angle, mirroring and box height come from the whole way from glyph to page:
// the Type 3 font matrix, the sign of the font size, the text matrix, a
// negative horizontal scaling, the CTM and the page's /Rotate. Two flips that
// cancel read upright.
TEST(QVPDFPageExporter, GlyphGeometryFollowsEveryFlipOnTheWayToThePage) {
    struct Case {
        const char* name;
        const char* fontMatrix; // a Type 3 font's; none: Helvetica
        double size;
        const char* tm;
        const char* ctm;
        int rotate;
        double tz;
        float rotation;
        bool mirrored;
        // A Type 3 font's box: lying mostly below the baseline, its glyphs
        // were drawn with y down.
        const char* fontBBox = "0 -200 600 700";
    };
    const Case cases[] = {
        {"plain", nullptr, 12, "1 0 0 1", "1 0 0 1", 0, 100, 0, false},
        {"Type 3 with y down through a flipped text matrix", "0.001 0 0 -0.001", 12, "1 0 0 -1",
         "1 0 0 1", 0, 100, 0, false},
        {"Type 3 glyph space = text space, flipped both ways", "1 0 0 -1", 0.012, "1 0 0 -1",
         "1 0 0 1", 0, 100, 0, false},
        {"Type 3 with y down, plain text matrix", "0.001 0 0 -0.001", 12, "1 0 0 1", "1 0 0 1", 0,
         100, 0, true},
        {"Type 3 upright, flipped text matrix", "0.001 0 0 0.001", 12, "1 0 0 -1", "1 0 0 1", 0,
         100, 0, true},
        {"negative size through a CTM turned half round", nullptr, -12, "1 0 0 1", "-1 0 0 -1", 0,
         100, 0, false},
        {"negative size on a page turned 180", nullptr, -12, "1 0 0 1", "1 0 0 1", 180, 100, 0,
         false},
        {"positive size on a page turned 180", nullptr, 12, "1 0 0 1", "1 0 0 1", 180, 100, 180,
         false},
        {"negative size alone", nullptr, -12, "1 0 0 1", "1 0 0 1", 0, 100, 180, false},
        {"negative size, Type 3 y down, flipped text matrix", "0.001 0 0 -0.001", -12, "1 0 0 -1",
         "1 0 0 1", 0, 100, 180, false},
        {"Type 3 y down, flipped text matrix, page turned 180", "0.001 0 0 -0.001", 12, "1 0 0 -1",
         "1 0 0 1", 180, 100, 180, false},
        {"negative size, flipped CTM", nullptr, -12, "1 0 0 1", "1 0 0 -1", 0, 100, 180, true},
        {"negative horizontal scaling mirrors", nullptr, 12, "1 0 0 1", "1 0 0 1", 0, -100, 180,
         true},
        {"text turned by the text matrix, negative size", nullptr, -12, "0 1 -1 0", "1 0 0 1", 0,
         100, 90, false},
        {"Type 3 drawn with y down, flipped font matrix, text matrix and CTM", "0.001 0 0 -0.001",
         12, "1 0 0 -1", "1 0 0 -1", 0, 100, 0, false, "0 200 600 -700"},
        {"Type 3 drawn with y down, flipped font matrix and text matrix", "0.001 0 0 -0.001", 12,
         "1 0 0 -1", "1 0 0 1", 0, 100, 0, true, "0 200 600 -700"},
    };
    const std::string folder = fixtures::makeTestFolder("glyph-geometry");
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::PdfBuilder b;
        std::string font;
        if (c.fontMatrix) {
            std::string widths;
            for (int code = 72; code <= 105; ++code)
                widths += " 600";
            const std::string glyph = b.addStream("<< >>", "600 0 0 0 600 700 d1 0 0 600 700 re f");
            font = b.addObject(std::string("<< /Type /Font /Subtype /Type3 /FontBBox [") +
                               c.fontBBox + "] /FontMatrix [" + c.fontMatrix +
                               " 0 0] /CharProcs << /H " + glyph + " /i " + glyph +
                               " >> /Encoding << /Type /Encoding /Differences [72 /H 105 /i] >> "
                               "/FirstChar 72 /LastChar 105 /Widths [" + widths +
                               "] /Resources << >> >>");
        } else {
            font = b.addStandardFont("Helvetica");
        }
        fixtures::PageSpec page;
        page.rotate = c.rotate;
        page.mediaBox = {0, 0, 600, 400};
        page.content = std::string("q ") + c.ctm + " 300 200 cm BT /F1 " +
                       platform::formatShortest(c.size) + " Tf " + platform::formatShortest(c.tz) +
                       " Tz " + c.tm + " 0 0 Tm (Hi) Tj ET Q";
        page.resources = "<< /Font << /F1 " + font + " >> >>";
        b.addPage(page);
        auto doc = platform::PdfDocument::open(
            b.writeTo(folder + "/case" + std::to_string(n++) + ".pdf"));
        ASSERT_TRUE(doc);
        GeometryExporter exporter;
        ASSERT_TRUE(exporter.convertPDFPage(doc->page(1).get()));
        ASSERT_EQ(exporter.shown.size(), 1u);
        const QVPDF_CTMInfo& g = exporter.shown[0];
        EXPECT_EQ(g.rotation, c.rotation);
        EXPECT_EQ(g.flip != 0, c.mirrored);
        // The glyph box (ascent to descent, about 0.9 em) stands about 11
        // points high whichever way it is turned.
        EXPECT_NEAR(g.fontSize.height, 11, 1) << "box height";
        // Upright text has its ascent line above its descent line.
        if (!c.mirrored && c.rotation == 0) {
            EXPECT_GT(g.yDescent - g.yAscent, 0.5 * 12) << "ascent to descent";
        }
    }
}
