// An invisible OCR text layer as searchable scans carry it: each word placed
// by its own text matrix with unequal scales inside a CTM that scales by the
// image size and turns a quarter, horizontal scaling per word, the words of a
// line stepping down as on a skewed scan, on a page stored turned. Every
// format that reads text keeps the words apart, as pdftotext does.
#include "converter/QVPDFConverter.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Dispatch.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

struct Ended : QVPDFConverterDelegate {
    bool ended = false;
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>&) override { ended = true; }
};

std::string run(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return out;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
        out.append(buffer.data(), n);
    return out;
}

// Text of each output, words separated by single blanks.
const char* kText = R"(
import re, sys, zipfile
p = sys.argv[1]
if p.endswith(".xlsx"):
    import openpyxl
    ws = openpyxl.load_workbook(p).worksheets[0]
    t = " ".join(str(c.value) for row in ws.iter_rows() for c in row if c.value is not None)
elif p.endswith(".docx"):
    import docx
    t = " ".join(par.text for par in docx.Document(p).paragraphs)
elif p.endswith(".html"):
    t = re.sub(r"<[^>]*>", " ", re.split(r"<body[^>]*>", open(p, encoding="utf-8").read())[-1])
else:
    t = open(p, encoding="utf-8").read()
print(" ".join(t.split()))
)";

} // namespace

TEST(OcrLayer, WordsEachPlacedByTheirOwnMatrixStayApart) {
    const std::vector<std::vector<std::string>> lines = {
        {"Lorem", "ipsum", "dolor", "sit", "amet,", "consetetur"},
        {"sadipscing", "elitr,", "sed", "diam", "nonumy", "eirmod", "tempor"}};
    const int tz[] = {85, 97, 90, 93, 88, 95, 91};
    // A landscape page shown turned a quarter: display (x, y) is user (y, x).
    // The CTM maps the unit square onto the 595 x 842 image; the scales
    // 0.0024 and 0.0017 make an 8 point font about 11.4 points either way.
    const double sx = 0.0024, sy = 0.0017, size = 8, em = size * sx * 595;
    std::string c = "q 0 595 -842 0 842 0 cm BT 3 Tr /F1 8 Tf\n";
    for (size_t l = 0; l < lines.size(); ++l) {
        double x = 72, y = 100 + 16.0 * double(l);
        for (size_t w = 0; w < lines[l].size(); ++w) {
            const int h = tz[w % 7];
            char m[160];
            std::snprintf(m, sizeof m, "%d Tz %.4f 0 0 %.4f %.6f %.6f Tm ", h, sx, sy, x / 595.0,
                          (842.0 - y) / 842.0);
            c += m + std::string("(") + lines[l][w] + ") Tj\n";
            x += double(lines[l][w].size()) * 0.5 * em * h / 100.0 + 0.3 * em;
            y += 0.4;
        }
    }
    c += "ET Q";
    fixtures::PdfBuilder b;
    std::string widths;
    for (int code = 33; code <= 126; ++code)
        widths += " 500";
    const std::string font =
        b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding "
                    "/WinAnsiEncoding /FirstChar 32 /LastChar 126 /Widths [278" +
                    widths + "] >>");
    fixtures::PageSpec page;
    page.mediaBox = {0, 0, 842, 595};
    page.rotate = 90;
    page.content = c;
    page.resources = "<< /Font << /F1 " + font + " >> >>";
    b.addPage(page);
    const std::string folder = fixtures::makeTestFolder("e2e-ocr-layer");
    const std::string pdf = b.writeTo(folder + "/ocr.pdf");
    std::ofstream(folder + "/text.py") << kText;

    std::string expected;
    for (const auto& line : lines)
        for (const std::string& w : line)
            expected += (expected.empty() ? "" : " ") + w;
    // The peer reads the words apart.
    EXPECT_EQ(run("pdftotext -raw " + pdf + " - | tr -s ' \\n\\f' '  ' | sed 's/ *$//'"),
              expected);
    for (const char* format : {"txt", "html", "rtf", "xlsx", "docx"}) {
        SCOPED_TRACE(format);
        const std::string out = folder + "/ocr." + format;
        Ended ended;
        QVPDFConverter converter;
        converter.setDelegate(&ended);
        ASSERT_TRUE(converter.convertPDFAtPath(pdf, std::nullopt, {1}, format, out, {}));
        platform::MainQueue::shared().runUntil([&] { return ended.ended; });
        if (std::string(format) == "rtf") {
            // Every word stands apart: no two of them glued.
            const std::string rtf = run("cat " + out);
            for (size_t l = 0; l < lines.size(); ++l)
                for (size_t w = 0; w + 1 < lines[l].size(); ++w)
                    EXPECT_EQ(rtf.find(lines[l][w] + lines[l][w + 1]), std::string::npos)
                        << lines[l][w] << lines[l][w + 1];
            continue;
        }
        EXPECT_EQ(run("/usr/bin/python3 " + folder + "/text.py " + out), expected + "\n");
    }
}
