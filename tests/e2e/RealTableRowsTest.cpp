// Rows of real-world tables read back cell by cell: each printed value in a
// cell of its own, numbers as numbers, in the order the page prints them.
// The PDFs are read in place from the shared corpus beside the repository.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const std::string kSource = CORVALA_SOURCE_DIR;
const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

// Each row of the first sheet as its non-empty cells joined by "|", numbers
// marked with # (whole numbers without decimals).
const char* kRows = R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for row in ws.iter_rows():
    cells = []
    for c in row:
        if c.value is None:
            continue
        if isinstance(c.value, (int, float)):
            v = c.value
            cells.append("#" + ("%d" % v if float(v).is_integer() else repr(v)))
        else:
            cells.append(str(c.value))
    if cells:
        print("|".join(cells))
)";

TEST(RealTableRows, NeighbouringValuesStayInCellsOfTheirOwn) {
    const std::string corpus = kSource + "/../shared/corpus/pdfplumber-tests";
    if (!platform::isDirectory(corpus))
        GTEST_SKIP() << "no shared corpus at " << corpus;
    const std::string folder = fixtures::makeTestFolder("e2e-real-table-rows");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("HOME", folder.c_str(), 1); // scratch folders stay in the test's folder

    // "8,574" and "30" once shared a cell; the rows begin as pdftotext reads them.
    // A row ending in "|" is the start of a row, any other a whole row.
    const struct {
        const char* file;
        const char* page;
        std::vector<std::string> rows;
    } cases[] = {
        {"WARN-Report-for-7-1-2015-to-03-25-2016",
         "15",
         {"July 2015|#71|#8574|#30|#2|#13|#25|#1|#0", "August 2015|#69|#5890|#28|#2|#7|#31|#0|#1"}},
        {"nics-background-checks-2015-11",
         "1",
         {"Michigan|#16786|#13634|#17604|#385|#238|#1025|#1|#4|#0|#5|#489|",
          "Alabama|#18870|#23022|#22650|#859|#1178|#0|#14|#15|#0|#2179|#2307|#11|",
          // Drawn glyph by glyph, spread by a character spacing of four ems and
          // pulled back by TJ: "0", "2,248" and "1,135" once came out as "02",
          // ",2 4 81" and ",1 3 5".
          "Florida|#15907|#50796|#28981|#2268|#1957|#121|#8|#9|#0|#2248|#1135|#2|#40|#5|",
          "Texas|#21550|#56941|#51670|#2532|#3048|#0|#29|#20|#0|#5748|#5331|#21|#1|#2|#1|#42|#36|"
          "#4|#1|#5|#0|#146982"}},
        // The same page stored turned (/Rotate 90): its text all runs down
        // the shown page, and the sheet reads it as the text reads.
        {"nics-background-checks-2015-11-rotated",
         "1",
         {"Florida|#15907|#50796|#28981|#2268|#1957|#121|#8|#9|#0|#2248|#1135|#2|#40|#5|#0|#36|"
          "#19|#0|#0|#0|#0|#103532",
          "Texas|#21550|#56941|#51670|#2532|#3048|#0|#29|#20|#0|#5748|#5331|#21|#1|#2|#1|#42|#36|"
          "#4|#1|#5|#0|#146982"}},
        // Amounts right-aligned far from the text before them; dates stay text.
        {"senate-expenditures",
         "1",
         {"BAIN, J MATTHEW|DISTRICT DIRECTOR|#37499.96",
          "LAVALLEY, ROBERT CLINTON|INTERN FROM SEP. 10|#1260",
          "DHAW20190001|05/03/2019|CITIBANK - TRAVEL CBA CARD|03/04/2019|03/06/2019|"
          "STAFF TRANSPORTATION|#920.68",
          "DHAW20190045|07/10/2019|CITIBANK - SENATOR IBA CARD|06/29/2019|07/07/2019|"
          "STAFF TRANSPORTATION|#1112"}},
        // A monospaced bulletin: candidate, party and votes, beside other blocks.
        {"la-precinct-bulletin-2014-p1",
         "1",
         {"EDMUND G BROWN|DEM|#69", "GAVIN NEWSOM|DEM|#64", "STEVE KNIGHT|REP|#146",
          "NEEL KASHKARI|REP|#247|", "RON NEHRING|REP|#247|"}},
        // A form: labels and their values, no blank kept around them.
        {"150109DSP-Milw-505-90D",
         "1",
         {"Case Tracking Number:|150109-DSP-Milw-505|Agency:|Bureau of Milwaukee Child Welfare",
          "Age:|1 Year 9 Months|Gender:|Female|Male", "Date of Incident:|01/09/2015",
          "Yes|No|Criminal investigation pending or completed?",
          // The answer beside the question, after it (its last blank once
          // chained the two into one column group, the answer first).
          "Yes|No    Criminal charges filed?   If yes, against whom?|"
          "The friend of the mother who was caring for the child at the time of his",
          "Race or Ethnicity:|African American/Black", "Special Needs:|None known",
          "Child’s residence at the time of incident:|In-home|Out-of-home care placement",
          "A.|Children residing at home at the time of the incident:"}},
        // Its second page: two columns of check boxes, then the page number as a number.
        {"150109DSP-Milw-505-90D",
         "2",
         {"Screening of Access report|Attempted or successful reunification",
          "Temporary physical custody of child|Collaboration with medical professionals",
          "Placement with relatives|Initiated efforts to address or enhance community",
          "B.|Children residing in out-of-home care (OHC) placement at time of incident:",
          "Yes|No|Not Applicable|This 90-day summary report completes the Division of Safety "
          "and Permanence (DSP) action on this",
          "#2"}},
        // An agenda's heading block and numbered items.
        {"cupertino_usd_4-6-16",
         "1",
         {"Cupertino Union School District|April 6, 2016", "1309 S. Mary Avenue|7:30 a.m.",
          "Sunnyvale, CA 94087", "1.|CALL TO ORDER/FLAG SALUTE",
          "2.|PUBLIC COMMENT – ITEMS ON THE AGENDA", "3.|CLOSED SESSION",
          "District Representatives:|Board President Josephine Lucey and",
          "4.|REPORT FROM CLOSED SESSION", "5.|DISCUSSION", "6.|ADJOURNMENT"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " page " + c.page);
        // A folder per page: an existing output is never replaced.
        const std::string out = folder + "/" + c.file + "-" + c.page;
        ASSERT_TRUE(platform::createDirectories(out));
        auto run =
            fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f xlsx -p " + c.page +
                                 " " + fixtures::shellQuote(corpus + "/" + c.file + ".pdf") +
                                 " -o " + fixtures::shellQuote(out));
        ASSERT_TRUE(run.ok()) << run.output;
        auto rows = fixtures::runPython(kRows, {out + "/" + c.file + ".xlsx"});
        ASSERT_TRUE(rows.ok()) << rows.output;
        for (const std::string& row : c.rows) {
            const std::string line = "\n" + row + (row.back() == '|' ? "" : "\n");
            EXPECT_NE(("\n" + rows.output).find(line), std::string::npos) << row << "\n"
                                                                          << rows.output;
        }
    }
    ::setenv("HOME", savedHome.c_str(), 1);
}

// The columns of the numbers of the rows labelled argv[2] and argv[3]
// (first sheet), one line per row, as column numbers separated by spaces.
const char* kNumberColumns = R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for label in sys.argv[2:]:
    for row in ws.iter_rows():
        if row[0].value == label:
            print(" ".join(str(c.column) for c in row if isinstance(c.value, (int, float))))
            break
    else:
        print("missing")
)";

TEST(RealTableRows, RowsWithFewerDigitsKeepTheirColumns) {
    const std::string corpus = kSource + "/../shared/corpus/pdfplumber-tests";
    if (!platform::isDirectory(corpus))
        GTEST_SKIP() << "no shared corpus at " << corpus;
    const std::string folder = fixtures::makeTestFolder("e2e-real-table-columns");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("HOME", folder.c_str(), 1);

    // The short numbers of a nearly empty row sit under the long ones of a full
    // row with as many numbers: the District of Columbia's "2" once sat one
    // column right of Florida's "28,981".
    const struct {
        const char* file;
        const char* page;
        const char* full;
        const char* sparse;
    } cases[] = {
        {"nics-background-checks-2015-11", "1", "Florida", "District of Columbia"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto run =
            fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f xlsx -p " + c.page +
                                 " " + fixtures::shellQuote(corpus + "/" + c.file + ".pdf") +
                                 " -o " + fixtures::shellQuote(folder));
        ASSERT_TRUE(run.ok()) << run.output;
        auto columns = fixtures::runPython(kNumberColumns,
                                           {folder + "/" + c.file + ".xlsx", c.full, c.sparse});
        ASSERT_TRUE(columns.ok()) << columns.output;
        const size_t split = columns.output.find('\n');
        ASSERT_NE(split, std::string::npos) << columns.output;
        EXPECT_EQ(columns.output.substr(0, split + 1), columns.output.substr(split + 1));
        EXPECT_EQ(columns.output.find("missing"), std::string::npos) << columns.output;
    }
    ::setenv("HOME", savedHome.c_str(), 1);
}

} // namespace
