// A page beyond the limits of sound pages fails with the limit it passed as
// its error, and the conversion goes on: the other pages convert and the
// workbook is written. Pages: forms that fan out past the invocation limit,
// and more text runs than a page may hold, between two sound pages.
#include "converter/QVPDFConverter.h"
#include "excel/QVExcelPDFExporter.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "pdf/content/QVPDFPageBudget.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Recorder : public QVPDFConverterDelegate {
public:
    std::vector<std::string> events;
    bool ended = false;
    void convertPDFPageIndex(QVPDFConverter&, int64_t p, size_t, size_t) override {
        events.push_back("ok " + std::to_string(p));
    }
    void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t p, const QVError& e) override {
        events.push_back("fail " + std::to_string(p) + " " + std::to_string(e.code) + " " +
                         e.failureReason);
    }
    void catchException(QVPDFConverter&, const QVException& e) override {
        events.push_back("exception " + e.reason);
    }
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>& e) override {
        events.push_back(e ? "end " + e->failureReason : "end");
        ended = true;
    }
};

TEST(PageBudget, APageBeyondALimitFailsAndTheRestConverts) {
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "before"}});

    // Each of 24 levels invokes the next one twice.
    std::string next;
    for (int i = 24; i >= 0; --i) {
        std::string xobjects =
            next.empty() ? "" : "/Resources << /XObject << /L " + next + " >> >>";
        next = b.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 9 9] " + xobjects + " >>",
                           next.empty() ? "0 0 m 1 1 l S" : "/L Do /L Do");
    }
    fixtures::PageSpec fanOut;
    fanOut.resources = "<< /XObject << /L " + next + " >> >>";
    fanOut.content = "/L Do";
    b.addPage(fanOut);

    fixtures::PageSpec manyRuns;
    manyRuns.resources = "<< /Font << /F1 " + b.addStandardFont() + " >> >>";
    std::string content = "BT /F1 2 Tf\n";
    for (size_t i = 0; i <= QVExcelPDFExporter::kMaxRunsPerPage; ++i)
        content += "1 0 0 1 " + std::to_string(10 + (i % 100) * 5) + " " +
                   std::to_string(780 - double(i / 100) * 0.7) + " Tm (x) Tj\n";
    manyRuns.content = content + "ET";
    manyRuns.compress = true;
    b.addPage(manyRuns);
    b.addTextPage({{72, 700, 12, "after"}});

    const std::string folder = fixtures::makeTestFolder("page-budget");
    const std::string pdf = b.writeTo(folder + "/budget.pdf");
    QVPDFConverter converter;
    Recorder recorder;
    converter.setDelegate(&recorder);
    ASSERT_TRUE(converter.convertPDFAtPath(pdf, std::nullopt, {1, 2, 3, 4}, "xlsx",
                                           folder + "/budget.xlsx", QVPDFOptions()));
    platform::MainQueue::shared().runUntil([&] { return recorder.ended; });

    const std::string forms = "The page invokes forms more than " +
                              std::to_string(QVPDFPageBudget::kMaxFormInvocations) + " times.";
    const std::string runs = "The page has more than " +
                             std::to_string(QVExcelPDFExporter::kMaxRunsPerPage) + " text runs.";
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"ok 1", "fail 2 401 " + forms,
                                                         "fail 3 401 " + runs, "ok 4", "end"}));
    auto check = fixtures::checkPackage(folder + "/budget.xlsx");
    EXPECT_TRUE(check.ok()) << check.output;
}

} // namespace
