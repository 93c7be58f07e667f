#include "excel/workbook/QVExcelWriter.h"

#include "excel/WorkbookFixture.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace workbook_fixture;
namespace fs = std::filesystem;

// 2024-03-05T14:07:09Z
const auto kNow = std::chrono::system_clock::from_time_t(1709647629);

struct Options {
    uint64_t formatOption = 0;
    bool allInOneSheet = false;
    bool addToRow = false;
};

class QVExcelWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "excelwriter-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        // Work folders go below $TMPDIR: keep them inside the test's folder.
        const char* tmp = std::getenv("TMPDIR");
        savedTmpdir_ = tmp ? tmp : "";
        ::setenv("TMPDIR", folder_.c_str(), 1);
        fixtures::PdfBuilder b;
        b.addTextPage({{72, 720, 12, "x"}});
        b.setInfo("Title", "Quarterly figures");
        document_ = platform::PdfDocument::openFromMemory(b.build(), "doc.pdf");
        QVExcelManager::destory();
    }
    void TearDown() override {
        restoreTmpdir();
        QVExcelManager::destory();
    }

    /// Runs one document the way the exporter does; answers packetExcelFile.
    bool convert(const std::string& output, QVExcelWriter::Format format,
                 std::vector<PageSpec> pages, Options o = {}, int64_t requested = -1) {
        auto options = std::make_shared<QVExcelOptions>();
        options->setExcelFormatOption(o.formatOption);
        options->setAllInOneSheet(o.allInOneSheet);
        options->setAiosAddToRow(o.addToRow);
        QVExcelManager::sharedInstance()->setOptions(options);
        QVExcelManager::reset();
        const size_t n = pages.size();
        writer_ =
            std::make_unique<QVExcelWriter>(output, requested < 0 ? int64_t(n) : requested, format,
                                            std::make_shared<GridFactory>(std::move(pages)));
        writer_->setClock([] { return kNow; });
        writer_->begainWriteDocument();
        pageErrors_ = 0;
        for (size_t i = 0; i < n; ++i) {
            writer_->begainWritePage({612, 792});
            try {
                writer_->endWritePage();
            } catch (const std::exception&) {
                ++pageErrors_;
            }
        }
        const bool ok = writer_->packetExcelFile(document_.get());
        QVExcelManager::destory();
        return ok;
    }

    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    bool workFolderExists() const { return platform::pathExists(writer_->savedWorkFolder()); }
    /// Files of a folder other than the expected ones (leftover temporaries).
    std::vector<std::string> entries(const std::string& dir) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static PageSpec twoRunPage() {
        PageSpec p;
        p.cells.push_back({1, 1, {{u"Name"}}, "", "", 0, 1}); // merged over A1:B1
        p.cells.push_back({1, 3, {{u"Total ", 11, true, false, 0xc00000}, {u"\u20ac", 11}}});
        p.cells.push_back({2, 1, {{u"Caf\u00e9 & <co>"}}});
        p.cells.push_back({2, 3, {}, "1234.5", "#,##0.00"});
        return p;
    }
    static PageSpec percentPage() {
        PageSpec p;
        p.cells.push_back({1, 1, {{u"Rate", 14, false, true, 0x1f7a1f}}});
        p.cells.push_back({1, 2, {}, "0.125", "0.0%"});
        p.cells.push_back({3, 2, {}, "-7", "#,##0.00"});
        p.rowHeight = 20;
        return p;
    }

    std::string folder_;
    std::string savedTmpdir_;
    void restoreTmpdir() {
        if (savedTmpdir_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", savedTmpdir_.c_str(), 1);
    }
    std::unique_ptr<platform::PdfDocument> document_;
    std::unique_ptr<QVExcelWriter> writer_;
    int pageErrors_ = 0;
};

TEST_F(QVExcelWriterTest, TwoPageGridBecomesAWorkbookReadersOpen) {
    const std::string book = path("Report.xlsx");
    ASSERT_TRUE(convert(book, QVExcelWriter::Format::Xlsx, {twoRunPage(), percentPage()}))
        << writer_->failureReason();
    EXPECT_FALSE(workFolderExists());
    EXPECT_EQ(entries(folder_),
              std::vector<std::string>({"Report.xlsx", "corvala-" + std::to_string(::getpid())}));

    auto check = fixtures::checkPackage(book);
    EXPECT_TRUE(check.ok()) << check.output;

    auto r = fixtures::runPython(R"PY(
import sys, zipfile, openpyxl
z = zipfile.ZipFile(sys.argv[1])
print(sorted(z.namelist()))
wb = openpyxl.load_workbook(sys.argv[1])
print(wb.sheetnames)
a, b = wb['Sheet 1'], wb['Sheet 2']
print(a['A1'].value, '|', a['C1'].value, '|', a['A2'].value, '|', a['C2'].value, a['C2'].number_format)
print(sorted(str(m) for m in a.merged_cells.ranges))
print(b['A1'].value, b['B1'].value, b['B1'].number_format, b['B3'].value, b['B3'].number_format)
print(b['A1'].font.i, b['A1'].font.color.rgb, a['C1'].font.b, a['C1'].font.color.rgb)
print(wb.properties.title, '|', wb.properties.creator, '|', wb.properties.created.isoformat())
)PY",
                                 {book});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output,
              "['[Content_Types].xml', '_rels/.rels', 'docProps/app.xml', 'docProps/core.xml', "
              "'xl/_rels/workbook.xml.rels', 'xl/sharedStrings.xml', 'xl/styles.xml', "
              "'xl/theme/theme1.xml', 'xl/workbook.xml', 'xl/worksheets/sheet1.xml', "
              "'xl/worksheets/sheet2.xml']\n"
              "['Sheet 1', 'Sheet 2']\n"
              "Name | Total \xE2\x82\xAC | Caf\xC3\xA9 & <co> | 1234.5 #,##0.00\n"
              "['A1:B1']\n"
              "Rate 0.125 0.0% -7 #,##0.00\n"
              "True FF1f7a1f True FFc00000\n"
              "Quarterly figures | Corvala | 2024-03-05T14:07:09\n");
}

TEST_F(QVExcelWriterTest, LibreOfficeReadsTheValues) {
    const std::string book = path("Report.xlsx");
    ASSERT_TRUE(convert(book, QVExcelWriter::Format::Xlsx, {twoRunPage(), percentPage()}))
        << writer_->failureReason();
    // Every sheet to its own csv file (filter option token 12 = -1).
    const std::string out = path("lo");
    auto lo = fixtures::runCommand(
        "cd " + fixtures::shellQuote(folder_) + " && soffice --headless " +
        "-env:UserInstallation=file://" + folder_ + "/lo-profile " +
        "--convert-to 'csv:Text - txt - csv "
        "(StarCalc):44,34,76,1,,0,false,true,true,false,false,-1' " +
        "--outdir " + fixtures::shellQuote(out) + " " + fixtures::shellQuote(book));
    ASSERT_TRUE(lo.ok()) << lo.output;
    EXPECT_EQ(platform::readFile(out + "/Report-Sheet 1.csv").value_or("missing"),
              "Name,,Total \xE2\x82\xAC\nCaf\xC3\xA9 & <co>,,\"1,234.50\"\n");
    EXPECT_EQ(platform::readFile(out + "/Report-Sheet 2.csv").value_or("missing"),
              "Rate,12.5%\n,\n,-7.00\n");
}

TEST_F(QVExcelWriterTest, PackagePartsFollowTheSheetsWritten) {
    const std::string book = path("Three.xlsx");
    PageSpec failing = percentPage();
    failing.write = PageSpec::Write::Throw;
    // A page whose worksheet cannot be written fails the document.
    ASSERT_FALSE(
        convert(book, QVExcelWriter::Format::Xlsx, {failing, twoRunPage(), percentPage()}));
    EXPECT_EQ(pageErrors_, 1);
    EXPECT_TRUE(workFolderExists()); // kept after a failure
    EXPECT_FALSE(platform::pathExists(book));

    // The same pages, all written.
    ASSERT_TRUE(
        convert(book, QVExcelWriter::Format::Xlsx, {percentPage(), twoRunPage(), percentPage()}));
    auto r = fixtures::runPython(R"PY(
import sys, zipfile, re
z = zipfile.ZipFile(sys.argv[1])
rels = z.read('xl/_rels/workbook.xml.rels').decode()
print(re.findall(r'Id="(rId\d+)" Type="[^"]*/(\w+)" Target="([^"]+)"', rels))
wb = z.read('xl/workbook.xml').decode()
print(re.findall(r'<sheet name="([^"]+)" sheetId="(\d+)" r:id="(\w+)"/>', wb))
print(re.findall(r'<vt:i4>(\d+)</vt:i4>|<vt:vector size="(\d+)" baseType="lpstr">', z.read('docProps/app.xml').decode()))
print(len(re.findall('worksheet\+xml', z.read('[Content_Types].xml').decode())))
print([n for n in z.namelist() if n.startswith('xl/worksheets/')])
print(z.read('docProps/core.xml').decode().count('2024-03-05T14:07:09Z'))
)PY",
                                 {book});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(
        r.output,
        "[('rId1', 'worksheet', 'worksheets/sheet1.xml'), ('rId2', 'worksheet', "
        "'worksheets/sheet2.xml'), ('rId3', 'worksheet', 'worksheets/sheet3.xml'), ('rId4', "
        "'theme', 'theme/theme1.xml'), ('rId5', 'styles', 'styles.xml'), ('rId6', "
        "'sharedStrings', 'sharedStrings.xml')]\n"
        "[('Sheet 1', '1', 'rId1'), ('Sheet 2', '2', 'rId2'), ('Sheet 3', '3', 'rId3')]\n"
        "[('3', ''), ('', '3')]\n"
        "3\n"
        "['xl/worksheets/sheet1.xml', 'xl/worksheets/sheet2.xml', 'xl/worksheets/sheet3.xml']\n"
        "2\n");
    auto check = fixtures::checkPackage(book);
    EXPECT_TRUE(check.ok()) << check.output;
}

TEST_F(QVExcelWriterTest, SharedStringsAreNumberedAcrossPagesInOrder) {
    const std::string book = path("Strings.xlsx");
    PageSpec a, b;
    a.cells = {{1, 1, {{u"same"}}}, {1, 2, {{u"one"}}}, {2, 1, {{u"two"}}}};
    b.cells = {{1, 1, {{u"same"}}}, {2, 2, {{u"last"}}}};
    ASSERT_TRUE(convert(book, QVExcelWriter::Format::Xlsx, {a, b}));
    auto r = fixtures::runPython(R"PY(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
print([[c.value for c in row if c.value] for ws in wb for row in ws.iter_rows()])
import zipfile, re
s = zipfile.ZipFile(sys.argv[1]).read('xl/worksheets/sheet2.xml').decode()
print(re.findall(r'<v>(\d+)</v>', s))
)PY",
                                 {book});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "[['same', 'one'], ['two'], ['same'], ['last']]\n['3', '4']\n");
}

TEST_F(QVExcelWriterTest, EachDocumentStartsAfresh) {
    PageSpec first;
    first.cells = {{1, 1, {{u"a", 11, false, false, 0x123456, "OnlyInFirst"}}},
                   {1, 2, {}, "1", "0.000"}};
    PageSpec second;
    second.cells = {{1, 1, {{u"b"}}}};
    ASSERT_TRUE(convert(path("First.xlsx"), QVExcelWriter::Format::Xlsx, {first}));
    ASSERT_TRUE(convert(path("Second.xlsx"), QVExcelWriter::Format::Xlsx, {second}));
    auto r = fixtures::runPython(R"PY(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
styles = z.read('xl/styles.xml').decode()
print('OnlyInFirst' in styles, '0.000' in styles, '<v>0</v>' in z.read('xl/worksheets/sheet1.xml').decode())
)PY",
                                 {path("Second.xlsx")});
    EXPECT_EQ(r.output, "False False True\n");
}

TEST_F(QVExcelWriterTest, EmptyRequestGivesOneEmptySheet) {
    const std::string book = path("Empty.xlsx");
    ASSERT_TRUE(convert(book, QVExcelWriter::Format::Xlsx, {}));
    auto check = fixtures::checkPackage(book);
    EXPECT_TRUE(check.ok()) << check.output;
    auto r = fixtures::runPython(R"PY(
import sys, zipfile, openpyxl
z = zipfile.ZipFile(sys.argv[1])
print(z.read('xl/sharedStrings.xml').decode().split('\n')[1])
wb = openpyxl.load_workbook(sys.argv[1])
print(wb.sheetnames, wb.active.max_row, wb.active['A1'].value)
)PY",
                                 {book});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output,
              "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"></sst>\n"
              "['Sheet 1'] 1 None\n");
}

TEST_F(QVExcelWriterTest, AllPagesInOneSheet) {
    const std::string book = path("One.xlsx");
    ASSERT_TRUE(convert(book, QVExcelWriter::Format::Xlsx, {percentPage(), percentPage()},
                        {0, true, true}));
    auto check = fixtures::checkPackage(book);
    EXPECT_TRUE(check.ok()) << check.output;
    auto r = fixtures::runPython(R"PY(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
print(wb.sheetnames, ws['A1'].value, ws['A4'].value, ws['B6'].value)
)PY",
                                 {book});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "['Sheet 1'] Rate Rate -7\n");
}

TEST_F(QVExcelWriterTest, SuccessLeavesNoScratchFolderBehind) {
    // Work folders live in the process's scratch folder under $TMPDIR; after a good
    // save, of either format, nothing of them is left.
    ASSERT_TRUE(convert(path("Clean.xlsx"), QVExcelWriter::Format::Xlsx, {percentPage()}));
    ASSERT_TRUE(convert(path("Clean.csv"), QVExcelWriter::Format::Csv, {percentPage()}));
    const std::string scratch = platform::deletingLastPathComponent(
        platform::deletingLastPathComponent(writer_->savedWorkFolder()));
    EXPECT_TRUE(entries(scratch).empty()) << scratch;
}

TEST_F(QVExcelWriterTest, FormatFollowsTheKeyNotTheExtensionCase) {
    EXPECT_EQ(QVExcelWriter::formatForDocType("xlsx"), QVExcelWriter::Format::Xlsx);
    EXPECT_EQ(QVExcelWriter::formatForDocType("csv"), QVExcelWriter::Format::Csv);

    const std::string upper = path("Upper.XLSX");
    ASSERT_TRUE(convert(upper, QVExcelWriter::Format::Xlsx, {percentPage()}));
    EXPECT_TRUE(fixtures::checkPackage(upper).ok());

    const std::string folder = path("Pages.xlsx");
    ASSERT_TRUE(convert(folder, QVExcelWriter::Format::Csv, {percentPage()}));
    EXPECT_TRUE(platform::isDirectory(folder));
    EXPECT_TRUE(platform::pathExists(folder + "/Table 1.csv"));
}

TEST_F(QVExcelWriterTest, TabSeparatedPagesMoveIntoPlace) {
    const std::string out = path("Pages");
    // The command line reserves the name with an empty folder: it is replaced.
    ASSERT_TRUE(platform::createDirectories(out));
    PageSpec empty;
    ASSERT_TRUE(convert(out, QVExcelWriter::Format::Csv, {twoRunPage(), empty, percentPage()}));
    EXPECT_FALSE(workFolderExists());
    EXPECT_EQ(entries(out), std::vector<std::string>({"Table 1.csv", "Table 3.csv"}));
    auto r = fixtures::runPython(R"PY(
import sys, csv
raw = open(sys.argv[1], 'rb').read()
print(raw[:2] == b'\xff\xfe')
print(list(csv.reader(raw.decode('utf-16').splitlines(), delimiter='\t')))
)PY",
                                 {out + "/Table 1.csv"});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "True\n[['Name', '', 'Total \xE2\x82\xAC'], ['Caf\xC3\xA9 & <co>', '', "
                        "'1234.5']]\n");
}

TEST_F(QVExcelWriterTest, FailuresLeaveNothingUnderTheOutputName) {
    struct Case {
        std::string name;
        QVExcelWriter::Format format;
        std::function<std::string(const std::string&)> prepare; // gives the output path
        std::vector<PageSpec> pages;
    };
    const bool root = ::geteuid() == 0;
    const std::vector<Case> cases = {
        {"read-only folder",
         QVExcelWriter::Format::Xlsx,
         [&](const std::string& dir) {
             // Permissions do not stop root: /proc takes no new files either way.
             if (root)
                 return std::string("/proc/corvala-test.xlsx");
             platform::createDirectories(dir + "/ro");
             ::chmod((dir + "/ro").c_str(), 0555);
             return dir + "/ro/Book.xlsx";
         },
         {percentPage()}},
        {"folder at the output path",
         QVExcelWriter::Format::Xlsx,
         [](const std::string& dir) {
             platform::createDirectories(dir + "/Book.xlsx");
             platform::writeFileAtomically(dir + "/Book.xlsx/keep.txt", "user data");
             return dir + "/Book.xlsx";
         },
         {percentPage()}},
        {"non-empty folder at the csv output",
         QVExcelWriter::Format::Csv,
         [](const std::string& dir) {
             platform::createDirectories(dir + "/Pages");
             platform::writeFileAtomically(dir + "/Pages/keep.txt", "user data");
             return dir + "/Pages";
         },
         {percentPage()}},
        {"file at the csv output",
         QVExcelWriter::Format::Csv,
         [](const std::string& dir) {
             platform::writeFileAtomically(dir + "/Pages", "user data");
             return dir + "/Pages";
         },
         {percentPage()}},
        {"unreadable part",
         QVExcelWriter::Format::Xlsx,
         [](const std::string& dir) { return dir + "/Book.xlsx"; },
         {[] {
             PageSpec p = percentPage();
             p.write = PageSpec::Write::DanglingPart;
             return p;
         }()}},
        {"page without parts",
         QVExcelWriter::Format::Xlsx,
         [](const std::string& dir) { return dir + "/Book.xlsx"; },
         {[] {
             PageSpec p = percentPage();
             p.write = PageSpec::Write::NoParts;
             return p;
         }()}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string dir = path("case" + std::to_string(i));
        platform::createDirectories(dir);
        const std::string output = c.prepare(dir);
        const auto before = platform::readFile(output);
        const bool existed = platform::pathExists(output);
        EXPECT_FALSE(convert(output, c.format, c.pages)) << c.name;
        EXPECT_FALSE(writer_->failureReason().empty()) << c.name;
        EXPECT_TRUE(workFolderExists()) << c.name;
        EXPECT_EQ(platform::pathExists(output), existed) << c.name;
        EXPECT_EQ(platform::readFile(output), before) << c.name;
        if (platform::isDirectory(output)) {
            EXPECT_EQ(entries(output), std::vector<std::string>({"keep.txt"})) << c.name;
        }
        if (!root || i != 0) {
            auto left = entries(platform::deletingLastPathComponent(output));
            EXPECT_TRUE(std::none_of(left.begin(), left.end(), [](const std::string& n) {
                return n.find(".partial-") != std::string::npos;
            })) << c.name;
        }
        ::chmod((dir + "/ro").c_str(), 0755);
    }
}

TEST_F(QVExcelWriterTest, ExistingFileIsReplacedWhole) {
    const std::string book = path("Book.xlsx");
    ASSERT_TRUE(platform::writeFileAtomically(book, "")); // a reserved name
    ASSERT_TRUE(convert(book, QVExcelWriter::Format::Xlsx, {percentPage()}));
    EXPECT_TRUE(fixtures::checkPackage(book).ok());
}

TEST_F(QVExcelWriterTest, MissingThemeLeavesAValidPackage) {
    const std::string resources = path("resources");
    ASSERT_TRUE(platform::createDirectories(resources + "/QVCorvala"));
    const char* saved = std::getenv("CORVALA_RESOURCES");
    const std::string previous = saved ? saved : "";
    ::setenv("CORVALA_RESOURCES", resources.c_str(), 1);
    const std::string book = path("NoTheme.xlsx");
    const bool ok = convert(book, QVExcelWriter::Format::Xlsx, {percentPage()});
    ::setenv("CORVALA_RESOURCES", previous.c_str(), 1);
    ASSERT_TRUE(ok) << writer_->failureReason();
    auto check = fixtures::checkPackage(book);
    EXPECT_TRUE(check.ok()) << check.output;
    auto r = fixtures::runPython(R"PY(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
print('theme' in ' '.join(z.namelist()), b'theme' in z.read('[Content_Types].xml'),
      b'theme' in z.read('xl/_rels/workbook.xml.rels'))
)PY",
                                 {book});
    EXPECT_EQ(r.output, "False False False\n");
}

TEST_F(QVExcelWriterTest, PackagesAreReproducibleAndLocaleFree) {
    // A decimal comma locale must change no number in any part.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    const bool german = std::setlocale(LC_ALL, "") != nullptr;
    const std::string a = path("A.xlsx"), b = path("B.xlsx");
    PageSpec page = percentPage();
    page.rowHeight = 13.5;
    const bool okA = convert(a, QVExcelWriter::Format::Xlsx, {page});
    const bool okB = convert(b, QVExcelWriter::Format::Xlsx, {page});
    std::setlocale(LC_ALL, saved.c_str());
    ::unsetenv("LC_ALL");
    ASSERT_TRUE(okA && okB);
    if (!german)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (Debian: locales-all)";

    EXPECT_EQ(platform::readFile(a), platform::readFile(b));
    auto r = fixtures::runPython(R"PY(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
s = z.read('xl/worksheets/sheet1.xml').decode()
print('ht="14.85"' in s, 'ht="14,85"' in s, {i.date_time for i in z.infolist()})
)PY",
                                 {a});
    EXPECT_EQ(r.output, "True False {(2024, 3, 5, 14, 7, 8)}\n");
}

} // namespace
