// Numbers set one word space apart, each drawn as a string of its own: two
// cells where the page shows two columns, one text otherwise, and never one
// number made of two.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

// Every row of every sheet: its cells left to right as "text" or "#value",
// joined by "|", one sheet after the other.
const char* kRows = R"(
import sys, openpyxl
for ws in openpyxl.load_workbook(sys.argv[1]).worksheets:
    for row in ws.iter_rows():
        cells = [c for c in row if c.value is not None]
        if cells:
            print("|".join(c.value if isinstance(c.value, str) else "#%r" % c.value
                           for c in cells))
)";

// Helvetica at 10 pt: digits 5.56 pt wide, the comma and the space 2.78 pt.
double width(const std::string& s) {
    double w = 0;
    for (char c : s)
        w += c == ',' || c == ' ' ? 2.78 : 5.56;
    return w;
}

std::string show(double x, double y, const std::string& text) {
    return "BT /F1 10 Tf " + std::to_string(x) + " " + std::to_string(y) + " Td (" + text +
           ") Tj ET ";
}

// Two numbers, the second drawn one word space after the first.
std::string pairAt(double x, double y, const std::string& a, const std::string& b) {
    return show(x, y, a) + show(x + width(a) + 2.78, y, b);
}

TEST(TightColumns, NumbersAWordSpaceApartSplitOnlyWhereThePageShowsTwoColumns) {
    const std::string folder = fixtures::makeTestFolder("e2e-tight-columns");
    fixtures::PdfBuilder b;
    const std::string font =
        b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding "
                    "/WinAnsiEncoding >>");
    const std::string resources = "<< /Font << /F1 " + font + " >> >>";
    auto page = [&](const std::string& content) {
        fixtures::PageSpec spec;
        spec.content = content;
        spec.resources = resources;
        b.addPage(spec);
    };
    // Page 1: every row a pair, left-aligned, one of them ("7 31") no number
    // grouped by a space: the pairs stand for two columns.
    const std::vector<std::pair<std::string, std::string>> tight = {
        {"200", "100"}, {"40", "196"}, {"1", "250"}, {"12", "345"}, {"7", "31"}};
    std::string content = show(60, 760, "Country") + show(180, 760, "Counts");
    double y = 748;
    for (const auto& [a, c] : tight) {
        content += show(60, y, "Row") + pairAt(180, y, a, c);
        y -= 12;
    }
    page(content);
    // Page 2: pairs that may each be a number grouped by a space, and one such
    // number printed as one string: nothing shows two columns.
    content = show(60, 760, "Grouped") + show(180, 760, "98 452");
    y = 748;
    for (const auto& [a, c] : std::vector<std::pair<std::string, std::string>>{
             {"1", "250"}, {"12", "345"}, {"98", "452"}}) {
        content += show(60, y, "Pieces") + pairAt(180, y, a, c);
        y -= 12;
    }
    page(content);
    // Page 3: right-aligned columns two numbers wide; in one row the numbers
    // nearly touch, their right edges those of the rows around.
    const double right1 = 200, right2 = right1 + 2.78 + width("67,890");
    content.clear();
    y = 760;
    for (const auto& [a, c] : std::vector<std::pair<std::string, std::string>>{
             {"5", "7"}, {"12,345", "67,890"}, {"31", "8"}}) {
        content += show(60, y, "Line") + show(right1 - width(a), y, a) +
                   show(right2 - width(c), y, c);
        y -= 12;
    }
    page(content);
    const std::string pdf = b.writeTo(folder + "/tight.pdf");

    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("HOME", folder.c_str(), 1);
    auto run =
        fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert " +
                             fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
    ::setenv("HOME", savedHome.c_str(), 1);
    ASSERT_TRUE(run.ok()) << run.output;
    auto rows = fixtures::runPython(kRows, {folder + "/tight.xlsx"});
    ASSERT_TRUE(rows.ok()) << rows.output;
    EXPECT_EQ(rows.output, "Country|Counts\n"
                           "Row|#200|#100\n"
                           "Row|#40|#196\n"
                           "Row|#1|#250\n"
                           "Row|#12|#345\n"
                           "Row|#7|#31\n"
                           "Grouped|#98452\n"
                           "Pieces|1 250\n"
                           "Pieces|12 345\n"
                           "Pieces|98 452\n"
                           "Line|#5|#7\n"
                           "Line|#12345|#67890\n"
                           "Line|#31|#8\n");
}

} // namespace
