// Pages whose text all runs across the shown page (stored turned by /Rotate,
// or drawn turned by the page's matrix) read as their text reads in the
// spreadsheet and flowing-text outputs; a page with level text keeps its
// turned labels out. Pages without text, or whose text a format leaves out,
// convert with a warning in every format.

#include "converter/QVPDFConverter.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

struct Reports : QVPDFConverterDelegate {
    bool ended = false;
    std::optional<QVError> error;
    std::vector<int64_t> failedPages, convertedPages;
    std::vector<std::pair<int64_t, std::string>> warnings;
    void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t page, const QVError&) override {
        failedPages.push_back(page);
    }
    void convertPDFPageIndex(QVPDFConverter&, int64_t page, size_t, size_t) override {
        convertedPages.push_back(page);
    }
    void convertPDFPageIndexWarning(QVPDFConverter&, int64_t page,
                                    const std::string& message) override {
        warnings.emplace_back(page, message);
    }
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>& e) override {
        error = e;
        ended = true;
    }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The rows of the first sheet, each its non-empty cells joined by "|",
// numbers marked with #.
const char* kRows = R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for row in ws.iter_rows():
    cells = []
    for c in row:
        if c.value is None:
            continue
        if isinstance(c.value, (int, float)):
            cells.append("#%g" % c.value)
        else:
            cells.append(str(c.value))
    if cells:
        print("|".join(cells))
)";

// The table every case draws, in user space, level.
std::string table() {
    std::string c;
    const char* rows[][2] = {{"Name", "Value"}, {"Apple", "12"}, {"Pear", "7"}};
    double y = 700;
    for (const auto& row : rows) {
        c += "BT /F1 11 Tf 72 " + std::to_string(int(y)) + " Td (" + row[0] + ") Tj ET ";
        c += "BT /F1 11 Tf 200 " + std::to_string(int(y)) + " Td (" + row[1] + ") Tj ET ";
        y -= 16;
    }
    return c;
}

class TurnedPages : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "e2e-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        const char* tmp = std::getenv("TMPDIR");
        savedTmpdir_ = tmp ? tmp : "";
        ::setenv("TMPDIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        if (savedTmpdir_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", savedTmpdir_.c_str(), 1);
    }

    Reports convert(const std::string& pdf, const std::string& format, const std::string& output,
                    std::vector<int64_t> pages) {
        Reports report;
        QVPDFConverter converter;
        converter.setDelegate(&report);
        EXPECT_TRUE(converter.convertPDFAtPath(pdf, std::nullopt, pages, format, output, {}));
        platform::MainQueue::shared().runUntil([&] { return report.ended; });
        return report;
    }

    std::string pdfOf(const std::string& name, std::vector<fixtures::PageSpec> pages) {
        fixtures::PdfBuilder b;
        const std::string font = b.addStandardFont("Helvetica");
        for (fixtures::PageSpec& spec : pages) {
            spec.resources = "<< /Font << /F1 " + font + " >> >>";
            b.addPage(spec);
        }
        return b.writeTo(folder_ + "/" + name + ".pdf");
    }

    /// The page's text as one string per output: the sheet's rows, the
    /// page file's lines, or the flowing text.
    std::string textOf(const std::string& format, const std::string& out) {
        if (format == "xlsx") {
            auto rows = fixtures::runPython(kRows, {out});
            EXPECT_TRUE(rows.ok()) << rows.output;
            return rows.output;
        }
        if (format == "csv") {
            auto text = fixtures::runPython(
                "import sys; print(open(sys.argv[1], encoding='utf-16').read(), end='')",
                {out + "/Table 1.csv"});
            EXPECT_TRUE(text.ok()) << text.output;
            return text.output;
        }
        return readFile(out);
    }

    std::string folder_;
    std::string savedTmpdir_;
};

// `words` in this order in `text`.
bool inOrder(const std::string& text, const std::vector<std::string>& words) {
    size_t at = 0;
    for (const std::string& w : words) {
        const size_t found = text.find(w, at);
        if (found == std::string::npos)
            return false;
        at = found + w.size();
    }
    return true;
}

} // namespace

TEST_F(TurnedPages, AllTurnedTextReadsAsItsTextReads) {
    const struct {
        const char* name;
        std::optional<int> rotate;
        std::string content;
    } cases[] = {
        {"stored turned 90", 90, table()},
        {"stored turned 180", 180, table()},
        {"stored turned 270", 270, table()},
        {"stored turned -90", -90, table()},
        // Drawn turned on an upright page: reading upward, then upside down.
        {"drawn turned a quarter", std::nullopt, "q 0 1 -1 0 792 0 cm " + table() + "Q "},
        {"drawn upside down", std::nullopt, "q -1 0 0 -1 612 792 cm " + table() + "Q "},
        // Both: the matrix turns back what /Rotate turns.
        {"stored and drawn turned", 90, "q 0 1 -1 0 792 0 cm " + table() + "Q "},
    };
    const std::vector<std::string> words = {"Name", "Value", "Apple", "12", "Pear", "7"};
    for (const auto& c : cases) {
        fixtures::PageSpec spec;
        spec.content = c.content;
        spec.rotate = c.rotate;
        std::string name = c.name;
        std::replace(name.begin(), name.end(), ' ', '-');
        const std::string pdf = pdfOf(name, {spec});
        for (const std::string format : {"xlsx", "csv", "txt", "html", "rtf"}) {
            SCOPED_TRACE(std::string(c.name) + " to " + format);
            const std::string out = folder_ + "/" + name + "." + format;
            Reports r = convert(pdf, format, out, {1});
            ASSERT_FALSE(r.error) << r.error->failureReason;
            EXPECT_TRUE(r.failedPages.empty());
            EXPECT_TRUE(r.warnings.empty()) << r.warnings.front().second;
            const std::string text = textOf(format, out);
            if (format == "xlsx")
                EXPECT_EQ(text, "Name|Value\nApple|#12\nPear|#7\n");
            else if (format == "csv")
                EXPECT_EQ(text, "Name\tValue\nApple\t12\nPear\t7\n");
            else
                EXPECT_TRUE(inOrder(text, words)) << text;
        }
    }
}

TEST_F(TurnedPages, LevelTextKeepsThePageAsShown) {
    // Level text beside turned labels: the labels stay out (these outputs
    // carry level text), the table reads as before. Text at two angles, or
    // turned beside mirrored text, turns nothing: nothing is level.
    const std::string label =
        "BT /F1 9 Tf 0 1 -1 0 500 300 Tm (Sidebar) Tj ET BT /F1 9 Tf 0 1 -1 0 520 300 Tm (Note) Tj "
        "ET ";
    fixtures::PageSpec level, twoAngles;
    level.content = table() + label;
    twoAngles.content = "q 0 1 -1 0 792 0 cm " + table() + "Q " +
                        "BT /F1 9 Tf 0 -1 1 0 500 500 Tm (Downward) Tj ET ";
    const std::string pdf = pdfOf("level", {level, twoAngles});
    for (const std::string format : {"xlsx", "csv", "txt", "html", "rtf"}) {
        SCOPED_TRACE(format);
        const std::string out = folder_ + "/level." + format;
        Reports r = convert(pdf, format, out, {1, 2});
        ASSERT_FALSE(r.error) << r.error->failureReason;
        EXPECT_EQ(r.convertedPages, (std::vector<int64_t>{1, 2}));
        const std::string text = textOf(format, out);
        EXPECT_TRUE(inOrder(text, {"Name", "Value", "Apple", "12", "Pear", "7"})) << text;
        for (const char* turned : {"Sidebar", "Note", "Downward"})
            EXPECT_EQ(text.find(turned), std::string::npos) << turned << " in\n" << text;
        // Page 2 came out empty: the user is told why.
        ASSERT_EQ(r.warnings.size(), 1u);
        EXPECT_EQ(r.warnings[0].first, 2);
        EXPECT_EQ(r.warnings[0].second, "page 2: its text is all vertical, slanted or mirrored, "
                                        "which this format leaves out");
    }
}

TEST_F(TurnedPages, PagesWithoutTextAreReportedInEveryFormat) {
    // A page of a picture only (here a drawn box) converts, with a warning;
    // a document of nothing else too: its output is written.
    fixtures::PageSpec text, picture;
    text.content = table();
    picture.content = "0.5 g 72 72 400 600 re f 0 0 m 100 100 l S ";
    const std::string mixed = pdfOf("mixed", {text, picture, text});
    const std::string only = pdfOf("only-picture", {picture});
    for (const std::string& format : QVPDFConverter::supportDocTypeKeys()) {
        SCOPED_TRACE(format);
        const std::string out = folder_ + "/mixed." + format;
        Reports r = convert(mixed, format, out, {1, 2, 3});
        ASSERT_FALSE(r.error) << r.error->failureReason;
        EXPECT_TRUE(r.failedPages.empty());
        EXPECT_EQ(r.convertedPages, (std::vector<int64_t>{1, 2, 3}));
        ASSERT_EQ(r.warnings.size(), 1u);
        EXPECT_EQ(r.warnings[0], (std::pair<int64_t, std::string>{
                                     2, "page 2 has no text; it may be a scanned image"}));

        const std::string alone = folder_ + "/only-picture." + format;
        Reports a = convert(only, format, alone, {1});
        ASSERT_FALSE(a.error) << a.error->failureReason;
        EXPECT_EQ(a.convertedPages, (std::vector<int64_t>{1}));
        ASSERT_EQ(a.warnings.size(), 1u);
        EXPECT_EQ(a.warnings[0].second, "page 1 has no text; it may be a scanned image");
        EXPECT_TRUE(platform::pathExists(alone));
    }
}
