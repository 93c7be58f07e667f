// The page frame: geometry per page, a fresh state stack, the real
// interpreter with the exporter as delegate, and the writer's page ended even
// when a report throws.
#include "converter/QVPDFPageExporter.h"
#include "converter/QVPDFConverter.h"
#include "fixtures/PdfBuilder.h"
#include "pdf/content/QVPDFConentParser.h"
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
