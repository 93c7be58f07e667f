// Text shown in spot colours (Separation and DeviceN through type 2 and type 4
// tint transforms) keeps its colour all the way into the workbook.
#include "converter/QVPDFConverter.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Dispatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

struct EndReport : QVPDFConverterDelegate {
    bool ended = false;
    std::optional<QVError> error;
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>& e) override {
        error = e;
        ended = true;
    }
};

TEST(SpotColour, WorkbookRunsCarryTheTintTransformsColours) {
    const std::string folder = fixtures::makeTestFolder("e2e-spot");
    const char* tmp = std::getenv("TMPDIR");
    const std::string savedTmpdir = tmp ? tmp : "";
    ::setenv("TMPDIR", folder.c_str(), 1);

    fixtures::PdfBuilder b;
    const std::string font = b.addStandardFont("Helvetica");
    const std::string type4 = b.addStream(
        "<< /FunctionType 4 /Domain [0 1] /Range [0 1 0 1 0 1] >>", "{ dup 0 exch 0.4 mul }");
    fixtures::PageSpec page;
    page.resources =
        "<< /Font << /F1 " + font +
        " >> /ColorSpace << "
        "/Sep2 [/Separation /Ink /DeviceRGB << /FunctionType 2 /Domain [0 1] /C0 [1 1 1] "
        "/C1 [0.2 0.4 0.6] /N 1 >>] "
        "/Sep4 [/Separation /Ink4 /DeviceRGB " +
        type4 +
        "] "
        "/DN [/DeviceN [/A /B] /DeviceRGB " +
        b.addStream("<< /FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1] >>", "{ 0 }") +
        "] >> >>";
    // Three cells far apart on one line: type 2 gives (0.2, 0.4, 0.6), type 4
    // (1, 0, 0.4), DeviceN (1, 0.4, 0).
    page.content = "BT /F1 12 Tf /Sep2 cs 1 scn 60 700 Td (Steel) Tj ET "
                   "BT /F1 12 Tf /Sep4 cs 1 scn 250 700 Td (Rose) Tj ET "
                   "BT /F1 12 Tf /DN cs 1 0.4 scn 450 700 Td (Amber) Tj ET";
    b.addPage(page);
    const std::string pdf = b.writeTo(folder + "/spot.pdf");
    const std::string book = folder + "/spot.xlsx";

    EndReport report;
    QVPDFConverter converter;
    converter.setDelegate(&report);
    ASSERT_TRUE(
        converter.convertPDFAtPath(pdf, std::nullopt, {1}, "xlsx", book, QVPDFOptions()));
    platform::MainQueue::shared().runUntil([&] { return report.ended; });
    if (savedTmpdir.empty())
        ::unsetenv("TMPDIR");
    else
        ::setenv("TMPDIR", savedTmpdir.c_str(), 1);
    ASSERT_FALSE(report.error) << report.error->failureReason;
    auto check = fixtures::checkPackage(book);
    ASSERT_TRUE(check.ok()) << check.output;

    // Each word's run colour in the shared strings, as written.
    auto r = fixtures::runPython(R"PY(
import sys, zipfile, re
xml = zipfile.ZipFile(sys.argv[1]).read('xl/sharedStrings.xml').decode()
for si in re.findall(r'<si>.*?</si>', xml, re.S):
    text = ''.join(re.findall(r'<t[^>]*>([^<]*)</t>', si))
    colour = re.search(r'<color rgb="([0-9A-Fa-f]{8})"', si)
    print(text, colour.group(1).upper() if colour else None)
)PY",
                                 {book});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "Steel FF336699\nRose FFFF0066\nAmber FFFF6600\n");
}

} // namespace
