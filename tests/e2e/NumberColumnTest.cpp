// A column of numbers as reports print them, converted by the corvala command
// and read back: the value and number format by openpyxl, the text each cell
// shows by LibreOffice. A cell shows what the page printed, and its value is
// the printed number and nothing else.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

// For every row with a label in column A: label, then the first other cell of
// the row as value|number format|text LibreOffice shows (UTF-8, tab-separated
// cells as shown).
const char* kReadBack = R"(
import csv, os, subprocess, sys, openpyxl
book, work = sys.argv[1], sys.argv[2]
subprocess.run(["soffice", "-env:UserInstallation=file://" + work + "/lo-profile", "--headless",
                "--convert-to", "csv:Text - txt - csv (StarCalc):9,34,76,1,,1033,false,true,true",
                "--outdir", work, book], check=True, stdout=subprocess.DEVNULL,
               stderr=subprocess.DEVNULL)
name = os.path.splitext(os.path.basename(book))[0] + ".csv"
with open(os.path.join(work, name), encoding="utf-8", newline="") as f:
    shown = list(csv.reader(f, delimiter="\t"))
ws = openpyxl.load_workbook(book).worksheets[0]
for row in ws.iter_rows():
    cells = [c for c in row if c.value is not None]
    if len(cells) < 2 or cells[0].column != 1:
        continue
    c = cells[1]
    value = c.value if isinstance(c.value, str) else "#%r" % c.value
    print("%s|%s|%s|%s" % (cells[0].value, value, c.number_format,
                           shown[c.row - 1][c.column - 1]))
)";

TEST(NumberColumn, CellsShowWhatThePagePrintedWithThePrintedValue) {
    const std::string folder = fixtures::makeTestFolder("e2e-number-column");
    // Helvetica with the minus sign (U+2212) at code 1; the en dash is WinAnsi's 0x96.
    fixtures::PdfBuilder b;
    const std::string font =
        b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding << /Type "
                    "/Encoding /BaseEncoding /WinAnsiEncoding /Differences [1 /minus] >> >>");
    const struct {
        const char* label;
        const char* printed;  // PDF string bytes
        const char* expected; // value|number format|shown
    } rows[] = {
        {"one decimal", "25.0", "#25.0|0.0|25.0"},
        {"two decimals", "0.80", "#0.8|0.00|0.80"},
        {"percent one decimal", "40.5%", "#0.405|0.0%|40.5%"},
        {"whole percent", "7%", "#0.07|0%|7%"},
        {"grouped by a blank", "100 000", "#100000|#\\ ##0|100 000"},
        {"three groups", "1 000 000", "#1000000|#\\ ###\\ ##0|1 000 000"},
        {"en dash", "\2261.4%", "#-0.014|0.0%;\"\u2013\"0.0%|\u20131.4%"},
        {"minus sign", "\0012 500", "#-2500|#\\ ##0;\"\u2212\"#\\ ##0|\u22122 500"},
        {"plus percent", "+3.2%", "#0.032|+0.0%;-0.0%|+3.2%"},
        {"plus whole", "+12", "#12|+0;-0|+12"},
        {"no leading digit", ".2%", "#0.002|#.0%|.2%"},
        {"brackets", "(1,234)", "#-1234|#,##0;(#,##0)|(1,234)"},
        {"grouped", "1,234,567", "#1234567|#,##0|1,234,567"},
        {"plain", "12", "#12|General|12"},
    };
    std::string content;
    double y = 760;
    for (const auto& r : rows) {
        content += "BT /F1 10 Tf 60 " + std::to_string(y) + " Td (" + r.label + ") Tj ET ";
        content += "BT /F1 10 Tf 240 " + std::to_string(y) + " Td " +
                   fixtures::pdfLiteral(r.printed) + " Tj ET ";
        y -= 16;
    }
    // A number with a run of blanks of its own beside it is still a number.
    content += "BT /F1 10 Tf 60 " + std::to_string(y) + " Td (stray blanks) Tj ET ";
    content += "BT /F1 10 Tf 240 " + std::to_string(y) + " Td (815) Tj (        ) Tj ET ";
    y -= 16;
    // "200" and "100" drawn as two strings a word space apart (Helvetica's
    // digits are 5.56 pt wide at 10 pt, its space 2.78 pt): one cell, but
    // never the number 200100.
    content += "BT /F1 10 Tf 60 " + std::to_string(y) + " Td (two numbers) Tj ET ";
    content += "BT /F1 10 Tf 240 " + std::to_string(y) + " Td (200) Tj ET ";
    content += "BT /F1 10 Tf 259.46 " + std::to_string(y) + " Td (100) Tj ET ";
    fixtures::PageSpec spec;
    spec.content = content;
    spec.resources = "<< /Font << /F1 " + font + " >> >>";
    b.addPage(spec);
    const std::string pdf = b.writeTo(folder + "/numbers.pdf");

    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("HOME", folder.c_str(), 1); // scratch folders stay in the test's folder
    auto run =
        fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert " +
                             fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
    ::setenv("HOME", savedHome.c_str(), 1);
    ASSERT_TRUE(run.ok()) << run.output;
    auto read = fixtures::runPython(kReadBack, {folder + "/numbers.xlsx", folder});
    ASSERT_TRUE(read.ok()) << read.output;

    for (const auto& r : rows) {
        const std::string line = "\n" + std::string(r.label) + "|" + r.expected + "\n";
        EXPECT_NE(("\n" + read.output).find(line), std::string::npos) << line << read.output;
    }
    for (const char* line :
         {"\nstray blanks|#815|General|815\n", "\ntwo numbers|200 100|General|200 100\n"})
        EXPECT_NE(("\n" + read.output).find(line), std::string::npos) << line << read.output;
}

} // namespace
